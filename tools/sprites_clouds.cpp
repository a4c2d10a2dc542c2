// The clouds: small and medium clouds with faces, and the four growth stages of a cumulus.
// A cloud is a union of round lumps standing on a flat base, filled white with a black rim.

#include <QPoint>
#include <QPolygonF>
#include <algorithm>
#include <cmath>
#include <functional>
#include <initializer_list>
#include <numbers>
#include <string_view>
#include <vector>

#include "sheet.h"

namespace {

constexpr QRgb kBlack = 0xFF000000, kWhite = 0xFFFFFFFF;

struct Lump {
    double x, y, r;
};

struct Stroke {  // an arc of the circle around (x, y); angles in degrees, 0 to the right, 90 down
    double x, y, r, from, to;
};

void plot(QImage& art, int x, int y, QRgb colour) {
    if (art.rect().contains(x, y)) art.setPixel(x, y, colour);
}

void dot(QImage& art, int x, int y, int size) {
    for (int i = 0; i < size; ++i)
        for (int j = 0; j < size; ++j) plot(art, x + i, y + j, kBlack);
}

void arc(QImage& art, const Stroke& s, int thickness) {
    for (double a = s.from; a <= s.to; a += 1.0) {
        const double t = a * std::numbers::pi / 180.0;
        dot(art, int(std::lround(s.x + s.r * std::cos(t))), int(std::lround(s.y + s.r * std::sin(t))), thickness);
    }
}

void line(QImage& art, int x0, int y0, int x1, int y1, int thickness) {
    const int steps = std::max(std::abs(x1 - x0), std::abs(y1 - y0));
    for (int i = 0; i <= steps; ++i) {
        const double t = steps ? double(i) / steps : 0.0;
        dot(art, int(std::lround(x0 + t * (x1 - x0))), int(std::lround(y0 + t * (y1 - y0))), thickness);
    }
}

// Pixel art: every '#' of the rows becomes black.
void pattern(QImage& art, int left, int top, std::initializer_list<std::string_view> rows) {
    int y = top;
    for (std::string_view row : rows) {
        for (int i = 0; i < int(row.size()); ++i)
            if (row[i] == '#') plot(art, left + i, y, kBlack);
        ++y;
    }
}

// A cloud's outline: round lumps listed from the left foot over the top to the right foot. The
// polygon through their centres, closed along the flat base, fills the body between them.
using Lumps = std::vector<Lump>;

// Which pixels of the art the clouds cover. The lumps are given in a frame whose origin lies at
// `origin` of the art, which lets several clouds share one set of lumps. The art's one-pixel margin
// stays clear, so the rim is always closed, and enclosed gaps are filled.
class Coverage {
public:
    Coverage(const QImage& art, int base, QPoint origin) : w_(art.width()), h_(art.height()), base_(base),
                                                            origin_(origin), in_(w_ * h_, false) {}

    void add(const Lumps& lumps) {
        const double below = base_ - origin_.y() + 0.5;  // so that the base row itself is inside
        QPolygonF body;
        body << QPointF(lumps.front().x, below);
        for (const Lump& l : lumps) body << QPointF(l.x, l.y);
        body << QPointF(lumps.back().x, below);
        for (int y = 1; y <= std::min(base_, h_ - 2); ++y)
            for (int x = 1; x < w_ - 1; ++x) {
                const QPointF p(x - origin_.x(), y - origin_.y());
                bool covered = body.containsPoint(p, Qt::OddEvenFill);
                // A little inside the radius, so that no lone pixel pokes out at a lump's far side.
                for (const Lump& l : lumps)
                    covered = covered || std::hypot(p.x() - l.x, p.y() - l.y) <= l.r - 0.3;
                if (covered) in_[index(x, y)] = true;
            }
    }

    void fillGaps() {
        std::vector<bool> outside(in_.size(), false);
        std::vector<QPoint> todo{{0, 0}};
        while (!todo.empty()) {
            const QPoint p = todo.back();
            todo.pop_back();
            if (p.x() < 0 || p.y() < 0 || p.x() >= w_ || p.y() >= h_) continue;
            const int i = index(p.x(), p.y());
            if (in_[i] || outside[i]) continue;
            outside[i] = true;
            todo.insert(todo.end(), {p + QPoint(1, 0), p - QPoint(1, 0), p + QPoint(0, 1), p - QPoint(0, 1)});
        }
        for (std::size_t i = 0; i < in_.size(); ++i) in_[i] = !outside[i];
    }

    bool operator()(int x, int y) const { return x >= 0 && y >= 0 && x < w_ && y < h_ && in_[index(x, y)]; }

private:
    int index(int x, int y) const { return y * w_ + x; }
    int w_, h_, base_;
    QPoint origin_;
    std::vector<bool> in_;
};

// White inside, a black rim `rim` pixels wide.
void paintCoverage(QImage& art, const Coverage& in, int rim) {
    for (int y = 0; y < art.height(); ++y)
        for (int x = 0; x < art.width(); ++x) {
            if (!in(x, y)) continue;
            bool edge = false;
            for (int d = 1; d <= rim && !edge; ++d)
                edge = !in(x - d, y) || !in(x + d, y) || !in(x, y - d) || !in(x, y + d);
            art.setPixel(x, y, edge ? kBlack : kWhite);
        }
}

void paintCloud(QImage& art, const Lumps& lumps, int base, int rim) {
    Coverage in(art, base, {});
    in.add(lumps);
    in.fillGaps();
    paintCoverage(art, in, rim);
}

// --- small clouds ------------------------------------------------------------------------------

void paintRilom1(QImage& art) {
    // Its left end and its base keep clear of the rectangle's edges so that the growing cumulus,
    // which the cloud lesson draws over it, hides it completely (Rilos2 likewise).
    paintCloud(art, {{16, 26, 6}, {20, 17, 8}, {31, 11.5, 10.5}, {42, 12, 9}, {48, 20, 6.5}, {48, 26, 6}}, 32, 1);
    line(art, 23, 13, 28, 16, 2);  // brows drawn together: angry
    line(art, 40, 13, 35, 16, 2);
    pattern(art, 25, 18, {"##", "##", "##"});
    pattern(art, 35, 18, {"##", "##", "##"});
    arc(art, {31.5, 29, 4.5, 205, 335}, 1);  // frown
}

void paintRilom2(QImage& art) {
    paintCloud(art, {{12, 46, 10}, {20, 32, 13}, {36, 20, 16}, {56, 17.5, 16.5}, {72, 24, 14}, {84, 36, 12}, {88, 46, 9}},
               55, 2);
}

void paintRilos1(QImage& art) {
    paintCloud(art, {{6, 15, 5}, {9, 9.5, 6}, {16, 7.5, 6.5}, {20.5, 12, 5}, {20.5, 15, 4.5}}, 19, 1);
    pattern(art, 8, 13, {"###"});  // closed eyes
    pattern(art, 15, 13, {"###"});
}

void paintRilos2(QImage& art) {
    paintCloud(art, {{5.5, 11, 4.5}, {8.5, 6.5, 5.5}, {15, 6, 5.5}, {19, 10, 4.5}}, 14, 1);
    pattern(art, 7, 9, {"#..#", ".##."});  // sleepy eyes, curved
    pattern(art, 14, 9, {"#..#", ".##."});
}

// --- the growing cumulus -----------------------------------------------------------------------

// The stages share one frame: the largest stage's own coordinates. Each stage also covers the
// shapes of the ones before it, so drawn one over another where the lesson stacks them, each stage
// hides the last and the cloud seems to swell upwards from the same base.
struct Fold {  // where lump `front` bulges over lump `behind`, its rim goes on inside the cloud
    int front, behind;
    double degrees;  // how far round the front lump the stroke runs from the notch
};

struct Stage {
    std::string_view key;
    QPoint origin;  // where the stage's top-left corner lies in the frame
    Lumps lumps;
    std::vector<Fold> folds;
};

constexpr int kBaseInFrame = 195;
constexpr int kStageRim = 2;

std::vector<Stage> stages() {
    return {
        {"Hattatu1",
         {4, 108},
         {{19, 185, 9}, {26, 165, 16}, {48, 142, 19}, {70, 148, 15}, {84, 170, 11}, {86, 186, 8}},
         {{3, 2, 60}, {1, 2, 50}}},
        {"Hattatu2",
         {6, 81},
         {{19, 185, 9}, {26, 163, 16}, {42, 130, 18}, {64, 108, 19}, {84, 122, 16}, {94, 148, 15},
          {100, 172, 10}, {101, 186, 8}},
         {{4, 3, 60}, {2, 3, 50}, {5, 4, 50}}},
        {"Hattatu3",
         {8, 55},
         {{19, 185, 9}, {26, 163, 16}, {38, 132, 18}, {50, 98, 19}, {70, 78, 19}, {94, 84, 17},
          {106, 110, 17}, {114, 138, 16}, {120, 164, 11}, {122, 186, 9}},
         {{5, 4, 60}, {3, 4, 50}, {7, 6, 50}}},
        {"Hattatu4",
         {0, 0},
         {{12, 185, 9}, {22, 160, 16}, {36, 128, 19}, {44, 92, 20}, {54, 58, 22}, {78, 30, 24},
          {108, 28, 21}, {128, 54, 20}, {134, 88, 20}, {142, 122, 19}, {150, 154, 16}, {158, 180, 9},
          {158, 187, 8}},
         {{6, 5, 60}, {3, 4, 50}, {9, 8, 50}}},
    };
}

// The front lump's rim from the upper crossing of the two circles on into the lump behind.
void paintFold(QImage& art, const Lumps& lumps, const Fold& fold, QPointF shift) {
    const Lump& a = lumps[fold.front];
    const Lump& b = lumps[fold.behind];
    const auto insideBehind = [&](double degrees) {
        const double t = degrees * std::numbers::pi / 180.0;
        return std::hypot(a.x + a.r * std::cos(t) - b.x, a.y + a.r * std::sin(t) - b.y) < b.r;
    };
    // Walk round the front lump until its rim enters the lump behind, coming from above.
    const double towardsBehind = std::atan2(b.y - a.y, b.x - a.x) * 180.0 / std::numbers::pi;
    const bool clockwise = b.x < a.x;  // angles grow clockwise on screen
    double start = towardsBehind;
    for (int step = 0; step < 180 && insideBehind(start); ++step) start += clockwise ? 1.0 : -1.0;
    const double from = clockwise ? start - fold.degrees : start;
    const double to = clockwise ? start : start + fold.degrees;
    arc(art, {a.x + shift.x(), a.y + shift.y(), a.r - kStageRim / 2.0, from, to}, kStageRim);
}

void drawStages(SpriteSheets& sheets) {
    const std::vector<Stage> all = stages();
    for (std::size_t k = 0; k < all.size(); ++k) {
        const Stage& stage = all[k];
        QImage art = newSpriteArt(stage.key);
        Coverage in(art, kBaseInFrame - stage.origin.y(), -stage.origin);
        for (std::size_t earlier = 0; earlier <= k; ++earlier) in.add(all[earlier].lumps);
        in.fillGaps();
        paintCoverage(art, in, kStageRim);
        for (const Fold& fold : stage.folds) paintFold(art, stage.lumps, fold, -QPointF(stage.origin));
        sheets.stamp(stage.key, art);
    }
}

}  // namespace

void drawCloudSprites(SpriteSheets& sheets) {
    paintSprite(sheets, "Rilom1", paintRilom1);
    paintSprite(sheets, "Rilom2", paintRilom2);
    paintSprite(sheets, "Rilos1", paintRilos1);
    paintSprite(sheets, "Rilos2", paintRilos2);
    drawStages(sheets);
}
