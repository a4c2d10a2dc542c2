#include "draw/text.h"

#include "draw/canvas.h"

QString Utf8(std::string_view text) { return QString::fromUtf8(text.data(), qsizetype(text.size())); }

void DrawText(Canvas& canvas, const QString& text, float x, float y, int colour, int size) {
    canvas.text(text, x, y, colour, size);
}

QRectF boxedTextBox(const QString& text, float x, float y, int size) {
    const int characters = int(text.toUcs4().size());
    const int widthUnits = characters * size;
    const float right = float(x + 1.3 * widthUnits + 2);
    const float bottom = float(y + 1.2 * size + 2);
    return QRectF(QPointF(x - 2, y - 2), QPointF(right, bottom));
}

void DrawBoxedText(Canvas& canvas, const QString& text, float x, float y, int colour, int size, int boxColour) {
    canvas.caption({text, QPointF(x, y), colour, size, false, boxColour});
}
