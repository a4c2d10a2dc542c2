#include "sheet.h"

// To be drawn.
QVector<QRgb> backgroundPalette() { return {qRgb(0, 0, 0)}; }
QImage drawHaikei() { QImage i(640, 400, QImage::Format_RGB32); i.fill(Qt::blue); return i; }
QImage drawYama() { return drawHaikei(); }
