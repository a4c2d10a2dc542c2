#include "stage/module1.h"
#include "lessons/lessons.h"

namespace {

using namespace act;

constexpr int kWhite = 15, kLightBlue = 9, kLightMagenta = 13;
constexpr int kCaptionSize = 24;
constexpr float kAspect = 0.7f;

// The parcel of air (a white ellipse) is drawn further along its path at each stage and stays in
// the persistent image, growing as it rises and shrinking on the way down. The two small clouds on
// the lee side go to the overlay only, so the closing refresh takes them away: the cloud is gone.
constexpr Action kSteps[] = {
    // The sun and the heading
    sprite(1, "Taiyou", 107, 40),
    toOverlay(1),
    plain(1, "山のペルモラ", 5, 5, kWhite, 50),
    interval(1, 4000),

    // Wind meets the mountain
    refresh(2), toPersistent(2),
    ellipse(2, 42, 310, 10, kWhite, kAspect),
    interval(2, 400),
    line(3, 67, 298, 117, 293, kWhite),  // arrow to the right
    line(3, 115, 292, 99, 284, kWhite),
    line(3, 116, 293, 103, 304, kWhite),
    refresh(4), toOverlay(4),
    boxed(4, "風が山にぶつかると", 88, 322, kWhite, kCaptionSize, kLightBlue),
    interval(4, 4000),

    // Up the windward slope
    refresh(5), toPersistent(5),
    ellipse(5, 140, 250, 20, kWhite, kAspect),
    interval(5, 400),
    line(6, 159, 233, 199, 193, kWhite),  // arrow up and to the right
    line(6, 198, 193, 199, 211, kWhite),
    line(6, 198, 193, 183, 192, kWhite),
    toOverlay(7),
    boxed(7, "山に沿って昇ってゆき", 200, 213, kWhite, kCaptionSize, kLightBlue),
    interval(7, 4000),
    refresh(8), toPersistent(8),
    ellipse(8, 225, 157, 25, kWhite, kAspect),
    interval(8, 400),
    toOverlay(9),
    boxed(9, "膨張して気温が下がり", 57, 65, kWhite, kCaptionSize, kLightBlue),
    interval(9, 4000),
    refresh(10), toPersistent(10),
    ellipse(10, 240, 110, 35, kWhite, kAspect),
    interval(10, 400),
    toOverlay(11),
    boxed(11, "露点になると雲ができ", 59, 30, kWhite, kCaptionSize, kLightBlue),
    interval(11, 4000),

    // Clouds below and on the summit
    refresh(12), toPersistent(12),
    sprite(12, "Rilos1", 227, 119),
    interval(12, 400),
    sprite(13, "Rilos2", 252, 122),
    ellipse(14, 310, 75, 50, kWhite, kAspect),
    toOverlay(15),
    boxed(15, "頂上に雲がかかります", 200, 200, kWhite, kCaptionSize, kLightBlue),
    interval(15, 4000),
    refresh(16), toPersistent(16),
    sprite(16, "Hattatu1", 273, 52),
    interval(16, 400),
    toOverlay(17),
    boxed(17, "山に沿って空気が下がると", 151, 6, kWhite, kCaptionSize, kLightBlue),
    interval(17, 4000),

    // Down the lee slope
    refresh(18), toPersistent(18),
    line(18, 369, 113, 398, 140, kWhite),  // arrow down and to the right
    line(18, 398, 140, 398, 126, kWhite),
    line(18, 398, 139, 387, 140, kWhite),
    interval(18, 400),
    ellipse(19, 420, 160, 30, kWhite, kAspect),
    toOverlay(19),
    sprite(20, "Rilos2", 366, 121),
    sprite(21, "Rilos1", 406, 138),
    boxed(22, "空気が圧縮されて気温があがり", 141, 5, kWhite, kCaptionSize, kLightBlue),
    interval(22, 4000),
    boxed(23, "雲が消えます", 395, 58, kWhite, kCaptionSize, kLightBlue),

    // The refresh takes the lee-side clouds away with the captions
    refresh(24),
    plain(24, "マウスをクリックしてください", 150, 16, kLightMagenta, 30),
    stopTimer(24),
    awaitClick(24),
};

// Sun and heading; wind meets the mountain; up the slope; expansion; dew point; cloud on the summit;
// down the lee side; compression; the cloud is gone; prompt.
constexpr std::int16_t kSceneStarts[] = {1, 2, 5, 8, 10, 12, 16, 18, 23, 24};

}  // namespace

const Lesson& YamaLesson() {
    static const Lesson lesson{kSceneYama, true, Canvas::Layer::Persistent, 40, true, kSteps, kSceneStarts};
    return lesson;
}
