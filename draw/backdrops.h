#pragma once
// The two scenes every activity stands on: a background picture with a village drawn into the
// persistent layer. (The window's own DrawTown and DrawMountainTown also hide the menu.)

class Canvas;

void PaintTownBackdrop(Canvas& canvas);      // leaves the overlay selected
void PaintMountainBackdrop(Canvas& canvas);  // leaves the persistent layer selected
