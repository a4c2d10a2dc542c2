#include "lessons/title.h"

namespace {

using namespace act;

constexpr Action kTitle[] = {
    plain(1, "ペルモラ", 33, 5, 15, 60),
    filledBox(2, 75, 90, 560, 190, 15),
    boxOutline(2, 73, 88, 562, 192, 7),  // light grey frame just outside the white box
    plain(3, "空をながめて下さい。白い雲が見えるでしょう。", 80, 100, 0, 16),
    plain(4, "どうして空には雲があるのか。今日は、ペルモラ", 80, 130, 0, 16),
    plain(5, "について学習しましょう。", 80, 160, 0, 16),
    sprite(6, "Rilos2", 20, 120),
    sprite(7, "Rilos2", 400, 185),
    sprite(8, "Rilos1", 430, 183),
    sprite(9, "Rilom1", 460, 183),
    showMenu(10),
    stopTimer(11),
};

}  // namespace

std::span<const Action> TitleSteps() { return kTitle; }
