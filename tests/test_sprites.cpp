// Sprites over any background: transparent where the mask is white, exact colours where it is black.

#include <gtest/gtest.h>

#include "draw/canvas.h"
#include "draw/pictures.h"
#include "draw/sprites.h"
#include "draw/spritetable.h"

namespace {

QImage noisyBackground() {
    QImage image(Canvas::kWidth, Canvas::kHeight, QImage::Format_RGB32);
    quint32 seed = 12345;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            seed = seed * 1664525u + 1013904223u;
            image.setPixel(x, y, 0xFF000000u | (seed >> 8));
        }
    return image;
}

Canvas canvasOver(const QImage& background) {
    Canvas canvas;
    canvas.setBackground(background);
    canvas.selectPersistent();
    return canvas;
}

TEST(DrawSprite, EverySpriteShowsExactlyItsMaskedColours) {
    const QImage background = noisyBackground();
    for (const SpriteRect& s : kSpriteTable) {
        Canvas canvas = canvasOver(background);
        const int x = 20, y = 30;
        DrawSprite(canvas, s.key, x, y);
        const QImage& out = canvas.persistentImage();
        for (int sy = 0; sy < s.height() && y + sy < Canvas::kHeight; ++sy)
            for (int sx = 0; sx < s.width() && x + sx < Canvas::kWidth; ++sx) {
                const bool opaque = qRed(PicBack().pixel(s.left + sx, s.top + sy)) == 0;
                const QRgb expected =
                    opaque ? PicChrt().pixel(s.left + sx, s.top + sy) : background.pixel(x + sx, y + sy);
                ASSERT_EQ(out.pixel(x + sx, y + sy), expected) << s.key.data() << " at " << sx << "," << sy;
            }
        EXPECT_EQ(out.pixel(x - 1, y - 1), background.pixel(x - 1, y - 1)) << "nothing outside the rectangle";
        EXPECT_EQ(canvas.screenImage(), out) << "persistent drawing is on screen too";
    }
}

TEST(DrawSprite, DrawingTwiceEqualsDrawingOnce) {
    Canvas once = canvasOver(noisyBackground());
    Canvas twice = canvasOver(noisyBackground());
    for (const char* key : {"Taiyou", "Hattatu4", "Ondan4", "Yyuki"}) {
        DrawSprite(once, key, 100, 60);
        DrawSprite(twice, key, 100, 60);
        DrawSprite(twice, key, 100, 60);
    }
    EXPECT_EQ(once.persistentImage(), twice.persistentImage());
}

TEST(DrawSprite, UnknownOrWrongCaseKeysDrawNothing) {
    const QImage background = noisyBackground();
    Canvas canvas = canvasOver(background);
    for (const char* key : {"taiyou", "TAIYOU", "Taiyou ", "", "Rilo", "Ondan6", "hattatu1"})
        DrawSprite(canvas, key, 0, 0);
    EXPECT_EQ(canvas.persistentImage(), background);
    EXPECT_EQ(canvas.screenImage(), background);
    EXPECT_EQ(findSprite("Taiyou")->width(), 55);
}

TEST(DrawSprite, SpritesAtTheEdgesAreClipped) {
    const QImage background = noisyBackground();
    const SpriteRect& sun = *findSprite("Taiyou");
    struct Place {
        int x, y;
    };
    for (Place p : {Place{610, 380}, Place{-30, -20}, Place{639, 0}, Place{-54, 399}, Place{700, 500}}) {
        Canvas canvas = canvasOver(background);
        DrawSprite(canvas, "Taiyou", float(p.x), float(p.y));
        const QImage& out = canvas.persistentImage();
        ASSERT_EQ(out.size(), QSize(640, 400));
        for (int y = 0; y < Canvas::kHeight; ++y)
            for (int x = 0; x < Canvas::kWidth; ++x) {
                const int sx = x - p.x, sy = y - p.y;
                QRgb expected = background.pixel(x, y);
                if (sx >= 0 && sy >= 0 && sx < sun.width() && sy < sun.height() &&
                    qRed(PicBack().pixel(sun.left + sx, sun.top + sy)) == 0)
                    expected = PicChrt().pixel(sun.left + sx, sun.top + sy);
                ASSERT_EQ(out.pixel(x, y), expected) << p.x << "," << p.y << " pixel " << x << "," << y;
            }
    }
}

TEST(DrawSprite, GoesIntoTheSelectedLayerOnly) {
    const QImage background = noisyBackground();
    Canvas canvas = canvasOver(background);
    canvas.selectOverlay();
    DrawSprite(canvas, "Rilom2", 300, 100);
    EXPECT_EQ(canvas.persistentImage(), background);
    canvas.refresh();
    EXPECT_EQ(canvas.screenImage(), background);
}

}  // namespace
