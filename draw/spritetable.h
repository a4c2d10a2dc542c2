#pragma once
// Where each sprite lives on the two 800 x 600 sprite sheets (mask and colour share the layout).
// Plain data with no Qt dependency: the picture tool that draws the sheets reads it too.

#include <array>
#include <cstddef>
#include <string_view>

struct SpriteRect {
    std::string_view key;  // case-sensitive
    int left, top, right, bottom;  // right and bottom lie just outside the rectangle

    constexpr int width() const { return right - left; }
    constexpr int height() const { return bottom - top; }
};

inline constexpr int kSheetWidth = 800;
inline constexpr int kSheetHeight = 600;

// Lookup order matters: the first exact match wins.
inline constexpr std::array<SpriteRect, 35> kSpriteTable{{
    {"Ame1", 0, 0, 27, 24},
    {"Ame2", 29, 0, 54, 18},
    {"Funya", 56, 0, 77, 20},
    {"Ie", 79, 0, 102, 19},
    {"Kanrei1", 0, 26, 55, 141},
    {"Kanrei2", 57, 26, 162, 198},
    {"Kanreim", 164, 26, 349, 219},
    {"Ki1", 104, 0, 122, 21},
    {"Ki2", 124, 0, 143, 19},
    {"Rilom1", 0, 143, 55, 179},
    {"Rilom2", 0, 200, 99, 257},
    {"Rilos1", 101, 200, 128, 221},
    {"Rilos2", 130, 200, 155, 218},
    {"Ondan", 351, 0, 663, 327},
    {"Ondan1", 202, 221, 348, 301},
    {"Ondan2", 0, 259, 143, 419},
    {"Ondan3", 145, 303, 291, 463},
    {"Ondan4", 293, 329, 496, 495},
    {"Ondan5", 498, 329, 601, 386},
    {"Suteki", 603, 329, 629, 352},
    {"Taiyou", 631, 329, 686, 384},
    {"Yal", 665, 0, 695, 15},
    {"Yalup", 697, 0, 720, 24},
    {"Yar", 665, 17, 695, 33},
    {"Yarup", 697, 26, 720, 50},
    {"Yaup", 722, 0, 736, 30},
    {"Yay1", 665, 35, 685, 61},
    {"Yay2", 722, 32, 738, 60},
    {"Yame", 665, 63, 683, 75},
    {"Yuki", 687, 52, 712, 75},
    {"Yyuki", 715, 62, 730, 80},
    {"Hattatu1", 1, 422, 95, 510},
    {"Hattatu2", 97, 465, 204, 581},
    {"Hattatu3", 498, 388, 625, 530},
    {"Hattatu4", 627, 387, 797, 585},
}};

// Exact, case-sensitive lookup in table order; nullptr when the key is unknown.
constexpr const SpriteRect* findSprite(std::string_view key) {
    for (const SpriteRect& s : kSpriteTable)
        if (s.key == key) return &s;
    return nullptr;
}
