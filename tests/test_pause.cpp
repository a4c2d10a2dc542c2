// Pausing the running animation: the timer holds the time that was left, nothing drawn changes,
// and whatever ends an animation ends its pause too.

#include <gtest/gtest.h>

#include <QApplication>
#include <QTest>
#include <vector>

#include "app/canvaswidget.h"
#include "app/viewcontrols.h"
#include "harness.h"
#include "lessons/lessons.h"
#include "simulator/tukuru.h"

namespace {

const QString kPausedTitle = QStringLiteral("ペルモラ（一時停止中）");

TEST(StepTimerPause, ResumeWaitsOnlyWhatWasLeftAndLaterTicksKeepTheirInterval) {
    VirtualTimer timer;
    std::vector<double> ticks;
    timer.onTick = [&] { ticks.push_back(timer.nowMs()); };
    timer.setInterval(1000);
    timer.setEnabled(true);
    timer.advance(1300);
    timer.pause();
    timer.advance(5000);
    EXPECT_TRUE(timer.isEnabled()) << "a paused timer is still the running animation's";
    timer.resume();
    timer.advance(2700);
    EXPECT_EQ(ticks, (std::vector<double>{1000, 7000, 8000, 9000}));
}

TEST(StepTimerPause, NothingToPauseWhenStoppedAndANewCountdownEndsThePause) {
    VirtualTimer timer;
    int changes = 0;
    timer.onPauseChanged = [&] { ++changes; };
    timer.pause();
    EXPECT_FALSE(timer.isPaused());
    timer.setInterval(100);
    timer.setEnabled(true);
    timer.pause();
    timer.setInterval(500);  // as an activity starting
    EXPECT_FALSE(timer.isPaused());
    EXPECT_TRUE(timer.fireNext());
    EXPECT_EQ(timer.nowMs(), 500);
    timer.pause();
    timer.setEnabled(false);  // as the simulator's start does first
    EXPECT_FALSE(timer.isPaused());
    EXPECT_FALSE(timer.fireNext());
    EXPECT_EQ(changes, 4);
}

// ---- lessons ----

struct Frame {
    double atMs;
    size_t screen;
    bool operator==(const Frame&) const = default;
};
void PrintTo(const Frame& f, std::ostream* os) { *os << f.atMs << " ms #" << f.screen; }

struct LessonCase {
    const char* name;
    void (RiloForm::*start)();
};
void PrintTo(const LessonCase& c, std::ostream* os) { *os << c.name; }

// Starts the lesson from the menu and records every tick: when it came and what it left on screen.
struct RecordedLesson {
    explicit RecordedLesson(const LessonCase& lesson) {
        h.startAndReachMenu();
        StepTimer& timer = h.form->Timer1();
        timer.onTick = [this, tick = timer.onTick] {
            tick();
            const QImage& s = h.screen();
            frames.push_back({h.clock->nowMs(), qHashBits(s.constBits(), size_t(s.sizeInBytes()))});
        };
        (h.form.get()->*lesson.start)();
        startMs = h.clock->nowMs();
    }
    Harness h;
    std::vector<Frame> frames;
    double startMs = 0;
};

class PauseInLesson : public ::testing::TestWithParam<LessonCase> {};

TEST_P(PauseInLesson, ShiftsEveryLaterStepByThePausedTimeAndChangesNothingDrawn) {
    RecordedLesson reference(GetParam());
    reference.h.runUntilStopped();
    ASSERT_FALSE(reference.frames.empty());
    const double length = reference.frames.back().atMs - reference.startMs;

    const std::pair<double, double> pauses[] = {{0.03, 7.5}, {0.5, 61234.0}, {0.97, 900.0}};  // where, how long
    for (const auto& [share, pausedMs] : pauses) {
        RecordedLesson run(GetParam());
        run.h.clock->advance(share * length + 0.25);
        const QImage before = run.h.screen();
        const int step = run.h.state().StepCount;
        const size_t seen = run.frames.size();
        run.h.form->view().togglePause();
        ASSERT_TRUE(run.h.form->view().isPaused()) << share;
        EXPECT_EQ(run.h.form->windowTitle(), kPausedTitle);
        EXPECT_TRUE(run.h.form->Picture1->pauseMarkShown());

        run.h.clock->advance(pausedMs);
        EXPECT_EQ(run.h.state().StepCount, step) << share;
        EXPECT_TRUE(run.h.screen() == before) << "the pause mark must stay out of the canvas";
        run.h.form->view().togglePause();
        EXPECT_EQ(run.h.form->windowTitle(), QStringLiteral("ペルモラ"));
        EXPECT_FALSE(run.h.form->Picture1->pauseMarkShown());
        run.h.runUntilStopped();

        std::vector<Frame> expected = reference.frames;
        for (size_t i = seen; i < expected.size(); ++i) expected[i].atMs += pausedMs;
        EXPECT_EQ(run.frames, expected) << "paused at " << share << " of the lesson for " << pausedMs << " ms";
        EXPECT_EQ(run.h.state().WaitClick, kWaiting);
    }
}

INSTANTIATE_TEST_SUITE_P(, PauseInLesson,
                         ::testing::Values(LessonCase{"Dekikata", &RiloForm::DekikataCmd_Click},
                                           LessonCase{"Yama", &RiloForm::YamaCmd_Click},
                                           LessonCase{"Zensen", &RiloForm::ZensenCmd_Click}),
                         [](const auto& info) { return std::string(info.param.name); });

// ---- the title ----

// Step 10 shows the menu at 5000 ms; step 11, which stops the timer, is due at 5500 ms.
void pauseBetweenTitleStepsTenAndEleven(Harness& h) {
    h.form->Form_Load();
    h.clock->advance(5200);
    ASSERT_TRUE(h.menuVisible());
    ASSERT_EQ(h.state().StepCount, 10);
    h.form->view().togglePause();
    ASSERT_TRUE(h.form->view().isPaused());
    h.clock->advance(30000);
    EXPECT_EQ(h.state().StepCount, 10);
}

TEST(PauseInTitle, BetweenStepsTenAndElevenStepElevenComesAfterWhatWasLeft) {
    Harness h;
    pauseBetweenTitleStepsTenAndEleven(h);
    h.form->view().togglePause();
    h.clock->advance(299);
    EXPECT_EQ(h.state().StepCount, 10);
    h.clock->advance(1);
    EXPECT_EQ(h.state().StepCount, 11);
    EXPECT_FALSE(h.form->Timer1().isEnabled());
    EXPECT_TRUE(h.menuVisible());
}

TEST(PauseInTitle, AMenuButtonStartsItsActivityAtOnceAndEndsThePause) {
    Harness h;
    pauseBetweenTitleStepsTenAndEleven(h);
    h.form->DekikataCmd->click();
    EXPECT_FALSE(h.form->view().isPaused());
    EXPECT_EQ(h.form->windowTitle(), QStringLiteral("ペルモラ"));
    EXPECT_FALSE(h.form->Picture1->pauseMarkShown());
    EXPECT_EQ(h.state().SceneMode, kSceneDekikata);
    h.clock->advance(DekikataLesson().firstIntervalMs);
    EXPECT_EQ(h.state().StepCount, 1);
}

// ---- the simulator ----

TEST(PauseInSimulator, HumidityButtonWorksWhileTheInstructionsWaitAndTheyGoOnAfterWhatWasLeft) {
    auto openAndWait = [](Harness& h) {
        h.startAndReachMenu();
        h.form->TukuruCmd->click();
        h.clock->advance(kOpeningIntervalMs * 2.5);
    };
    Harness reference;
    openAndWait(reference);
    const int step = reference.state().StepCount;
    const double pausedAt = reference.clock->nowMs();
    reference.clock->fireNext();
    const double left = reference.clock->nowMs() - pausedAt;

    Harness h;
    openAndWait(h);
    h.form->view().togglePause();
    const double humidity = h.state().Situdo;
    const QString caption = h.form->TSitudoLbl->text();
    h.form->TSitudoUpCmd->click();
    EXPECT_GT(h.state().Situdo, humidity);
    EXPECT_NE(h.form->TSitudoLbl->text(), caption);
    EXPECT_TRUE(h.form->view().isPaused());
    h.clock->advance(20000);
    EXPECT_EQ(h.state().StepCount, step);
    h.form->view().togglePause();
    h.clock->advance(left - 1);
    EXPECT_EQ(h.state().StepCount, step);
    h.clock->advance(1);
    EXPECT_EQ(h.state().StepCount, step + 1);
}

TEST(PauseInSimulator, LeavingTheSimulatorEndsThePause) {
    Harness h;
    h.startAndReachMenu();
    h.form->TukuruCmd->click();
    h.form->view().togglePause();
    h.form->TModoru->click();
    EXPECT_FALSE(h.form->view().isPaused());
    EXPECT_EQ(h.form->windowTitle(), QStringLiteral("ペルモラ"));
    h.clock->advance(100);
    EXPECT_EQ(h.state().StepCount, 1) << "the title runs again at once";
}

// ---- the keys ----

TEST(PauseKey, PausesARunningLessonButDoesNothingInTheMenuOrAWaitingLesson) {
    Harness h;
    h.startAndReachMenu();
    h.clock->advance(1000);  // past step 11: the menu state
    QApplication::setActiveWindow(h.form.get());
    QTest::keyClick(h.form.get(), Qt::Key_P);
    EXPECT_FALSE(h.form->view().isPaused());
    EXPECT_EQ(h.form->windowTitle(), QStringLiteral("ペルモラ"));

    h.form->YamaCmd->click();
    h.clock->advance(1000);
    QTest::keyClick(h.form.get(), Qt::Key_Pause);
    EXPECT_TRUE(h.form->view().isPaused());
    QTest::keyClick(h.form.get(), Qt::Key_P);
    EXPECT_FALSE(h.form->view().isPaused());

    h.runUntilStopped();
    ASSERT_EQ(h.state().WaitClick, kWaiting);
    QTest::keyClick(h.form.get(), Qt::Key_P);
    EXPECT_FALSE(h.form->view().isPaused());
    EXPECT_FALSE(h.form->Picture1->pauseMarkShown());
    EXPECT_EQ(h.form->windowTitle(), QStringLiteral("ペルモラ"));
    EXPECT_EQ(h.state().WaitClick, kWaiting);
}

}  // namespace
