// The animation timer's schedule on the virtual clock.

#include <gtest/gtest.h>

#include <vector>

#include "stage/steptimer.h"

namespace {

struct Recorder {
    explicit Recorder(VirtualTimer& t) : timer(t) {
        timer.onTick = [this] {
            ticks.push_back(timer.nowMs());
            if (onTick) onTick(int(ticks.size()));
        };
    }
    VirtualTimer& timer;
    std::vector<double> ticks;
    std::function<void(int)> onTick;
};

TEST(StepTimer, IntervalInForceWhenATickEndsIsTheDelayToTheNext) {
    VirtualTimer timer;
    Recorder r(timer);
    r.onTick = [&](int n) {
        if (n == 2) timer.setInterval(2000);
        if (n == 4) timer.setEnabled(false);
    };
    timer.setInterval(500);
    timer.setEnabled(true);
    timer.advance(10000);
    EXPECT_EQ(r.ticks, (std::vector<double>{500, 1000, 3000, 5000}));
    EXPECT_FALSE(timer.isEnabled());
}

TEST(StepTimer, SettingTheIntervalOutsideATickRestartsTheCountdown) {
    VirtualTimer timer;
    Recorder r(timer);
    timer.setInterval(100);
    timer.setEnabled(true);
    timer.advance(150);
    timer.setInterval(500);  // at 150 ms, as a button press would
    timer.setEnabled(true);  // already on: no second restart
    timer.advance(1000);
    EXPECT_EQ(r.ticks, (std::vector<double>{100, 650, 1150}));
}

TEST(StepTimer, DisabledTimerNeverTicksAndReenablingStartsAFreshCountdown) {
    VirtualTimer timer;
    Recorder r(timer);
    timer.setInterval(100);
    timer.setEnabled(true);
    timer.setEnabled(false);
    timer.advance(1000);
    EXPECT_TRUE(r.ticks.empty());
    EXPECT_FALSE(timer.fireNext());
    timer.setEnabled(true);
    timer.advance(100);
    EXPECT_EQ(r.ticks, (std::vector<double>{1100}));
}

TEST(StepTimer, StopAndRestartWithinATickKeepsTheSchedule) {
    VirtualTimer timer;
    Recorder r(timer);
    r.onTick = [&](int n) {
        if (n == 1) {
            timer.setEnabled(false);
            timer.setInterval(300);
            timer.setEnabled(true);
        }
        if (n == 3) timer.setEnabled(false);
    };
    timer.setInterval(100);
    timer.setEnabled(true);
    timer.advance(5000);
    EXPECT_EQ(r.ticks, (std::vector<double>{100, 400, 700}));
}

TEST(StepTimer, RealTimerTicksOnItsSchedule) {
    QtStepTimer timer;
    EXPECT_FALSE(timer.isEnabled());
    timer.setInterval(40);
    EXPECT_EQ(timer.interval(), 40);
}

}  // namespace
