// Draws every picture of the program into the assets folder:
//   perumora-art OUTPUT_DIR
// PicHaikei.png and PicYama.png (16-colour indexed), PicBack.png (black and white),
// PicChrt.png (256-colour indexed), icon.png and perumora.ico, and the desktop icons
// icons/perumora-N.png (the 32 x 32 icon enlarged without smoothing to N = 32, 64, 128, 256).

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <cstdio>

#include "sheet.h"

namespace {

bool save(const QImage& image, const QVector<QRgb>& palette, const QString& path) {
    const QImage indexed = image.convertToFormat(QImage::Format_Indexed8, palette, Qt::ThresholdDither);
    if (!indexed.save(path, "PNG")) {
        std::fprintf(stderr, "perumora-art: cannot write %s\n", qPrintable(path));
        return false;
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);  // fonts, should a picture need text
    if (argc != 2) {
        std::fprintf(stderr, "usage: perumora-art OUTPUT_DIR\n");
        return 2;
    }
    const QDir out(QString::fromLocal8Bit(argv[1]));

    SpriteSheets sheets;
    drawSmallSprites(sheets);
    drawCloudSprites(sheets);
    drawAirSprites(sheets);
    sheets.finish();

    const QImage icon = drawIcon();
    bool ok = save(drawHaikei(), backgroundPalette(), out.filePath("PicHaikei.png")) &&
              save(drawYama(), backgroundPalette(), out.filePath("PicYama.png")) &&
              save(sheets.mask(), {qRgb(0, 0, 0), qRgb(255, 255, 255)}, out.filePath("PicBack.png")) &&
              save(sheets.colour(), sheetPalette(), out.filePath("PicChrt.png")) &&
              save(icon, vgaPalette(), out.filePath("icon.png"));
    out.mkpath(QStringLiteral("icons"));
    for (int size : {32, 64, 128, 256}) {
        const QImage large = icon.scaled(size, size, Qt::IgnoreAspectRatio, Qt::FastTransformation);
        ok = ok && save(large, vgaPalette(), out.filePath(QStringLiteral("icons/perumora-%1.png").arg(size)));
    }
    QFile ico(out.filePath("perumora.ico"));
    ok = ok && ico.open(QIODevice::WriteOnly) && ico.write(icoFile(icon)) > 0;
    return ok ? 0 : 1;
}
