#include "stage/module1.h"
#include "lessons/lessons.h"

namespace {

using namespace act;

constexpr int kWhite = 15, kLightBlue = 9, kLightMagenta = 13;
constexpr int kCaptionSize = 24;

// Runs of pictures 400 ms apart go into the persistent image; the last of a run switches to the
// overlay, where the next step shows a caption and holds it with a long interval; the refresh that
// begins the following run wipes it. So pictures pile up for the whole lesson, captions do not.
constexpr Action kSteps[] = {
    // The sun
    sprite(1, "Taiyou", 107, 40),
    toOverlay(1),
    boxed(2, "おひさま、ぽかぽか", 178, 50, kWhite, kCaptionSize, kLightBlue),
    boxed(3, "とっても良い天気", 179, 89, kWhite, kCaptionSize, kLightBlue),
    interval(3, 2000),

    // Sunlight pours down
    refresh(4), toPersistent(4),
    sprite(4, "Yay2", 138, 104),
    interval(4, 400),
    sprite(5, "Yay2", 148, 144),
    toOverlay(5),
    interval(5, 400),
    boxed(6, "明るい陽ざしが", 178, 146, kWhite, kCaptionSize, kLightBlue),
    interval(6, 2000),
    refresh(7), toPersistent(7),
    sprite(7, "Yay2", 156, 189),
    interval(7, 400),
    sprite(8, "Yay2", 163, 233),
    sprite(9, "Yay2", 171, 278),
    toOverlay(9),
    boxed(10, "ふりそそぎ", 190, 236, kWhite, kCaptionSize, kLightBlue),
    interval(10, 2000),

    // The ground and the air get warm
    refresh(11), toPersistent(11),
    sprite(11, "Funya", 171, 322),
    interval(11, 400),
    sprite(12, "Funya", 193, 322),
    sprite(13, "Funya", 215, 322),
    toOverlay(13),
    boxed(14, "地面が、あたたか", 219, 357, kWhite, kCaptionSize, kLightBlue),
    interval(14, 2000),
    refresh(15), toPersistent(15),
    ellipse(15, 200, 320, 10, kWhite, 0.7f),
    toOverlay(15),
    interval(15, 400),
    boxed(16, "空気も、あたたか", 219, 285, kWhite, kCaptionSize, kLightBlue),
    interval(16, 4000),

    // Warm air expands and rises: the parcel climbs and grows
    refresh(17), toPersistent(17),
    ellipse(17, 200, 285, 15, kWhite, 0.6f),
    toOverlay(17),
    interval(17, 400),
    boxed(18, "あたたかい空気は膨張し", 242, 273, kWhite, kCaptionSize, kLightBlue),
    interval(18, 4000),
    refresh(19), toPersistent(19),
    ellipse(19, 200, 250, 20, kWhite, 0.6f),
    toOverlay(19),
    interval(19, 400),
    boxed(20, "お空の上へあがっていく", 231, 203, kWhite, kCaptionSize, kLightBlue),
    interval(20, 4000),

    // At the dew point a cloud forms
    refresh(21), toPersistent(21),
    sprite(21, "Rilos2", 191, 235),
    toOverlay(21),
    interval(21, 400),
    boxed(22, "露点になると水滴ができ", 246, 226, kWhite, kCaptionSize, kLightBlue),
    interval(22, 4000),
    refresh(23), toPersistent(23),
    sprite(23, "Rilom1", 178, 217),
    toOverlay(23),
    interval(23, 400),
    boxed(24, "雲ができます。", 246, 217, kWhite, kCaptionSize, kLightBlue),
    interval(24, 4000),

    // The cumulus grows
    refresh(25), toPersistent(25),
    sprite(25, "Hattatu1", 179, 163),
    interval(25, 400),
    sprite(26, "Hattatu2", 181, 136),
    sprite(27, "Hattatu3", 183, 110),
    sprite(28, "Hattatu4", 175, 55),
    toOverlay(28),
    boxed(29, "大きな雲になりました。", 284, 219, kWhite, kCaptionSize, kLightBlue),
    interval(29, 4000),

    // Rain
    refresh(30), toPersistent(30),
    sprite(30, "Ame2", 205, 170),
    interval(30, 400),
    sprite(31, "Ame2", 231, 174),
    toOverlay(31),
    boxed(32, "雲の粒がくっついて", 248, 186, kWhite, kCaptionSize, kLightBlue),
    interval(32, 4000),
    refresh(33), toPersistent(33),
    sprite(33, "Ame2", 206, 194),
    interval(33, 400),
    sprite(34, "Ame2", 234, 199),
    toOverlay(34),
    boxed(35, "水滴ができて", 261, 191, kWhite, kCaptionSize, kLightBlue),
    interval(35, 4000),
    refresh(36), toPersistent(36),
    sprite(36, "Ame2", 203, 216),
    sprite(36, "Ame1", 238, 226),
    interval(36, 400),
    sprite(37, "Ame1", 210, 236),
    sprite(37, "Ame2", 240, 249),
    sprite(38, "Ame1", 209, 261),
    sprite(38, "Ame1", 238, 274),
    sprite(39, "Ame1", 210, 285),
    sprite(39, "Ame1", 239, 297),
    sprite(40, "Ame1", 210, 307),
    sprite(40, "Ame1", 240, 321),
    toOverlay(40),
    boxed(41, "雨になって降ってくる", 272, 256, kWhite, kCaptionSize, kLightBlue),
    interval(41, 4000),

    // Snow, and a snowman on the ground
    refresh(42), toPersistent(42),
    sprite(42, "Yuki", 258, 71),
    interval(42, 400),
    sprite(43, "Yuki", 290, 68),
    sprite(44, "Yuki", 281, 84),
    toOverlay(44),
    boxed(45, "気温が低いと雪になり", 308, 69, kWhite, kCaptionSize, kLightBlue),
    interval(45, 4000),
    refresh(46), toPersistent(46),
    sprite(46, "Yuki", 265, 115),
    sprite(46, "Yuki", 300, 128),
    interval(46, 400),
    sprite(47, "Yuki", 266, 154),
    sprite(47, "Yuki", 298, 170),
    sprite(48, "Yuki", 266, 190),
    sprite(48, "Yuki", 301, 197),
    sprite(49, "Yuki", 269, 221),
    sprite(49, "Yuki", 304, 234),
    toOverlay(49),
    boxed(50, "ふわふわ降ってくる", 308, 69, kWhite, kCaptionSize, kLightBlue),
    interval(50, 4000),
    refresh(51), toPersistent(51),
    sprite(51, "Yuki", 263, 255),
    sprite(51, "Yuki", 308, 268),
    interval(51, 400),
    sprite(52, "Yuki", 264, 292),
    sprite(52, "Yuki", 309, 297),
    sprite(53, "Yyuki", 321, 321),
    toOverlay(53),

    // The prompt, over an overlay that is already empty
    plain(54, "マウスをクリックしてください", 150, 16, kLightMagenta, 26),
    stopTimer(54),
    awaitClick(54),
};

// Sun; sunlight; warm ground and air; the warm air rises; dew point; a big cloud; rain; snow; prompt.
constexpr std::int16_t kSceneStarts[] = {1, 4, 11, 17, 21, 25, 30, 42, 54};

}  // namespace

const Lesson& DekikataLesson() {
    static const Lesson lesson{kSceneDekikata, false, Canvas::Layer::Persistent, 500, false, kSteps, kSceneStarts};
    return lesson;
}
