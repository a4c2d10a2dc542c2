#pragma once
// The arithmetic of the zoomed window, free of widgets: every control at its 1x geometry times a
// zoom s (whole steps from 1x to 4x, or the scale that fits a screen), the scale that fits an area,
// where the content sits in full screen, and which canvas pixel a point of the canvas view shows.

#include <QPoint>
#include <QPointF>
#include <QRect>
#include <QSize>

namespace zoom {

inline constexpr int kMin = 1;
inline constexpr int kMax = 4;
inline constexpr QSize kClientArea{643, 404};  // the window's client area at 1x

// Each edge times s, rounded: rectangles that meet at 1x meet at every zoom.
QRect Scaled(const QRect& geometry, double s);
QSize Scaled(QSize size, double s);
bool Fits(QSize content, double s, QSize area);
// The largest whole zoom from kMin to kMax at which content fits the area; kMin if none does.
int LargestFitting(QSize content, QSize area);
// The largest scale, whole or not, at which content fits the area, and at least `least`: the
// limiting side filled to within a pixel.
double FittingScale(QSize content, QSize area, double least = kMin);
// The whole zoom steps next above and below s.
int StepAbove(double s);
int StepBelow(double s);
// Top-left corner of the content at zoom s centred in the area (never left of or above it).
QPoint CentredOrigin(QSize content, double s, QSize area);
// The canvas pixel under a point of the canvas view at zoom s whose drawing area starts `border`
// 1x pixels in; points on the border give pixels just outside 0..639 x 0..399.
QPoint CanvasPixelAt(QPoint viewPoint, double s, int border);

}  // namespace zoom
