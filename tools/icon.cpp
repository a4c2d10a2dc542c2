// The 32 x 32 window icon: a smiling cloud face in front of the sun, with the word RILO below,
// on a raised cyan tile. Drawn pixel by pixel in the standard 16 VGA colours.

#include <QByteArray>
#include <array>
#include <cmath>
#include <numbers>
#include <string_view>

#include "sheet.h"

namespace {

constexpr QRgb kVga[16] = {
    0xFF000000, 0xFF800000, 0xFF008000, 0xFF808000, 0xFF000080, 0xFF800080, 0xFF008080, 0xFFC0C0C0,
    0xFF808080, 0xFFFF0000, 0xFF00FF00, 0xFFFFFF00, 0xFF0000FF, 0xFFFF00FF, 0xFF00FFFF, 0xFFFFFFFF,
};
constexpr QRgb kBlack = kVga[0], kLightGrey = kVga[7], kRed = kVga[9], kBlue = kVga[12],
               kCyan = kVga[14], kWhite = kVga[15];

constexpr int kSize = 32;

constexpr QPointF kSunCentre(8.5, 8.5);
constexpr double kSunRadius = 4.7;
constexpr QPointF kFaceCentre(19.0, 13.5);
constexpr double kFaceRadius = 10.0;

void fillDisc(QImage& image, QPointF centre, double radius, QRgb colour) {
    for (int y = 0; y < kSize; ++y)
        for (int x = 0; x < kSize; ++x)
            if (std::hypot(x + 0.5 - centre.x(), y + 0.5 - centre.y()) <= radius) image.setPixel(x, y, colour);
}

// Pixels given as rows of text: '#' is painted, anything else left alone.
template <std::size_t N>
void paintPattern(QImage& image, int left, int top, const std::array<std::string_view, N>& rows, QRgb colour) {
    for (std::size_t r = 0; r < N; ++r)
        for (std::size_t c = 0; c < rows[r].size(); ++c)
            if (rows[r][c] == '#') image.setPixel(left + int(c), top + int(r), colour);
}

void drawTile(QImage& image) {
    image.fill(kCyan);
    for (int i = 0; i < kSize; ++i) {
        image.setPixel(i, 0, kWhite);
        image.setPixel(0, i, kWhite);
    }
    for (int i = 0; i < kSize; ++i) {
        image.setPixel(i, kSize - 1, kLightGrey);
        image.setPixel(kSize - 1, i, kLightGrey);
    }
}

void drawSun(QImage& image) {
    fillDisc(image, kSunCentre, kSunRadius, kRed);
    for (int ray = 0; ray < 8; ++ray) {
        const double angle = ray * std::numbers::pi / 4;
        for (double r = kSunRadius + 1.6; r <= kSunRadius + 3.4; r += 0.5) {
            const int x = int(std::floor(kSunCentre.x() + r * std::cos(angle)));
            const int y = int(std::floor(kSunCentre.y() + r * std::sin(angle)));
            if (x > 0 && y > 0) image.setPixel(x, y, kRed);  // the white border stays whole
        }
    }
}

void drawCloudFace(QImage& image) {
    fillDisc(image, kFaceCentre, kFaceRadius, kBlack);
    fillDisc(image, kFaceCentre, kFaceRadius - 1.1, kWhite);
    constexpr std::array<std::string_view, 2> closedEye = {"#..#", ".##."};
    paintPattern(image, 13, 10, closedEye, kBlack);
    paintPattern(image, 21, 10, closedEye, kBlack);
    constexpr std::array<std::string_view, 3> smile = {"#......#", ".#....#.", "..####.."};
    paintPattern(image, 15, 15, smile, kBlack);
}

void drawWord(QImage& image) {
    constexpr std::array<std::string_view, 5> rilo = {
        "###. ### #... .##.",
        "#..# .#. #... #..#",
        "###. .#. #... #..#",
        "#.#. .#. #... #..#",
        "#..# ### #### .##.",
    };
    paintPattern(image, 7, 25, rilo, kBlue);
}

void appendLE(QByteArray& bytes, quint32 value, int size) {
    for (int i = 0; i < size; ++i) bytes.append(char((value >> (8 * i)) & 0xFF));
}

// A 32-bit BITMAPINFOHEADER image as stored in an .ico: double height (colour rows then the AND
// mask), rows bottom-up, BGRA; the all-zero AND mask keeps every pixel opaque.
QByteArray iconDib(const QImage& icon) {
    const QImage argb = icon.convertToFormat(QImage::Format_ARGB32);
    const int w = argb.width(), h = argb.height();
    const int maskStride = ((w + 31) / 32) * 4;
    QByteArray dib;
    appendLE(dib, 40, 4);
    appendLE(dib, quint32(w), 4);
    appendLE(dib, quint32(2 * h), 4);
    appendLE(dib, 1, 2);   // planes
    appendLE(dib, 32, 2);  // bits per pixel
    appendLE(dib, 0, 4);   // BI_RGB
    appendLE(dib, quint32(w * h * 4 + maskStride * h), 4);
    for (int i = 0; i < 4; ++i) appendLE(dib, 0, 4);  // resolution and colour counts unused
    for (int y = h - 1; y >= 0; --y)
        for (int x = 0; x < w; ++x) appendLE(dib, argb.pixel(x, y) | 0xFF000000u, 4);
    dib.append(QByteArray(maskStride * h, '\0'));
    return dib;
}

}  // namespace

QVector<QRgb> vgaPalette() { return QVector<QRgb>(std::begin(kVga), std::end(kVga)); }

QImage drawIcon() {
    QImage image(kSize, kSize, QImage::Format_RGB32);
    drawTile(image);
    drawSun(image);
    drawCloudFace(image);
    drawWord(image);
    return image;
}

QByteArray icoFile(const QImage& icon) {
    const QByteArray dib = iconDib(icon);
    QByteArray ico;
    appendLE(ico, 0, 2);  // reserved
    appendLE(ico, 1, 2);  // type: icon
    appendLE(ico, 1, 2);  // one image
    ico.append(char(icon.width() & 0xFF));  // 0 would mean 256
    ico.append(char(icon.height() & 0xFF));
    ico.append(char(0));  // no palette: true colour
    ico.append(char(0));  // reserved
    appendLE(ico, 1, 2);   // planes
    appendLE(ico, 32, 2);  // bits per pixel
    appendLE(ico, quint32(dib.size()), 4);
    appendLE(ico, 6 + 16, 4);  // the image follows this one-entry directory
    return ico + dib;
}
