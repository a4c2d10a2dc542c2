// Pausing the running animation: the timer holds the time that was left, nothing drawn changes,
// and whatever starts a new animation ends the pause.

#include <gtest/gtest.h>

#include <QApplication>
#include "tests/input.h"
#include <array>
#include <vector>

#include "app/canvaswidget.h"
#include "app/viewcontrols.h"
#include "harness.h"
#include "input.h"
#include "lessons/lessons.h"
#include "simulator/tukuru.h"

namespace {

const QString kTitle = QStringLiteral("ペルモラ"), kPausedTitle = QStringLiteral("ペルモラ（一時停止中）");

bool paused(Harness& h) {
    const bool shown = h.form->windowTitle() == kPausedTitle && h.form->Picture1->pauseMarkShown();
    EXPECT_EQ(shown, h.form->view().isPaused()) << "title and pause mark follow the pause";
    return h.form->view().isPaused();
}

struct Frame {  // a tick: when it came and what it left on screen
    double atMs;
    size_t screen;
    bool operator==(const Frame&) const = default;
};
void PrintTo(const Frame& f, std::ostream* os) { *os << f.atMs << " ms #" << f.screen; }

// Starts the lesson from the menu and records every tick into frames.
void startRecorded(Harness& h, void (RiloForm::*start)(), std::vector<Frame>& frames) {
    h.startAndReachMenu();
    h.form->Timer1().onTick = [&h, &frames, tick = h.form->Timer1().onTick] {
        tick();
        frames.push_back({h.clock->nowMs(), qHashBits(h.screen().constBits(), size_t(h.screen().sizeInBytes()))});
    };
    (h.form.get()->*start)();
}

class PauseInLesson : public ::testing::TestWithParam<void (RiloForm::*)()> {};

TEST_P(PauseInLesson, ShiftsEveryLaterStepByThePausedTimeAndChangesNothingDrawn) {
    // Recorded on the lesson's second run: the first use of a large caption may leave the text's
    // anti-aliased edges one level apart from later runs in the same process (font caches).
    std::vector<Frame> expected;
    double length = 0;
    for (int run = 0; run < 2; ++run) {
        Harness reference;
        expected.clear();
        startRecorded(reference, GetParam(), expected);
        const double start = reference.clock->nowMs();
        reference.runUntilStopped();
        length = reference.clock->nowMs() - start;
    }

    for (const auto& [share, pausedMs] : {std::pair{0.03, 7.5}, std::pair{0.5, 61234.0}, std::pair{0.97, 900.0}}) {
        Harness h;
        std::vector<Frame> frames;
        startRecorded(h, GetParam(), frames);
        h.clock->advance(share * length + 0.25);
        const QImage before = h.screen();
        const size_t seen = frames.size();
        h.form->view().togglePause();
        ASSERT_TRUE(paused(h));
        h.clock->advance(pausedMs);
        EXPECT_EQ(frames.size(), seen);
        EXPECT_TRUE(h.screen() == before) << "the pause mark must stay out of the canvas";
        h.form->view().togglePause();
        EXPECT_FALSE(paused(h));
        h.runUntilStopped();

        std::vector<Frame> shifted = expected;
        for (size_t i = seen; i < shifted.size(); ++i) shifted[i].atMs += pausedMs;
        EXPECT_EQ(frames, shifted) << "paused at " << share << " of the lesson for " << pausedMs << " ms";
    }
}

INSTANTIATE_TEST_SUITE_P(Lessons, PauseInLesson,
                         ::testing::Values(&RiloForm::DekikataCmd_Click, &RiloForm::YamaCmd_Click,
                                           &RiloForm::ZensenCmd_Click),
                         [](const auto& info) { return std::string(std::array{"Dekikata", "Yama", "Zensen"}[info.index]); });

// Step 10 shows the menu at 5000 ms; step 11, which stops the timer, is due at 5500 ms.
void pauseBetweenTitleStepsTenAndEleven(Harness& h) {
    h.form->Form_Load();
    h.clock->advance(5200);
    h.form->view().togglePause();
    h.clock->advance(30000);
    ASSERT_TRUE(h.menuVisible() && paused(h));
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
}

TEST(PauseInTitle, AMenuButtonStartsItsActivityAtOnceAndEndsThePause) {
    Harness h;
    pauseBetweenTitleStepsTenAndEleven(h);
    h.form->DekikataCmd->click();
    EXPECT_FALSE(paused(h));
    h.clock->advance(DekikataLesson().firstIntervalMs);
    EXPECT_EQ(h.state().StepCount, 1);
}

TEST(PauseInSimulator, HumidityButtonWorksWhileTheInstructionsWaitAndLeavingEndsThePause) {
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
    h.form->TSitudoUpCmd->click();
    EXPECT_GT(h.state().Situdo, humidity);
    EXPECT_TRUE(paused(h));
    h.clock->advance(20000);
    h.form->view().togglePause();
    h.clock->advance(left - 1);
    EXPECT_EQ(h.state().StepCount, step);
    h.clock->advance(1);
    EXPECT_EQ(h.state().StepCount, step + 1);

    h.form->view().togglePause();
    h.form->TModoru->click();
    EXPECT_FALSE(paused(h));
}

TEST(PauseKey, PausesARunningLessonButDoesNothingInTheMenuOrAWaitingLesson) {
    Harness h;
    h.startAndReachMenu();
    h.clock->advance(1000);  // past step 11: the menu state
    input::activate(h.form.get());
    input::keyClick(h.form.get(), Qt::Key_P);
    EXPECT_FALSE(paused(h));
    h.form->YamaCmd->click();
    h.clock->advance(1000);
    input::keyClick(h.form.get(), Qt::Key_Pause);
    EXPECT_TRUE(paused(h));
    input::keyClick(h.form.get(), Qt::Key_P);
    EXPECT_FALSE(paused(h));
    h.runUntilStopped();
    input::keyClick(h.form.get(), Qt::Key_P);
    EXPECT_FALSE(paused(h));
    EXPECT_EQ(h.state().WaitClick, kWaiting);
}

}  // namespace
