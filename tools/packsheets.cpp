// Build step: packs the mask and colour sheets into the one raw sheet that sprite drawing reads
// straight from the program's memory, with no decoding at start-up:
//   perumora-packsheets PicBack.png PicChrt.png OUTPUT
// Each pixel is the colour-sheet RGB in the low 24 bits, with the top byte 0xFF where the mask is
// white (transparent) and 0x00 where it is black; native-endian 32-bit words, rows of 800 pixels.

#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <cstdio>

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc != 4) {
        std::fprintf(stderr, "usage: perumora-packsheets MASK.png COLOURS.png OUTPUT\n");
        return 2;
    }
    const QImage mask = QImage(QString::fromLocal8Bit(argv[1])).convertToFormat(QImage::Format_RGB32);
    const QImage colours = QImage(QString::fromLocal8Bit(argv[2])).convertToFormat(QImage::Format_RGB32);
    if (mask.isNull() || colours.isNull() || mask.size() != colours.size()) {
        std::fprintf(stderr, "perumora-packsheets: cannot read two sheets of the same size\n");
        return 1;
    }
    QByteArray packed;
    packed.reserve(qsizetype(colours.width()) * colours.height() * 4);
    for (int y = 0; y < colours.height(); ++y)
        for (int x = 0; x < colours.width(); ++x) {
            const quint32 word = (colours.pixel(x, y) & 0x00FFFFFFu) | (qRed(mask.pixel(x, y)) != 0 ? 0xFF000000u : 0u);
            packed.append(reinterpret_cast<const char*>(&word), sizeof word);
        }
    QFile out(QString::fromLocal8Bit(argv[3]));
    if (!out.open(QIODevice::WriteOnly) || out.write(packed) != packed.size()) {
        std::fprintf(stderr, "perumora-packsheets: cannot write %s\n", argv[3]);
        return 1;
    }
    return 0;
}
