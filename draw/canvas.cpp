#include "draw/canvas.h"

#include <QFontMetrics>
#include <QPainter>
#include <algorithm>
#include <cmath>
#include <optional>

#include "draw/fonts.h"
#include "draw/palette.h"

namespace {
constexpr double kLargestScaleKeptEnlarged = 3;  // 1920 x 1200 pixels, 9 MB
}

Canvas::Canvas()
    : background_(kWidth, kHeight, QImage::Format_RGB32), persistent_({kWidth, kHeight}, 1), screen_({kWidth, kHeight}, 1) {
    background_.fill(Qt::white);
}

QRect pixelRect(float x1, float y1, float x2, float y2) {
    const int left = int(std::lround(std::min(x1, x2))), right = int(std::lround(std::max(x1, x2)));
    const int top = int(std::lround(std::min(y1, y2))), bottom = int(std::lround(std::max(y1, y2)));
    return QRect(QPoint(left, top), QPoint(right, bottom));
}

void Canvas::notify() {
    if (changed) changed();
}

void Canvas::paint(Drawing drawing) {
    draw(layer_, drawing);
    sinceRefresh_.push_back({layer_, std::move(drawing)});
    notify();
}

void Canvas::draw(Layer layer, const Drawing& drawing) {
    if (layer == Layer::Overlay) {
        drawing(screen_);
        screenIsPersistent_ = false;
    } else if (screenIsPersistent_) {
        // One drawing for both, on one image: the screen lets go of its share so that none is copied.
        screen_.image = QImage();
        drawing(persistent_);
        screen_.image = persistent_.image;
    } else {
        // Persistent drawing shows at once too, on top of the overlay already on the screen.
        drawing(persistent_);
        drawing(screen_);
    }
}

void Canvas::refresh() {
    wipeOverlay();
    std::erase_if(texts_, [](const WrittenText& t) { return t.layer == Layer::Overlay; });
    for (WrittenText& t : texts_) t.coveredByOverlay = false;
    notify();
    notifyTexts();
}

void Canvas::wipeOverlay() {
    screen_ = persistent_;
    screenIsPersistent_ = true;
    for (Drawn& d : sinceRefresh_)
        if (d.layer == Layer::Persistent) persistentLog_.push_back(std::move(d.drawing));
    sinceRefresh_.clear();
}

void Canvas::setScale(double scale) {
    scale = std::max(1.0, scale);
    if (scale == persistent_.scale) return;
    persistent_.scale = screen_.scale = scale;
    drawAgain();
    notify();
}

// The background at the scale, the persistent drawings up to the last refresh, then everything
// since in the order it was drawn: the same picture at any scale.
void Canvas::drawAgain() {
    const std::pair<qint64, double> key{backgroundKey_, persistent_.scale};
    if (key != enlargedKey_) {
        screen_.image = persistent_.image = QImage();  // not three at once
        enlarged_ = surface::Enlarged(background_, persistent_.scale);
        enlargedKey_ = key;
    }
    screen_.image = persistent_.image = enlarged_;
    // Kept for the next time this background is set while it is small; on the largest screens its
    // memory counts for more than the time it saves.
    if (persistent_.scale > kLargestScaleKeptEnlarged) {
        enlarged_ = QImage();
        enlargedKey_ = {};
    }
    screenIsPersistent_ = true;
    for (const Drawing& drawing : persistentLog_) draw(Layer::Persistent, drawing);
    screen_ = persistent_;
    screenIsPersistent_ = true;
    for (const Drawn& d : sinceRefresh_) draw(d.layer, d.drawing);
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
    backgroundKey_ = picture.cacheKey();
    background_ = picture.convertToFormat(QImage::Format_RGB32);
    if (background_.size() != QSize(kWidth, kHeight)) {
        QImage sized(kWidth, kHeight, QImage::Format_RGB32);
        sized.fill(Qt::black);
        QPainter(&sized).drawImage(0, 0, background_);
        background_ = sized;
    }
    persistentLog_.clear();
    sinceRefresh_.clear();
    drawAgain();
    texts_.clear();
    notify();
    notifyTexts();
}

void Canvas::line(float x1, float y1, float x2, float y2, int colour) {
    paint([=](Surface& s) { surface::Line(s, QPointF(x1, y1), QPointF(x2, y2), QBColor(colour)); });
}

void Canvas::boxOutline(float x1, float y1, float x2, float y2, int colour) {
    const QRect r = pixelRect(x1, y1, x2, y2);
    const std::optional<QRgb> fill = fillSolid_ ? std::optional(QBColor(fillColour_)) : std::nullopt;
    paint([=](Surface& s) {
        if (fill) surface::FillRect(s, r, *fill);
        const QRgb c = QBColor(colour);
        surface::FillRect(s, QRect(r.left(), r.top(), r.width(), 1), c);
        surface::FillRect(s, QRect(r.left(), r.bottom(), r.width(), 1), c);
        surface::FillRect(s, QRect(r.left(), r.top(), 1, r.height()), c);
        surface::FillRect(s, QRect(r.right(), r.top(), 1, r.height()), c);
    });
    if (fill) coverTexts(r);
}

void Canvas::filledBox(float x1, float y1, float x2, float y2, int colour) {
    const QRect r = pixelRect(x1, y1, x2, y2);
    paint([=](Surface& s) { surface::FillRect(s, r, QBColor(colour)); });
    coverTexts(r);
}

void Canvas::ellipse(float x, float y, float r, int colour, float aspect) {
    const std::optional<QRgb> fill = fillSolid_ ? std::optional(QBColor(fillColour_)) : std::nullopt;
    paint([=](Surface& s) {
        surface::Ellipse(s, QPointF(x, y), qreal(r), qreal(r) * aspect, QBColor(colour), fill ? &*fill : nullptr);
    });
}

void Canvas::text(const QString& text, float x, float y, int colour, int sizePoints) {
    if (text.isEmpty()) return;
    const QFont font = japaneseGothic(sizePoints, bold_);
    paint([=](Surface& s) { surface::Text(s, text, QPointF(x, y), QBColor(colour), font); });
    const QFontMetrics metrics(font);
    noteText(text, QRectF(x, y, metrics.horizontalAdvance(text), metrics.height()).toAlignedRect());
}

void Canvas::maskedCopy(const QImage& packedSheet, const QRect& source, QPoint at) {
    if (!QRect(at, source.size()).intersects(QRect(0, 0, kWidth, kHeight))) return;
    paint([=](Surface& s) { surface::MaskedCopy(s, packedSheet, source, at); });
}
