// The air masses of the front lesson: three cold-air domes that grow on the ground at the left,
// and the warm-air wedge with the pieces from which the lesson assembles it.
//
// The pieces are painted as cut-outs of one picture: the lesson draws them at fixed canvas
// places, so each piece takes its gradient band and its dither phase from the canvas row and
// column it covers there. Copies that overlap then show the same colours, and the sloping lower
// edges, all at 80 rows per about 146 columns, join into one straight front surface.

#include <algorithm>
#include <cmath>
#include <span>
#include <string_view>

#include "sheet.h"

namespace {

constexpr QRgb kBlue = 0xFF0000FF;
constexpr QRgb kCyan = 0xFF00FFFF;
constexpr QRgb kMagenta = 0xFFFF00FF;
constexpr QRgb kWhite = 0xFFFFFFFF;

// Two-colour ordered dither: `to` covers level sixteenths (0 = all `from`, 16 = all `to`).
// x and y are canvas coordinates, so that pieces drawn side by side share one pattern.
QRgb dither(QRgb from, QRgb to, int level, int x, int y) {
    return ditherPicksSecond(x, y, level) ? to : from;
}

// ---------------------------------------------------------------------------------------------
// Cold air

struct Knot {
    double row, column;
};

// Monotone cubic through the knots (harmonic-mean tangents), so the curve never bulges back.
double monotoneCurve(std::span<const Knot> knots, double row) {
    const size_t last = knots.size() - 1;
    if (row <= knots[0].row) return knots[0].column;
    if (row >= knots[last].row) return knots[last].column;
    auto slope = [&](size_t i) {
        return (knots[i + 1].column - knots[i].column) / (knots[i + 1].row - knots[i].row);
    };
    auto tangent = [&](size_t i) {
        if (i == 0) return slope(0);
        if (i == last) return slope(last - 1);
        const double a = slope(i - 1), b = slope(i);
        return a * b <= 0 ? 0.0 : 2.0 / (1.0 / a + 1.0 / b);
    };
    size_t i = 0;
    while (knots[i + 1].row < row) ++i;
    const double h = knots[i + 1].row - knots[i].row, t = (row - knots[i].row) / h;
    const double t2 = t * t, t3 = t2 * t;
    return (2 * t3 - 3 * t2 + 1) * knots[i].column + (t3 - 2 * t2 + t) * h * tangent(i) +
           (-2 * t3 + 3 * t2) * knots[i + 1].column + (t3 - t2) * h * tangent(i + 1);
}

// The largest dome's right edge, at rows 0 to 192: flat for 33 px at the top, then a fall like
// a quarter ellipse to the ground.
double largeDomeCurve(double row) {
    static constexpr Knot kKnots[] = {{0, 33},   {4, 54},    {40, 99},  {80, 129},
                                      {120, 152}, {160, 173}, {192, 183}};
    return monotoneCurve(kKnots, row);
}

int largeDomeRightEdge(int row) {
    return static_cast<int>(std::lround(largeDomeCurve(row)));
}

// The smaller domes: the large one's outline scaled to their rectangle, blended a little towards
// a plain power curve so that the narrow ones rise from a shorter top.
int smallDomeRightEdge(int row, int width, int height) {
    constexpr double kTopShare = 0.1, kConvexity = 1.6, kBlend = 0.5;
    const double t = static_cast<double>(row) / (height - 1);
    const double scaled = largeDomeCurve(t * 192) / 183;
    const double power = kTopShare + (1 - kTopShare) * (1 - std::pow(1 - t, kConvexity));
    return static_cast<int>(std::lround((kBlend * scaled + (1 - kBlend) * power) * (width - 1)));
}

// Cyan share: 2/16 at the top, one sixteenth more per fifteenth of the height, solid at the foot.
int domeCyanLevel(int row, int height) {
    return std::min(16, 2 + row * 15 / height);
}

// canvasTop: the row at which the front lesson draws the dome (x is always 0 there).
template <typename RightEdge>
void drawDome(SpriteSheets& sheets, std::string_view key, int canvasTop, RightEdge rightEdge) {
    QImage art = newSpriteArt(key);
    for (int y = 0; y < art.height(); ++y) {
        const int right = std::min(rightEdge(y), art.width() - 1);
        const int level = domeCyanLevel(y, art.height());
        for (int x = 0; x <= right; ++x) art.setPixel(x, y, dither(kBlue, kCyan, level, x, canvasTop + y));
    }
    sheets.stamp(key, art);
}

void drawKanrei1(SpriteSheets& sheets) {
    drawDome(sheets, "Kanrei1", 212, [](int y) { return smallDomeRightEdge(y, 55, 115); });
}

void drawKanrei2(SpriteSheets& sheets) {
    drawDome(sheets, "Kanrei2", 155, [](int y) { return smallDomeRightEdge(y, 105, 172); });
}

void drawKanreim(SpriteSheets& sheets) {
    drawDome(sheets, "Kanreim", 135, largeDomeRightEdge);
}

// ---------------------------------------------------------------------------------------------
// Warm air

// White share of the assembled wedge at a canvas row: solid magenta at the top, one sixteenth
// more every 20 rows down to row 79, then every 19 rows, solid (opaque) white from row 308.
int warmWhiteLevel(int canvasRow) {
    if (canvasRow < 80) return canvasRow / 20;
    return std::min(16, 4 + (canvasRow - 80) / 19);
}

// The lower edge of a piece: rows above `slopeTop` span the full width; below them the piece is
// the part above the line from (slopeRight, slopeTop) to (slopeLeft, slopeBottom), and columns
// left of slopeLeft reach down to slopeBottom.
struct SlopedEdge {
    int slopeRight, slopeTop, slopeLeft, slopeBottom;

    int lowestRow(int x) const {
        if (x <= slopeLeft) return slopeBottom;
        const double fall = static_cast<double>(slopeBottom - slopeTop) / (slopeRight - slopeLeft);
        return slopeBottom - static_cast<int>(std::lround((x - slopeLeft) * fall));
    }
};

// Where the piece's own row 0 and column 0 lie in the lesson's picture, for its gradient and
// dither phase. The column is that of the placement seen longest; other placements are off by
// a non-multiple of 4, which shifts the pattern slightly at their seams.
struct CanvasOrigin {
    int x, y;
};

using WhiteLevel = int (*)(int canvasRow);

void drawWarmPiece(SpriteSheets& sheets, std::string_view key, SlopedEdge edge, CanvasOrigin origin,
                   WhiteLevel level = warmWhiteLevel) {
    QImage art = newSpriteArt(key);
    for (int x = 0; x < art.width(); ++x) {
        const int lowest = std::min(edge.lowestRow(x), art.height() - 1);
        for (int y = 0; y <= lowest; ++y) {
            const int canvasX = origin.x + x, canvasY = origin.y + y;
            art.setPixel(x, y, dither(kMagenta, kWhite, level(canvasY), canvasX, canvasY));
        }
    }
    sheets.stamp(key, art);
}

// The whole wedge as one sprite (no lesson draws it): one sixteenth more white every 16 rows.
void drawOndan(SpriteSheets& sheets) {
    drawWarmPiece(sheets, "Ondan", {311, 136, 0, 326}, {0, 0},
                  [](int row) { return std::min(16, row / 16); });
}

// The bottom row runs 2 columns past the corner: the lesson's copy at x 143 alone fills the
// gap between two copies of Ondan2 there, and would otherwise leave a hole in the wedge.
void drawOndan1(SpriteSheets& sheets) {
    drawWarmPiece(sheets, "Ondan1", {145, 0, 2, 79}, {489, 0});
}

void drawOndan2(SpriteSheets& sheets) {
    drawWarmPiece(sheets, "Ondan2", {142, 80, 0, 159}, {346, 0});
}

void drawOndan3(SpriteSheets& sheets) {
    drawWarmPiece(sheets, "Ondan3", {145, 80, 0, 159}, {200, 80});
}

void drawOndan4(SpriteSheets& sheets) {
    drawWarmPiece(sheets, "Ondan4", {202, 80, 50, 165}, {290, 160});
}

// The pale strip laid near the ground: rows 0-36 at 14/16 to 15/16 white, the rest transparent
// (a level "edge" at row 36).
void drawOndan5(SpriteSheets& sheets) {
    drawWarmPiece(sheets, "Ondan5", {102, 36, 0, 36}, {29, 269},
                  [](int row) { return std::clamp(warmWhiteLevel(row), 14, 15); });
}

}  // namespace

void drawAirSprites(SpriteSheets& sheets) {
    drawKanrei1(sheets);
    drawKanrei2(sheets);
    drawKanreim(sheets);
    drawOndan(sheets);
    drawOndan1(sheets);
    drawOndan2(sheets);
    drawOndan3(sheets);
    drawOndan4(sheets);
    drawOndan5(sheets);
}
