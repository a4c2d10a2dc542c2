#include "draw/fonts.h"

#include <QStringList>
#include <cmath>

int pointsToPixels(double points) { return int(std::lround(points * 96.0 / 72.0)); }

QFont japaneseGothic(double points, bool bold) {
    QFont font;
    // The faces Windows ships for Japanese first, then those of Linux and macOS.
    font.setFamilies({QStringLiteral("ＭＳ Ｐゴシック"), QStringLiteral("MS PGothic"),
                      QStringLiteral("Yu Gothic UI"), QStringLiteral("Meiryo UI"), QStringLiteral("Meiryo"),
                      QStringLiteral("MS Gothic"), QStringLiteral("IPAPGothic"), QStringLiteral("IPA Pゴシック"),
                      QStringLiteral("Noto Sans CJK JP"), QStringLiteral("Hiragino Kaku Gothic ProN"),
                      QStringLiteral("sans-serif")});
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(pointsToPixels(points));
    font.setWeight(bold ? QFont::Bold : QFont::Normal);
    return font;
}
