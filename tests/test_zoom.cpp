// The zoomed window: every control and font times the zoom, the canvas enlarged pixel for pixel,
// clicks landing where they land at 1x, full screen with a black margin, and the context menu.

#include <gtest/gtest.h>

#include <QApplication>
#include <QMenu>
#include <QTest>
#include <map>

#include "app/canvaswidget.h"
#include "app/viewcontrols.h"
#include "app/zoom.h"
#include "harness.h"

namespace {

TEST(ZoomArithmetic, LargestWholeZoomThatFitsAScreen) {
    const std::pair<QSize, int> screens[] = {
        {{1280, 800}, 1}, {{1366, 768}, 1}, {{1920, 1080}, 2}, {{2560, 1440}, 3}, {{3840, 2160}, 4}, {{600, 400}, 1}};
    for (const auto& [screen, k] : screens)
        EXPECT_EQ(zoom::LargestFitting(zoom::kClientArea, screen), k) << screen.width() << "x" << screen.height();
    EXPECT_EQ(zoom::CentredOrigin(zoom::kClientArea, 2, {1920, 1080}), QPoint(317, 136));
}

TEST(ZoomArithmetic, EveryPointOfAZoomedCanvasPixelMapsBackToIt) {
    for (int k = 1; k <= 4; ++k)
        for (const QPoint pixel : {QPoint(0, 0), QPoint(100, 50), QPoint(639, 399)})
            for (const QPoint inside : {QPoint(0, 0), QPoint(k - 1, k - 1)}) {
                const QPoint at = (pixel + QPoint(2, 2)) * k + inside;
                EXPECT_EQ(zoom::CanvasPixelAt(at, k, 2), pixel) << "k " << k << " at " << at.x() << "," << at.y();
            }
    EXPECT_EQ(zoom::CanvasPixelAt({0, 3}, 2, 2), QPoint(-2, -1)) << "the border lies outside the canvas";
}

// A harness on a screen with room for every zoom.
struct ZoomHarness : Harness {
    ZoomHarness() {
        form->view().roomForClientArea = [] { return QSize(3000, 2000); };
        startAndReachMenu();
    }
    ViewControls& view() { return form->view(); }
    void zoomTo(int k) {
        view().resetZoom();
        for (int i = 1; i < k; ++i) ASSERT_TRUE(view().zoomIn());
    }
};

TEST(ZoomedWindow, EveryControlAtItsGeometryAndFontTimesTheZoomAndBackExactly) {
    ZoomHarness h;
    struct Before {
        QRect geometry;
        int pixels;
    };
    std::map<QWidget*, Before> before;
    for (QWidget* w : h.form->findChildren<QWidget*>())
        if (w->window() == h.form.get()) before[w] = {w->geometry(), w->font().pixelSize()};
    ASSERT_GT(before.size(), 20u);
    for (int k : {2, 3, 4, 1}) {
        h.zoomTo(k);
        EXPECT_EQ(h.form->size(), QSize(643, 404) * k);
        for (const auto& [w, b] : before) {
            if (w->objectName() == QStringLiteral("fullScreenMargin")) continue;
            EXPECT_EQ(w->geometry(), zoom::Scaled(b.geometry, k)) << w->metaObject()->className() << " at " << k;
            EXPECT_EQ(w->font().pixelSize(), b.pixels * k) << w->metaObject()->className() << " at " << k;
        }
    }
}

// Expected pixels of the zoomed canvas view: each screen-image pixel as a k x k block.
void expectNearestNeighbour(const QImage& view, const QImage& screen, int k) {
    const int inset = CanvasWidget::kBorder * k;
    for (int y = 0; y < Canvas::kHeight * k; ++y)
        for (int x = 0; x < Canvas::kWidth * k; ++x)
            if (view.pixel(inset + x, inset + y) != (screen.pixel(x / k, y / k) | 0xFF000000u))
                return ADD_FAILURE() << "zoom " << k << ": view pixel " << x << "," << y << " is not canvas pixel "
                                     << x / k << "," << y / k;
}

TEST(ZoomedWindow, CanvasIsTheScreenImageEnlargedPixelForPixelWithItsBorderAndPauseMark) {
    ZoomHarness h;
    h.form->ZensenCmd->click();
    h.clock->advance(20000);  // fronts, captions and sprites on screen
    for (int k : {2, 3}) {
        h.zoomTo(k);
        const QImage view = h.form->Picture1->grab().toImage().convertToFormat(QImage::Format_RGB32);
        ASSERT_EQ(view.size(), QSize(644, 404) * k);
        expectNearestNeighbour(view, h.screen(), k);
        // The sunken border k pixels per line: grey, dark grey, then the picture.
        const int y = 200 * k;
        EXPECT_EQ(view.pixel(k - 1, y), qRgb(128, 128, 128));
        EXPECT_EQ(view.pixel(k, y), qRgb(64, 64, 64));
        EXPECT_EQ(view.pixel(2 * k - 1, y), qRgb(64, 64, 64));
    }
    h.form->view().togglePause();  // at 3x: the mark changes the corner of the view and nothing else
    const QImage paused = h.form->Picture1->grab().toImage().convertToFormat(QImage::Format_RGB32);
    QImage outsideMark = paused.copy();
    const QRect corner(QPoint((2 + 640 - 40) * 3, 2 * 3), QSize(40, 40) * 3);
    int marked = 0;
    for (int y = corner.top(); y <= corner.bottom(); ++y)
        for (int x = corner.left(); x <= corner.right(); ++x) {
            marked += outsideMark.pixel(x, y) != (h.screen().pixel(x / 3 - 2, y / 3 - 2) | 0xFF000000u);
            outsideMark.setPixel(x, y, h.screen().pixel(x / 3 - 2, y / 3 - 2));
        }
    EXPECT_GT(marked, 9 * 100) << "a pause mark of some size in the top-right corner";
    expectNearestNeighbour(outsideMark, h.screen(), 3);
}

// Clicks through the window, as the window system delivers them, at the zoomed centre of each control.
TEST(ZoomedWindow, AClickAtTheZoomedPlaceOfEachControlReachesIt) {
    for (int k : {2, 3}) {
        ZoomHarness h;
        RiloForm& f = *h.form;
        f.TFrame->show();  // the panel over the menu, as every button's 1x place is taken first
        const std::vector<QPushButton*> menu = {f.DekikataCmd, f.TukuruCmd, f.YamaCmd, f.ZensenCmd, f.SyuuryouCmd};
        const std::vector<QPushButton*> panel = {f.TModoru,    f.THuyuCmd,     f.TAkiCmd,      f.TNatuCmd,
                                                 f.TTuyuCmd,   f.THaruCmd,     f.TKionUpCmd,   f.TKionDnCmd,
                                                 f.TSitudoUpCmd, f.TSitudoDnCmd, f.TTakasaUpCmd, f.TTakasaDnCmd};
        std::map<QPushButton*, QPoint> at1x;
        std::map<QPushButton*, int> clicks;
        for (auto* list : {&menu, &panel})
            for (QPushButton* b : *list) {
                at1x[b] = b->mapTo(&f, b->rect().center());
                QObject::connect(b, &QPushButton::clicked, [&clicks, b] { ++clicks[b]; });
            }
        f.TFrame->hide();
        h.zoomTo(k);
        for (QPushButton* b : menu) {
            f.TFrame->hide();  // the simulator's panel, after its button
            f.ShowMenu();
            QTest::mouseClick(f.windowHandle(), Qt::LeftButton, {}, at1x[b] * k);
            EXPECT_EQ(clicks[b], 1) << b->text().toStdString() << " at " << k;
        }
        f.HideMenu();
        for (QPushButton* b : panel) {
            f.TFrame->show();
            QTest::mouseClick(f.windowHandle(), Qt::LeftButton, {}, at1x[b] * k);
            EXPECT_EQ(clicks[b], 1) << b->accessibleName().toStdString() << b->text().toStdString() << " at " << k;
        }
    }
}

TEST(ZoomedWindow, ACanvasClickAtTwoTimesEndsAFinishedLessonAndARightClickDoesNot) {
    ZoomHarness h;
    h.zoomTo(2);
    h.form->YamaCmd->click();
    h.runUntilStopped();
    ASSERT_EQ(h.state().WaitClick, kWaiting);
    const QPoint pixel(320, 200);
    const QPoint at = (pixel + QPoint(2, 2)) * 2;
    EXPECT_EQ(h.form->Picture1->canvasPixelAt(at), pixel);

    QTest::mouseClick(h.form->windowHandle(), Qt::RightButton, {}, at);
    EXPECT_EQ(h.state().WaitClick, kWaiting) << "a right click is no canvas click";
    QMenu* menu = h.form->view().contextMenu;
    ASSERT_TRUE(menu->isVisible());
    QStringList entries;
    for (QAction* a : menu->actions())
        if (!a->isSeparator()) entries << a->text() + ' ' + a->shortcut().toString() + (a->isEnabled() ? "" : " -");
    EXPECT_EQ(entries, (QStringList{"一時停止 P -", "全画面表示 F11", "拡大 Ctrl++", "縮小 Ctrl+-", "元の大きさ Ctrl+0"}))
        << entries.join(" | ").toStdString();
    menu->hide();

    QTest::mouseClick(h.form->windowHandle(), Qt::LeftButton, {}, at);
    EXPECT_EQ(h.state().WaitClick, 0);
    EXPECT_EQ(h.state().SceneMode, kSceneTitle);
}

TEST(ZoomedWindow, AZoomThatDoesNotFitIsRefusedAndTheZoomStays) {
    Harness h;
    h.form->view().roomForClientArea = [] { return QSize(1300, 820); };
    h.startAndReachMenu();
    EXPECT_TRUE(h.form->view().zoomIn());
    EXPECT_FALSE(h.form->view().zoomIn());
    EXPECT_EQ(h.form->view().zoom(), 2);
    EXPECT_EQ(h.form->size(), QSize(1286, 808));
    EXPECT_FALSE(h.form->view().zoomOut() && h.form->view().zoomOut()) << "1x is the least";
    EXPECT_EQ(h.form->size(), QSize(643, 404));
}

TEST(FullScreen, F11FillsTheScreenCentredOnBlackAndEscapeGoesBackToTheWindow) {
    ZoomHarness h;
    h.zoomTo(2);
    QApplication::setActiveWindow(h.form.get());
    QTest::keyClick(h.form.get(), Qt::Key_F11);
    QApplication::processEvents();  // the window system's new geometry
    ASSERT_TRUE(h.form->view().isFullScreen());
    const QSize screen = h.form->screen()->geometry().size();
    EXPECT_EQ(h.form->size(), screen);
    const int k = zoom::LargestFitting(zoom::kClientArea, screen);
    EXPECT_EQ(h.form->view().zoom(), k);
    const QPoint origin = zoom::CentredOrigin(zoom::kClientArea, k, screen);
    EXPECT_EQ(h.form->Picture1->pos(), origin);
    EXPECT_EQ(h.form->SyuuryouCmd->geometry(), QRect(QPoint(496, 280) * k + origin, QSize(129, 41) * k));
    const QImage shot = h.form->grab().toImage();
    for (const QPoint p : {QPoint(0, 0), QPoint(origin.x() - 1, 200), QPoint(screen.width() - 1, screen.height() - 1)})
        EXPECT_EQ(shot.pixel(p) | 0xFF000000u, qRgb(0, 0, 0)) << p.x() << "," << p.y();

    QTest::keyClick(h.form.get(), Qt::Key_Escape);
    QApplication::processEvents();
    EXPECT_FALSE(h.form->view().isFullScreen());
    EXPECT_EQ(h.form->view().zoom(), 2) << "the window's own zoom comes back";
    EXPECT_EQ(h.form->size(), QSize(1286, 808));
    EXPECT_EQ(h.form->Picture1->pos(), QPoint(0, 0));
    QTest::keyClick(h.form.get(), Qt::Key_Escape);
    EXPECT_FALSE(h.form->view().isFullScreen()) << "Escape outside full screen does nothing";
}

}  // namespace
