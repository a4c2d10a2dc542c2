// The zoomed window: every control and font times the zoom, the canvas enlarged pixel for pixel,
// clicks landing where they land at 1x, full screen on black, and the context menu.

#include <gtest/gtest.h>

#include <QApplication>
#include <QMenu>
#include "tests/input.h"
#include <map>

#include "app/canvaswidget.h"
#include "app/viewcontrols.h"
#include "app/zoom.h"
#include "harness.h"
#include "input.h"

namespace {

TEST(ZoomArithmetic, LargestWholeZoomThatFitsAScreen) {
    const std::pair<QSize, int> screens[] = {
        {{1280, 800}, 1}, {{1366, 768}, 1}, {{1920, 1080}, 2}, {{2560, 1440}, 3}, {{3840, 2160}, 4}, {{600, 400}, 1}};
    for (const auto& [screen, k] : screens)
        EXPECT_EQ(zoom::LargestFitting(zoom::kClientArea, screen), k) << screen.width() << "x" << screen.height();
}

// A harness on a screen with room for every zoom, in the menu state.
struct ZoomHarness : Harness {
    ZoomHarness() {
        form->view().roomForClientArea = [] { return QSize(3000, 2000); };
        startAndReachMenu();
    }
    void zoomTo(int k) {
        form->view().resetZoom();
        for (int i = 1; i < k; ++i) ASSERT_TRUE(form->view().zoomIn());
    }
};

TEST(ZoomedWindow, EveryControlAtItsGeometryAndFontTimesTheZoomAndBackExactly) {
    ZoomHarness h;
    std::map<QWidget*, std::pair<QRect, int>> at1x;
    for (QWidget* w : h.form->findChildren<QWidget*>())
        if (w->window() == h.form.get() && w->objectName() != QStringLiteral("fullScreenMargin"))
            at1x[w] = {w->geometry(), w->font().pixelSize()};
    ASSERT_GT(at1x.size(), 20u);
    for (int k : {2, 3, 4, 1}) {
        h.zoomTo(k);
        EXPECT_EQ(h.form->size(), QSize(643, 404) * k);
        for (const auto& [w, before] : at1x) {
            EXPECT_EQ(w->geometry(), zoom::Scaled(before.first, k)) << w->metaObject()->className() << " at " << k;
            EXPECT_EQ(w->font().pixelSize(), before.second * k) << w->metaObject()->className() << " at " << k;
        }
    }
}

// The drawing area of the view against the screen image, each pixel a k x k block; returns how many
// view pixels differ inside `allowed` (which may differ) and fails on any outside.
int compareEnlarged(const QImage& view, const QImage& screen, int k, QRegion allowed = {}) {
    int differing = 0;
    for (int y = 0; y < Canvas::kHeight * k; ++y)
        for (int x = 0; x < Canvas::kWidth * k; ++x) {
            if (view.pixel(2 * k + x, 2 * k + y) == (screen.pixel(x / k, y / k) | 0xFF000000u)) continue;
            if (!allowed.contains(QPoint(x / k, y / k))) {
                ADD_FAILURE() << "zoom " << k << ": view pixel " << x << "," << y << " is not its canvas pixel";
                return -1;
            }
            ++differing;
        }
    return differing;
}

TEST(ZoomedWindow, CanvasIsTheScreenImageEnlargedPixelForPixelWithItsBorderAndPauseMark) {
    ZoomHarness h;
    h.form->ZensenCmd->click();
    h.clock->advance(20000);  // fronts, captions and sprites on screen
    for (int k : {2, 3}) {
        h.zoomTo(k);
        const QImage view = h.form->Picture1->grab().toImage().convertToFormat(QImage::Format_RGB32);
        ASSERT_EQ(view.size(), QSize(644, 404) * k);
        compareEnlarged(view, h.screen(), k);
        // The sunken border k pixels per line: grey, then dark grey, then the picture.
        EXPECT_EQ(view.pixel(k - 1, 200 * k), qRgb(128, 128, 128));
        EXPECT_EQ(view.pixel(2 * k - 1, 200 * k), qRgb(64, 64, 64));
    }
    h.form->view().togglePause();  // at 3x the mark takes the top-right corner, the timeline the foot
    const QImage paused = h.form->Picture1->grab().toImage().convertToFormat(QImage::Format_RGB32);
    const QRegion markAndTimeline = QRegion(600, 0, 40, 40) + QRegion(8, 380, 624, 14);
    EXPECT_GT(compareEnlarged(paused, h.screen(), 3, markAndTimeline), 9 * (100 + 600));
}

TEST(ZoomedWindow, AClickAtTheZoomedPlaceOfEachControlReachesIt) {
    for (int k : {2, 3}) {
        ZoomHarness h;
        RiloForm& f = *h.form;
        std::map<QPushButton*, QPoint> centre1x;
        for (QPushButton* b : f.findChildren<QPushButton*>()) centre1x[b] = b->mapTo(&f, b->rect().center());
        ASSERT_EQ(centre1x.size(), 17u);
        h.zoomTo(k);
        for (const auto& [b, centre] : centre1x) {
            const bool onPanel = b->parentWidget() != &f;
            f.TFrame->setVisible(onPanel);  // the panel covers part of the menu
            if (!onPanel) f.ShowMenu();
            int clicks = 0;
            const auto counting = QObject::connect(b, &QPushButton::clicked, [&clicks] { ++clicks; });
            input::mouseClick(f.windowHandle(), Qt::LeftButton, centre * k);
            QObject::disconnect(counting);
            EXPECT_EQ(clicks, 1) << b->accessibleName().toStdString() << b->text().toStdString() << " at " << k;
        }
    }
}

TEST(ZoomedWindow, ACanvasClickAtTwoTimesEndsAFinishedLessonAndARightClickOpensTheMenuInstead) {
    ZoomHarness h;
    h.zoomTo(2);
    h.form->YamaCmd->click();
    h.runUntilStopped();
    const QPoint at = (QPoint(320, 200) + QPoint(2, 2)) * 2 + QPoint(1, 1);
    EXPECT_EQ(h.form->Picture1->canvasPixelAt(at), QPoint(320, 200));

    input::mouseClick(h.form->windowHandle(), Qt::RightButton, at);
    EXPECT_EQ(h.state().WaitClick, kWaiting) << "a right click is no canvas click";
    QMenu* menu = h.form->view().contextMenu;
    ASSERT_TRUE(menu->isVisible());
    QStringList entries;
    for (QAction* a : menu->actions())
        if (!a->isSeparator()) entries << a->text() + ' ' + a->shortcut().toString() + (a->isEnabled() ? "" : " -");
    EXPECT_EQ(entries, (QStringList{"一時停止 P -", "前の場面 Left", "次の場面 Right", "最初から Home", "ゆっくり S",
                                    "全画面表示 F11", "拡大 Ctrl++", "縮小 Ctrl+-", "元の大きさ Ctrl+0"}));
    menu->hide();

    input::mouseClick(h.form->windowHandle(), Qt::LeftButton, at);
    EXPECT_EQ(h.state().WaitClick, 0);
}

TEST(ZoomedWindow, AZoomThatDoesNotFitIsRefusedAndTheZoomStays) {
    Harness h;
    h.form->view().roomForClientArea = [] { return QSize(1300, 820); };
    h.startAndReachMenu();
    EXPECT_TRUE(h.form->view().zoomIn());
    EXPECT_FALSE(h.form->view().zoomIn());
    EXPECT_EQ(h.form->size(), QSize(1286, 808));
}

TEST(FullScreen, F11FillsTheScreenCentredOnBlackAndEscapeGoesBackToTheWindowsZoom) {
    ZoomHarness h;
    h.zoomTo(2);
    input::activate(h.form.get());
    input::keyClick(h.form.get(), Qt::Key_F11);
    QApplication::processEvents();  // the window system's new geometry
    const QSize screen = h.form->screen()->geometry().size();
    ASSERT_EQ(h.form->size(), screen);
    const int k = zoom::LargestFitting(zoom::kClientArea, screen);
    const QPoint origin((screen.width() - 643 * k) / 2, (screen.height() - 404 * k) / 2);
    EXPECT_EQ(h.form->SyuuryouCmd->geometry(), QRect(QPoint(496, 280) * k + origin, QSize(129, 41) * k));
    const QImage shot = h.form->grab().toImage();
    for (const QPoint p : {QPoint(0, 0), QPoint(origin.x() - 1, 200), QPoint(screen.width() - 1, screen.height() - 1)})
        EXPECT_EQ(shot.pixel(p) | 0xFF000000u, qRgb(0, 0, 0)) << p.x() << "," << p.y();

    input::keyClick(h.form.get(), Qt::Key_Escape);
    QApplication::processEvents();
    EXPECT_EQ(h.form->size(), QSize(1286, 808));
    EXPECT_EQ(h.form->Picture1->pos(), QPoint(0, 0));
    input::keyClick(h.form.get(), Qt::Key_Escape);
    EXPECT_FALSE(h.form->view().isFullScreen()) << "Escape outside full screen does nothing";
}

}  // namespace
