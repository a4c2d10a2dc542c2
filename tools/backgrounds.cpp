// The two 640 x 400 backgrounds: sky over flat ground, and the same with a big green mountain.
// Every gradient is a two-colour ordered dither, so the pictures need only the 16-colour palette.

#include <QPainterPath>
#include <QPolygonF>
#include <algorithm>
#include <cmath>
#include <limits>
#include <span>

#include "sheet.h"

namespace {

enum Colour { Black = 0, Blue = 1, Green = 4, Cyan = 5, Yellow = 6, DarkGreen = 12 };

constexpr QRgb kPalette[16] = {
    0xFF000000, 0xFF0000FF, 0xFFFF0000, 0xFFFF00FF, 0xFF00FF00, 0xFF00FFFF, 0xFFFFFF00, 0xFFFFFFFF,
    0xFF707070, 0xFF0000A0, 0xFFA00000, 0xFFA000A0, 0xFF00A000, 0xFF00A0A0, 0xFFA0A000, 0xFFA0A0A0,
};

constexpr int kWidth = 640, kHeight = 400;

// Rows first..last painted `to` wherever the threshold matrix is below `level` (0-16), else `from`.
struct Band {
    int first, last;
    Colour from, to;
    int level;
};

constexpr Band kSkyAndGround[] = {
    {0, 107, Blue, Cyan, 0},
    {108, 119, Blue, Cyan, 1},   {120, 135, Blue, Cyan, 2},   {136, 147, Blue, Cyan, 3},
    {148, 163, Blue, Cyan, 4},   {164, 175, Blue, Cyan, 5},   {176, 191, Blue, Cyan, 6},
    {192, 203, Blue, Cyan, 7},   {204, 219, Blue, Cyan, 8},   {220, 231, Blue, Cyan, 9},
    {232, 247, Blue, Cyan, 10},  {248, 259, Blue, Cyan, 11},  {260, 275, Blue, Cyan, 12},
    {276, 287, Blue, Cyan, 13},  {288, 303, Blue, Cyan, 14},  {304, 315, Blue, Cyan, 15},
    {316, 327, Blue, Cyan, 16},
    {328, 335, Yellow, Green, 0},  // the horizon: first row of the ground
    {336, 343, Yellow, Green, 2},  {344, 351, Yellow, Green, 4},  {352, 359, Yellow, Green, 6},
    {360, 367, Yellow, Green, 8},  {368, 375, Yellow, Green, 10}, {376, 383, Yellow, Green, 12},
    {384, 387, Yellow, Green, 13}, {388, 391, Yellow, Green, 14}, {392, 395, Yellow, Green, 15},
    {396, 399, Yellow, Green, 16},
};

// Dark green at the summit, green in the middle, yellow where the foot meets the ground.
constexpr Band kMountainFill[] = {
    {0, 135, DarkGreen, Green, 0},
    {136, 143, DarkGreen, Green, 1},  {144, 155, DarkGreen, Green, 2},  {156, 159, DarkGreen, Green, 3},
    {160, 171, DarkGreen, Green, 4},  {172, 179, DarkGreen, Green, 5},  {180, 187, DarkGreen, Green, 6},
    {188, 195, DarkGreen, Green, 7},  {196, 207, DarkGreen, Green, 8},  {208, 215, DarkGreen, Green, 9},
    {216, 227, DarkGreen, Green, 10}, {228, 231, DarkGreen, Green, 11}, {232, 243, DarkGreen, Green, 12},
    {244, 251, DarkGreen, Green, 13}, {252, 263, DarkGreen, Green, 14}, {264, 271, DarkGreen, Green, 15},
    {272, 287, Green, Yellow, 0},
    {288, 295, Green, Yellow, 2},     {296, 299, Green, Yellow, 4},     {300, 303, Green, Yellow, 5},
    {304, 307, Green, Yellow, 6},     {308, 311, Green, Yellow, 7},     {312, 315, Green, Yellow, 8},
    {316, 319, Green, Yellow, 9},     {320, 323, Green, Yellow, 10},    {324, 327, Green, Yellow, 11},
    {328, 331, Green, Yellow, 12},    {332, 335, Green, Yellow, 13},    {336, 339, Green, Yellow, 14},
    {340, 343, Green, Yellow, 15},    {344, 347, Green, Yellow, 16},
};

constexpr int kLastFillRow = 347;  // the fill has no base line; it simply stops here
constexpr double kStrokeHalfWidth = 2.0;

QRgb bandColour(std::span<const Band> bands, int x, int y) {
    for (const Band& b : bands)
        if (y >= b.first && y <= b.last) return kPalette[ditherPicksSecond(x, y, b.level) ? b.to : b.from];
    return kPalette[Black];
}

// The outline's centre line from the left foot over the flat summit to the right foot. The right
// shoulder's control point lies on the summit's 2:1 slope and was chosen so that the curve meets
// the flank at nearly the flank's own slope: it falls a row per two columns, then bends down.
QPolygonF mountainCentreLine() {
    QPainterPath path(QPointF(91, 349));
    path.lineTo(291, 135);                                // left flank
    path.lineTo(310, 122);                                // left shoulder
    path.lineTo(336, 122);                                // flat summit
    path.quadTo(QPointF(355.4, 131.7), QPointF(359, 135));  // right shoulder
    path.lineTo(587, 347);                                // right flank
    // Pixel (x, y) covers [x, x+1) x [y, y+1); running the line along the bottom of the listed
    // pixels puts a 4 px stroke on rows y-1 .. y+2, which is where the summit's outline lies.
    return path.toSubpathPolygons().front().translated(0.5, 1.0);
}

// Distance from p to segment ab; beyond an open end (a foot) the stroke is cut off square.
double distanceToSegment(QPointF p, QPointF a, QPointF b, bool squareStart, bool squareEnd) {
    const QPointF ab = b - a;
    const double t = QPointF::dotProduct(p - a, ab) / QPointF::dotProduct(ab, ab);
    if ((squareStart && t < 0) || (squareEnd && t > 1)) return std::numeric_limits<double>::infinity();
    const QPointF d = p - (a + std::clamp(t, 0.0, 1.0) * ab);
    return std::hypot(d.x(), d.y());
}

bool onStroke(const QPolygonF& line, QPointF p) {
    const qsizetype last = line.size() - 1;
    for (qsizetype i = 1; i <= last; ++i)
        if (distanceToSegment(p, line[i - 1], line[i], i == 1, i == last) <= kStrokeHalfWidth) return true;
    return false;
}

// containsPoint closes the open outline with a straight base from foot to foot.
bool inFill(const QPolygonF& line, QPointF p) {
    return p.y() < kLastFillRow + 1 && line.containsPoint(p, Qt::OddEvenFill);
}

void paintMountain(QImage& image) {
    const QPolygonF line = mountainCentreLine();
    const QRect box = line.boundingRect().adjusted(-3, -3, 3, 3).toAlignedRect() & image.rect();
    for (int y = box.top(); y <= box.bottom(); ++y)
        for (int x = box.left(); x <= box.right(); ++x) {
            const QPointF centre(x + 0.5, y + 0.5);
            if (onStroke(line, centre))
                image.setPixel(x, y, kPalette[Black]);
            else if (inFill(line, centre))
                image.setPixel(x, y, bandColour(kMountainFill, x, y));
        }
}

}  // namespace

QVector<QRgb> backgroundPalette() { return QVector<QRgb>(std::begin(kPalette), std::end(kPalette)); }

QImage drawHaikei() {
    QImage image(kWidth, kHeight, QImage::Format_RGB32);
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x) image.setPixel(x, y, bandColour(kSkyAndGround, x, y));
    return image;
}

QImage drawYama() {
    QImage image = drawHaikei();
    paintMountain(image);
    return image;
}
