#pragma once
// The two sprite sheets while they are being drawn: the colour sheet and its black-and-white mask.
// Each sprite is painted on its own transparent image and stamped into its rectangle, which makes
// the mask rule hold by construction: black mask under every opaque pixel, white mask and white
// colour under every transparent one.

#include <QImage>
#include <QVector>
#include <functional>
#include <string_view>

#include "draw/spritetable.h"

// The only colours a sprite may use.
inline constexpr QRgb kSpriteColours[13] = {
    0xFF000000, 0xFF000080, 0xFF0000FF, 0xFF00FF00, 0xFF00FFFF, 0xFF606080, 0xFFA00000,
    0xFFA0A000, 0xFFFF0000, 0xFFFF00FF, 0xFFFFFF00, 0xFFFFFF80, 0xFFFFFFFF,
};

// The nearest of kSpriteColours to c (alpha ignored).
QRgb nearestSpriteColour(QRgb c);

// The sheets' shared 256-entry palette: index = R * 32 + G * 4 + B.
QVector<QRgb> sheetPalette();

// A transparent ARGB32 image exactly the size of the sprite's rectangle; paint the sprite on it.
QImage newSpriteArt(std::string_view key);

// The 4 x 4 ordered-dither threshold matrix shared by every gradient of the pictures: a pixel takes
// the second colour of a two-colour dither of level L (0-16) where its entry is below L.
inline constexpr int kBayer[4][4] = {{0, 8, 2, 10}, {12, 4, 14, 6}, {3, 11, 1, 9}, {15, 7, 13, 5}};
constexpr bool ditherPicksSecond(int x, int y, int level) { return kBayer[y & 3][x & 3] < level; }

class SpriteSheets;
// Paints one sprite on fresh art of its size and stamps it into the sheets.
void paintSprite(SpriteSheets& sheets, std::string_view key, const std::function<void(QImage&)>& paint);

class SpriteSheets {
public:
    SpriteSheets();  // both sheets black everywhere

    // Copies `art` (the size of the key's rectangle) into the sheets: a pixel with alpha >= 128
    // is opaque and gets its nearest sprite colour; any other pixel is transparent.
    void stamp(std::string_view key, const QImage& art);

    // Continues every rectangle's content one pixel to the right and one below.
    void finish();

    const QImage& colour() const { return colour_; }
    const QImage& mask() const { return mask_; }

private:
    QImage colour_, mask_;  // RGB32
};

// The sprite groups, one file each.
void drawSmallSprites(SpriteSheets& sheets);  // rain, heat, houses, trees, sun, droplets, arrows, marks
void drawCloudSprites(SpriteSheets& sheets);  // Rilo* and Hattatu*
void drawAirSprites(SpriteSheets& sheets);    // Kanrei*, Ondan*

// The two backgrounds (RGB32, colours of the 16-entry background palette) and the window icon.
QVector<QRgb> backgroundPalette();
QImage drawHaikei();
QImage drawYama();
QImage drawIcon();                 // 32 x 32, 16 VGA colours, opaque
QVector<QRgb> vgaPalette();
QByteArray icoFile(const QImage& icon);  // a Windows .ico holding the icon
