#pragma once
// The arithmetic of the zoomed window, free of widgets: every control at its 1x geometry times a
// whole zoom k, the largest zoom that fits an area, where the content sits in full screen, and
// which canvas pixel a point of the zoomed canvas view shows.

#include <QPoint>
#include <QRect>
#include <QSize>

namespace zoom {

inline constexpr int kMin = 1;
inline constexpr int kMax = 4;
inline constexpr QSize kClientArea{643, 404};  // the window's client area at 1x

QRect Scaled(const QRect& geometry, int k);
QSize Scaled(QSize size, int k);
bool Fits(QSize content, int k, QSize area);
// The largest zoom from kMin to kMax at which content fits the area; kMin if none does.
int LargestFitting(QSize content, QSize area);
// Top-left corner of the content at zoom k centred in the area (never left of or above it).
QPoint CentredOrigin(QSize content, int k, QSize area);
// The canvas pixel under a point of the canvas view at zoom k whose drawing area starts `border`
// 1x pixels in; points on the border give pixels just outside 0..639 x 0..399.
QPoint CanvasPixelAt(QPoint viewPoint, int k, int border);

}  // namespace zoom
