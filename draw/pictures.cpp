#include "draw/pictures.h"

#include <QString>

namespace {

QImage decode(const char* name) {
    QImage image(QString::fromLatin1(":/%1.png").arg(QLatin1String(name)));
    Q_ASSERT_X(!image.isNull(), "pictures", name);
    return image.convertToFormat(QImage::Format_RGB32);
}

}  // namespace

const QImage& PicHaikei() {
    static const QImage image = decode("PicHaikei");
    return image;
}

const QImage& PicYama() {
    static const QImage image = decode("PicYama");
    return image;
}

const QImage& PicBack() {
    static const QImage image = decode("PicBack");
    return image;
}

const QImage& PicChrt() {
    static const QImage image = decode("PicChrt");
    return image;
}

const QImage& PackedSpriteSheet() {
    static const QImage packed = [] {
        QImage image(PicChrt().size(), QImage::Format_ARGB32);
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x) {
                const bool transparent = qRed(PicBack().pixel(x, y)) != 0;
                image.setPixel(x, y, (PicChrt().pixel(x, y) & 0x00FFFFFFu) | (transparent ? 0xFF000000u : 0u));
            }
        return image;
    }();
    return packed;
}

QIcon windowIcon() { return QIcon(QStringLiteral(":/icon.png")); }
