#include "draw/pictures.h"

#include <QResource>
#include <QString>

#include "draw/spritetable.h"

namespace {

// As stored: the backgrounds stay indexed (a quarter of the memory) until a canvas takes one.
QImage decode(const char* name) {
    QImage image(QString::fromLatin1(":/%1.png").arg(QLatin1String(name)));
    Q_ASSERT_X(!image.isNull(), "pictures", name);
    return image;
}

QImage decodeRgb(const char* name) { return decode(name).convertToFormat(QImage::Format_RGB32); }

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
    static const QImage image = decodeRgb("PicBack");
    return image;
}

const QImage& PicChrt() {
    static const QImage image = decodeRgb("PicChrt");
    return image;
}

const QImage& PackedSpriteSheet() {
    // Stored uncompressed in the program: the image reads the resource's bytes where they lie.
    static const QImage packed = [] {
        const QResource raw(QStringLiteral(":/SpriteSheet.argb32"));
        Q_ASSERT(raw.isValid() && raw.compressionAlgorithm() == QResource::NoCompression &&
                 raw.size() == qint64(kSheetWidth) * kSheetHeight * 4);
        return QImage(raw.data(), kSheetWidth, kSheetHeight, kSheetWidth * 4, QImage::Format_ARGB32);
    }();
    return packed;
}

QIcon ProgramIcon() { return QIcon(QStringLiteral(":/icon.png")); }
