#include "stage/module1.h"
#include "lessons/lessons.h"

namespace {

using namespace act;

constexpr int kLightBlue = 9, kLightRed = 12, kLightMagenta = 13, kLightYellow = 14, kWhite = 15;
constexpr float kAspect = 0.7f;

// A warm front, then a cold front, in one run. The warm-air wedge, the cold-air dome, the clouds and
// the rain build up in the persistent image; captions, the rings on the ground and the arrows are
// overlay only and go at the next refresh. The cold half draws over the warm half without clearing.
constexpr Action kSteps[] = {
    // Warm air slides into the cold air from the left
    boxed(1, "冷たい空気の中に", 262, 36, kWhite, 24, kLightBlue),
    interval(1, 4000),
    refresh(2), toPersistent(2),
    sprite(2, "Ondan1", 0, 0),
    interval(2, 400),
    sprite(3, "Ondan1", 143, 0),
    sprite(3, "Ondan2", 0, 0),
    interval(3, 400),
    toOverlay(4),  // no refresh: the wedge drawn so far stays under the caption
    plain(4, "暖かい空気が入ってきました", 34, 4, kWhite, 24),
    interval(4, 4000),
    refresh(5), toPersistent(5),
    sprite(5, "Ondan1", 289, 0),
    sprite(5, "Ondan2", 146, 0),
    sprite(5, "Ondan3", 0, 80),
    interval(5, 400),
    sprite(6, "Ondan1", 389, 0),
    sprite(6, "Ondan2", 246, 0),
    sprite(6, "Ondan3", 100, 80),
    sprite(7, "Ondan1", 489, 0),
    sprite(7, "Ondan2", 346, 0),
    sprite(7, "Ondan3", 200, 80),
    sprite(7, "Ondan4", 0, 160),

    // Cold air, warm air, the front surface, the warm front ringed on the ground
    refresh(8), toOverlay(8),
    boxed(8, "寒気", 435, 212, kWhite, 40, kLightBlue),
    interval(8, 1000),
    boxed(9, "暖気", 46, 33, kWhite, 40, kLightMagenta),
    plain(10, "暖気と寒気のふれあう面を", 233, 70, kWhite, 24),
    interval(10, 500),
    boxed(11, "前線面", 279, 128, kWhite, 24, kLightRed),
    plain(12, "といいます。", 431, 128, kWhite, 24),
    boxed(13, "この場合には、ここが", 17, 227, kWhite, 24, kLightMagenta),
    interval(13, 500),
    ellipse(14, 50, 330, 15, kLightRed, kAspect),
    interval(14, 400),
    boxed(15, "温暖前線", 59, 271, kWhite, 24, kLightRed),
    interval(15, 500),
    boxed(16, "になります", 245, 271, kWhite, 24, kLightMagenta),
    interval(16, 4000),

    // The warm air rises along the front surface and a cloud grows
    refresh(17),
    boxed(17, "暖かい空気は", 5, 109, kWhite, 24, kLightMagenta),
    interval(17, 2000),
    boxed(18, "上昇し", 198, 109, kWhite, 24, kLightMagenta),
    line(19, 52, 296, 143, 247, kLightRed),
    line(19, 138, 259, 142, 246, kLightRed),
    line(19, 130, 247, 142, 249, kLightRed),
    interval(19, 400),
    line(20, 163, 240, 258, 186, kLightRed),
    line(20, 257, 186, 253, 199, kLightRed),
    line(20, 256, 186, 244, 186, kLightRed),
    boxed(21, "雲ができます", 437, 111, kWhite, 24, kLightBlue),
    interval(21, 400),
    sprite(22, "Rilos2", 306, 145),
    interval(22, 400),
    sprite(23, "Rilos1", 308, 146),
    sprite(24, "Rilom1", 301, 128),
    sprite(25, "Rilom2", 288, 108),
    interval(25, 4000),

    // The wedge advances, clouds form along the front surface and weak rain falls widely
    refresh(26), toPersistent(26),
    sprite(26, "Ondan2", 449, 0),
    sprite(26, "Ondan3", 303, 79),
    sprite(26, "Ondan4", 50, 160),
    sprite(26, "Ondan4", 100, 160),
    sprite(26, "Ondan5", 29, 269),
    interval(26, 400),
    sprite(27, "Ondan2", 496, 0),
    sprite(27, "Ondan3", 350, 79),
    sprite(27, "Ondan4", 147, 160),
    sprite(28, "Ondan3", 400, 79),
    sprite(28, "Ondan4", 197, 160),
    sprite(29, "Ondan3", 450, 79),
    sprite(29, "Ondan4", 247, 160),
    sprite(30, "Ondan3", 493, 79),
    sprite(30, "Ondan4", 290, 160),
    sprite(31, "Rilom1", 404, 222),
    sprite(32, "Rilom1", 455, 198),
    sprite(33, "Rilos2", 511, 200),
    sprite(34, "Rilos2", 541, 186),
    sprite(35, "Rilos1", 562, 171),
    sprite(36, "Ame2", 423, 267),
    sprite(36, "Ame2", 419, 294),
    sprite(36, "Ame2", 466, 245),
    sprite(36, "Ame2", 488, 281),
    sprite(36, "Ame2", 452, 301),
    sprite(36, "Ame2", 493, 309),
    sprite(36, "Ame2", 514, 231),
    toOverlay(36),
    boxed(37, "温暖前線では", 208, 78, kWhite, 24, kLightMagenta),
    interval(37, 2000),
    boxed(38, "広い範囲に", 267, 113, kWhite, 24, kLightMagenta),
    boxed(39, "弱い雨が降ります", 286, 149, kWhite, 24, kLightMagenta),
    interval(39, 4000),

    // A dome of cold air pushes in under the warm air
    refresh(40), toPersistent(40),
    sprite(40, "Kanrei1", 0, 212),
    interval(40, 600),
    sprite(41, "Kanrei2", 0, 155),
    sprite(42, "Kanreim", 0, 135),
    toOverlay(42),
    boxed(43, "暖気", 207, 93, kWhite, 34, kLightRed),
    interval(43, 400),
    boxed(44, "寒気", 8, 233, kWhite, 34, kLightBlue),
    interval(44, 2000),
    boxed(45, "暖気の中に寒気が入ってきます", 54, 193, kWhite, 24, kLightBlue),
    interval(45, 1000),
    boxed(46, "ここが", 63, 341, kWhite, 24, kLightBlue),
    interval(46, 400),
    ellipse(47, 180, 325, 25, kLightRed, kAspect),
    interval(47, 400),
    boxed(48, "寒冷前線", 151, 341, kWhite, 30, kLightRed),
    interval(48, 200),
    boxed(49, "になります", 335, 341, kWhite, 24, kLightBlue),
    interval(49, 4000),

    // The warm air rises steeply
    refresh(50),
    boxed(50, "寒気が入ってきて", 69, 57, kWhite, 24, kLightMagenta),
    interval(50, 2000),
    boxed(51, "暖気が急に上昇します", 125, 97, kWhite, 24, kLightMagenta),
    line(52, 197, 304, 128, 183, kLightRed),
    line(52, 128, 199, 128, 184, kLightRed),
    line(52, 143, 185, 128, 185, kLightRed),
    interval(52, 4000),

    // A tall cumulus and heavy rain over a narrow area
    refresh(53), toPersistent(53),
    sprite(53, "Hattatu1", 115, 165),
    interval(53, 400),
    sprite(54, "Hattatu2", 99, 135),
    sprite(55, "Hattatu3", 80, 105),
    sprite(56, "Ame2", 157, 253),
    sprite(56, "Ame2", 157, 285),
    sprite(56, "Ame2", 125, 255),
    sprite(56, "Ame2", 130, 279),
    sprite(56, "Ame2", 127, 304),
    sprite(56, "Ame2", 153, 306),
    sprite(56, "Ame2", 108, 248),
    sprite(56, "Ame2", 106, 274),
    toOverlay(56),
    boxed(57, "寒冷前線では", 179, 50, kWhite, 24, kLightBlue),
    interval(57, 500),
    boxed(58, "せまい範囲に", 217, 86, kWhite, 24, kLightBlue),
    interval(58, 400),
    boxed(59, "強い雨が降ります", 258, 123, kWhite, 24, kLightBlue),
    interval(59, 4000),

    // The prompt; its box runs past the right edge and is clipped there
    refresh(60),
    boxed(60, "マウスをクリックしてください", 140, 16, kLightMagenta, 30, kLightYellow),
    stopTimer(60),
    awaitClick(60),
};

// Warm air comes in; labels; the front surface; the warm front; rising air and a cloud; clouds and
// rain along the front; wide weak rain; the cold dome; labels; the cold front; steep rise; the tall
// cloud and its rain; narrow strong rain; prompt.
constexpr std::int16_t kSceneStarts[] = {1, 8, 10, 13, 17, 26, 37, 40, 43, 46, 50, 53, 57, 60};

}  // namespace

const Lesson& ZensenLesson() {
    static const Lesson lesson{kSceneZensen, false, Canvas::Layer::Overlay, 200, true, kSteps, kSceneStarts};
    return lesson;
}
