// The small sprites: rain, rising heat, houses, trees, the sun, droplets, arrows and weather marks.
// Everything is set pixel by pixel (pixel (x, y) is the point (x, y)), so no edge ever blends.

#include <QPolygonF>
#include <cmath>
#include <functional>
#include <initializer_list>
#include <numbers>
#include <string_view>

#include "sheet.h"

namespace {

constexpr QRgb kBlack = 0xFF000000, kNavy = 0xFF000080, kBlue = 0xFF0000FF, kGreen = 0xFF00FF00,
               kCyan = 0xFF00FFFF, kSlate = 0xFF606080, kDarkRed = 0xFFA00000, kDarkYellow = 0xFFA0A000,
               kRed = 0xFFFF0000, kYellow = 0xFFFFFF00, kPaleYellow = 0xFFFFFF80, kWhite = 0xFFFFFFFF;

using Inside = std::function<bool(double x, double y)>;

void plot(QImage& art, int x, int y, QRgb colour) {
    if (art.rect().contains(x, y)) art.setPixel(x, y, colour);
}

bool opaque(const QImage& art, int x, int y) {
    return art.rect().contains(x, y) && qAlpha(art.pixel(x, y)) != 0;
}

// Paints the region: its border pixels (those with a 4-neighbour outside it) in `outline`, the rest
// in `fill`. Giving both the same colour paints a plain patch.
void fillShape(QImage& art, const Inside& inside, QRgb fill, QRgb outline) {
    for (int y = 0; y < art.height(); ++y)
        for (int x = 0; x < art.width(); ++x) {
            if (!inside(x, y)) continue;
            const bool border = !inside(x - 1, y) || !inside(x + 1, y) || !inside(x, y - 1) || !inside(x, y + 1);
            art.setPixel(x, y, border ? outline : fill);
        }
}

Inside ellipse(double cx, double cy, double rx, double ry) {
    return [=](double x, double y) {
        const double dx = (x - cx) / rx, dy = (y - cy) / ry;
        return dx * dx + dy * dy <= 1.0;
    };
}

Inside polygon(const QPolygonF& corners) {
    return [=](double x, double y) { return corners.containsPoint(QPointF(x, y), Qt::OddEvenFill); };
}

Inside rectangle(int left, int top, int right, int bottom) {
    return [=](double x, double y) { return x >= left && x <= right && y >= top && y <= bottom; };
}

// Pixel art: every '#' of the rows is set to `colour`, other characters are left alone.
void pattern(QImage& art, int left, int top, std::initializer_list<std::string_view> rows, QRgb colour) {
    int y = top;
    for (std::string_view row : rows) {
        for (int i = 0; i < int(row.size()); ++i)
            if (row[i] == '#') plot(art, left + i, y, colour);
        ++y;
    }
}

void line(QImage& art, int x0, int y0, int x1, int y1, QRgb colour) {
    const int dx = std::abs(x1 - x0), dy = -std::abs(y1 - y0);
    const int sx = x0 < x1 ? 1 : -1, sy = y0 < y1 ? 1 : -1;
    int error = dx + dy;
    for (;;) {
        plot(art, x0, y0, colour);
        if (x0 == x1 && y0 == y1) break;
        const int e2 = 2 * error;
        if (e2 >= dy) error += dy, x0 += sx;
        if (e2 <= dx) error += dx, y0 += sy;
    }
}

// An arc of the circle around (cx, cy); angles in degrees, 0 to the right, 90 straight down.
void arc(QImage& art, double cx, double cy, double r, double from, double to, QRgb colour, int thickness = 1) {
    for (double a = from; a <= to; a += 2.0) {
        const double t = a * std::numbers::pi / 180.0;
        const int x = int(std::lround(cx + r * std::cos(t))), y = int(std::lround(cy + r * std::sin(t)));
        for (int i = 0; i < thickness; ++i)
            for (int j = 0; j < thickness; ++j) plot(art, x + i, y + j, colour);
    }
}

// The outer edge of everything painted so far, in `colour`.
void outlineSilhouette(QImage& art, QRgb colour) {
    const QImage before = art;
    for (int y = 0; y < art.height(); ++y)
        for (int x = 0; x < art.width(); ++x)
            if (opaque(before, x, y) && (!opaque(before, x - 1, y) || !opaque(before, x + 1, y) ||
                                         !opaque(before, x, y - 1) || !opaque(before, x, y + 1)))
                art.setPixel(x, y, colour);
}

// --- rain and droplets -------------------------------------------------------------------------

void raindrop(QImage& art, int left, int top) {
    pattern(art, left, top, {".#.", ".#.", "###", "###", "###", ".#."}, kBlue);
}

void paintAme1(QImage& art) {
    for (QPoint p : {QPoint(3, 1), QPoint(16, 3), QPoint(9, 9), QPoint(22, 10), QPoint(2, 16), QPoint(15, 17)})
        raindrop(art, p.x(), p.y());
}

void paintAme2(QImage& art) {
    for (QPoint p : {QPoint(11, 1), QPoint(3, 10), QPoint(20, 11)}) raindrop(art, p.x(), p.y());
}

void paintSuteki(QImage& art) {
    for (QPoint p : {QPoint(3, 2), QPoint(15, 1), QPoint(9, 9), QPoint(21, 11), QPoint(5, 18)})
        fillShape(art, rectangle(p.x(), p.y(), p.x() + 2, p.y() + 2), kBlue, kBlue);
}

// Two wavy lines of shimmering air, rising from the ground.
void paintFunya(QImage& art) {
    for (int left : {4, 12})
        for (int y = 1; y <= 17; ++y) {
            const int x = left + int(std::lround(1.6 * std::sin((y - 1) * std::numbers::pi / 5.0)));
            plot(art, x, y, kRed);
            plot(art, x + 1, y, kRed);
        }
}

// --- town --------------------------------------------------------------------------------------

// Seen from the corner: the gable end faces us on the left, the long side recedes to the right.
void paintIe(QImage& art) {
    fillShape(art, polygon({{1, 9}, {6, 3}, {11, 9}, {11, 17}, {1, 17}}), kPaleYellow, kPaleYellow);
    fillShape(art, rectangle(11, 9, 21, 17), kYellow, kYellow);
    fillShape(art, polygon({{5.5, 1.5}, {16.5, 1.5}, {22.5, 9.5}, {11.5, 9.5}}), kRed, kRed);
    outlineSilhouette(art, kBlack);
    line(art, 6, 2, 11, 9, kBlack);   // gable edge under the roof
    line(art, 11, 9, 21, 9, kBlack);  // eaves
    line(art, 11, 10, 11, 17, kBlack);  // corner of the walls
    fillShape(art, rectangle(4, 10, 8, 14), kCyan, kBlack);
    line(art, 6, 11, 6, 13, kBlack);  // window bar
    fillShape(art, rectangle(14, 11, 18, 17), kDarkYellow, kBlack);  // door in the long side
}

void paintKi1(QImage& art) {
    fillShape(art, rectangle(7, 14, 10, 19), kRed, kBlack);
    fillShape(art, polygon({{7.5, 0.5}, {9.5, 0.5}, {16.5, 15.5}, {0.5, 15.5}}), kGreen, kBlack);
    pattern(art, 6, 6, {"#...", ".##."}, kBlack);  // the lower edges of the boughs
    pattern(art, 9, 9, {"...#", ".##."}, kBlack);
    pattern(art, 4, 12, {"#...", ".###"}, kBlack);
}

void paintKi2(QImage& art) {
    fillShape(art, rectangle(8, 12, 10, 17), kRed, kBlack);
    fillShape(art, ellipse(9, 7.3, 7.6, 6.8), kGreen, kBlack);
    for (QPoint p : {QPoint(5, 4), QPoint(11, 3), QPoint(8, 8), QPoint(13, 8), QPoint(4, 9), QPoint(10, 11)})
        fillShape(art, rectangle(p.x(), p.y(), p.x() + 1, p.y() + 1), kRed, kRed);
}

// --- sun ---------------------------------------------------------------------------------------

void paintTaiyou(QImage& art) {
    constexpr double cx = 27, cy = 27;
    for (int k = 0; k < 8; ++k) {
        const double t = k * std::numbers::pi / 4.0;
        const QPointF along(std::cos(t), std::sin(t)), across(-along.y(), along.x());
        const QPointF centre(cx, cy);
        fillShape(art,
                  polygon({centre + 20.4 * along + 4.6 * across, centre + 27.2 * along,
                           centre + 20.4 * along - 4.6 * across}),
                  kRed, kRed);
    }
    fillShape(art, ellipse(cx, cy, 17.3, 17.3), kRed, kRed);
    for (int left : {19, 32}) pattern(art, left, 18, {".#.", "###", "###", ".#."}, kYellow);
    arc(art, cx - 0.5, cy - 1, 9, 25, 155, kYellow, 2);
}

// --- arrows ------------------------------------------------------------------------------------

struct Arrow {
    QPointF tail, tip;
    double shaftHalf, headHalf, headLength;
};

QPolygonF arrowOutline(const Arrow& a) {
    const QPointF d = a.tip - a.tail;
    const double length = std::hypot(d.x(), d.y());
    const QPointF along = d / length, across(-along.y(), along.x());
    const QPointF neck = a.tip - a.headLength * along;
    return QPolygonF({a.tail + a.shaftHalf * across, neck + a.shaftHalf * across, neck + a.headHalf * across,
                      a.tip, neck - a.headHalf * across, neck - a.shaftHalf * across,
                      a.tail - a.shaftHalf * across});
}

void arrowWithShadow(QImage& art, const Arrow& arrow, QRgb colour, QPointF shadowOffset) {
    const QPolygonF shape = arrowOutline(arrow);
    fillShape(art, polygon(shape.translated(shadowOffset)), kBlack, kBlack);
    fillShape(art, polygon(shape), colour, colour);
}

constexpr QPointF kBelowRight(2, 2), kLeft(-2, 1);

void paintYal(QImage& art) { arrowWithShadow(art, {{26.4, 6}, {0.6, 6}, 2.4, 5.4, 9}, kRed, kBelowRight); }
void paintYar(QImage& art) { arrowWithShadow(art, {{0.6, 6.5}, {26.4, 6.5}, 2.4, 5.9, 9}, kRed, kBelowRight); }
void paintYaup(QImage& art) { arrowWithShadow(art, {{5.5, 26.4}, {5.5, 0.6}, 2, 4.9, 9}, kRed, kBelowRight); }
void paintYalup(QImage& art) { arrowWithShadow(art, {{18, 19}, {1.3, 2.3}, 2.4, 5.6, 9}, kRed, kBelowRight); }
void paintYarup(QImage& art) { arrowWithShadow(art, {{1.5, 19}, {18.7, 2.3}, 2.4, 5.6, 9}, kRed, kBelowRight); }
void paintYay1(QImage& art) { arrowWithShadow(art, {{8, 0.6}, {12.5, 23.4}, 2.2, 6, 10}, kYellow, kLeft); }
void paintYay2(QImage& art) { arrowWithShadow(art, {{8.5, 0.6}, {8.5, 25.4}, 2.2, 5.9, 10}, kYellow, kLeft); }

// --- weather marks -----------------------------------------------------------------------------

void paintYame(QImage& art) {
    const Inside cloud = [](double x, double y) {
        return y <= 6 && (ellipse(5, 4, 3.8, 2.8)(x, y) || ellipse(9.5, 3, 4, 2.9)(x, y) ||
                          ellipse(13, 4.2, 3.6, 2.7)(x, y));
    };
    fillShape(art, cloud, kBlack, kBlack);
    for (QPoint p : {QPoint(5, 4), QPoint(9, 2), QPoint(12, 5)}) plot(art, p.x(), p.y(), kCyan);
    for (int x : {4, 9, 14}) pattern(art, x - 1, 8, {".#", "##", "##"}, kNavy);
}

void snowCrystal(QImage& art, int left, int top) {
    pattern(art, left, top,
            {"...#...", "#..#..#", ".#.#.#.", "..###..", "...#...", "..###..", ".#.#.#.", "#..#..#",
             "...#..."},
            kBlack);
}

void paintYuki(QImage& art) {
    snowCrystal(art, 2, 1);
    snowCrystal(art, 15, 13);
}

// Small enough to be drawn pixel by pixel: o slate rim, w snow, k black, r mouth, y a patch of the
// ground it was rolled over.
void paintYyuki(QImage& art) {
    constexpr std::string_view rows[] = {
        "...............", ".....ooooo.....", "....owwwwwo....", "...owkkwkkwo...", "...owwwwwwwo...",
        "...owwkwkwwo...", "...owwwwwwwo...", "....owrrrwo....", "....ooooooo....", "...owwwwwwwo...",
        "..owwwwwwwwwo..", "..oyywwwwwwwok.", "..oyyywwwwwko..", "..oyywwwwwkwo..", "..owwwwwwwwwo..",
        "...owwwwwwwo...", "....ooooooo....", "...............",
    };
    for (int y = 0; y < int(std::size(rows)); ++y)
        for (int x = 0; x < int(rows[y].size()); ++x)
            switch (rows[y][x]) {
            case 'o': art.setPixel(x, y, kSlate); break;
            case 'w': art.setPixel(x, y, kWhite); break;
            case 'k': art.setPixel(x, y, kBlack); break;
            case 'r': art.setPixel(x, y, kDarkRed); break;
            case 'y': art.setPixel(x, y, kDarkYellow); break;
            }
}

}  // namespace

void drawSmallSprites(SpriteSheets& sheets) {
    paintSprite(sheets, "Ame1", paintAme1);
    paintSprite(sheets, "Ame2", paintAme2);
    paintSprite(sheets, "Funya", paintFunya);
    paintSprite(sheets, "Ie", paintIe);
    paintSprite(sheets, "Ki1", paintKi1);
    paintSprite(sheets, "Ki2", paintKi2);
    paintSprite(sheets, "Suteki", paintSuteki);
    paintSprite(sheets, "Taiyou", paintTaiyou);
    paintSprite(sheets, "Yal", paintYal);
    paintSprite(sheets, "Yalup", paintYalup);
    paintSprite(sheets, "Yar", paintYar);
    paintSprite(sheets, "Yarup", paintYarup);
    paintSprite(sheets, "Yaup", paintYaup);
    paintSprite(sheets, "Yay1", paintYay1);
    paintSprite(sheets, "Yay2", paintYay2);
    paintSprite(sheets, "Yame", paintYame);
    paintSprite(sheets, "Yuki", paintYuki);
    paintSprite(sheets, "Yyuki", paintYyuki);
}
