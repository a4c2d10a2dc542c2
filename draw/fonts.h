#pragma once
// The Japanese proportional Gothic face of the whole program, sized in pixels so that text looks
// the same whatever the screen's DPI.

#include <QFont>

QFont japaneseGothic(double points, bool bold);
int pointsToPixels(double points);  // at 96 DPI
