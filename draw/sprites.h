#pragma once
// Drawing a named sprite from the sheets with its mask.

#include <string_view>

class Canvas;

// Draws the sprite `key` (exact case) with its top-left corner at (x, y) into the selected layer;
// an unknown key draws nothing. Parts beyond the canvas edge are clipped.
void DrawSprite(Canvas& canvas, std::string_view key, float x, float y);
