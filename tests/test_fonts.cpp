// The Gothic face on every system: a Japanese face is found, and bold captions look bold even
// where the face has no bold style of its own (IPA P Gothic and MS P Gothic have none).

#include <gtest/gtest.h>

#include <QFontInfo>
#include <QFontMetrics>
#include <QImage>
#include <QPainter>

#include "draw/fonts.h"

namespace {

const QString kCaption = QStringLiteral("雲をつくってみよう");

// Darkness of a caption drawn black on white: the sum over pixels of (255 - grey).
long ink(const QFont& font) {
    QImage image(400, 60, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setFont(font);
    painter.setPen(Qt::black);
    painter.drawText(4, 44, kCaption);
    painter.end();
    long sum = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) sum += 255 - qGray(image.pixel(x, y));
    return sum;
}

TEST(Fonts, AJapaneseFaceOfTheListIsFoundAndHasTheGlyphs) {
    const QFont font = japaneseGothic(14.25, false);
    EXPECT_TRUE(font.families().contains(QFontInfo(font).family())) << QFontInfo(font).family().toStdString();
    const QFontMetrics metrics(font);
    for (const QChar c : kCaption) EXPECT_TRUE(metrics.inFont(c)) << int(c.unicode());
}

TEST(Fonts, BoldCaptionsCarryClearlyMoreInkThanRegularOnes) {
    for (const double points : {9.0, 12.0, 14.25}) {
        const long regular = ink(japaneseGothic(points, false));
        const long bold = ink(japaneseGothic(points, true));
        ASSERT_GT(regular, 0) << points;
        EXPECT_GT(double(bold), 1.12 * double(regular)) << points << " pt: bold " << bold << ", regular " << regular;
    }
}

}  // namespace
