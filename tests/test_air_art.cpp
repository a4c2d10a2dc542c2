// The air-mass sprites on the embedded sheets, checked for what the front lesson builds from
// them: cold-air domes that stand on the horizon and grow over one another, and warm-air pieces
// that join into one wedge with a single gradient and one straight front surface.

#include <gtest/gtest.h>

#include <QImage>
#include <algorithm>
#include <cmath>
#include <initializer_list>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "draw/spritetable.h"

namespace {

constexpr QRgb kBlue = 0xFF0000FF, kCyan = 0xFF00FFFF, kMagenta = 0xFFFF00FF, kWhite = 0xFFFFFFFF;
constexpr int kCanvasWidth = 640, kCanvasHeight = 400;
constexpr int kHorizonRow = 328;

const QImage& maskSheet() {
    static const QImage sheet = QImage(":/PicBack.png").convertToFormat(QImage::Format_RGB32);
    return sheet;
}

const QImage& colourSheet() {
    static const QImage sheet = QImage(":/PicChrt.png").convertToFormat(QImage::Format_RGB32);
    return sheet;
}

// One sprite's rectangle on the two sheets, in the sprite's own coordinates.
class Sprite {
public:
    explicit Sprite(std::string_view key) : rect_(*findSprite(key)) {}

    int width() const { return rect_.width(); }
    int height() const { return rect_.height(); }
    bool opaque(int x, int y) const { return qGray(maskSheet().pixel(rect_.left + x, rect_.top + y)) < 128; }
    QRgb colour(int x, int y) const { return colourSheet().pixel(rect_.left + x, rect_.top + y) | 0xFF000000; }

    // Last opaque column of a row, -1 when the row is empty.
    int rightEdge(int y) const {
        for (int x = width() - 1; x >= 0; --x)
            if (opaque(x, y)) return x;
        return -1;
    }

    // Last opaque row of a column, -1 when the column is empty.
    int lowestRow(int x) const {
        for (int y = height() - 1; y >= 0; --y)
            if (opaque(x, y)) return y;
        return -1;
    }

    // Share (0-16) of `to` among the opaque pixels of rows first..last.
    double share(QRgb to, int first, int last) const {
        int opaqueCount = 0, toCount = 0;
        for (int y = first; y <= last; ++y)
            for (int x = 0; x < width(); ++x)
                if (opaque(x, y)) {
                    ++opaqueCount;
                    toCount += colour(x, y) == to;
                }
        return opaqueCount == 0 ? -1 : 16.0 * toCount / opaqueCount;
    }

private:
    const SpriteRect& rect_;
};

struct Placement {
    std::string_view key;
    int x, y;
};

// Sprites drawn by the mask rule onto an empty canvas, remembering which placement painted
// each pixel last.
class Composite {
public:
    explicit Composite(std::initializer_list<std::vector<Placement>> steps) {
        for (const auto& step : steps)
            for (const Placement& p : step) draw(p);
    }

    bool covered(int x, int y) const { return owner_[index(x, y)] >= 0; }
    int owner(int x, int y) const { return owner_[index(x, y)]; }
    QRgb colour(int x, int y) const { return colour_[index(x, y)]; }
    int placements() const { return placements_; }

    int lowestCoveredRow(int x) const {
        for (int y = kCanvasHeight - 1; y >= 0; --y)
            if (covered(x, y)) return y;
        return -1;
    }

private:
    static int index(int x, int y) { return y * kCanvasWidth + x; }

    void draw(const Placement& p) {
        const Sprite sprite(p.key);
        const int id = placements_++;
        for (int y = 0; y < sprite.height(); ++y)
            for (int x = 0; x < sprite.width(); ++x) {
                const int cx = p.x + x, cy = p.y + y;
                if (cx >= kCanvasWidth || cy >= kCanvasHeight || !sprite.opaque(x, y)) continue;
                colour_[index(cx, cy)] = sprite.colour(x, y);
                owner_[index(cx, cy)] = id;
            }
    }

    std::vector<QRgb> colour_ = std::vector<QRgb>(kCanvasWidth * kCanvasHeight, 0);
    std::vector<int> owner_ = std::vector<int>(kCanvasWidth * kCanvasHeight, -1);
    int placements_ = 0;
};

// The warm-air pieces as the front lesson draws them, step by step.
const std::vector<Placement> kStep2 = {{"Ondan1", 0, 0}};
const std::vector<Placement> kStep3 = {{"Ondan1", 143, 0}, {"Ondan2", 0, 0}};
const std::vector<Placement> kStep5 = {{"Ondan1", 289, 0}, {"Ondan2", 146, 0}, {"Ondan3", 0, 80}};
const std::vector<Placement> kStep6 = {{"Ondan1", 389, 0}, {"Ondan2", 246, 0}, {"Ondan3", 100, 80}};
const std::vector<Placement> kStep7 = {
    {"Ondan1", 489, 0}, {"Ondan2", 346, 0}, {"Ondan3", 200, 80}, {"Ondan4", 0, 160}};
const std::vector<Placement> kStep26 = {{"Ondan2", 449, 0},   {"Ondan3", 303, 79}, {"Ondan4", 50, 160},
                                        {"Ondan4", 100, 160}, {"Ondan5", 29, 269}};
const std::vector<Placement> kStep27 = {{"Ondan2", 496, 0}, {"Ondan3", 350, 79}, {"Ondan4", 147, 160}};
const std::vector<Placement> kStep28 = {{"Ondan3", 400, 79}, {"Ondan4", 197, 160}};
const std::vector<Placement> kStep29 = {{"Ondan3", 450, 79}, {"Ondan4", 247, 160}};
const std::vector<Placement> kStep30 = {{"Ondan3", 493, 79}, {"Ondan4", 290, 160}};

Composite warmAirAfterStep7() { return Composite{kStep2, kStep3, kStep5, kStep6, kStep7}; }

Composite warmAirAfterStep30() {
    return Composite{kStep2, kStep3, kStep5, kStep6, kStep7, kStep26, kStep27, kStep28, kStep29, kStep30};
}

class AirArt : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(maskSheet().size(), QSize(kSheetWidth, kSheetHeight));
        ASSERT_EQ(colourSheet().size(), QSize(kSheetWidth, kSheetHeight));
    }
};

// ---------------------------------------------------------------------------------------------
// Cold air

struct Dome {
    std::string_view key;
    int canvasTop;        // where the front lesson draws it (always at x 0)
    int firstLeftRow;     // the left column is opaque from this row down
};

constexpr Dome kDomes[] = {{"Kanrei1", 212, 5}, {"Kanrei2", 155, 8}, {"Kanreim", 135, 1}};

TEST_F(AirArt, DomesStandOnTheHorizonAgainstTheLeftEdge) {
    for (const Dome& dome : kDomes) {
        SCOPED_TRACE(std::string(dome.key));
        const Sprite sprite(dome.key);
        const int bottom = sprite.height() - 1;
        for (int x = 0; x < sprite.width() - 3; ++x) EXPECT_TRUE(sprite.opaque(x, bottom)) << "bottom row, x " << x;
        for (int y = dome.firstLeftRow; y <= bottom; ++y) EXPECT_TRUE(sprite.opaque(0, y)) << "left column, row " << y;
        const int foot = dome.canvasTop + bottom;
        EXPECT_GE(foot, kHorizonRow - 3);
        EXPECT_LT(foot, kHorizonRow);
    }
}

TEST_F(AirArt, DomeRowsAreOneRunFromTheLeftWideningDownwards) {
    for (const Dome& dome : kDomes) {
        SCOPED_TRACE(std::string(dome.key));
        const Sprite sprite(dome.key);
        int previousRight = 0;
        for (int y = dome.firstLeftRow; y < sprite.height(); ++y) {
            const int right = sprite.rightEdge(y);
            for (int x = 0; x <= right; ++x) ASSERT_TRUE(sprite.opaque(x, y)) << "hole at " << x << "," << y;
            EXPECT_GE(right, previousRight) << "row " << y;
            previousRight = right;
        }
    }
}

TEST_F(AirArt, DomesAreBlueDitheredWithCyanTurningSolidAtTheFoot) {
    for (const Dome& dome : kDomes) {
        SCOPED_TRACE(std::string(dome.key));
        const Sprite sprite(dome.key);
        for (int y = 0; y < sprite.height(); ++y)
            for (int x = 0; x < sprite.width(); ++x)
                if (sprite.opaque(x, y)) {
                    const QRgb c = sprite.colour(x, y);
                    ASSERT_TRUE(c == kBlue || c == kCyan) << std::hex << c << " at " << std::dec << x << "," << y;
                }
        const int h = sprite.height();
        const double top = sprite.share(kCyan, 0, 7);
        EXPECT_GT(top, 0.5);  // dithered, not solid blue
        EXPECT_LT(top, 5.0);
        EXPECT_DOUBLE_EQ(sprite.share(kCyan, h - 1, h - 1), 16.0);
        double previous = top;
        for (int quarter = 1; quarter < 4; ++quarter) {
            const double s = sprite.share(kCyan, quarter * h / 4, (quarter + 1) * h / 4 - 1);
            EXPECT_GT(s, previous) << "quarter " << quarter;
            previous = s;
        }
    }
}

TEST_F(AirArt, KanreimRightEdgeFollowsItsQuarterEllipse) {
    struct EdgePoint {
        int row, x;
    };
    constexpr EdgePoint kEdge[] = {{0, 33}, {4, 54}, {40, 99}, {80, 129}, {120, 152}, {160, 173}, {192, 183}};
    const Sprite kanreim("Kanreim");
    for (const EdgePoint& p : kEdge) EXPECT_NEAR(kanreim.rightEdge(p.row), p.x, 3) << "row " << p.row;
}

// The lesson draws the three domes over one another: each must hide the one before, or parts of
// the smaller dome would stick out of the grown one.
TEST_F(AirArt, EachLargerDomeCoversTheSmallerOne) {
    for (int i = 0; i + 1 < 3; ++i) {
        const Dome &earlier = kDomes[i], &later = kDomes[i + 1];
        SCOPED_TRACE(std::string(earlier.key) + " under " + std::string(later.key));
        const Sprite inner(earlier.key), outer(later.key);
        for (int y = 0; y < inner.height(); ++y)
            for (int x = 0; x < inner.width(); ++x) {
                if (!inner.opaque(x, y)) continue;
                const int outerY = earlier.canvasTop + y - later.canvasTop;
                const bool hidden = x < outer.width() && outerY < outer.height() && outer.opaque(x, outerY);
                ASSERT_TRUE(hidden) << "canvas " << x << "," << earlier.canvasTop + y;
            }
    }
}

// ---------------------------------------------------------------------------------------------
// Warm air

constexpr std::string_view kWarmKeys[] = {"Ondan", "Ondan1", "Ondan2", "Ondan3", "Ondan4", "Ondan5"};

TEST_F(AirArt, WarmAirUsesOnlyMagentaAndWhite) {
    for (std::string_view key : kWarmKeys) {
        SCOPED_TRACE(std::string(key));
        const Sprite sprite(key);
        for (int y = 0; y < sprite.height(); ++y)
            for (int x = 0; x < sprite.width(); ++x)
                if (sprite.opaque(x, y)) {
                    const QRgb c = sprite.colour(x, y);
                    ASSERT_TRUE(c == kMagenta || c == kWhite) << std::hex << c << " at " << std::dec << x << "," << y;
                }
    }
}

// Each piece is opaque from its top row down to its lower edge: full width above `slopeTop`, then
// the part above the line from (slopeRight, slopeTop) to (slopeLeft, slopeBottom).
TEST_F(AirArt, WarmPiecesEndAtTheirSlopedLowerEdges) {
    struct Edge {
        std::string_view key;
        int slopeRight, slopeTop, slopeLeft, slopeBottom;
    };
    constexpr Edge kEdges[] = {{"Ondan", 311, 136, 0, 326},  {"Ondan1", 145, 0, 0, 79},
                               {"Ondan2", 142, 80, 0, 159},  {"Ondan3", 145, 80, 0, 159},
                               {"Ondan4", 202, 80, 50, 165}, {"Ondan5", 102, 36, 0, 36}};
    for (const Edge& e : kEdges) {
        SCOPED_TRACE(std::string(e.key));
        const Sprite sprite(e.key);
        for (int x = 0; x < sprite.width(); ++x) {
            const double fall = double(e.slopeBottom - e.slopeTop) / (e.slopeRight - e.slopeLeft);
            const double expected = x <= e.slopeLeft ? e.slopeBottom : e.slopeBottom - (x - e.slopeLeft) * fall;
            const int lowest = sprite.lowestRow(x);
            EXPECT_NEAR(lowest, expected, 2.0) << "column " << x;
            for (int y = 0; y <= lowest; ++y) ASSERT_TRUE(sprite.opaque(x, y)) << "hole at " << x << "," << y;
        }
    }
}

TEST_F(AirArt, WarmPiecesTurnFromMagentaToWhiteInTheirBands) {
    struct Band {
        std::string_view key;
        int firstRow, lastRow;
        double minWhite, maxWhite;  // sixteenths
    };
    constexpr Band kBands[] = {
        {"Ondan1", 0, 19, 0, 0},       {"Ondan1", 20, 39, 0.5, 1.5},  {"Ondan1", 60, 75, 2.25, 3.75},
        {"Ondan2", 0, 19, 0, 0},       {"Ondan2", 140, 159, 7, 10},   {"Ondan3", 0, 3, 3, 5},
        {"Ondan3", 144, 159, 11, 13},  {"Ondan4", 0, 11, 7, 9},       {"Ondan4", 148, 165, 16, 16},
        {"Ondan5", 0, 36, 13.5, 15.5}, {"Ondan", 0, 15, 0, 0.5},      {"Ondan", 300, 326, 16, 16},
    };
    for (const Band& b : kBands) {
        SCOPED_TRACE(std::string(b.key) + " rows " + std::to_string(b.firstRow) + "-" + std::to_string(b.lastRow));
        const double white = Sprite(b.key).share(kWhite, b.firstRow, b.lastRow);
        EXPECT_GE(white, b.minWhite);
        EXPECT_LE(white, b.maxWhite);
    }
    const Sprite strip("Ondan5");
    for (int y = 37; y < strip.height(); ++y)
        for (int x = 0; x < strip.width(); ++x) ASSERT_FALSE(strip.opaque(x, y)) << x << "," << y;
}

// Share (0-16) of white among the pixels of rows first..last that `owner` painted (-1: any).
double compositeWhite(const Composite& c, int first, int last, int owner, int* count = nullptr) {
    int covered = 0, white = 0;
    for (int y = first; y <= last; ++y)
        for (int x = 0; x < kCanvasWidth; ++x)
            if (c.covered(x, y) && (owner < 0 || c.owner(x, y) == owner)) {
                ++covered;
                white += c.colour(x, y) == kWhite;
            }
    if (count) *count = covered;
    return covered == 0 ? -1 : 16.0 * white / covered;
}

TEST_F(AirArt, AssembledWedgeHasOneGradientGrowingDownwards) {
    const Composite wedge = warmAirAfterStep7();
    double previous = 0;
    for (int first = 0; first + 3 <= 325; first += 4) {
        SCOPED_TRACE("rows " + std::to_string(first) + "-" + std::to_string(first + 3));
        const double white = compositeWhite(wedge, first, first + 3, -1);
        EXPECT_GE(white, previous - 0.5);
        previous = std::max(previous, white);
        // Every piece covering these rows shows the same share, so the joins do not show.
        for (int id = 0; id < wedge.placements(); ++id) {
            int count = 0;
            const double own = compositeWhite(wedge, first, first + 3, id, &count);
            if (count < 256) continue;
            EXPECT_NEAR(own, white, 1.0) << "placement " << id;
        }
    }
    EXPECT_DOUBLE_EQ(compositeWhite(wedge, 0, 19, -1), 0.0);
    EXPECT_DOUBLE_EQ(compositeWhite(wedge, 308, 325, -1), 16.0);
}

TEST_F(AirArt, AssembledWedgeHasOneStraightFrontSurface) {
    struct Stage {
        std::string name;
        Composite wedge;
        int groundX, rightX;  // where the front meets the ground; last column of the wedge
    };
    const Stage kStages[] = {{"after step 7", warmAirAfterStep7(), 50, 634},
                             {"after step 30", warmAirAfterStep30(), 340, 638}};
    for (const Stage& stage : kStages) {
        SCOPED_TRACE(stage.name);
        for (int x = 0; x <= stage.rightX; ++x) {
            const int lowest = stage.wedge.lowestCoveredRow(x);
            ASSERT_GE(lowest, 0) << "column " << x;
            for (int y = 0; y <= lowest; ++y) ASSERT_TRUE(stage.wedge.covered(x, y)) << "hole at " << x << "," << y;
        }
        EXPECT_GE(stage.wedge.lowestCoveredRow(stage.groundX - 2), kHorizonRow - 5);
        EXPECT_LT(stage.wedge.lowestCoveredRow(stage.groundX + 8), kHorizonRow - 5);

        // Least-squares line through the lower edge, then every column compared with it.
        std::vector<std::pair<double, double>> edge;
        for (int x = stage.groundX + 2; x <= stage.rightX - 2; x += 3)
            edge.emplace_back(x, stage.wedge.lowestCoveredRow(x));
        double sx = 0, sy = 0, sxx = 0, sxy = 0;
        for (auto [x, y] : edge) {
            sx += x;
            sy += y;
            sxx += x * x;
            sxy += x * y;
        }
        const double n = edge.size();
        const double slope = (n * sxy - sx * sy) / (n * sxx - sx * sx), offset = (sy - slope * sx) / n;
        EXPECT_NEAR(slope, -80.0 / 146.0, 0.03);
        for (auto [x, y] : edge) EXPECT_NEAR(y, offset + slope * x, 3.0) << "column " << x;
    }
}

}  // namespace
