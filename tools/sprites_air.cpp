#include "sheet.h"

// To be drawn.
void drawAirSprites(SpriteSheets&) {}
