// Build step: packs the mask and colour sheets into the one raw sheet that sprite drawing reads
// straight from the program's memory, with no decoding at start-up:
//   perumora-packsheets PicBack.png PicChrt.png OUTPUT
// Each pixel is the colour-sheet RGB in the low 24 bits, with the top byte 0xFF where the mask is
// white (transparent) and 0x00 where it is black; native-endian 32-bit words, rows of 800 pixels.
// With one picture, writes it raw as opaque RGB (0xFFRRGGBB words, no row padding) for the same use:
//   perumora-packsheets PICTURE.png OUTPUT

#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <cstdio>

namespace {

QByteArray packSheets(const QImage& mask, const QImage& colours) {
    QByteArray packed;
    packed.reserve(qsizetype(colours.width()) * colours.height() * 4);
    for (int y = 0; y < colours.height(); ++y)
        for (int x = 0; x < colours.width(); ++x) {
            const quint32 word = (colours.pixel(x, y) & 0x00FFFFFFu) | (qRed(mask.pixel(x, y)) != 0 ? 0xFF000000u : 0u);
            packed.append(reinterpret_cast<const char*>(&word), sizeof word);
        }
    return packed;
}

QByteArray rawPicture(const QImage& picture) {
    QByteArray raw;
    raw.reserve(qsizetype(picture.width()) * picture.height() * 4);
    for (int y = 0; y < picture.height(); ++y)
        raw.append(reinterpret_cast<const char*>(picture.constScanLine(y)), qsizetype(picture.width()) * 4);
    return raw;
}

QImage read(const char* path) { return QImage(QString::fromLocal8Bit(path)).convertToFormat(QImage::Format_RGB32); }

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc != 3 && argc != 4) {
        std::fprintf(stderr, "usage: perumora-packsheets MASK.png COLOURS.png OUTPUT\n"
                             "       perumora-packsheets PICTURE.png OUTPUT\n");
        return 2;
    }
    QByteArray bytes;
    if (argc == 3) {
        const QImage picture = read(argv[1]);
        if (picture.isNull()) {
            std::fprintf(stderr, "perumora-packsheets: cannot read %s\n", argv[1]);
            return 1;
        }
        bytes = rawPicture(picture);
    } else {
        const QImage mask = read(argv[1]), colours = read(argv[2]);
        if (mask.isNull() || colours.isNull() || mask.size() != colours.size()) {
            std::fprintf(stderr, "perumora-packsheets: cannot read two sheets of the same size\n");
            return 1;
        }
        bytes = packSheets(mask, colours);
    }
    const char* output = argv[argc - 1];
    QFile out(QString::fromLocal8Bit(output));
    if (!out.open(QIODevice::WriteOnly) || out.write(bytes) != bytes.size()) {
        std::fprintf(stderr, "perumora-packsheets: cannot write %s\n", output);
        return 1;
    }
    return 0;
}
