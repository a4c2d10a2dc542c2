#include "draw/fonts.h"

#include <QStringList>
#include <cmath>

int pointsToPixels(double points) { return int(std::lround(points * 96.0 / 72.0)); }

QFont japaneseGothic(double points, bool bold) {
    QFont font;
    font.setFamilies({QStringLiteral("ＭＳ Ｐゴシック"), QStringLiteral("MS PGothic"),
                      QStringLiteral("IPAPGothic"), QStringLiteral("IPA Pゴシック"),
                      QStringLiteral("Noto Sans CJK JP"), QStringLiteral("Hiragino Kaku Gothic ProN"),
                      QStringLiteral("Meiryo"), QStringLiteral("sans-serif")});
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(pointsToPixels(points));
    font.setWeight(bold ? QFont::Bold : QFont::Normal);
    return font;
}
