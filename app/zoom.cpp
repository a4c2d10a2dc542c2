#include "app/zoom.h"

#include <algorithm>
#include <cmath>

namespace zoom {

namespace {
int Times(int length, double s) { return int(std::lround(length * s)); }
}  // namespace

QRect Scaled(const QRect& g, double s) {
    return QRect(QPoint(Times(g.left(), s), Times(g.top(), s)),
                 QPoint(Times(g.right() + 1, s) - 1, Times(g.bottom() + 1, s) - 1));
}

QSize Scaled(QSize size, double s) { return {Times(size.width(), s), Times(size.height(), s)}; }

bool Fits(QSize content, double s, QSize area) {
    const QSize scaled = Scaled(content, s);
    return scaled.width() <= area.width() && scaled.height() <= area.height();
}

int LargestFitting(QSize content, QSize area) {
    for (int k = kMax; k > kMin; --k)
        if (Fits(content, k, area)) return k;
    return kMin;
}

double FittingScale(QSize content, QSize area, double least) {
    const double s = std::min(double(area.width()) / content.width(), double(area.height()) / content.height());
    return std::max(least, s);
}

// A hair of tolerance, so that a scale that is whole but for rounding counts as that step.
int StepAbove(double s) { return int(std::floor(s + 1e-9)) + 1; }
int StepBelow(double s) { return int(std::ceil(s - 1e-9)) - 1; }

QPoint CentredOrigin(QSize content, double s, QSize area) {
    const QSize scaled = Scaled(content, s);
    return {std::max(0, (area.width() - scaled.width()) / 2), std::max(0, (area.height() - scaled.height()) / 2)};
}

// The middle of the view pixel decides, so that at a whole zoom k each canvas pixel owns exactly
// its k x k block.
QPoint CanvasPixelAt(QPoint viewPoint, double s, int border) {
    const double start = std::lround(border * s);
    const auto at = [&](int v) { return int(std::floor((v + 0.5 - start) / s)); };
    return {at(viewPoint.x()), at(viewPoint.y())};
}

}  // namespace zoom
