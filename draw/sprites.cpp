#include "draw/sprites.h"

#include <cmath>

#include "draw/canvas.h"
#include "draw/pictures.h"
#include "draw/spritetable.h"

void DrawSprite(Canvas& canvas, std::string_view key, float x, float y) {
    const SpriteRect* sprite = findSprite(key);
    if (!sprite) return;
    const QRect source(sprite->left, sprite->top, sprite->width(), sprite->height());
    canvas.maskedCopy(PackedSpriteSheet(), source, QPoint(int(std::lround(x)), int(std::lround(y))));
}
