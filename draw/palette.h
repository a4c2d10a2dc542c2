#pragma once
// The sixteen QBColor colours that every drawing call names by index.

#include <QRgb>
#include <array>

inline constexpr std::array<QRgb, 16> kQBColor{{
    0xFF000000, 0xFF000080, 0xFF008000, 0xFF008080, 0xFF800000, 0xFF800080, 0xFF808000, 0xFFC0C0C0,
    0xFF808080, 0xFF0000FF, 0xFF00FF00, 0xFF00FFFF, 0xFFFF0000, 0xFFFF00FF, 0xFFFFFF00, 0xFFFFFFFF,
}};

// Indices outside 0-15 wrap, as the index is only ever a constant of the program.
constexpr QRgb QBColor(int index) { return kQBColor[unsigned(index) % kQBColor.size()]; }
