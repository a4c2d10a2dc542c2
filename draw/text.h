#pragma once
// Captions on the canvas: plain text, and text on a box sized from its character count.

#include <QRectF>
#include <QString>
#include <string_view>

class Canvas;

// The program's constant texts are UTF-8.
QString Utf8(std::string_view text);

// Text with its top-left corner at (x, y), size in points, colour a QBColor index, no background.
void DrawText(Canvas& canvas, const QString& text, float x, float y, int colour, int size);

// A filled box in boxColour, then the text on it.
void DrawBoxedText(Canvas& canvas, const QString& text, float x, float y, int colour, int size, int boxColour);

// The box behind boxed text: from (x - 2, y - 2) to (x + 1.3 n size + 2, y + 1.2 size + 2), where n
// counts characters (every Japanese character and the ideographic space count one), not glyph widths.
QRectF boxedTextBox(const QString& text, float x, float y, int size);
