#include "app/zoom.h"

#include <algorithm>

namespace zoom {

namespace {
int floorDiv(int a, int b) { return a >= 0 ? a / b : -((-a + b - 1) / b); }
}  // namespace

QRect Scaled(const QRect& geometry, int k) { return {geometry.topLeft() * k, Scaled(geometry.size(), k)}; }

QSize Scaled(QSize size, int k) { return size * k; }

bool Fits(QSize content, int k, QSize area) {
    const QSize s = Scaled(content, k);
    return s.width() <= area.width() && s.height() <= area.height();
}

int LargestFitting(QSize content, QSize area) {
    for (int k = kMax; k > kMin; --k)
        if (Fits(content, k, area)) return k;
    return kMin;
}

QPoint CentredOrigin(QSize content, int k, QSize area) {
    const QSize s = Scaled(content, k);
    return {std::max(0, (area.width() - s.width()) / 2), std::max(0, (area.height() - s.height()) / 2)};
}

QPoint CanvasPixelAt(QPoint viewPoint, int k, int border) {
    return {floorDiv(viewPoint.x(), k) - border, floorDiv(viewPoint.y(), k) - border};
}

}  // namespace zoom
