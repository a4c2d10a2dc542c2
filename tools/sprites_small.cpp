#include "sheet.h"

// To be drawn.
void drawSmallSprites(SpriteSheets&) {}
