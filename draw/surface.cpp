#include "draw/surface.h"

#include <QPainter>
#include <algorithm>
#include <cmath>
#include <vector>

namespace {

// What the device pixels along one axis take from a run of `count` canvas pixels that starts at
// canvas coordinate `at`: for each device pixel from `first` on, at most two canvas pixels (a device
// pixel is never wider than one canvas pixel) with their weights in 1/256 of a device pixel.
struct Tap {
    int source[2] = {0, 0};  // from the run's start
    int weight[2] = {0, 0};
};
struct Taps {
    int first = 0;
    std::vector<Tap> taps;
};

// Device pixels from `low` to `high` (exclusive) only.
Taps TapsAlong(int at, int count, double s, int low, int high) {
    Taps t;
    t.first = std::max(low, int(std::floor(at * s)));
    const int end = std::min(high, int(std::ceil((at + count) * s)));
    for (int x = t.first; x < end; ++x) {
        const double from = std::max(x / s, double(at)), to = std::min((x + 1) / s, double(at + count));
        Tap tap;
        const double split = std::floor(from) + 1;
        tap.source[0] = int(std::floor(from)) - at;
        const int total = int(std::lround((to - from) * s * 256));
        if (to > split) {
            tap.weight[0] = int(std::lround((split - from) * s * 256));
            tap.source[1] = tap.source[0] + 1;
            tap.weight[1] = total - tap.weight[0];
        } else {
            tap.weight[0] = total;
        }
        t.taps.push_back(tap);
    }
    return t;
}

// Each device pixel of the placed picture becomes the area-weighted mean of what `combine` makes
// of each canvas pixel it covers and the device pixel as it was; where it covers the picture only
// in part, the rest of it stays as it was. At a whole scale one tap of full weight: exact blocks.
// Where what is drawn does not depend on what was there (a copy), a device row inside the same
// canvas row as the one above is that row again.
enum class Rows { EachOwn, RepeatInsideACanvasRow };

template <typename Combine>
void Sample(Surface& surface, const QImage& picture, const QRect& source, QPoint at, Combine combine,
            Rows rows = Rows::EachOwn) {
    QImage& image = surface.image;
    const QPoint o = surface.origin;
    const Taps xs = TapsAlong(at.x(), source.width(), surface.scale, o.x(), o.x() + image.width());
    const Taps ys = TapsAlong(at.y(), source.height(), surface.scale, o.y(), o.y() + image.height());
    if (xs.taps.empty()) return;
    for (size_t j = 0; j < ys.taps.size(); ++j) {
        const Tap& ty = ys.taps[j];
        // From the first device pixel drawn on in this row.
        auto* row = reinterpret_cast<QRgb*>(image.scanLine(ys.first + int(j) - o.y())) + (xs.first - o.x());
        if (rows == Rows::RepeatInsideACanvasRow && j > 0 && ty.weight[0] == 256 && ys.taps[j - 1].weight[0] == 256 &&
            ys.taps[j - 1].source[0] == ty.source[0]) {
            const auto* above = reinterpret_cast<const QRgb*>(image.constScanLine(ys.first + int(j) - 1 - o.y())) +
                                (xs.first - o.x());
            std::copy(above, above + xs.taps.size(), row);
            continue;
        }
        const QRgb* in[2];
        for (int k = 0; k < 2; ++k)
            in[k] = reinterpret_cast<const QRgb*>(
                        picture.constScanLine(std::min(source.top() + ty.source[k], source.bottom()))) +
                    source.left();
        const bool wholeRow = ty.weight[0] == 256;
        for (size_t i = 0; i < xs.taps.size(); ++i) {
            const Tap& tx = xs.taps[i];
            QRgb& d = row[i];
            if (wholeRow && tx.weight[0] == 256) {  // inside one canvas pixel: as at 1x
                d = combine(in[0][tx.source[0]], d);
                continue;
            }
            int r = 0, g = 0, b = 0, covered = 0;
            for (int ky = 0; ky < 2; ++ky)
                for (int kx = 0; kx < 2; ++kx) {
                    const int w = ty.weight[ky] * tx.weight[kx];
                    if (w == 0) continue;
                    const QRgb c = combine(in[ky][std::min(tx.source[kx], source.width() - 1)], d);
                    r += w * qRed(c), g += w * qGreen(c), b += w * qBlue(c), covered += w;
                }
            const int rest = 65536 - covered;
            d = qRgb((r + rest * qRed(d) + 32768) >> 16, (g + rest * qGreen(d) + 32768) >> 16,
                     (b + rest * qBlue(d) + 32768) >> 16);
        }
    }
}

}  // namespace

Surface::Surface(QSize canvasSize, double s)
    : image(surface::DeviceSize(canvasSize, s), QImage::Format_RGB32), scale(s) {
    image.fill(Qt::white);
}

QRect Surface::deviceRect(const QRect& r) const {
    const auto at = [this](int canvas) { return int(std::lround(canvas * scale)); };
    return QRect(QPoint(at(r.left()), at(r.top())), QPoint(at(r.right() + 1) - 1, at(r.bottom() + 1) - 1));
}

namespace surface {

QSize DeviceSize(QSize canvasSize, double s) {
    return {int(std::lround(canvasSize.width() * s)), int(std::lround(canvasSize.height() * s))};
}

namespace {
// Canvas coordinates onto the surface's device pixels.
void Place(QPainter& p, const Surface& surface) {
    p.translate(-surface.origin);
    p.scale(surface.scale, surface.scale);
}
}  // namespace

void Line(Surface& surface, QPointF from, QPointF to, QRgb colour) {
    QPainter p(&surface.image);
    Place(p, surface);
    p.setPen(QPen(QColor(colour), 1));
    p.drawLine(from, to);
}

void Ellipse(Surface& surface, QPointF centre, qreal rx, qreal ry, QRgb pen, const QRgb* fill) {
    QPainter p(&surface.image);
    Place(p, surface);
    p.setPen(QPen(QColor(pen), 1));
    p.setBrush(fill ? QBrush(QColor(*fill)) : Qt::NoBrush);
    p.drawEllipse(centre, rx, ry);
}

void FillRect(Surface& surface, const QRect& canvasRect, QRgb colour) {
    QPainter(&surface.image).fillRect(surface.deviceRect(canvasRect).translated(-surface.origin), QColor(colour));
}

void Text(Surface& surface, const QString& text, QPointF at, QRgb colour, const QFont& font) {
    QPainter p(&surface.image);
    Place(p, surface);
    p.setFont(font);
    p.setPen(QColor(colour));
    const QRectF area(at, QSizeF(1 << 14, 1 << 14));  // never a reason to wrap
    p.drawText(area, Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, text);
}

// SRCERASE with the mask, then SRCINVERT with the colours: d = c XOR (m AND NOT d), where the mask
// bit stands for white.
void MaskedCopy(Surface& surface, const QImage& packedSheet, const QRect& source, QPoint at) {
    Sample(surface, packedSheet, source, at, [](QRgb s, QRgb d) {
        const quint32 mask = quint32(qint32(s) >> 31) & 0x00FFFFFFu;
        return ((s ^ (mask & ~d)) & 0x00FFFFFFu) | 0xFF000000u;
    });
}

QImage Enlarged(const QImage& picture, double s) {
    if (s == 1) return picture;  // what sampling gives at 1x, without the pass
    Surface enlarged;
    enlarged.scale = s;
    // The last row and column may reach a little past the picture: they take its nearest pixels.
    enlarged.image = picture.scaled(DeviceSize(picture.size(), s), Qt::IgnoreAspectRatio, Qt::FastTransformation)
                         .convertToFormat(QImage::Format_RGB32);
    Sample(enlarged, picture, picture.rect(), {0, 0}, [](QRgb s, QRgb) { return s; }, Rows::RepeatInsideACanvasRow);
    return enlarged.image;
}

}  // namespace surface
