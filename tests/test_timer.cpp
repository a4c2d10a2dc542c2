// The animation timer's schedule on the virtual clock.

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <memory>
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

// A clock that moves only when told, under the real timer's own scheduling and wait-splitting code.
// Every wait ends `lateBy` of its length after the time asked for, as a busy system's may.
class FakeWaitClock : public WaitClock {
public:
    explicit FakeWaitClock(double lateBy) : lateBy_(lateBy) {}
    qint64 nowNs() const override { return now_; }
    void startWait(int ms) override {
        endsAt_ = now_ + qint64(ms) * kNs + std::llround(ms * kNs * lateBy_);
        waiting_ = true;
    }
    void stopWait() override { waiting_ = false; }

    double nowMs() const { return double(now_) / kNs; }
    void spend(double ms) { now_ += std::llround(ms * kNs); }  // a handler at work
    void runTo(double ms) {
        const qint64 end = std::llround(ms * kNs);
        while (waiting_ && endsAt_ <= end) {
            now_ = std::max(now_, endsAt_);
            waiting_ = false;
            expired();
        }
        now_ = std::max(now_, end);
    }

private:
    static constexpr double kNs = 1e6;
    double lateBy_;
    qint64 now_ = 0, endsAt_ = 0;
    bool waiting_ = false;
};

struct ScheduleCase {
    const char* name;
    int intervalMs;
    std::function<void(StepTimer&, FakeWaitClock&, int tick)> handler;
    std::vector<double> dueMs;
};

// Every tick comes on its due time, never before and less than a millisecond after.
TEST(StepTimer, RealTimerKeepsItsScheduleOnAFakeClock) {
    const ScheduleCase cases[] = {
        {"a 10 ms handler at 40 ms intervals does not drift", 40,
         [](StepTimer&, FakeWaitClock& clock, int) { clock.spend(10); },
         {40, 80, 120, 160, 200, 240, 280, 320, 360, 400}},
        {"a stop and restart within a tick keeps the schedule", 40,
         [](StepTimer& timer, FakeWaitClock& clock, int tick) {
             if (tick != 2) return;
             timer.setEnabled(false);
             clock.spend(10);
             timer.setEnabled(true);
         },
         {40, 80, 120, 160, 200}},
        {"a changed interval applies from the next tick", 40,
         [](StepTimer& timer, FakeWaitClock& clock, int tick) {
             clock.spend(10);
             if (tick == 3) timer.setInterval(100);
         },
         {40, 80, 120, 220, 320}},
        {"a long wait lands on time though each system wait ends 0.1 % late", 4000,
         [](StepTimer&, FakeWaitClock& clock, int) { clock.spend(10); }, {4000, 8000, 12000}},
    };
    for (const ScheduleCase& c : cases) {
        SCOPED_TRACE(c.name);
        auto owned = std::make_unique<FakeWaitClock>(0.001);
        FakeWaitClock& clock = *owned;
        QtStepTimer timer(std::move(owned));
        std::vector<double> ticks;
        timer.onTick = [&] {
            ticks.push_back(clock.nowMs());
            c.handler(timer, clock, int(ticks.size()));
        };
        timer.setInterval(c.intervalMs);
        timer.setEnabled(true);
        clock.runTo(c.dueMs.back() + 5);
        EXPECT_EQ(ticks.size(), c.dueMs.size()) << "ticks came at " << ::testing::PrintToString(ticks);
        if (ticks.size() != c.dueMs.size()) continue;
        for (size_t i = 0; i < ticks.size(); ++i) {
            EXPECT_GE(ticks[i], c.dueMs[i]) << "tick " << i + 1;
            EXPECT_LT(ticks[i], c.dueMs[i] + 1) << "tick " << i + 1;
        }
    }
}

TEST(StepTimer, RealTimerTicksOnItsSchedule) {
    QtStepTimer timer;
    EXPECT_FALSE(timer.isEnabled());
    timer.setInterval(40);
    EXPECT_EQ(timer.interval(), 40);
}

}  // namespace
