#pragma once
// The simulator's read-outs: "気温 15℃", "湿度 64％", "高度 800ｍ".
//
// Numbers are written the same whatever the locale: one space before zero and positive numbers,
// "-" before negative ones, "." as the point, no zero before the point below 1 (" .4", "-.6"), no
// trailing zeros and no grouping.

#include <QString>

// value rounded to `decimals` places, a value exactly halfway going to the even neighbour.
QString ReadoutNumber(double value, int decimals);
// value as it is, in the shortest digits that give it back exactly.
QString ReadoutNumber(double value);

QString KionCaption(double kion);      // one decimal, then "℃"
QString SitudoCaption(double situdo);  // whole number, then "％"
QString TakasaCaption(double takasa);  // unrounded, then "ｍ"
