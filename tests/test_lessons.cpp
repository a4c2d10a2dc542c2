// The three lessons on the virtual clock: when each step comes, what stays in the persistent image
// and what only passes through the overlay, the ordering that matters within a step, and how a
// finished lesson hands back to the title.

#include <gtest/gtest.h>

#include <QApplication>
#include <QMouseEvent>
#include <algorithm>
#include <set>
#include <vector>

#include "harness.h"

#include "app/canvaswidget.h"
#include "draw/backdrops.h"
#include "draw/palette.h"
#include "draw/sprites.h"
#include "lessons/lessons.h"

namespace {

enum class Which { Dekikata, Yama, Zensen };

struct LessonInfo {
    const char* name;
    QPushButton* RiloForm::*button;
    void (RiloForm::*step)();
    const Lesson& (*lesson)();
    int sceneMode;
    int lastStep;
    double promptMs;
    bool mountain;
};

const LessonInfo& info(Which which) {
    static const LessonInfo kInfo[] = {
        {"Dekikata", &RiloForm::DekikataCmd, &RiloForm::DekikataStep, DekikataLesson, kSceneDekikata, 54, 67900,
         false},
        {"Yama", &RiloForm::YamaCmd, &RiloForm::YamaStep, YamaLesson, kSceneYama, 24, 41640, true},
        {"Zensen", &RiloForm::ZensenCmd, &RiloForm::ZensenStep, ZensenLesson, kSceneZensen, 60, 66600, false},
    };
    return kInfo[int(which)];
}

constexpr Which kAllLessons[] = {Which::Dekikata, Which::Yama, Which::Zensen};

// The program at the menu, then the lesson's button pressed; the clock reads 0 at the press.
struct LessonRun {
    explicit LessonRun(Which which) : lesson(info(which)) {
        h.startAndReachMenu();
        pressedAtMs = h.clock->nowMs();
        (h.form.get()->*lesson.button)->click();
    }
    double elapsedMs() const { return h.clock->nowMs() - pressedAtMs; }
    void advanceTo(double ms) { h.clock->advance(ms - elapsedMs()); }
    void stepTo(int step) {
        while (h.state().StepCount < step) ASSERT_TRUE(h.clock->fireNext());
    }

    const LessonInfo& lesson;
    Harness h;
    double pressedAtMs = 0;
};

void clickCanvas(Harness& h, QPoint at = {320, 200}) {
    QWidget* canvas = h.form->Picture1;
    QMouseEvent press(QEvent::MouseButtonPress, QPointF(at), canvas->mapToGlobal(QPointF(at)), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QMouseEvent release(QEvent::MouseButtonRelease, QPointF(at), canvas->mapToGlobal(QPointF(at)), Qt::LeftButton,
                        Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(canvas, &press);
    QApplication::sendEvent(canvas, &release);
}

QImage freshBackdrop(bool mountain) {
    Canvas canvas;
    if (mountain)
        PaintMountainBackdrop(canvas);
    else
        PaintTownBackdrop(canvas);
    return canvas.persistentImage();
}

QImage backdropWithSprite(bool mountain, const char* key, float x, float y) {
    Canvas canvas;
    if (mountain)
        PaintMountainBackdrop(canvas);
    else
        PaintTownBackdrop(canvas);
    canvas.selectPersistent();
    DrawSprite(canvas, key, x, y);
    return canvas.persistentImage();
}

bool sameIn(const QImage& a, const QImage& b, QRect r) { return a.copy(r) == b.copy(r); }

bool hasColour(const QImage& image, QRect r, int colour) {
    r &= image.rect();
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x)
            if (image.pixel(x, y) == QBColor(colour)) return true;
    return false;
}

// ---- schedules ----

struct ScheduleCase {
    Which lesson;
    int step;
    double ms;  // after the button press
};

TEST(LessonSchedule, StepsFallAtTheirTimesAfterThePress) {
    const ScheduleCase cases[] = {
        {Which::Dekikata, 1, 500},    {Which::Dekikata, 2, 1000},   {Which::Dekikata, 3, 1500},
        {Which::Dekikata, 4, 3500},   {Which::Dekikata, 15, 12700}, {Which::Dekikata, 25, 34700},
        {Which::Dekikata, 42, 55900}, {Which::Dekikata, 54, 67900},
        {Which::Yama, 1, 40},         {Which::Yama, 2, 4040},       {Which::Yama, 4, 4840},
        {Which::Yama, 12, 22440},     {Which::Yama, 18, 32040},     {Which::Yama, 22, 33640},
        {Which::Yama, 23, 37640},     {Which::Yama, 24, 41640},
        {Which::Zensen, 1, 200},      {Which::Zensen, 2, 4200},     {Which::Zensen, 5, 9000},
        {Which::Zensen, 8, 10200},    {Which::Zensen, 17, 19100},   {Which::Zensen, 26, 29500},
        {Which::Zensen, 37, 33900},   {Which::Zensen, 40, 41900},   {Which::Zensen, 50, 52100},
        {Which::Zensen, 53, 60100},   {Which::Zensen, 60, 66600},
    };
    for (const ScheduleCase& c : cases) {
        SCOPED_TRACE(std::string(info(c.lesson).name) + " step " + std::to_string(c.step));
        LessonRun run(c.lesson);
        run.advanceTo(c.ms - 1);
        EXPECT_EQ(run.h.state().StepCount, c.step - 1) << "1 ms early";
        run.advanceTo(c.ms);
        EXPECT_EQ(run.h.state().StepCount, c.step) << "on time";
        EXPECT_EQ(run.h.state().SceneMode, info(c.lesson).sceneMode);
    }
}

TEST(LessonSchedule, ThePromptStopsTheTimerAndWaitsForAClick) {
    for (Which which : kAllLessons) {
        SCOPED_TRACE(info(which).name);
        LessonRun run(which);
        EXPECT_EQ(LastStep(info(which).lesson().steps), info(which).lastStep);
        run.advanceTo(info(which).promptMs - 1);
        EXPECT_EQ(run.h.state().WaitClick, 0);
        EXPECT_TRUE(run.h.form->Timer1().isEnabled());
        run.advanceTo(info(which).promptMs);
        EXPECT_EQ(run.h.state().WaitClick, kWaiting);
        EXPECT_FALSE(run.h.form->Timer1().isEnabled());
        EXPECT_EQ(run.h.form->canvas.layer(), Canvas::Layer::Overlay) << "lessons end on the overlay";

        const QImage screen = run.h.screen();
        run.advanceTo(info(which).promptMs + 120000);
        EXPECT_EQ(run.h.state().StepCount, info(which).lastStep) << "nothing ticks while waiting";
        EXPECT_EQ(run.h.screen(), screen);
        EXPECT_FALSE(run.h.menuVisible());
    }
}

// ---- which steps reach the persistent image ----

// After every step: did the persistent image change, and is the overlay empty (screen == persistent)?
// Caption steps must leave the persistent image alone; a missing refresh or layer switch shows up
// as a step in the wrong set.
struct LayerMapCase {
    Which lesson;
    std::set<int> persistentSteps;    // steps that draw into the persistent image
    std::set<int> overlayEmptySteps;  // steps after which nothing is on the overlay
};

std::set<int> range(std::initializer_list<std::pair<int, int>> spans) {
    std::set<int> steps;
    for (auto [first, last] : spans)
        for (int s = first; s <= last; ++s) steps.insert(s);
    return steps;
}

TEST(LessonLayers, EachStepDrawsIntoTheRightLayer) {
    const std::set<int> dekikata = range({{1, 1}, {4, 5}, {7, 9}, {11, 13}, {15, 15}, {17, 17}, {19, 19},
                                          {21, 21}, {23, 23}, {25, 28}, {30, 31}, {33, 34}, {36, 40},
                                          {42, 44}, {46, 49}, {51, 53}});
    const std::set<int> zensen = range({{2, 3}, {5, 7}, {26, 36}, {40, 42}, {53, 56}});
    const LayerMapCase cases[] = {
        {Which::Dekikata, dekikata, dekikata},
        {Which::Yama, range({{1, 3}, {5, 6}, {8, 8}, {10, 10}, {12, 14}, {16, 16}, {18, 19}}),
         range({{2, 3}, {5, 6}, {8, 8}, {10, 10}, {12, 14}, {16, 16}, {18, 19}})},
        {Which::Zensen, zensen, zensen},
    };
    for (const LayerMapCase& c : cases) {
        SCOPED_TRACE(info(c.lesson).name);
        LessonRun run(c.lesson);
        std::set<int> changed, empty;
        for (int step = 1; step <= info(c.lesson).lastStep; ++step) {
            const QImage before = run.h.persistent();
            ASSERT_TRUE(run.h.clock->fireNext());
            ASSERT_EQ(run.h.state().StepCount, step);
            if (run.h.persistent() != before) changed.insert(step);
            if (run.h.screen() == run.h.persistent()) empty.insert(step);
        }
        EXPECT_EQ(changed, c.persistentSteps);
        EXPECT_EQ(empty, c.overlayEmptySteps);
    }
}

// Things shown on the overlay: drawn at one step without touching the persistent image, gone from
// the screen at a later refresh.
struct OverlayItem {
    Which lesson;
    const char* what;
    QRect area;
    int drawnAt;
    int gone;  // 0: stays to the end (the prompt)
};

TEST(LessonLayers, OverlayItemsComeAndGo) {
    const OverlayItem items[] = {
        {Which::Dekikata, "first caption", QRect(QPoint(176, 48), QPoint(460, 80)), 2, 4},
        {Which::Dekikata, "second caption", QRect(QPoint(177, 87), QPoint(430, 119)), 3, 4},
        {Which::Dekikata, "snow caption", QRect(QPoint(306, 67), QPoint(621, 99)), 45, 46},
        {Which::Dekikata, "second snow caption, same place", QRect(QPoint(306, 67), QPoint(590, 99)), 50, 51},
        {Which::Dekikata, "prompt", QRect(150, 16, 480, 36), 54, 0},
        {Which::Yama, "heading right of the sun", QRect(QPoint(170, 5), QPoint(370, 60)), 1, 2},
        {Which::Yama, "lee-side cloud", QRect(366, 121, 25, 18), 20, 24},
        {Which::Yama, "second lee-side cloud", QRect(406, 138, 27, 21), 21, 24},
        {Which::Yama, "compression caption, above the prompt", QRect(QPoint(139, 3), QPoint(579, 14)), 22, 24},
        {Which::Yama, "last caption", QRect(QPoint(393, 56), QPoint(584, 88)), 23, 24},
        {Which::Yama, "prompt", QRect(150, 16, 480, 40), 24, 0},
        {Which::Zensen, "first caption", QRect(QPoint(260, 34), QPoint(513, 66)), 1, 2},
        {Which::Zensen, "unboxed caption without refresh", QRect(34, 4, 400, 32), 4, 5},
        {Which::Zensen, "warm-front ring", QRect(QPoint(35, 319), QPoint(65, 341)), 14, 17},
        {Which::Zensen, "first arrow", QRect(QPoint(52, 246), QPoint(143, 296)), 19, 26},
        {Which::Zensen, "second arrow", QRect(QPoint(163, 186), QPoint(258, 240)), 20, 26},
        {Which::Zensen, "largest first cloud", QRect(288, 108, 99, 57), 25, 26},
        {Which::Zensen, "cold-front ring", QRect(QPoint(155, 307), QPoint(205, 343)), 47, 50},
        {Which::Zensen, "steep arrow", QRect(QPoint(128, 183), QPoint(197, 304)), 52, 53},
        {Which::Zensen, "prompt", QRect(138, 14, 502, 40), 60, 0},
    };
    for (const OverlayItem& item : items) {
        SCOPED_TRACE(std::string(info(item.lesson).name) + ": " + item.what);
        LessonRun run(item.lesson);
        run.stepTo(item.drawnAt - 1);
        const QImage screenBefore = run.h.screen(), persistentBefore = run.h.persistent();
        run.stepTo(item.drawnAt);
        EXPECT_FALSE(sameIn(run.h.screen(), screenBefore, item.area)) << "shown";
        EXPECT_TRUE(sameIn(run.h.persistent(), persistentBefore, item.area)) << "on the overlay only";
        if (item.gone) {
            run.stepTo(item.gone - 1);
            EXPECT_FALSE(sameIn(run.h.screen(), run.h.persistent(), item.area)) << "still there";
            run.stepTo(item.gone);
            EXPECT_TRUE(sameIn(run.h.screen(), run.h.persistent(), item.area)) << "wiped";
        } else {
            run.h.runUntilStopped();
            EXPECT_FALSE(sameIn(run.h.screen(), run.h.persistent(), item.area)) << "stays while waiting";
        }
    }
}

TEST(LessonLayers, FirstCaptionsLeaveTheTownUntouched) {
    LessonRun run(Which::Dekikata);
    const QImage town = freshBackdrop(false);
    const QRect captions(QPoint(176, 48), QPoint(460, 119));
    run.stepTo(3);
    EXPECT_FALSE(sameIn(run.h.screen(), town, captions));
    EXPECT_TRUE(sameIn(run.h.persistent(), town, captions));
    run.stepTo(4);
    EXPECT_TRUE(sameIn(run.h.screen(), town, captions)) << "wiped by the refresh of the sunlight run";
}

// Pictures that stay: at the end their area is as it was right after they were drawn, and differs
// from the bare backdrop. The areas are ones that no later picture overlaps.
struct LastingItem {
    Which lesson;
    const char* what;
    QRect area;
    int drawnAt;
};

TEST(LessonLayers, PicturesLastToTheEnd) {
    const LastingItem items[] = {
        {Which::Dekikata, "sun", QRect(107, 40, 55, 55), 1},
        {Which::Dekikata, "first sunlight arrow", QRect(138, 104, 16, 28), 4},
        {Which::Dekikata, "snowman", QRect(321, 321, 15, 18), 53},
        {Which::Yama, "sun", QRect(107, 40, 55, 55), 1},
        {Which::Yama, "wind arrow", QRect(QPoint(67, 284), QPoint(117, 304)), 3},
        {Which::Yama, "small cloud below the summit", QRect(227, 119, 25, 21), 12},  // left of the next cloud
        {Which::Yama, "cloud on the summit", QRect(273, 52, 94, 88), 16},
        {Which::Zensen, "warm-front clouds and rain", QRect(QPoint(400, 0), QPoint(639, 327)), 36},
        {Which::Zensen, "foot of the cold dome", QRect(QPoint(0, 260), QPoint(79, 327)), 42},
    };
    for (const LastingItem& item : items) {
        SCOPED_TRACE(std::string(info(item.lesson).name) + ": " + item.what);
        LessonRun run(item.lesson);
        run.stepTo(item.drawnAt);
        const QImage drawn = run.h.persistent();
        run.h.runUntilStopped();
        ASSERT_EQ(run.h.state().WaitClick, kWaiting);
        EXPECT_TRUE(sameIn(run.h.persistent(), drawn, item.area));
        EXPECT_FALSE(sameIn(run.h.persistent(), freshBackdrop(info(item.lesson).mountain), item.area));
    }
}

TEST(LessonLayers, TheSunIsTheOnlyThingInItsCorner) {
    for (Which which : {Which::Dekikata, Which::Yama}) {
        SCOPED_TRACE(info(which).name);
        LessonRun run(which);
        run.h.runUntilStopped();
        const QImage expected = backdropWithSprite(info(which).mountain, "Taiyou", 107, 40);
        EXPECT_TRUE(sameIn(run.h.persistent(), expected, QRect(100, 35, 70, 65)));
    }
}

TEST(LessonLayers, MountainVillageStaysThroughTheLesson) {
    LessonRun run(Which::Yama);
    run.h.runUntilStopped();
    const QRect village(QPoint(0, 330), QPoint(60, 399));  // below the first parcel, left of the slope
    EXPECT_TRUE(sameIn(run.h.persistent(), freshBackdrop(true), village));
}

TEST(LessonLayers, ColdFrontIsDrawnOverTheWarmFrontWithoutANewBackground) {
    LessonRun run(Which::Zensen);
    run.stepTo(39);
    const QImage warm = run.h.persistent();
    run.stepTo(40);
    EXPECT_EQ(run.h.screen(), run.h.persistent());
    const QRect rightOfTheDome(QPoint(60, 0), QPoint(639, 399));
    EXPECT_TRUE(sameIn(run.h.persistent(), warm, rightOfTheDome)) << "the first dome is narrow";
    EXPECT_FALSE(sameIn(run.h.persistent(), warm, QRect(0, 212, 55, 115)));
}

TEST(LessonLayers, FrontPromptBoxRunsToTheRightEdge) {
    LessonRun run(Which::Zensen);
    run.h.runUntilStopped();
    EXPECT_EQ(run.h.screen().pixel(639, 14), QBColor(14));
    EXPECT_EQ(run.h.screen().pixel(138, 14), QBColor(14));
    EXPECT_TRUE(hasColour(run.h.screen(), QRect(140, 16, 500, 38), 13)) << "light magenta text";
}

TEST(LessonLayers, PromptsAreLightMagentaWithoutABox) {
    for (Which which : {Which::Dekikata, Which::Yama}) {
        SCOPED_TRACE(info(which).name);
        LessonRun run(which);
        run.h.runUntilStopped();
        EXPECT_TRUE(hasColour(run.h.screen(), QRect(150, 16, 490, 40), 13));
        const QRect leftOfTheText(QPoint(140, 10), QPoint(148, 60));
        EXPECT_TRUE(sameIn(run.h.screen(), run.h.persistent(), leftOfTheText)) << "no caption box";
    }
}

// ---- order within a step where it is visible or matters to the state ----

struct OrderCase {
    Which lesson;
    int step;
    std::vector<Do> actions;
};

std::vector<Do> actionsOf(std::span<const Action> table, int step) {
    std::vector<Do> kinds;
    for (const Action& a : table)
        if (a.step == step) kinds.push_back(a.what);
    return kinds;
}

TEST(LessonOrder, StepsThatSwitchLayersOrEndTheLesson) {
    using enum Do;
    const OrderCase cases[] = {
        {Which::Dekikata, 1, {Sprite, ToOverlay}},  // the sun stays, what follows passes
        {Which::Dekikata, 15, {Refresh, ToPersistent, Ellipse, ToOverlay, Interval}},
        {Which::Dekikata, 54, {PlainText, StopTimer, AwaitClick}},  // no refresh
        {Which::Yama, 1, {Sprite, ToOverlay, PlainText, Interval}},
        {Which::Yama, 4, {Refresh, ToOverlay, BoxedText, Interval}},
        {Which::Yama, 7, {ToOverlay, BoxedText, Interval}},  // the arrow of step 6 stays on screen
        {Which::Yama, 19, {Ellipse, ToOverlay}},
        {Which::Yama, 24, {Refresh, PlainText, StopTimer, AwaitClick}},
        {Which::Zensen, 4, {ToOverlay, PlainText, Interval}},  // no refresh
        {Which::Zensen, 8, {Refresh, ToOverlay, BoxedText, Interval}},
        {Which::Zensen, 17, {Refresh, BoxedText, Interval}},
        {Which::Zensen, 36, {Sprite, Sprite, Sprite, Sprite, Sprite, Sprite, Sprite, ToOverlay}},
        {Which::Zensen, 60, {Refresh, BoxedText, StopTimer, AwaitClick}},
    };
    for (const OrderCase& c : cases) {
        SCOPED_TRACE(std::string(info(c.lesson).name) + " step " + std::to_string(c.step));
        EXPECT_EQ(actionsOf(info(c.lesson).lesson().steps, c.step), c.actions);
    }
}

TEST(LessonOrder, StepsAreListedInAscendingOrder) {
    for (Which which : kAllLessons) {
        const auto steps = info(which).lesson().steps;
        EXPECT_TRUE(std::is_sorted(steps.begin(), steps.end(),
                                   [](const Action& a, const Action& b) { return a.step < b.step; }))
            << info(which).name;
    }
}

TEST(LessonOrder, WarmFrontCaptionStepFourKeepsTheWedgeOnScreen) {
    LessonRun run(Which::Zensen);
    run.stepTo(3);
    const QImage wedge = run.h.screen();
    run.stepTo(4);
    EXPECT_EQ(run.h.form->canvas.layer(), Canvas::Layer::Overlay);
    EXPECT_TRUE(sameIn(run.h.screen(), wedge, QRect(0, 40, 640, 360))) << "only the caption's rows change";
    EXPECT_EQ(run.h.persistent(), wedge);
}

// ---- input while a lesson runs, and the way back ----

TEST(LessonInput, CanvasClicksDuringALessonDoNothing) {
    for (Which which : kAllLessons) {
        SCOPED_TRACE(info(which).name);
        LessonRun run(which);
        for (int step = 1; step < info(which).lastStep; ++step) {
            run.stepTo(step);
            const QImage screen = run.h.screen();
            clickCanvas(run.h);
            EXPECT_EQ(run.h.screen(), screen);
            EXPECT_EQ(run.h.state().SceneMode, info(which).sceneMode);
            EXPECT_EQ(run.h.state().WaitClick, 0);
        }
        run.h.runUntilStopped();
        EXPECT_DOUBLE_EQ(run.elapsedMs(), info(which).promptMs) << "the schedule was not disturbed";
    }
}

TEST(LessonInput, AClickOnAFinishedLessonBringsBackTheTownAndAQuickTitle) {
    for (Which which : kAllLessons) {
        SCOPED_TRACE(info(which).name);
        LessonRun run(which);
        run.h.runUntilStopped();
        clickCanvas(run.h);
        EXPECT_EQ(run.h.state().WaitClick, 0);
        EXPECT_EQ(run.h.state().SceneMode, kSceneTitle);
        EXPECT_EQ(run.h.persistent(), freshBackdrop(false)) << "every lesson picture is gone";
        EXPECT_EQ(run.h.screen(), run.h.persistent());

        const double clickedAt = run.h.clock->nowMs();
        run.h.clock->advance(99);
        EXPECT_EQ(run.h.state().StepCount, 0);
        run.h.clock->advance(1);
        EXPECT_EQ(run.h.state().StepCount, 1);
        run.h.clock->advance(1000 - 1 - (run.h.clock->nowMs() - clickedAt));
        EXPECT_FALSE(run.h.menuVisible());
        run.h.clock->advance(1);
        EXPECT_TRUE(run.h.menuVisible());
        run.h.clock->advance(100);
        EXPECT_FALSE(run.h.form->Timer1().isEnabled());
        EXPECT_EQ(run.h.state().StepCount, 11);
        EXPECT_EQ(run.h.persistent(), freshBackdrop(false)) << "the title is drawn on the overlay";
    }
}

struct BoldCase {
    Which lesson;
    bool boldAfter;
};

TEST(LessonFont, MountainAndFrontLessonsTurnBoldOffForGood) {
    const BoldCase cases[] = {{Which::Dekikata, true}, {Which::Yama, false}, {Which::Zensen, false}};
    for (const BoldCase& c : cases) {
        SCOPED_TRACE(info(c.lesson).name);
        Harness h;
        h.startAndReachMenu();
        h.form->canvas.setBold(true);
        (h.form.get()->*info(c.lesson).button)->click();
        EXPECT_EQ(h.form->canvas.bold(), c.boldAfter) << "from the start";
        h.runUntilStopped();
        EXPECT_EQ(h.form->canvas.bold(), c.boldAfter);
        clickCanvas(h);
        h.runUntilStopped();
        EXPECT_EQ(h.form->canvas.bold(), c.boldAfter) << "and through the next title";
    }
}

// ---- step numbers without entries ----

TEST(LessonSteps, NumbersWithoutEntriesDoNothing) {
    for (Which which : kAllLessons) {
        for (int step : {0, info(which).lastStep + 1, 1000, -1}) {
            SCOPED_TRACE(std::string(info(which).name) + " step " + std::to_string(step));
            LessonRun run(which);
            run.stepTo(3);  // mid-lesson, something on the overlay or not
            StepTimer& timer = run.h.form->Timer1();
            timer.setInterval(777);
            const QImage screen = run.h.screen(), persistent = run.h.persistent();
            const Canvas::Layer layer = run.h.form->canvas.layer();
            run.h.state().StepCount = step;
            (run.h.form.get()->*info(which).step)();
            EXPECT_EQ(timer.interval(), 777);
            EXPECT_TRUE(timer.isEnabled());
            EXPECT_EQ(run.h.screen(), screen);
            EXPECT_EQ(run.h.persistent(), persistent);
            EXPECT_EQ(run.h.form->canvas.layer(), layer);
            EXPECT_EQ(run.h.state().WaitClick, 0);
        }
    }
}

}  // namespace
