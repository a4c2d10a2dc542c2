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

QIcon windowIcon() { return QIcon(QStringLiteral(":/icon.png")); }
