#pragma once
// One image of the canvas at a device scale s: canvas pixel (x, y) covers the device pixels from
// (x s, y s) to ((x + 1) s, (y + 1) s). Every primitive draws at the device resolution, so that
// text, lines and outlines are as sharp as the output allows, while pictures keep their pixels:
// at a whole scale each canvas pixel of a picture is a clean s x s block; at a fractional one, a
// device pixel takes the canvas pixels it covers in proportion to the area it covers of each, which
// is what enlarging by the next whole scale above and then averaging down to s gives. At s = 1 every
// primitive draws exactly the canvas's own pixels.

#include <QFont>
#include <QImage>
#include <QPointF>
#include <QRect>
#include <QString>

struct Surface {
    QImage image;
    double scale = 1;
    QPoint origin;  // the device pixel that the image's top-left pixel is: a part of the whole

    Surface() = default;
    Surface(QSize canvasSize, double scale);  // filled white
    // A canvas rectangle in device pixels, each edge rounded to the nearest device pixel, so that
    // rectangles that meet on the canvas meet on the device.
    QRect deviceRect(const QRect& canvasRect) const;
};

namespace surface {

// Canvas size times s, rounded.
QSize DeviceSize(QSize canvasSize, double scale);

// A 1-pixel pen at 1x, s device pixels wide, without anti-aliasing as at 1x.
void Line(Surface& surface, QPointF from, QPointF to, QRgb colour);
void Ellipse(Surface& surface, QPointF centre, qreal rx, qreal ry, QRgb pen, const QRgb* fill);
void FillRect(Surface& surface, const QRect& canvasRect, QRgb colour);
// One line of text with its top-left corner at `at`, in `font` (sized for 1x) enlarged by s.
void Text(Surface& surface, const QString& text, QPointF at, QRgb colour, const QFont& font);

// canvas = colour XOR (mask AND NOT canvas) over the rectangle `source` of a packed sprite sheet
// (the colour in the low 24 bits, the mask in the top bit), its top-left corner at the canvas pixel
// `at`, clipped at the surface's edge.
void MaskedCopy(Surface& surface, const QImage& packedSheet, const QRect& source, QPoint at);

// A picture of canvas size at the surface's scale, its pixels as described above.
QImage Enlarged(const QImage& picture, double scale);

}  // namespace surface
