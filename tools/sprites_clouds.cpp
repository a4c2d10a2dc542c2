#include "sheet.h"

// To be drawn.
void drawCloudSprites(SpriteSheets&) {}
