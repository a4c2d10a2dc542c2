// The two backgrounds and the window icon, checked against the rules the art is drawn to:
// sizes, palettes, the dithered row bands, the mountain's outline and fill, the icon's colours.

#include <gtest/gtest.h>

#include <QImage>
#include <QLineF>
#include <QPolygonF>
#include <QSet>
#include <algorithm>
#include <array>
#include <cmath>
#include <utility>

#include "draw/pictures.h"

namespace {

constexpr QRgb kBlack = 0xFF000000, kBlue = 0xFF0000FF, kGreen = 0xFF00FF00, kCyan = 0xFF00FFFF,
               kYellow = 0xFFFFFF00, kDarkGreen = 0xFF00A000;

constexpr std::array<QRgb, 16> kBackgroundPalette = {
    0xFF000000, 0xFF0000FF, 0xFFFF0000, 0xFFFF00FF, 0xFF00FF00, 0xFF00FFFF, 0xFFFFFF00, 0xFFFFFFFF,
    0xFF707070, 0xFF0000A0, 0xFFA00000, 0xFFA000A0, 0xFF00A000, 0xFF00A0A0, 0xFFA0A000, 0xFFA0A0A0,
};

constexpr std::array<QRgb, 16> kVgaColours = {
    0xFF000000, 0xFF800000, 0xFF008000, 0xFF808000, 0xFF000080, 0xFF800080, 0xFF008080, 0xFFC0C0C0,
    0xFF808080, 0xFFFF0000, 0xFF00FF00, 0xFFFFFF00, 0xFF0000FF, 0xFFFF00FF, 0xFF00FFFF, 0xFFFFFFFF,
};

// Rows first..last: `to` covers level/16 of the band, `from` the rest.
struct Band {
    int first, last;
    QRgb from, to;
    int level;
};

constexpr std::array<Band, 28> kHaikeiBands = {{
    {0, 107, kBlue, kCyan, 0},
    {108, 119, kBlue, kCyan, 1},   {120, 135, kBlue, kCyan, 2},   {136, 147, kBlue, kCyan, 3},
    {148, 163, kBlue, kCyan, 4},   {164, 175, kBlue, kCyan, 5},   {176, 191, kBlue, kCyan, 6},
    {192, 203, kBlue, kCyan, 7},   {204, 219, kBlue, kCyan, 8},   {220, 231, kBlue, kCyan, 9},
    {232, 247, kBlue, kCyan, 10},  {248, 259, kBlue, kCyan, 11},  {260, 275, kBlue, kCyan, 12},
    {276, 287, kBlue, kCyan, 13},  {288, 303, kBlue, kCyan, 14},  {304, 315, kBlue, kCyan, 15},
    {316, 327, kBlue, kCyan, 16},
    {328, 335, kYellow, kGreen, 0},
    {336, 343, kYellow, kGreen, 2},  {344, 351, kYellow, kGreen, 4},  {352, 359, kYellow, kGreen, 6},
    {360, 367, kYellow, kGreen, 8},  {368, 375, kYellow, kGreen, 10}, {376, 383, kYellow, kGreen, 12},
    {384, 387, kYellow, kGreen, 13}, {388, 391, kYellow, kGreen, 14}, {392, 395, kYellow, kGreen, 15},
    {396, 399, kYellow, kGreen, 16},
}};

// The mountain's fill below the summit's outline (rows 121-124) down to where it stops.
constexpr std::array<Band, 31> kMountainFillBands = {{
    {125, 135, kDarkGreen, kGreen, 0},
    {136, 143, kDarkGreen, kGreen, 1},  {144, 155, kDarkGreen, kGreen, 2},  {156, 159, kDarkGreen, kGreen, 3},
    {160, 171, kDarkGreen, kGreen, 4},  {172, 179, kDarkGreen, kGreen, 5},  {180, 187, kDarkGreen, kGreen, 6},
    {188, 195, kDarkGreen, kGreen, 7},  {196, 207, kDarkGreen, kGreen, 8},  {208, 215, kDarkGreen, kGreen, 9},
    {216, 227, kDarkGreen, kGreen, 10}, {228, 231, kDarkGreen, kGreen, 11}, {232, 243, kDarkGreen, kGreen, 12},
    {244, 251, kDarkGreen, kGreen, 13}, {252, 263, kDarkGreen, kGreen, 14}, {264, 271, kDarkGreen, kGreen, 15},
    {272, 287, kGreen, kYellow, 0},
    {288, 295, kGreen, kYellow, 2},     {296, 299, kGreen, kYellow, 4},     {300, 303, kGreen, kYellow, 5},
    {304, 307, kGreen, kYellow, 6},     {308, 311, kGreen, kYellow, 7},     {312, 315, kGreen, kYellow, 8},
    {316, 319, kGreen, kYellow, 9},     {320, 323, kGreen, kYellow, 10},    {324, 327, kGreen, kYellow, 11},
    {328, 331, kGreen, kYellow, 12},    {332, 335, kGreen, kYellow, 13},    {336, 339, kGreen, kYellow, 14},
    {340, 343, kGreen, kYellow, 15},    {344, 347, kGreen, kYellow, 16},
}};
// Columns that lie inside the mountain on every fill row; a multiple of 4 wide, so that any
// phase of the 4 x 4 dither gives the exact share.
constexpr int kFillColumnsFirst = 316, kFillColumnsLast = 331;

// The centre line of the mountain's outline.
constexpr std::array<QPointF, 6> kOutlinePoints = {{
    {91, 349}, {291, 135}, {310, 122}, {336, 122}, {359, 135}, {587, 347},
}};
constexpr double kOutlineReach = 4.5;  // half the stroke, plus the shoulder's curve and rounding

const QImage& haikei() {
    static const QImage image(":/PicHaikei.png");
    return image;
}

const QImage& yama() {
    static const QImage image(":/PicYama.png");
    return image;
}

const QImage& icon() {
    static const QImage image(":/icon.png");
    return image;
}

QSet<QRgb> coloursUsed(const QImage& image) {
    QSet<QRgb> colours;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) colours.insert(image.pixel(x, y));
    return colours;
}

QVector<QRgb> opaque(const QVector<QRgb>& table) {
    QVector<QRgb> result;
    for (QRgb c : table) result.push_back(c | 0xFF000000);
    return result;
}

struct BandCount {
    int to = 0, other = 0, total = 0;
};

BandCount countBand(const QImage& image, const Band& band, int firstX, int lastX) {
    BandCount count;
    for (int y = band.first; y <= band.last; ++y)
        for (int x = firstX; x <= lastX; ++x) {
            const QRgb c = image.pixel(x, y);
            ++count.total;
            if (c == band.to) ++count.to;
            else if (c != band.from) ++count.other;
        }
    return count;
}

void expectBand(const QImage& image, const Band& band, int firstX, int lastX) {
    const BandCount count = countBand(image, band, firstX, lastX);
    EXPECT_EQ(count.other, 0) << "foreign colours in rows " << band.first << "-" << band.last;
    EXPECT_EQ(count.to * 16, count.total * band.level)
        << "rows " << band.first << "-" << band.last << ": " << count.to << " of " << count.total;
}

QPolygonF mountainPolygon() {
    return QPolygonF(QList<QPointF>(kOutlinePoints.begin(), kOutlinePoints.end()));
}

double distanceToBoundary(const QPolygonF& polygon, QPointF p) {
    double best = 1e9;
    for (qsizetype i = 0; i < polygon.size(); ++i) {
        const QPointF a = polygon[i], b = polygon[(i + 1) % polygon.size()];
        const QPointF ab = b - a;
        const double t = std::clamp(QPointF::dotProduct(p - a, ab) / QPointF::dotProduct(ab, ab), 0.0, 1.0);
        best = std::min(best, QLineF(p, a + t * ab).length());
    }
    return best;
}

// +1 well inside the outline, -1 well outside, 0 on or near the stroke.
int sideOfMountain(const QPolygonF& polygon, int x, int y) {
    const QPointF centre(x + 0.5, y + 0.5);
    if (distanceToBoundary(polygon, centre) <= kOutlineReach) return 0;
    return polygon.containsPoint(centre, Qt::OddEvenFill) ? 1 : -1;
}

bool rowHas(const QImage& image, int y, int firstX, int lastX, QRgb colour) {
    for (int x = firstX; x <= lastX; ++x)
        if (image.pixel(x, y) == colour) return true;
    return false;
}

// --- both backgrounds ---

TEST(BackgroundPictures, AreCanvasSizedAndUseTheBackgroundPalette) {
    const QVector<QRgb> palette(kBackgroundPalette.begin(), kBackgroundPalette.end());
    for (const QImage* image : {&haikei(), &yama()}) {
        ASSERT_FALSE(image->isNull());
        EXPECT_EQ(image->size(), QSize(640, 400));
        EXPECT_EQ(image->format(), QImage::Format_Indexed8);
        EXPECT_EQ(opaque(image->colorTable()), palette);
    }
}

TEST(BackgroundPictures, UseOnlyTheirOwnColours) {
    EXPECT_EQ(coloursUsed(haikei()), QSet<QRgb>({kBlue, kCyan, kYellow, kGreen}));
    EXPECT_EQ(coloursUsed(yama()), QSet<QRgb>({kBlue, kCyan, kYellow, kGreen, kBlack, kDarkGreen}));
}

// --- sky and ground ---

// The program reads the town's backdrop raw, as the build stored it: the same pixels as the PNG.
TEST(BackgroundPictures, AsTheProgramReadsThemEqualTheirPngs) {
    const std::pair<const QImage&, const QImage&> cases[] = {{PicHaikei(), haikei()}, {PicYama(), yama()}};
    for (const auto& [read, png] : cases)
        EXPECT_EQ(read.convertToFormat(QImage::Format_RGB32), png.convertToFormat(QImage::Format_RGB32));
}

TEST(HaikeiPicture, EveryBandHasItsDitherShare) {
    const QImage& image = haikei();
    ASSERT_FALSE(image.isNull());
    for (const Band& band : kHaikeiBands) expectBand(image, band, 0, image.width() - 1);
}

TEST(HaikeiPicture, ColourDependsOnlyOnRowAndColumnModFour) {
    const QImage& image = haikei();
    ASSERT_FALSE(image.isNull());
    int mismatches = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 4; x < image.width(); ++x)
            if (image.pixel(x, y) != image.pixel(x % 4, y)) ++mismatches;
    EXPECT_EQ(mismatches, 0);
}

TEST(HaikeiPicture, SkyEndsCyanAndGroundStartsYellowAtTheHorizon) {
    const QImage& image = haikei();
    ASSERT_FALSE(image.isNull());
    for (int x = 0; x < image.width(); ++x) {
        EXPECT_EQ(image.pixel(x, 327), kCyan) << "x " << x;
        EXPECT_EQ(image.pixel(x, 328), kYellow) << "x " << x;
    }
}

// --- the mountain ---

TEST(YamaPicture, EqualsHaikeiOutsideTheMountainAndDiffersInside) {
    const QImage &plain = haikei(), &mountain = yama();
    ASSERT_FALSE(plain.isNull());
    ASSERT_FALSE(mountain.isNull());
    const QPolygonF polygon = mountainPolygon();
    int outsideDifferent = 0, inside = 0, insideDifferent = 0;
    for (int y = 0; y < plain.height(); ++y)
        for (int x = 0; x < plain.width(); ++x) {
            const int side = sideOfMountain(polygon, x, y);
            const bool different = plain.pixel(x, y) != mountain.pixel(x, y);
            if (side < 0 && different) ++outsideDifferent;
            if (side > 0 && y <= 347) {
                ++inside;
                if (different) ++insideDifferent;
            }
        }
    EXPECT_EQ(outsideDifferent, 0);
    ASSERT_GT(inside, 0);
    EXPECT_GT(insideDifferent, inside * 8 / 10);
}

TEST(YamaPicture, FillFollowsItsGradientDownTheMiddle) {
    const QImage& image = yama();
    ASSERT_FALSE(image.isNull());
    for (const Band& band : kMountainFillBands) expectBand(image, band, kFillColumnsFirst, kFillColumnsLast);
}

TEST(YamaPicture, FillColoursAtLandmarks) {
    const QImage& image = yama();
    ASSERT_FALSE(image.isNull());
    for (int x = 319; x <= 327; ++x) EXPECT_EQ(image.pixel(x, 130), kDarkGreen) << "x " << x;
    EXPECT_TRUE(rowHas(image, 200, 310, 340, kDarkGreen));
    EXPECT_TRUE(rowHas(image, 200, 310, 340, kGreen));
    for (int x = 300; x <= 340; ++x) EXPECT_EQ(image.pixel(x, 280), kGreen) << "x " << x;
    for (int x = 336; x <= 344; ++x) EXPECT_EQ(image.pixel(x, 345), kYellow) << "x " << x;
}

TEST(YamaPicture, SummitOutlineLiesOnRows121To124) {
    const QImage& image = yama();
    ASSERT_FALSE(image.isNull());
    for (int x = 314; x <= 332; ++x) {
        EXPECT_NE(image.pixel(x, 120), kBlack) << "x " << x;
        for (int y = 121; y <= 124; ++y) EXPECT_EQ(image.pixel(x, y), kBlack) << "x " << x << " y " << y;
        EXPECT_EQ(image.pixel(x, 125), kDarkGreen) << "x " << x;
    }
}

TEST(YamaPicture, OnlyTheLeftFootReachesBelowTheFill) {
    const QImage& image = yama();
    ASSERT_FALSE(image.isNull());
    EXPECT_TRUE(rowHas(image, 350, 80, 100, kBlack));
    for (int y = 351; y < image.height(); ++y) EXPECT_FALSE(rowHas(image, y, 0, 639, kBlack)) << "row " << y;
    for (int y = 349; y < image.height(); ++y) EXPECT_FALSE(rowHas(image, y, 320, 639, kBlack)) << "row " << y;
    for (int y = 348; y < image.height(); ++y)
        EXPECT_FALSE(rowHas(image, y, 0, 639, kDarkGreen)) << "row " << y;
}

TEST(YamaPicture, HasNoLineAlongTheBase) {
    const QImage& image = yama();
    ASSERT_FALSE(image.isNull());
    for (int y = 340; y <= 350; ++y) EXPECT_FALSE(rowHas(image, y, 150, 530, kBlack)) << "row " << y;
}

TEST(YamaPicture, FlanksAreOutlinedAlongTheirWholeLength) {
    const QImage& image = yama();
    ASSERT_FALSE(image.isNull());
    for (int y = 140; y <= 345; y += 5) {
        const double leftX = 91 + (349.0 - y) * 200 / 214, rightX = 359 + (y - 135.0) * 228 / 212;
        EXPECT_TRUE(rowHas(image, y, int(leftX) - 3, int(leftX) + 3, kBlack)) << "left, row " << y;
        EXPECT_TRUE(rowHas(image, y, int(rightX) - 3, int(rightX) + 3, kBlack)) << "right, row " << y;
    }
}

// --- the window icon ---

TEST(IconPicture, IsAnOpaque32By32PictureInVgaColours) {
    const QImage& image = icon();
    ASSERT_FALSE(image.isNull());
    EXPECT_EQ(image.size(), QSize(32, 32));
    const QSet<QRgb> vga(kVgaColours.begin(), kVgaColours.end());
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QRgb c = image.pixel(x, y);
            EXPECT_EQ(qAlpha(c), 255) << x << "," << y;
            EXPECT_TRUE(vga.contains(c)) << x << "," << y << ": " << std::hex << c;
        }
}

TEST(IconPicture, HasARaisedCyanTile) {
    const QImage& image = icon();
    ASSERT_FALSE(image.isNull());
    for (int i = 1; i <= 30; ++i) {
        EXPECT_EQ(image.pixel(i, 0), 0xFFFFFFFFu) << "top " << i;
        EXPECT_EQ(image.pixel(0, i), 0xFFFFFFFFu) << "left " << i;
        EXPECT_EQ(image.pixel(i, 31), 0xFFC0C0C0u) << "bottom " << i;
        EXPECT_EQ(image.pixel(31, i), 0xFFC0C0C0u) << "right " << i;
    }
    EXPECT_EQ(image.pixel(1, 30), kCyan);
    EXPECT_EQ(image.pixel(30, 30), kCyan);
}

TEST(IconPicture, SunUpperLeftFaceInFrontWordAlongTheBottom) {
    const QImage& image = icon();
    ASSERT_FALSE(image.isNull());
    int redUpperLeft = 0, red = 0, blueBottom = 0, blue = 0, white = 0, black = 0;
    for (int y = 1; y <= 30; ++y)
        for (int x = 1; x <= 30; ++x) {
            const QRgb c = image.pixel(x, y);
            red += c == 0xFFFF0000;
            redUpperLeft += c == 0xFFFF0000 && x < 18 && y < 18;
            blue += c == kBlue;
            blueBottom += c == kBlue && y >= 24;
            white += c == 0xFFFFFFFF;
            black += c == kBlack;
        }
    EXPECT_GE(redUpperLeft, 30);
    EXPECT_EQ(redUpperLeft, red);
    EXPECT_GE(blueBottom, 30);  // four capitals about 5 px tall
    EXPECT_EQ(blueBottom, blue);
    EXPECT_GE(white, 150);      // the large round face
    EXPECT_GE(black, 50);       // its outline, eyes and smile
}

}  // namespace
