#pragma once
// Ruby (ふりがな) laid out over a line of text, and the captions of the canvas laid out with it: pure
// geometry in the text's own pixels, drawn by the canvas and by the window's labels and buttons.
//
// A reading is half the text's size, never under 12 pixels, in the text's face and colour, its
// baseline on the top of the text's line. It is centred over its kanji and may reach over a kana or
// a mark beside it by up to half its size, evenly on both sides, never over a kanji; a reading
// wider than that is drawn narrower.

#include <QFont>
#include <QRect>
#include <QRectF>
#include <QString>
#include <optional>
#include <span>
#include <vector>

#include "draw/readings.h"

class QPainter;
class QColor;

struct RubyPiece {
    QString reading;
    QRectF rect;      // left, width and top of the drawn reading; its bottom is the baseline
    int stretch = 100;  // the face's width in percent
};

struct RubyLine {
    QFont font;
    std::vector<RubyPiece> pieces;
    double ascent = 0;
    bool empty() const { return pieces.empty(); }
    QRectF bounds() const;
};

// Half the base's size, never under 12 pixels at 1x: a font zoomed by `zoom` keeps 12 x zoom.
QFont RubyFont(const QFont& base, double zoom = 1);
// The readings over `text` written with its line's top-left corner at `at` in `font`.
RubyLine LayOutRuby(const QString& text, std::span<const RubyRun> runs, const QFont& font, QPointF at,
                    double zoom = 1);
void DrawRuby(QPainter& painter, const RubyLine& ruby, const QColor& colour);

// A caption of the canvas: a line of text, with a box behind it when boxed.
struct Caption {
    QString text;
    QPointF at;
    int colour = 0;
    int sizePoints = 0;
    bool bold = false;
    std::optional<int> boxColour;
    QFont font() const;
};

struct CaptionLayout {
    QPointF at;    // the text's top-left corner
    QRectF line;   // the text's line
    QRectF box;    // boxed: grown upward over the ruby
    RubyLine ruby;
    QRect extent() const;  // every canvas pixel it covers
    void moveDown(int dy);
};

// Where the caption is drawn without regard to any other: with no readings, exactly as without ruby.
CaptionLayout LayOutCaption(const Caption& caption, std::span<const RubyRun> runs);
// How far to move a caption covering `extent` so that it overlaps none of `others` and stays inside
// `bounds`: the least move down that does (back inside first, if it reaches above the top), else the
// least move up, else just inside.
int ClearingMove(const QRect& extent, std::span<const QRect> others, const QRect& bounds);
