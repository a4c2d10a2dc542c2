#include "sheet.h"

#include <QColor>
#include <limits>

namespace {
constexpr int kLevels8[8] = {0x00, 0x20, 0x40, 0x60, 0x80, 0xA0, 0xC0, 0xFF};
constexpr int kLevels4[4] = {0x00, 0x40, 0x80, 0xFF};
}  // namespace

QRgb nearestSpriteColour(QRgb c) {
    QRgb best = kSpriteColours[0];
    int bestDistance = std::numeric_limits<int>::max();
    for (QRgb s : kSpriteColours) {
        const int dr = qRed(c) - qRed(s), dg = qGreen(c) - qGreen(s), db = qBlue(c) - qBlue(s);
        const int d = dr * dr + dg * dg + db * db;
        if (d < bestDistance) {
            bestDistance = d;
            best = s;
        }
    }
    return best;
}

QVector<QRgb> sheetPalette() {
    QVector<QRgb> palette;
    palette.reserve(256);
    for (int r = 0; r < 8; ++r)
        for (int g = 0; g < 8; ++g)
            for (int b = 0; b < 4; ++b) palette.push_back(qRgb(kLevels8[r], kLevels8[g], kLevels4[b]));
    return palette;
}

QImage newSpriteArt(std::string_view key) {
    const SpriteRect* r = findSprite(key);
    Q_ASSERT(r);
    QImage art(r->width(), r->height(), QImage::Format_ARGB32);
    art.fill(Qt::transparent);
    return art;
}

SpriteSheets::SpriteSheets()
    : colour_(kSheetWidth, kSheetHeight, QImage::Format_RGB32),
      mask_(kSheetWidth, kSheetHeight, QImage::Format_RGB32) {
    colour_.fill(Qt::black);
    mask_.fill(Qt::black);
}

void SpriteSheets::stamp(std::string_view key, const QImage& art) {
    const SpriteRect* r = findSprite(key);
    Q_ASSERT(r && art.width() == r->width() && art.height() == r->height());
    const QImage argb = art.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < r->height(); ++y)
        for (int x = 0; x < r->width(); ++x) {
            const QRgb p = argb.pixel(x, y);
            const bool opaque = qAlpha(p) >= 128;
            colour_.setPixel(r->left + x, r->top + y, opaque ? nearestSpriteColour(p) : 0xFFFFFFFF);
            mask_.setPixel(r->left + x, r->top + y, opaque ? 0xFF000000 : 0xFFFFFFFF);
        }
}

void SpriteSheets::finish() {
    for (QImage* sheet : {&colour_, &mask_})
        for (const SpriteRect& r : kSpriteTable) {
            for (int y = r.top; y < r.bottom; ++y)
                if (r.right < kSheetWidth) sheet->setPixel(r.right, y, sheet->pixel(r.right - 1, y));
            for (int x = r.left; x <= r.right && x < kSheetWidth; ++x)
                if (r.bottom < kSheetHeight) sheet->setPixel(x, r.bottom, sheet->pixel(x, r.bottom - 1));
        }
}

void paintSprite(SpriteSheets& sheets, std::string_view key, const std::function<void(QImage&)>& paint) {
    QImage art = newSpriteArt(key);
    paint(art);
    sheets.stamp(key, art);
}
