// Where the web page's window goes: filling the page's program area at the largest zoom, leaving the
// chart its room beside or below while it is shown, its corner on a whole device pixel.

#include <gtest/gtest.h>

#include "app/zoom.h"
#include "platform/web/pagefit.h"

namespace {

// The pages of a laptop, one at 150 %, a tablet, the tablet upright, and a phone on its side (each
// less the toolbar's 60 pixels); the chart's frame is 408 x 330 with Qt's title bar and border. The
// window is centred where the ratio allows, else moved by the least to a whole device pixel (at
// 1.5, every other pixel).
TEST(PageFit, TheWindowFillsTheAreaAndLeavesTheChartItsRoom) {
    constexpr QSize kChart{408, 330};
    const struct {
        const char* what;
        QSize area;
        QSize chart;
        double ratio;
        double devicePixelsPerPixel;
        QPoint origin;
    } pages[] = {
        {"1366 x 768", {1366, 708}, {}, 1, 1.75, {119, 0}},
        {"1280 x 720 at ratio 1.5", {1280, 660}, {}, 1.5, 2.45, {114, 0}},
        {"1180 x 820 at ratio 2", {1180, 760}, {}, 2, 3.67, {0, 9}},
        {"1366 x 768, chart beside", {1366, 708}, kChart, 1, 1.49, {0, 53}},
        {"1180 x 820 at ratio 2, chart beside", {1180, 760}, kChart, 2, 2.40, {0, 137}},
        {"820 x 1180 at ratio 2, chart below", {820, 1120}, kChart, 2, 2.55, {0, 137}},
        {"844 x 390 at ratio 3", {844, 330}, {}, 3, 2.45, {159, 0}},
        {"844 x 390 at ratio 3, chart beside", {844, 330}, kChart, 3, 2.03, {0, 0}},
    };
    for (const auto& p : pages) {
        const QSize room = pagefit::RoomForTheWindow(p.area, p.chart);
        const double s = zoom::FittingScale(zoom::kClientArea, room, pagefit::LeastZoom(p.ratio));
        EXPECT_NEAR(s * p.ratio, p.devicePixelsPerPixel, 0.005) << p.what;
        const QSize window = zoom::Scaled(zoom::kClientArea, s);
        EXPECT_TRUE(window.width() >= room.width() - 1 || window.height() >= room.height() - 1) << p.what;
        const QPoint origin = pagefit::WindowOrigin(p.area, window, p.chart, p.ratio);
        EXPECT_EQ(origin, p.origin) << p.what;
        const QRect placed(origin, window);
        EXPECT_TRUE(QRect(QPoint(0, 0), p.area).contains(placed)) << p.what;
        if (p.chart.isEmpty()) continue;
        // Where the chart goes, beside the window's right edge or under it, it fits the area.
        const bool beside = room.width() < p.area.width();
        const QPoint chartAt = beside ? QPoint(placed.right() + 1, placed.top()) : QPoint(placed.left(), placed.bottom() + 1);
        EXPECT_TRUE(QRect(QPoint(0, 0), p.area).contains(QRect(chartAt, p.chart))) << p.what;
    }
}

}  // namespace
