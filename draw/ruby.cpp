#include "draw/ruby.h"

#include <QFontMetricsF>
#include <QPainter>
#include <algorithm>
#include <cmath>

#include "draw/fonts.h"
#include "draw/text.h"

namespace {

constexpr int kLeastRubyPixels = 12;
constexpr double kBoxMargin = 2;  // a box's edge beyond its text, as boxed text has always had

bool inAnyRun(std::span<const RubyRun> runs, qsizetype at) {
    return std::any_of(runs.begin(), runs.end(), [at](const RubyRun& r) { return at >= r.start && at < r.start + r.length; });
}

// How far a reading may reach over the character at `at`: half the ruby's size over a kana or a
// mark, shared with a reading on its other side; nothing over a kanji or past the line's end.
double reachOver(const QString& text, qsizetype at, std::span<const RubyRun> runs, const QFontMetricsF& metrics,
                 double rubyPixels) {
    if (at < 0 || at >= text.size() || inAnyRun(runs, at)) return 0;
    if (IsKanji(text.at(at).unicode())) return 0;
    return std::min(rubyPixels / 2, metrics.horizontalAdvance(text.at(at)) / 2);
}

int fittingStretch(const QFont& font, const QString& reading, double room) {
    QFont narrow = font;
    for (int stretch = 100; stretch > 25; --stretch) {
        narrow.setStretch(stretch);
        if (QFontMetricsF(narrow).horizontalAdvance(reading) <= room + 0.01) return stretch;
    }
    return 25;
}

}  // namespace

QRectF RubyLine::bounds() const {
    QRectF all;
    for (const RubyPiece& piece : pieces) all |= piece.rect;
    return all;
}

QFont RubyFont(const QFont& base, double zoom) {
    QFont ruby = base;
    ruby.setBold(false);
    ruby.setPixelSize(int(std::lround(std::max(kLeastRubyPixels * zoom, base.pixelSize() / 2.0))));
    return ruby;
}

RubyLine LayOutRuby(const QString& text, std::span<const RubyRun> runs, const QFont& font, QPointF at,
                    double zoom) {
    RubyLine line{RubyFont(font, zoom), {}, 0};
    const QFontMetricsF base(font), ruby(line.font);
    line.ascent = ruby.ascent();
    const double rubyPixels = line.font.pixelSize();
    for (const RubyRun& run : runs) {
        const double left = at.x() + base.horizontalAdvance(text.left(run.start));
        const double right = at.x() + base.horizontalAdvance(text.left(run.start + run.length));
        const double reach = std::min(reachOver(text, run.start - 1, runs, base, rubyPixels),
                                      reachOver(text, run.start + run.length, runs, base, rubyPixels));
        const double room = right - left + 2 * reach;
        const double natural = ruby.horizontalAdvance(run.reading);
        RubyPiece piece{run.reading, {}, natural <= room ? 100 : fittingStretch(line.font, run.reading, room)};
        QFont drawn = line.font;
        drawn.setStretch(piece.stretch);
        const double width = QFontMetricsF(drawn).horizontalAdvance(run.reading);
        piece.rect = QRectF((left + right - width) / 2, at.y() - line.ascent, width, line.ascent);
        line.pieces.push_back(piece);
    }
    return line;
}

void DrawRuby(QPainter& painter, const RubyLine& ruby, const QColor& colour) {
    painter.setPen(colour);
    for (const RubyPiece& piece : ruby.pieces) {
        QFont font = ruby.font;
        font.setStretch(piece.stretch);
        painter.setFont(font);
        painter.drawText(QPointF(piece.rect.left(), piece.rect.bottom()), piece.reading);
    }
}

QFont Caption::font() const { return japaneseGothic(sizePoints, bold); }

QRect CaptionLayout::extent() const {
    QRectF all = line | ruby.bounds();
    if (!box.isNull()) all |= box;
    return all.toAlignedRect();
}

void CaptionLayout::moveDown(int dy) {
    at.ry() += dy;
    line.translate(0, dy);
    if (!box.isNull()) box.translate(0, dy);
    for (RubyPiece& piece : ruby.pieces) piece.rect.translate(0, dy);
}

CaptionLayout LayOutCaption(const Caption& caption, std::span<const RubyRun> runs) {
    const QFont font = caption.font();
    CaptionLayout layout;
    layout.at = caption.at;
    layout.line = QRectF(caption.at, QSizeF(QFontMetricsF(font).horizontalAdvance(caption.text),
                                            QFontMetricsF(font).height()));
    layout.ruby = LayOutRuby(caption.text, runs, font, caption.at);
    if (caption.boxColour) {
        layout.box = boxedTextBox(caption.text, float(caption.at.x()), float(caption.at.y()), caption.sizePoints);
        if (!layout.ruby.empty())
            layout.box.setTop(std::min(layout.box.top(), layout.ruby.bounds().top() - kBoxMargin));
    }
    return layout;
}

int ClearingMove(const QRect& extent, std::span<const QRect> others, const QRect& bounds) {
    int inside = std::max(0, bounds.top() - extent.top());
    if (extent.bottom() + inside > bounds.bottom()) inside = bounds.bottom() - extent.bottom();
    const auto clear = [&](int dy) {
        const QRect moved = extent.translated(0, dy);
        return bounds.contains(moved) &&
               std::none_of(others.begin(), others.end(), [&](const QRect& o) { return o.intersects(moved); });
    };
    std::vector<int> moves{inside};
    for (const QRect& o : others) {
        moves.push_back(o.bottom() + 1 - extent.top());
        moves.push_back(o.top() - 1 - extent.bottom());
    }
    std::sort(moves.begin(), moves.end());
    const auto down = std::find_if(std::lower_bound(moves.begin(), moves.end(), inside), moves.end(), clear);
    if (down != moves.end()) return *down;
    const auto up = std::find_if(moves.rbegin(), moves.rend(), [&](int dy) { return dy < inside && clear(dy); });
    return up != moves.rend() ? *up : inside;
}
