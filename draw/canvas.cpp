#include "draw/canvas.h"

#include <QFontMetrics>
#include <QPainter>
#include <algorithm>
#include <cmath>

#include "draw/fonts.h"
#include "draw/palette.h"

namespace {

// SRCERASE with the mask, then SRCINVERT with the colours, in one pass: d = c XOR (m AND NOT d).
// Each sheet pixel carries its colour in the low 24 bits and its black-or-white mask in the top bit.
void combineRow(QRgb* __restrict d, const QRgb* __restrict packed, int width) {
    for (int x = 0; x < width; ++x) {
        const quint32 s = packed[x];
        const quint32 mask = quint32(qint32(s) >> 31) & 0x00FFFFFFu;
        d[x] = ((s ^ (mask & ~d[x])) & 0x00FFFFFFu) | 0xFF000000u;
    }
}

}  // namespace

Canvas::Canvas()
    : persistent_(kWidth, kHeight, QImage::Format_RGB32), screen_(kWidth, kHeight, QImage::Format_RGB32) {
    persistent_.fill(Qt::white);
    screen_.fill(Qt::white);
}

QRect pixelRect(float x1, float y1, float x2, float y2) {
    const int left = int(std::lround(std::min(x1, x2))), right = int(std::lround(std::max(x1, x2)));
    const int top = int(std::lround(std::min(y1, y2))), bottom = int(std::lround(std::max(y1, y2)));
    return QRect(QPoint(left, top), QPoint(right, bottom));
}

void Canvas::notify() {
    if (changed) changed();
}

template <typename Paint>
void Canvas::paint(Paint&& paintOne) {
    // Persistent drawing shows at once too, on top of the overlay already on the screen.
    if (layer_ == Layer::Persistent) paintOne(persistent_);
    paintOne(screen_);
    notify();
}

void Canvas::refresh() {
    screen_ = persistent_;
    std::erase_if(texts_, [](const WrittenText& t) { return t.layer == Layer::Overlay; });
    for (WrittenText& t : texts_) t.coveredByOverlay = false;
    notify();
    notifyTexts();
}

QStringList Canvas::visibleTexts() const {
    QStringList visible;
    for (const WrittenText& t : texts_)
        if (!t.coveredByOverlay) visible.append(t.text);
    return visible;
}

void Canvas::notifyTexts() {
    if (textsChanged) textsChanged();
}

void Canvas::noteText(const QString& text, const QRect& area) {
    texts_.push_back({text, area, layer_});
    notifyTexts();
}

void Canvas::coverTexts(const QRect& area) {
    const size_t before = texts_.size();
    bool covered = false;
    for (WrittenText& t : texts_) {
        if (!area.contains(t.area)) continue;
        if (layer_ == Layer::Persistent || t.layer == Layer::Overlay)
            t.text.clear();  // painted over for good
        else
            covered = t.coveredByOverlay = true;
    }
    std::erase_if(texts_, [](const WrittenText& t) { return t.text.isEmpty(); });
    if (covered || texts_.size() != before) notifyTexts();
}

void Canvas::setBackground(const QImage& picture) {
    persistent_ = picture.convertToFormat(QImage::Format_RGB32);
    if (persistent_.size() != QSize(kWidth, kHeight)) {
        QImage sized(kWidth, kHeight, QImage::Format_RGB32);
        sized.fill(Qt::black);
        QPainter(&sized).drawImage(0, 0, persistent_);
        persistent_ = sized;
    }
    screen_ = persistent_;
    texts_.clear();
    notify();
    notifyTexts();
}

void Canvas::line(float x1, float y1, float x2, float y2, int colour) {
    paint([&](QImage& image) {
        QPainter p(&image);
        p.setPen(QPen(QColor(QBColor(colour)), 1));
        p.drawLine(QPointF(x1, y1), QPointF(x2, y2));
    });
}

void Canvas::boxOutline(float x1, float y1, float x2, float y2, int colour) {
    const QRect r = pixelRect(x1, y1, x2, y2);
    paint([&](QImage& image) {
        QPainter p(&image);
        if (fillSolid_) p.fillRect(r, QColor(QBColor(fillColour_)));
        const QColor c(QBColor(colour));
        p.fillRect(QRect(r.left(), r.top(), r.width(), 1), c);
        p.fillRect(QRect(r.left(), r.bottom(), r.width(), 1), c);
        p.fillRect(QRect(r.left(), r.top(), 1, r.height()), c);
        p.fillRect(QRect(r.right(), r.top(), 1, r.height()), c);
    });
    if (fillSolid_) coverTexts(r);
}

void Canvas::filledBox(float x1, float y1, float x2, float y2, int colour) {
    const QRect r = pixelRect(x1, y1, x2, y2);
    paint([&](QImage& image) { QPainter(&image).fillRect(r, QColor(QBColor(colour))); });
    coverTexts(r);
}

void Canvas::ellipse(float x, float y, float r, int colour, float aspect) {
    paint([&](QImage& image) {
        QPainter p(&image);
        p.setPen(QPen(QColor(QBColor(colour)), 1));
        p.setBrush(fillSolid_ ? QBrush(QColor(QBColor(fillColour_))) : Qt::NoBrush);
        p.drawEllipse(QPointF(x, y), qreal(r), qreal(r) * aspect);
    });
}

void Canvas::text(const QString& text, float x, float y, int colour, int sizePoints) {
    if (text.isEmpty()) return;
    const QFont font = japaneseGothic(sizePoints, bold_);
    paint([&](QImage& image) {
        QPainter p(&image);
        p.setFont(font);
        p.setPen(QColor(QBColor(colour)));
        const QRectF area(x, y, kWidth * 2, kHeight * 2);
        p.drawText(area, Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, text);
    });
    const QFontMetrics metrics(font);
    noteText(text, QRectF(x, y, metrics.horizontalAdvance(text), metrics.height()).toAlignedRect());
}

void Canvas::maskedCopy(const QImage& packedSheet, const QRect& source, QPoint at) {
    const QRect target = QRect(at, source.size()) & QRect(0, 0, kWidth, kHeight);
    if (target.isEmpty()) return;
    const QPoint offset = source.topLeft() - at;
    const int width = target.width();
    paint([&](QImage& image) {
        const qsizetype stride = image.bytesPerLine() / qsizetype(sizeof(QRgb));
        QRgb* row = reinterpret_cast<QRgb*>(image.bits()) + target.top() * stride + target.left();
        for (int y = target.top(); y <= target.bottom(); ++y, row += stride) {
            const int sourceY = y + offset.y(), sourceX = target.left() + offset.x();
            combineRow(row, reinterpret_cast<const QRgb*>(packedSheet.constScanLine(sourceY)) + sourceX, width);
        }
    });
}
