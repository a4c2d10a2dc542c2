#pragma once
// The built-in pictures, embedded in the program and decoded once, on first use (the town's
// backdrop and the sprite sheet are stored raw and read in place).

#include <QIcon>
#include <QImage>

const QImage& PicHaikei();  // sky over flat ground, 640 x 400
const QImage& PicYama();    // the same with the mountain, 640 x 400
const QImage& PicBack();    // sprite masks, 800 x 600, black = opaque
const QImage& PicChrt();    // sprite colours, 800 x 600, white where the mask is white
QIcon ProgramIcon();  // the 32 x 32 window icon

// Both sheets in one, for drawing: each pixel holds the colour-sheet RGB in its low 24 bits and
// the mask in its top bit (set where the mask is white). Masks hold only black and white.
const QImage& PackedSpriteSheet();
