// The zoomed window: every control and font times the zoom, whole or fitted to a screen, the
// canvas drawn at the zoom and shown pixel for pixel, clicks landing where they land at 1x, full
// screen filling the screen on black, and the context menu.

#include <gtest/gtest.h>

#include <QApplication>
#include <QMenu>
#include "tests/input.h"
#include <cmath>
#include <map>

#include "app/canvaswidget.h"
#include "app/viewcontrols.h"
#include "app/zoom.h"
#include "draw/fonts.h"
#include "harness.h"
#include "input.h"

namespace {

TEST(ZoomArithmetic, LargestWholeZoomThatFitsAScreen) {
    const std::pair<QSize, int> screens[] = {
        {{1280, 800}, 1}, {{1366, 768}, 1}, {{1920, 1080}, 2}, {{2560, 1440}, 3}, {{3840, 2160}, 4}, {{600, 400}, 1}};
    for (const auto& [screen, k] : screens)
        EXPECT_EQ(zoom::LargestFitting(zoom::kClientArea, screen), k) << screen.width() << "x" << screen.height();
}

// The limiting side filled to within a pixel, the other within it; a window-manager frame
// (title bar and panel) leaves less room for the client area.
TEST(ZoomArithmetic, TheScaleThatFitsFillsTheLimitingSide) {
    const std::pair<QSize, double> screens[] = {
        {{1024, 768}, 1.59}, {{1280, 800}, 1.98}, {{1920, 1080}, 2.67}, {{3840, 2160}, 5.35},
        {{1366, 768 - 48}, 1.78},  // a Chromebook's shelf
        {{1280, 800 - 30 - 32}, 1.83},  // a title bar and a panel
        {{600, 400}, 1.0},
    };
    for (const auto& [area, expected] : screens) {
        const double s = zoom::FittingScale(zoom::kClientArea, area);
        EXPECT_NEAR(s, expected, 0.005) << area.width() << "x" << area.height();
        const QSize shown = zoom::Scaled(zoom::kClientArea, s);
        if (s == 1) continue;
        EXPECT_TRUE(zoom::Fits(zoom::kClientArea, s, area)) << area.width() << "x" << area.height();
        EXPECT_TRUE(shown.width() >= area.width() - 1 || shown.height() >= area.height() - 1) << area.width();
    }
}

// At fractional zooms each canvas pixel owns the view pixels whose middles lie in its square.
TEST(ZoomArithmetic, APointOfTheViewFindsTheCanvasPixelUnderIt) {
    for (double s : {1.0, 1.59, 2.67, 3.6}) {
        for (int x : {-1, 0, 319, 639}) {
            const int start = int(std::lround(2 * s));
            const int first = int(std::ceil(x * s + start - 0.5)), last = int(std::ceil((x + 1) * s + start - 0.5)) - 1;
            EXPECT_EQ(zoom::CanvasPixelAt({first, first}, s, 2), QPoint(x, x)) << s << " " << x;
            EXPECT_EQ(zoom::CanvasPixelAt({last, last}, s, 2), QPoint(x, x)) << s << " " << x;
            EXPECT_EQ(zoom::CanvasPixelAt({last + 1, 0}, s, 2).x(), x + 1) << s << " " << x;
        }
    }
}

// A harness on a screen with room for every zoom, in the menu state.
struct ZoomHarness : Harness {
    ZoomHarness() {
        form->view().roomForClientArea = [] { return QSize(3000, 2000); };
        startAndReachMenu();
    }
    void zoomTo(double s) {
        form->view().resetZoom();
        if (s == std::floor(s)) {
            for (int i = 1; i < s; ++i) ASSERT_TRUE(form->view().zoomIn());
            return;
        }
        // A screen that this zoom fills exactly.
        const QSize room(int(std::ceil(643 * s)), 3000);
        form->view().roomForClientArea = [room] { return room; };
        ASSERT_TRUE(form->view().fitToScreen());
        form->view().roomForClientArea = [] { return QSize(3000, 2000); };
        ASSERT_NEAR(form->view().zoom(), s, 0.002);
    }
};

TEST(ZoomedWindow, EveryControlAtItsGeometryAndFontTimesTheZoomAndBackExactly) {
    ZoomHarness h;
    std::map<QWidget*, std::pair<QRect, int>> at1x;
    for (QWidget* w : h.form->findChildren<QWidget*>())
        if (w->window() == h.form.get() && w->objectName() != QStringLiteral("fullScreenMargin"))
            at1x[w] = {w->geometry(), w->font().pixelSize()};
    ASSERT_GT(at1x.size(), 20u);
    for (double k : {2.0, 3.0, 4.0, 1.59, 2.67, 1.0}) {
        h.zoomTo(k);
        const double s = h.form->view().zoom();
        EXPECT_EQ(h.form->size(), zoom::Scaled(QSize(643, 404), s));
        for (const auto& [w, before] : at1x) {
            EXPECT_EQ(w->geometry(), zoom::Scaled(before.first, s)) << w->metaObject()->className() << " at " << k;
            EXPECT_EQ(w->font().pixelSize(), std::lround(before.second * s)) << w->metaObject()->className() << " at " << k;
        }
    }
}

// The drawing area of the view against the screen image, pixel for pixel from `start`; returns how
// many view pixels differ inside `allowed` (1x canvas pixels, which may differ) and fails on any outside.
int compareShown(const QImage& view, const QImage& screen, double s, QRegion allowed = {}) {
    const int start = int(std::lround(2 * s));
    int differing = 0;
    for (int y = 0; y < screen.height(); ++y)
        for (int x = 0; x < screen.width(); ++x) {
            if (view.pixel(start + x, start + y) == (screen.pixel(x, y) | 0xFF000000u)) continue;
            if (!allowed.contains(QPoint(int(x / s), int(y / s)))) {
                ADD_FAILURE() << "zoom " << s << ": view pixel " << x << "," << y << " is not the screen image's";
                return -1;
            }
            ++differing;
        }
    return differing;
}

// Nothing is enlarged after drawing: the canvas is drawn at the zoom and the view shows it as it is.
TEST(ZoomedWindow, CanvasShowsTheScreenImageDrawnAtTheZoomWithItsBorderAndPauseMark) {
    ZoomHarness h;
    h.form->ZensenCmd->click();
    h.clock->advance(20000);  // fronts, captions and sprites on screen
    for (double k : {2.0, 2.67, 3.0}) {
        h.zoomTo(k);
        const double s = h.form->view().zoom();
        ASSERT_EQ(h.screen().size(), zoom::Scaled(QSize(640, 400), s));
        const QImage view = h.form->Picture1->grab().toImage().convertToFormat(QImage::Format_RGB32);
        ASSERT_EQ(view.size(), zoom::Scaled(QSize(644, 404), s));
        compareShown(view, h.screen(), s);
        // The sunken border s pixels per line: grey, then dark grey, then the picture.
        EXPECT_EQ(view.pixel(int(s) - 1, 200 * int(s)), qRgb(128, 128, 128));
        EXPECT_EQ(view.pixel(int(2 * s) - 1, 200 * int(s)), qRgb(64, 64, 64));
    }
    h.form->view().togglePause();  // at 3x the mark takes the top-right corner, the timeline the foot
    const QImage paused = h.form->Picture1->grab().toImage().convertToFormat(QImage::Format_RGB32);
    const QRegion markAndTimeline = QRegion(600, 0, 40, 40) + QRegion(8, 380, 624, 14);
    EXPECT_GT(compareShown(paused, h.screen(), 3, markAndTimeline), 9 * (100 + 600));
}

TEST(ZoomedWindow, AClickAtTheZoomedPlaceOfEachControlReachesIt) {
    for (double k : {1.59, 1.98, 2.0, 2.67}) {
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
            input::mouseClick(f.windowHandle(), Qt::LeftButton, centre * f.view().zoom());
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
                                    "全画面表示 F11", "拡大 Ctrl++", "縮小 Ctrl+-", "元の大きさ Ctrl+0",
                                    "画面に合わせる Ctrl+9", "ふりがな ", "読み上げ V -"}));
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

// A platform with device pixels to spare (a browser page at ratio 2 on a phone) lets the window fit
// itself below 1x, down to the least zoom; the least zoom is taken even where it does not fit, or a
// canvas pixel would have less than a device pixel. The desktop's least is 1x.
TEST(ZoomedWindow, BelowOneTimesDownToTheLeastZoomAndAtLeastThat) {
    Harness h;
    h.startAndReachMenu();
    const struct {
        double least;
        QSize room;
        double zoom;
    } steps[] = {
        {1, {400, 300}, 1},
        {0.5, {400, 300}, 400.0 / 643},
        {0.5, {200, 100}, 0.5},
        {0.8, {200, 100}, 0.8},  // the ratio fell to 1.25
        {0.5, {1300, 808}, 2},
    };
    for (const auto& step : steps) {
        h.form->view().leastZoom = [least = step.least] { return least; };
        h.form->view().roomForClientArea = [room = step.room] { return room; };
        EXPECT_TRUE(h.form->view().fitToScreen()) << step.least;
        EXPECT_NEAR(h.form->view().zoom(), step.zoom, 1e-9) << step.least;
        EXPECT_EQ(h.form->size(), zoom::Scaled(zoom::kClientArea, step.zoom)) << step.least;
        EXPECT_EQ(h.form->SyuuryouCmd->geometry(), zoom::Scaled(QRect(496, 280, 129, 41), step.zoom)) << step.least;
    }
    EXPECT_FALSE(h.form->view().zoomIn()) << "no room for 3x";
    h.form->view().roomForClientArea = [] { return QSize(400, 300); };
    ASSERT_TRUE(h.form->view().fitToScreen());
    h.form->Picture1->customContextMenuRequested(QPoint(10, 10));
    EXPECT_EQ(h.form->view().contextMenu->font().pixelSize(), japaneseGothic(9, false).pixelSize()) << "never smaller than at 1x";
    h.form->view().contextMenu->hide();
}

TEST(FullScreen, F11FillsTheScreenCentredOnBlackAndEscapeGoesBackToTheWindowsZoom) {
    ZoomHarness h;
    h.zoomTo(2);
    input::activate(h.form.get());
    input::keyClick(h.form.get(), Qt::Key_F11);
    QApplication::processEvents();  // the window system's new geometry
    const QSize screen = h.form->screen()->geometry().size();
    ASSERT_EQ(h.form->size(), screen);
    const double s = zoom::FittingScale(zoom::kClientArea, screen);
    EXPECT_EQ(h.form->view().zoom(), s);
    const QPoint origin = zoom::CentredOrigin(zoom::kClientArea, s, screen);
    EXPECT_EQ(h.form->SyuuryouCmd->geometry(), zoom::Scaled(QRect(496, 280, 129, 41), s).translated(origin));
    const QImage shot = h.form->grab().toImage();
    // The limiting side filled, a black margin along the other.
    const QSize shown = zoom::Scaled(zoom::kClientArea, s);
    EXPECT_TRUE(shown.width() >= screen.width() - 1 || shown.height() >= screen.height() - 1);
    const QPoint margin = origin.x() > 0 ? QPoint(origin.x() - 1, 200) : QPoint(200, origin.y() - 1);
    ASSERT_GT(std::max(origin.x(), origin.y()), 0);
    for (const QPoint p : {QPoint(0, 0), margin, QPoint(screen.width() - 1, screen.height() - 1)})
        EXPECT_EQ(shot.pixel(p) | 0xFF000000u, qRgb(0, 0, 0)) << p.x() << "," << p.y();

    input::keyClick(h.form.get(), Qt::Key_Escape);
    QApplication::processEvents();
    EXPECT_EQ(h.form->size(), QSize(1286, 808));
    EXPECT_EQ(h.form->Picture1->pos(), QPoint(0, 0));
    input::keyClick(h.form.get(), Qt::Key_Escape);
    EXPECT_FALSE(h.form->view().isFullScreen()) << "Escape outside full screen does nothing";
}

}  // namespace
