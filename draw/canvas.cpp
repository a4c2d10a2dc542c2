#include "draw/canvas.h"

#include <QFontMetrics>
#include <QFontMetricsF>
#include <QPainter>
#include <algorithm>
#include <cmath>
#include <optional>

#include "draw/fonts.h"
#include "draw/palette.h"
#include "draw/text.h"

Canvas::Canvas() : background_(kWidth, kHeight, QImage::Format_RGB32) {
    background_.fill(Qt::white);
    // The blank screen at 1x is the blank background: one white image, shared until either is drawn on.
    screen_.image = background_;
}

QRect pixelRect(float x1, float y1, float x2, float y2) {
    const int left = int(std::lround(std::min(x1, x2))), right = int(std::lround(std::max(x1, x2)));
    const int top = int(std::lround(std::min(y1, y2))), bottom = int(std::lround(std::max(y1, y2)));
    return QRect(QPoint(left, top), QPoint(right, bottom));
}

void Canvas::notify() {
    if (changed) changed();
}

void Canvas::paint(std::function<void(Surface&)> draw, QRect bounds) {
    paint(Drawing{std::move(draw), bounds, std::nullopt, std::nullopt});
}

void Canvas::paint(Drawing drawing) {
    persistentCache_ = QImage();
    drawing.bounds &= QRect(0, 0, kWidth, kHeight);
    this->draw(layer_, drawing);
    sinceRefresh_.push_back({layer_, std::move(drawing)});
    notify();
}

// Persistent drawing shows at once too, on top of the overlay already on the screen.
void Canvas::draw(Layer layer, const Drawing& drawing) {
    // A device pixel's worth around it, for anti-aliasing and rounding.
    const QRect area = screen_.deviceRect(drawing.bounds).adjusted(-1, -1, 1, 1);
    if (layer == Layer::Overlay) keepAside(area);
    drawing.draw(screen_);
    if (layer == Layer::Overlay) return;
    for (Patch& patch : under_) {
        if (!patch.area.intersects(area)) continue;
        Surface aside;
        aside.scale = screen_.scale;
        aside.origin = patch.area.topLeft();
        aside.image = std::move(patch.pixels);
        drawing.draw(aside);
        patch.pixels = std::move(aside.image);
    }
}

void Canvas::keepAside(const QRect& area) {
    const QRegion fresh = QRegion(area & screen_.image.rect()) - kept_;
    for (const QRect& r : fresh) under_.push_back({r, screen_.image.copy(r)});
    kept_ += fresh;
}

void Canvas::putBack() {
    persistentCache_ = QImage();
    QPainter p(&screen_.image);
    p.setCompositionMode(QPainter::CompositionMode_Source);
    for (const Patch& patch : under_) p.drawImage(patch.area.topLeft(), patch.pixels);
    under_.clear();
    kept_ = QRegion();
}

QImage Canvas::persistentImage() const {
    if (under_.empty()) return screen_.image;
    if (persistentCache_.isNull()) {
        persistentCache_ = screen_.image.copy();
        QPainter p(&persistentCache_);
        p.setCompositionMode(QPainter::CompositionMode_Source);
        for (const Patch& patch : under_) p.drawImage(patch.area.topLeft(), patch.pixels);
    }
    return persistentCache_;
}

void Canvas::refresh() {
    putBack();
    for (Drawn& d : sinceRefresh_)
        if (d.layer == Layer::Persistent) persistentLog_.push_back(std::move(d.drawing));
    sinceRefresh_.clear();
    std::erase_if(texts_, [](const WrittenText& t) { return t.layer == Layer::Overlay; });
    for (WrittenText& t : texts_) t.coveredByOverlay = false;
    notify();
    notifyTexts();
}

void Canvas::setScale(double scale) {
    scale = std::max(1.0, scale);
    if (scale == screen_.scale) return;
    screen_.scale = scale;
    drawAgain();
    notify();
}

namespace {
constexpr double kLargestScaleKeptEnlarged = 3;  // 1920 x 1200 pixels, 9 MB
}

// The background at the scale, the persistent drawings up to the last refresh, then everything
// since in the order it was drawn: the same picture at any scale.
void Canvas::drawAgain() {
    persistentCache_ = QImage();
    under_.clear();
    kept_ = QRegion();
    const std::pair<qint64, double> key{backgroundKey_, screen_.scale};
    if (key != enlargedKey_) {
        screen_.image = QImage();  // not two at once
        enlarged_ = surface::Enlarged(background_, screen_.scale);
        enlargedKey_ = key;
    }
    screen_.image = enlarged_;
    // Kept for the next time this background is set while it is small; on the largest screens its
    // memory counts for more than the time it saves.
    if (screen_.scale > kLargestScaleKeptEnlarged) {
        enlarged_ = QImage();
        enlargedKey_ = {};
    }
    for (const Drawing& drawing : persistentLog_) draw(Layer::Persistent, drawing);
    for (const Drawn& d : sinceRefresh_) draw(d.layer, d.drawing);
}

QStringList Canvas::visibleTexts() const {
    QStringList visible;
    for (const WrittenText& t : texts_)
        if (!t.coveredByOverlay) visible.append(t.text);
    return visible;
}

std::vector<QRect> Canvas::visibleTextExtents() const {
    std::vector<QRect> extents;
    for (const WrittenText& t : texts_)
        if (!t.coveredByOverlay) extents.push_back(t.extent);
    return extents;
}

void Canvas::notifyTexts() {
    if (textsChanged && !replaying_) textsChanged();
}

void Canvas::noteText(const QString& text, const QRect& area, const QRect& extent) {
    texts_.push_back({text, area, extent, layer_});
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
    paint([=](Surface& s) { surface::Line(s, QPointF(x1, y1), QPointF(x2, y2), QBColor(colour)); },
          pixelRect(x1, y1, x2, y2).adjusted(-1, -1, 1, 1));
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
    }, r);
    if (fill) {
        sinceRefresh_.back().drawing.covers = r;
        coverTexts(r);
    }
}

void Canvas::filledBox(float x1, float y1, float x2, float y2, int colour) {
    const QRect r = pixelRect(x1, y1, x2, y2);
    paint([=](Surface& s) { surface::FillRect(s, r, QBColor(colour)); }, r);
    sinceRefresh_.back().drawing.covers = r;
    coverTexts(r);
}

void Canvas::ellipse(float x, float y, float r, int colour, float aspect) {
    const std::optional<QRgb> fill = fillSolid_ ? std::optional(QBColor(fillColour_)) : std::nullopt;
    paint([=](Surface& s) {
        surface::Ellipse(s, QPointF(x, y), qreal(r), qreal(r) * aspect, QBColor(colour), fill ? &*fill : nullptr);
    }, QRectF(x - r, y - r * aspect, 2 * r, 2 * r * aspect).toAlignedRect().adjusted(-1, -1, 1, 1));
}

void Canvas::text(const QString& text, float x, float y, int colour, int sizePoints) {
    caption({text, QPointF(x, y), colour, sizePoints, false, std::nullopt});
}

void Canvas::caption(Caption caption) {
    if (caption.text.isEmpty() && !caption.boxColour) return;
    caption.bold = bold_;
    paint(placeCaption(caption));
}

namespace {

QRect boxPixels(const QRectF& box) {
    return pixelRect(float(box.left()), float(box.top()), float(box.right()), float(box.bottom()));
}

QRect inkBounds(const QString& text, const QFont& font, QPointF at) {
    const QFontMetricsF metrics(font);
    const QRectF line(at, QSizeF(metrics.horizontalAdvance(text), metrics.height()));
    const QRectF ink = metrics.boundingRect(text).translated(at.x(), at.y() + metrics.ascent());
    return (line | ink).toAlignedRect().adjusted(-2, -2, 2, 2);
}

}  // namespace

// Notes the caption's text where it is laid out, and hides the texts its box covers whole.
Canvas::Drawing Canvas::placeCaption(const Caption& caption) {
    CaptionLayout layout = LayOutCaption(caption, RubyShown(caption.text, ruby_));
    if (ruby_.mode != RubyMode::None) {
        // A box laid over a whole text replaces it: that text is no caption to keep clear of.
        const QRectF plainBox = boxedTextBox(caption.text, float(caption.at.x()), float(caption.at.y()), caption.sizePoints);
        const QRect replacing = caption.boxColour ? boxPixels(plainBox) : QRect();
        std::vector<QRect> others;
        for (const WrittenText& t : texts_)
            if (!t.coveredByOverlay && !replacing.contains(t.area)) others.push_back(t.extent);
        layout.moveDown(ClearingMove(layout.extent(), others, QRect(0, 0, kWidth, kHeight)));
    }
    const QRect shownBox = caption.boxColour ? boxPixels(layout.box) : QRect();
    if (caption.boxColour) coverTexts(shownBox);
    const QFont font = caption.font();
    QRect bounds = shownBox | inkBounds(caption.text, font, layout.at);
    for (const RubyPiece& piece : layout.ruby.pieces) bounds |= piece.rect.toAlignedRect().adjusted(-2, -2, 2, 2);
    if (!caption.text.isEmpty()) {
        const QFontMetrics whole(font);  // the text's area as the screen reader has always been told it
        noteText(caption.text, QRectF(layout.at, QSizeF(whole.horizontalAdvance(caption.text), whole.height())).toAlignedRect(),
                 layout.extent());
    }
    const QRgb ink = QBColor(caption.colour);
    const std::optional<QRgb> boxInk = caption.boxColour ? std::optional(QBColor(*caption.boxColour)) : std::nullopt;
    auto draw = [=, text = caption.text, at = layout.at, ruby = layout.ruby](Surface& s) {
        if (boxInk) surface::FillRect(s, shownBox, *boxInk);
        surface::Text(s, text, at, ink, font);
        for (const RubyPiece& piece : ruby.pieces) {
            QFont narrow = ruby.font;
            narrow.setStretch(piece.stretch);
            surface::Text(s, piece.reading, piece.rect.topLeft(), ink, narrow);
        }
    };
    return Drawing{draw, bounds, caption, caption.boxColour ? std::optional(shownBox) : std::nullopt};
}

void Canvas::setRuby(RubyChoice choice) {
    if (choice == ruby_) return;
    ruby_ = choice;
    const Layer selected = layer_;
    replaying_ = true;
    texts_.clear();
    for (Drawing& drawing : persistentLog_) replay(drawing, Layer::Persistent);
    for (Drawn& d : sinceRefresh_) replay(d.drawing, d.layer);
    replaying_ = false;
    layer_ = selected;
    drawAgain();
    notify();
    notifyTexts();
}

// What the drawing did to the texts, done again in the order it was drawn in.
void Canvas::replay(Drawing& drawing, Layer layer) {
    layer_ = layer;
    if (drawing.caption)
        drawing = placeCaption(*drawing.caption);
    else if (drawing.covers)
        coverTexts(*drawing.covers);
}

void Canvas::maskedCopy(const QImage& packedSheet, const QRect& source, QPoint at) {
    if (!QRect(at, source.size()).intersects(QRect(0, 0, kWidth, kHeight))) return;
    paint([=](Surface& s) { surface::MaskedCopy(s, packedSheet, source, at); }, QRect(at, source.size()));
}
