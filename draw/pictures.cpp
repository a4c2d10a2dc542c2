#include "draw/pictures.h"

#include <QImageReader>
#include <QPixmap>
#include <QResource>
#include <QString>

#include "draw/spritetable.h"

namespace {

// As stored: the backgrounds stay indexed (a quarter of the memory) until a canvas takes one.
// Read as PNG without asking the image-format plugins, which would otherwise all be loaded first.
QImage decode(const char* name) {
    QImageReader reader(QString::fromLatin1(":/%1.png").arg(QLatin1String(name)), "png");
    reader.setAutoDetectImageFormat(false);
    const QImage image = reader.read();
    Q_ASSERT_X(!image.isNull(), "pictures", name);
    return image;
}

QImage decodeRgb(const char* name) { return decode(name).convertToFormat(QImage::Format_RGB32); }

// A picture stored uncompressed in the program by the build (native-endian 32-bit words, no row
// padding): the image reads the resource's bytes where they lie, with no decoding at start-up.
QImage inPlace(const char* name, int width, int height, QImage::Format format) {
    const QResource raw(QString::fromLatin1(":/%1").arg(QLatin1String(name)));
    Q_ASSERT_X(raw.isValid() && raw.compressionAlgorithm() == QResource::NoCompression &&
                   raw.size() == qint64(width) * height * 4,
               "pictures", name);
    return QImage(raw.data(), width, height, width * 4, format);
}

}  // namespace

const QImage& PicHaikei() {
    // Shown at start-up: stored raw, as the sprite sheet is.
    static const QImage image = inPlace("PicHaikei.rgb32", 640, 400, QImage::Format_RGB32);
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
    static const QImage packed = inPlace("SpriteSheet.argb32", kSheetWidth, kSheetHeight, QImage::Format_ARGB32);
    return packed;
}

QIcon ProgramIcon() { return QIcon(QPixmap::fromImage(decode("icon"))); }
