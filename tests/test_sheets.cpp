// The two built-in sprite sheets: the black-and-white mask and the colour sheet that DrawSprite
// combines. Their rules are what makes a sprite's surround transparent on every background.

#include <gtest/gtest.h>

#include <QImage>
#include <QPoint>
#include <QRect>
#include <QString>
#include <QVector>
#include <algorithm>
#include <array>
#include <optional>
#include <string>
#include <vector>

#include "draw/spritetable.h"

namespace {

constexpr QRgb kBlack = 0xFF000000, kWhite = 0xFFFFFFFF;

constexpr std::array<QRgb, 13> kSpriteColours{
    0xFF000000, 0xFF000080, 0xFF0000FF, 0xFF00FF00, 0xFF00FFFF, 0xFF606080, 0xFFA00000,
    0xFFA0A000, 0xFFFF0000, 0xFFFF00FF, 0xFFFFFF00, 0xFFFFFF80, 0xFFFFFFFF,
};

const char* const kMaskPath = ":/PicBack.png";
const char* const kColourPath = ":/PicChrt.png";

QImage load(const char* path) { return QImage(QString::fromLatin1(path)); }

QRect rectOf(const SpriteRect& s) { return QRect(s.left, s.top, s.width(), s.height()); }

// The rectangle plus the one-pixel edge to its right and below, which continues its content.
QRect rectWithEdges(const SpriteRect& s) { return QRect(s.left, s.top, s.width() + 1, s.height() + 1); }

std::string describe(QPoint p, QRgb found) {
    return "pixel (" + std::to_string(p.x()) + ", " + std::to_string(p.y()) + ") is #" +
           QString::number(found & 0xFFFFFF, 16).rightJustified(6, QLatin1Char('0')).toStdString();
}

// The first pixel of `area` for which `bad` holds, if any.
template <typename Predicate>
std::optional<QPoint> firstPixel(const QRect& area, Predicate bad) {
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (bad(x, y)) return QPoint(x, y);
    return std::nullopt;
}

bool isSpriteColour(QRgb c) { return std::find(kSpriteColours.begin(), kSpriteColours.end(), c) != kSpriteColours.end(); }

QVector<QRgb> paletteByRule() {
    constexpr int levels8[8] = {0x00, 0x20, 0x40, 0x60, 0x80, 0xA0, 0xC0, 0xFF};
    constexpr int levels4[4] = {0x00, 0x40, 0x80, 0xFF};
    QVector<QRgb> palette;
    for (int index = 0; index < 256; ++index)
        palette.push_back(qRgb(levels8[index / 32], levels8[index / 4 % 8], levels4[index % 4]));
    return palette;
}

TEST(SheetFiles, BothSheetsAre800By600) {
    for (const char* path : {kMaskPath, kColourPath}) {
        SCOPED_TRACE(path);
        const QImage sheet = load(path);
        ASSERT_FALSE(sheet.isNull());
        EXPECT_EQ(sheet.width(), 800);
        EXPECT_EQ(sheet.height(), 600);
    }
}

TEST(SheetFiles, ColourSheetUsesThe256ColourPaletteBuiltByRule) {
    const QImage colour = load(kColourPath);
    ASSERT_FALSE(colour.isNull());
    ASSERT_EQ(colour.format(), QImage::Format_Indexed8);
    const QVector<QRgb> table = colour.colorTable();
    const QVector<QRgb> expected = paletteByRule();
    ASSERT_EQ(table.size(), 256);
    for (int index = 0; index < 256; ++index)
        EXPECT_EQ(table[index] | 0xFF000000, expected[index]) << "palette index " << index;
}

TEST(SheetFiles, MaskSheetHoldsOnlyPureBlackAndPureWhite) {
    const QImage mask = load(kMaskPath);
    ASSERT_FALSE(mask.isNull());
    const std::optional<QPoint> other = firstPixel(mask.rect(), [&](int x, int y) {
        const QRgb p = mask.pixel(x, y);
        return p != kBlack && p != kWhite;
    });
    EXPECT_FALSE(other.has_value()) << describe(*other, mask.pixel(*other));
}

class SheetContent : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        mask = load(kMaskPath).convertToFormat(QImage::Format_RGB32);
        colour = load(kColourPath).convertToFormat(QImage::Format_RGB32);
    }

    void SetUp() override {
        ASSERT_EQ(mask.size(), QSize(kSheetWidth, kSheetHeight));
        ASSERT_EQ(colour.size(), QSize(kSheetWidth, kSheetHeight));
    }

    static bool maskBlack(int x, int y) { return mask.pixel(x, y) == kBlack; }

    inline static QImage mask, colour;
};

// A rectangle that was never drawn would be all opaque (black on both sheets).
TEST_F(SheetContent, EverySpriteHasOpaquePixelsAndATransparentSurround) {
    for (const SpriteRect& sprite : kSpriteTable) {
        EXPECT_TRUE(firstPixel(rectOf(sprite), maskBlack).has_value()) << sprite.key << " is blank";
        EXPECT_TRUE(firstPixel(rectOf(sprite), [](int x, int y) { return !maskBlack(x, y); }).has_value())
            << sprite.key << " has no transparent pixel";
    }
}

TEST_F(SheetContent, ColourSheetIsWhiteWhereverTheMaskIsWhite) {
    for (const SpriteRect& sprite : kSpriteTable) {
        const std::optional<QPoint> bad = firstPixel(rectOf(sprite), [](int x, int y) {
            return !maskBlack(x, y) && colour.pixel(x, y) != kWhite;
        });
        EXPECT_FALSE(bad.has_value()) << sprite.key << ": transparent " << describe(*bad, colour.pixel(*bad));
    }
}

TEST_F(SheetContent, OpaquePixelsUseOnlyTheThirteenSpriteColours) {
    for (const SpriteRect& sprite : kSpriteTable) {
        const std::optional<QPoint> bad = firstPixel(rectOf(sprite), [](int x, int y) {
            return maskBlack(x, y) && !isSpriteColour(colour.pixel(x, y));
        });
        EXPECT_FALSE(bad.has_value()) << sprite.key << ": opaque " << describe(*bad, colour.pixel(*bad));
    }
}

TEST_F(SheetContent, BothSheetsAreBlackOutsideTheSprites) {
    std::vector<bool> used(kSheetWidth * kSheetHeight, false);
    for (const SpriteRect& sprite : kSpriteTable) {
        const QRect area = rectWithEdges(sprite) & QRect(0, 0, kSheetWidth, kSheetHeight);
        for (int y = area.top(); y <= area.bottom(); ++y)
            for (int x = area.left(); x <= area.right(); ++x) used[y * kSheetWidth + x] = true;
    }
    for (const QImage* sheet : {&mask, &colour}) {
        const std::optional<QPoint> bad = firstPixel(sheet->rect(), [&](int x, int y) {
            return !used[y * kSheetWidth + x] && sheet->pixel(x, y) != kBlack;
        });
        EXPECT_FALSE(bad.has_value()) << (sheet == &mask ? "mask" : "colour") << " sheet: "
                          << describe(*bad, sheet->pixel(*bad));
    }
}

}  // namespace
