#include "platform/web/pagefit.h"

#include <algorithm>
#include <cmath>

#include "app/zoom.h"

namespace pagefit {

namespace {

// Enough for every ratio of whole tenths or sixteenths (1.1, 1.25, 1.5, 2.625).
constexpr int kMostShift = 8;

bool OnDevicePixel(int v, double ratio) {
    const double device = v * ratio;
    return std::abs(device - std::round(device)) < 1e-6;
}

// The nearest position to v, no less than 0, on a whole device pixel; v itself where none is near.
int OnDevicePixels(int v, double ratio) {
    for (int shift = 0; shift <= kMostShift; ++shift)
        for (int at : {v - shift, v + shift})
            if (at >= 0 && OnDevicePixel(at, ratio)) return at;
    return v;
}

QSize Less(QSize area, QSize chartFrame, ChartSide side) {
    switch (side) {
        case ChartSide::Right: return {area.width() - chartFrame.width(), area.height()};
        case ChartSide::Below: return {area.width(), area.height() - chartFrame.height()};
        case ChartSide::None: break;
    }
    return area;
}

QSize Together(QSize window, QSize chartFrame, ChartSide side) {
    switch (side) {
        case ChartSide::Right:
            return {window.width() + chartFrame.width(), std::max(window.height(), chartFrame.height())};
        case ChartSide::Below:
            return {std::max(window.width(), chartFrame.width()), window.height() + chartFrame.height()};
        case ChartSide::None: break;
    }
    return window;
}

}  // namespace

double LeastZoom(double devicePixelRatio) { return 1 / devicePixelRatio; }

ChartSide SideForTheChart(QSize area, QSize chartFrame) {
    if (chartFrame.isEmpty()) return ChartSide::None;
    const auto scale = [&](ChartSide side) {
        return zoom::FittingScale(zoom::kClientArea, Less(area, chartFrame, side), 0);
    };
    return scale(ChartSide::Below) > scale(ChartSide::Right) ? ChartSide::Below : ChartSide::Right;
}

QSize RoomForTheWindow(QSize area, QSize chartFrame) {
    return Less(area, chartFrame, SideForTheChart(area, chartFrame)).expandedTo(QSize(0, 0));
}

QPoint WindowOrigin(QSize area, QSize window, QSize chartFrame, double devicePixelRatio) {
    const QSize pair = Together(window, chartFrame, SideForTheChart(area, chartFrame));
    const QSize slack = (area - pair).expandedTo(QSize(0, 0));
    // 0 is on a whole device pixel, so the corner moves no further from the centre than the centre
    // lies from 0: the window stays inside the area.
    return {OnDevicePixels(slack.width() / 2, devicePixelRatio), OnDevicePixels(slack.height() / 2, devicePixelRatio)};
}

}  // namespace pagefit
