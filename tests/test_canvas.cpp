// The two layers, the primitives, boxed-text geometry and the palette.

#include <gtest/gtest.h>

#include <QPainter>

#include "draw/canvas.h"
#include "draw/fonts.h"
#include "draw/palette.h"
#include "draw/text.h"

namespace {

// A background with a different colour on every row and column, so that nothing can match by luck.
QImage stripes() {
    QImage image(Canvas::kWidth, Canvas::kHeight, QImage::Format_RGB32);
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) image.setPixel(x, y, qRgb(x % 251, y % 241, (x * 7 + y * 3) % 255));
    return image;
}

struct CanvasTest : ::testing::Test {
    void SetUp() override { canvas.setBackground(stripes()); }
    QRgb screenAt(int x, int y) const { return canvas.screenImage().pixel(x, y); }
    QRgb persistentAt(int x, int y) const { return canvas.persistentImage().pixel(x, y); }
    Canvas canvas;
};

TEST_F(CanvasTest, OverlayIsWipedByRefresh) {
    canvas.selectOverlay();
    DrawText(canvas, QStringLiteral("雲ができます"), 100, 100, 15, 24);
    EXPECT_NE(canvas.screenImage(), canvas.persistentImage());
    EXPECT_EQ(canvas.persistentImage(), stripes());
    canvas.refresh();
    EXPECT_EQ(canvas.screenImage(), stripes());
}

TEST_F(CanvasTest, PersistentDrawingSurvivesAnyNumberOfRefreshes) {
    canvas.selectPersistent();
    canvas.filledBox(10, 10, 20, 20, 12);
    EXPECT_EQ(screenAt(15, 15), QBColor(12)) << "persistent drawing shows at once";
    for (int i = 0; i < 5; ++i) canvas.refresh();
    EXPECT_EQ(screenAt(15, 15), QBColor(12));
    EXPECT_EQ(persistentAt(15, 15), QBColor(12));
}

TEST_F(CanvasTest, PersistentDrawingLandsOnTopOfTheOverlayWithoutWipingIt) {
    canvas.selectOverlay();
    canvas.filledBox(0, 0, 100, 100, 9);
    canvas.selectPersistent();
    canvas.filledBox(40, 40, 60, 60, 14);
    EXPECT_EQ(screenAt(50, 50), QBColor(14));
    EXPECT_EQ(screenAt(10, 10), QBColor(9)) << "overlay elsewhere stays";
    EXPECT_EQ(persistentAt(10, 10), stripes().pixel(10, 10));
}

TEST_F(CanvasTest, NewBackgroundClearsBothLayers) {
    canvas.selectPersistent();
    canvas.filledBox(0, 0, 50, 50, 12);
    canvas.selectOverlay();
    canvas.filledBox(100, 100, 150, 150, 13);
    QImage plain(Canvas::kWidth, Canvas::kHeight, QImage::Format_RGB32);
    plain.fill(QColor(0, 0, 255));
    canvas.setBackground(plain);
    EXPECT_EQ(canvas.persistentImage(), plain);
    EXPECT_EQ(canvas.screenImage(), plain);
}

TEST_F(CanvasTest, BoxOutlineLeavesItsInsideUnlessFillIsSolid) {
    canvas.selectPersistent();
    canvas.filledBox(75, 90, 560, 190, 15);
    canvas.boxOutline(73, 88, 562, 192, 7);
    EXPECT_EQ(screenAt(73, 88), QBColor(7));
    EXPECT_EQ(screenAt(562, 192), QBColor(7));
    EXPECT_EQ(screenAt(300, 192), QBColor(7));
    EXPECT_EQ(screenAt(74, 89), stripes().pixel(74, 89)) << "the gap between frame and box";
    EXPECT_EQ(screenAt(300, 140), QBColor(15)) << "the white box inside the frame";

    canvas.setFillColour(12);
    canvas.setFillSolid(true);
    canvas.boxOutline(10, 10, 30, 30, 0);
    EXPECT_EQ(screenAt(20, 20), QBColor(12));
    EXPECT_EQ(screenAt(10, 20), QBColor(0));
}

TEST_F(CanvasTest, EllipseHasItsAspectAndFillsOnlyWhenSolid) {
    canvas.selectOverlay();
    canvas.ellipse(200, 330, 40, 15, 0.6f);
    const QRgb white = QBColor(15);
    EXPECT_TRUE(screenAt(240, 330) == white || screenAt(239, 330) == white);
    EXPECT_TRUE(screenAt(160, 330) == white || screenAt(161, 330) == white);
    EXPECT_TRUE(screenAt(200, 306) == white || screenAt(200, 307) == white);
    EXPECT_TRUE(screenAt(200, 354) == white || screenAt(200, 353) == white);
    EXPECT_NE(screenAt(200, 302), white) << "vertical half-axis is 24, not 40";
    EXPECT_EQ(screenAt(200, 330), stripes().pixel(200, 330)) << "outline only";

    canvas.setFillColour(15);
    canvas.setFillSolid(true);
    canvas.ellipse(400, 100, 20, 15, 0.7f);
    EXPECT_EQ(screenAt(400, 100), white);
    EXPECT_EQ(screenAt(412, 105), white);
}

TEST_F(CanvasTest, TextStartsAtItsTopLeftCornerInPixelSizedFont) {
    canvas.selectOverlay();
    DrawText(canvas, QStringLiteral("雲"), 100, 50, 15, 24);
    int top = Canvas::kHeight, bottom = -1, left = Canvas::kWidth;
    for (int y = 0; y < Canvas::kHeight; ++y)
        for (int x = 0; x < Canvas::kWidth; ++x)
            if (screenAt(x, y) != persistentAt(x, y)) {
                top = std::min(top, y), bottom = std::max(bottom, y), left = std::min(left, x);
            }
    ASSERT_GE(bottom, 0) << "nothing was drawn";
    EXPECT_GE(top, 50);
    EXPECT_GE(left, 100);
    EXPECT_LT(left, 108);
    EXPECT_GE(bottom - top + 1, 20) << "24 pt is 32 px at 96 DPI";
    EXPECT_LE(bottom, 50 + 34);
    EXPECT_EQ(japaneseGothic(24, false).pixelSize(), 32);
    EXPECT_EQ(japaneseGothic(14.25, true).pixelSize(), 19);
}

TEST_F(CanvasTest, TextDrawsNoBackground) {
    canvas.selectOverlay();
    DrawText(canvas, QStringLiteral("ー"), 100, 100, 15, 60);
    EXPECT_EQ(screenAt(101, 101), persistentAt(101, 101));
}

struct BoxCase {
    const char* text;
    float x, y;
    int size;
    QPointF topLeft, bottomRight;
};

TEST(BoxedText, BoxIsSizedFromTheCharacterCount) {
    const BoxCase cases[] = {
        {"あいうえお", 100, 50, 24, {98, 48}, {258, 80.8}},
        {"", 100, 50, 24, {98, 48}, {102, 80.8}},
        {"　高度", 20, 140, 26, {18, 138}, {20 + 1.3 * 78 + 2, 140 + 1.2 * 26 + 2}},
        {"マウスをクリックしてください", 140, 16, 30, {138, 14}, {688, 54}},
    };
    for (const BoxCase& c : cases) {
        const QRectF box = boxedTextBox(QString::fromUtf8(c.text), c.x, c.y, c.size);
        EXPECT_NEAR(box.left(), c.topLeft.x(), 1e-4) << c.text;
        EXPECT_NEAR(box.top(), c.topLeft.y(), 1e-4) << c.text;
        EXPECT_NEAR(box.right(), c.bottomRight.x(), 1e-4) << c.text;
        EXPECT_NEAR(box.bottom(), c.bottomRight.y(), 1e-4) << c.text;
    }
}

TEST_F(CanvasTest, BoxedTextPaintsItsBoxBeforeTheText) {
    canvas.selectOverlay();
    DrawBoxedText(canvas, QStringLiteral("あいうえお"), 100, 50, 15, 24, 9);
    EXPECT_EQ(screenAt(98, 48), QBColor(9));
    EXPECT_EQ(screenAt(258, 81), QBColor(9));
    EXPECT_NE(screenAt(259, 60), QBColor(9));
    EXPECT_NE(screenAt(97, 60), QBColor(9));
    EXPECT_NE(screenAt(150, 82), QBColor(9));
    int white = 0;
    for (int y = 50; y < 80; ++y)
        for (int x = 100; x < 258; ++x) white += screenAt(x, y) == QBColor(15);
    EXPECT_GT(white, 100) << "the text stands on the box";
}

TEST_F(CanvasTest, EmptyBoxedTextPrintsOnlyTheBox) {
    canvas.selectOverlay();
    DrawBoxedText(canvas, QString(), 100, 50, 15, 24, 13);
    for (int y = 48; y <= 81; ++y)
        for (int x = 98; x <= 102; ++x) ASSERT_EQ(screenAt(x, y), QBColor(13)) << x << "," << y;
}

TEST_F(CanvasTest, DrawingBeyondTheEdgeIsClipped) {
    canvas.selectOverlay();
    DrawBoxedText(canvas, QStringLiteral("マウスをクリックしてください"), 140, 16, 13, 30, 14);
    EXPECT_EQ(screenAt(639, 20), QBColor(14));
    canvas.line(-50, -50, 700, 500, 15);
    canvas.ellipse(630, 390, 80, 15, 0.6f);
    EXPECT_EQ(canvas.screenImage().size(), QSize(640, 400));
}

TEST(Palette, IsTheSixteenQBColours) {
    const QRgb expected[16] = {
        qRgb(0, 0, 0),     qRgb(0, 0, 128),   qRgb(0, 128, 0),   qRgb(0, 128, 128),
        qRgb(128, 0, 0),   qRgb(128, 0, 128), qRgb(128, 128, 0), qRgb(192, 192, 192),
        qRgb(128, 128, 128), qRgb(0, 0, 255), qRgb(0, 255, 0),   qRgb(0, 255, 255),
        qRgb(255, 0, 0),   qRgb(255, 0, 255), qRgb(255, 255, 0), qRgb(255, 255, 255),
    };
    for (int i = 0; i < 16; ++i) EXPECT_EQ(QBColor(i), expected[i]) << "index " << i;
}

}  // namespace

namespace {

// What a screen reader is told the canvas says: the texts on screen now, in drawing order.
TEST_F(CanvasTest, VisibleTextsFollowTheLayers) {
    canvas.selectPersistent();
    DrawText(canvas, QStringLiteral("山のペルモラ"), 5, 5, 15, 24);
    canvas.selectOverlay();
    DrawBoxedText(canvas, QStringLiteral("雲ができます"), 100, 100, 15, 24, 9);
    EXPECT_EQ(canvas.visibleTexts(), QStringList({QStringLiteral("山のペルモラ"), QStringLiteral("雲ができます")}));

    canvas.filledBox(0, 0, 300, 60, 12);  // an overlay box over the persistent title hides it ...
    EXPECT_EQ(canvas.visibleTexts(), QStringList{QStringLiteral("雲ができます")});
    canvas.refresh();  // ... until the refresh that wipes the overlay and its caption
    EXPECT_EQ(canvas.visibleTexts(), QStringList{QStringLiteral("山のペルモラ")});

    DrawBoxedText(canvas, QStringLiteral("小"), 4, 4, 15, 10, 9);
    EXPECT_EQ(canvas.visibleTexts().size(), 2) << "a small box covers the title only in part";
    DrawBoxedText(canvas, QStringLiteral("上書き"), 4, 4, 15, 60, 9);
    EXPECT_EQ(canvas.visibleTexts(), QStringList{QStringLiteral("上書き")}) << "a large one covers all";
    canvas.setBackground(stripes());
    EXPECT_TRUE(canvas.visibleTexts().isEmpty());
}

}  // namespace
