// The title on the virtual clock: its pace at start-up and after a return, that it draws on the
// overlay only, and a menu button pressed before the title has stopped the timer.

#include <gtest/gtest.h>

#include "harness.h"

#include "draw/backdrops.h"
#include "draw/palette.h"
#include "draw/sprites.h"
#include "lessons/title.h"

namespace {

QImage town() {
    Canvas canvas;
    PaintTownBackdrop(canvas);
    return canvas.persistentImage();
}

QImage mountain() {
    Canvas canvas;
    PaintMountainBackdrop(canvas);
    return canvas.persistentImage();
}

bool sameIn(const QImage& a, const QImage& b, QRect r) { return a.copy(r) == b.copy(r); }

// Start-up, or start-up, the shortest lesson and the click that ends it; the clock then reads 0
// at the start of the title.
struct TitleRun {
    explicit TitleRun(bool afterALesson) {
        h.form->Form_Load();
        if (afterALesson) {
            h.clock->advance(5500);
            h.form->YamaCmd->click();
            h.runUntilStopped();
            h.form->Picture1_Click();
        }
        startedAtMs = h.clock->nowMs();
    }
    void advanceTo(double ms) { h.clock->advance(ms - (h.clock->nowMs() - startedAtMs)); }

    Harness h;
    double startedAtMs = 0;
};

struct TitleScheduleCase {
    bool afterALesson;
    int step;
    double ms;
};

TEST(TitleSchedule, FirstTitleAt500msLaterOnesAt100ms) {
    const TitleScheduleCase cases[] = {
        {false, 1, 500}, {false, 9, 4500}, {false, 10, 5000}, {false, 11, 5500},
        {true, 1, 100},  {true, 9, 900},   {true, 10, 1000},  {true, 11, 1100},
    };
    for (const TitleScheduleCase& c : cases) {
        SCOPED_TRACE(std::string(c.afterALesson ? "after a lesson" : "start-up") + ", step " + std::to_string(c.step));
        TitleRun run(c.afterALesson);
        run.advanceTo(c.ms - 1);
        EXPECT_EQ(run.h.state().StepCount, c.step - 1);
        EXPECT_EQ(run.h.menuVisible(), c.step > 10);
        EXPECT_TRUE(run.h.form->Timer1().isEnabled());
        run.advanceTo(c.ms);
        EXPECT_EQ(run.h.state().StepCount, c.step);
        EXPECT_EQ(run.h.menuVisible(), c.step >= 10) << "the menu comes with step 10";
        EXPECT_EQ(run.h.form->Timer1().isEnabled(), c.step < 11) << "step 11 stops the timer";
        EXPECT_EQ(run.h.state().SceneMode, kSceneTitle);
    }
}

TEST(TitleSchedule, StaysInTheMenuOnceStopped) {
    Harness h;
    h.startAndReachMenu();
    const QImage screen = h.screen();
    h.clock->advance(60000);
    EXPECT_EQ(h.state().StepCount, 11);
    EXPECT_TRUE(h.menuVisible());
    EXPECT_EQ(h.screen(), screen);
}

TEST(TitleDrawing, EverythingIsOnTheOverlayOverTheTown) {
    Harness h;
    h.startAndReachMenu();
    const QImage backdrop = town();
    EXPECT_EQ(h.persistent(), backdrop);

    const QImage& screen = h.screen();
    EXPECT_FALSE(sameIn(screen, backdrop, QRect(33, 5, 300, 70))) << "heading";
    EXPECT_EQ(screen.pixel(76, 91), QBColor(15)) << "white box";
    EXPECT_EQ(screen.pixel(555, 185), QBColor(15));
    EXPECT_EQ(screen.pixel(73, 88), QBColor(7)) << "light grey frame";
    EXPECT_EQ(screen.pixel(562, 192), QBColor(7));
    EXPECT_EQ(screen.pixel(74, 89), backdrop.pixel(74, 89)) << "a one-pixel gap between frame and box";

    Canvas withCloud;
    PaintTownBackdrop(withCloud);
    DrawSprite(withCloud, "Rilos2", 20, 120);
    EXPECT_TRUE(sameIn(screen, withCloud.screenImage(), QRect(0, 110, 72, 50))) << "the cloud left of the box";
    for (QRect cloud : {QRect(400, 185, 25, 18), QRect(430, 183, 27, 21), QRect(460, 183, 55, 36)})
        EXPECT_FALSE(sameIn(screen, backdrop, cloud));

    EXPECT_GT(h.form->DekikataCmd->geometry().top() - 2, 192) << "the menu leaves the white box clear";
}

struct StartCase {
    const char* name;
    QPushButton* RiloForm::*button;
    int sceneMode;
    int firstIntervalMs;
    int lastStep;
    bool mountain;
};

constexpr StartCase kStarts[] = {
    {"Dekikata", &RiloForm::DekikataCmd, kSceneDekikata, 500, 54, false},
    {"Yama", &RiloForm::YamaCmd, kSceneYama, 40, 24, true},
    {"Zensen", &RiloForm::ZensenCmd, kSceneZensen, 200, 60, false},
};

TEST(TitleDrawing, StartingALessonRemovesTheTitle) {
    for (const StartCase& c : kStarts) {
        SCOPED_TRACE(c.name);
        Harness h;
        h.startAndReachMenu();
        (h.form.get()->*c.button)->click();
        EXPECT_EQ(h.screen(), h.persistent());
        EXPECT_EQ(h.persistent(), c.mountain ? mountain() : town());
        EXPECT_FALSE(h.menuVisible());
    }
}

TEST(TitleMenu, AButtonPressedBeforeStepElevenStartsAtOnceAndTheTitleNeverStops) {
    for (const StartCase& c : kStarts) {
        SCOPED_TRACE(c.name);
        Harness h;
        h.form->Form_Load();
        h.clock->advance(5200);  // step 10 showed the menu; step 11 is due at 5500
        ASSERT_TRUE(h.menuVisible());
        ASSERT_TRUE(h.form->Timer1().isEnabled());
        (h.form.get()->*c.button)->click();
        EXPECT_FALSE(h.menuVisible());
        EXPECT_EQ(h.state().SceneMode, c.sceneMode);
        EXPECT_EQ(h.state().StepCount, 0);

        h.clock->advance(c.firstIntervalMs - 1);
        EXPECT_EQ(h.state().StepCount, 0) << "the title's pending tick was replaced";
        h.clock->advance(1);
        EXPECT_EQ(h.state().StepCount, 1);
        h.clock->advance(5600 - h.clock->nowMs());
        EXPECT_TRUE(h.form->Timer1().isEnabled()) << "no title step 11";
        EXPECT_EQ(h.state().SceneMode, c.sceneMode);

        h.runUntilStopped();
        EXPECT_EQ(h.state().StepCount, c.lastStep);
        EXPECT_EQ(h.state().WaitClick, kWaiting);
    }
}

TEST(TitleSteps, NumbersWithoutEntriesDoNothing) {
    EXPECT_EQ(LastStep(TitleSteps()), 11);
    for (int step : {0, 12, 100}) {
        SCOPED_TRACE(step);
        Harness h;
        h.form->Form_Load();
        h.clock->advance(2000);
        const QImage screen = h.screen();
        h.state().StepCount = step;
        h.form->TitleStep();
        EXPECT_EQ(h.screen(), screen);
        EXPECT_TRUE(h.form->Timer1().isEnabled());
        EXPECT_EQ(h.form->Timer1().interval(), 500);
        EXPECT_FALSE(h.menuVisible());
    }
}

}  // namespace
