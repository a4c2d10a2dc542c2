#pragma once
// Where the window goes in the page's program area (Qt's screen, in CSS pixels), free of widgets:
// it fills the area at the largest zoom, leaving room for the chart's frame beside or below it
// while the chart is shown, and its corner lies on a whole device pixel, so that the browser
// shows the window's raster as it is, never resampled.

#include <QPoint>
#include <QSize>

namespace pagefit {

// The smallest zoom at which each canvas pixel still has a device pixel of its own.
double LeastZoom(double devicePixelRatio);

// An empty chart frame is a hidden chart.
enum class ChartSide { None, Right, Below };
// The side that leaves the window the larger zoom.
ChartSide SideForTheChart(QSize area, QSize chartFrame);
// The area less the chart's frame on its side.
QSize RoomForTheWindow(QSize area, QSize chartFrame);
// The window and the chart's frame together centred in the area, the window's corner moved by a few
// pixels at most to lie on whole device pixels.
QPoint WindowOrigin(QSize area, QSize window, QSize chartFrame, double devicePixelRatio);

}  // namespace pagefit
