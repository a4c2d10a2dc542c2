#pragma once
// The animation timer. Each tick is scheduled from the previous tick's due time, not from when its
// handler finished, so a step that leaves the interval alone never shifts the schedule. The
// interval in force when a tick's handler returns is the delay to the next tick; setting the
// interval outside a tick restarts the countdown from now.
//
// A pause holds the countdown: the timer stays enabled, and on resume the next tick comes after the
// time that was left when the pause began. A new countdown (setting the interval outside a tick,
// or disabling the timer) ends a pause, since the animation it held is over.
//
// Slow motion doubles every delay, the countdown under way included; off, every delay is the
// interval to the nanosecond.

#include <QElapsedTimer>
#include <QTimer>
#include <functional>
#include <memory>

class StepTimer {
public:
    virtual ~StepTimer() = default;

    void setInterval(int ms);
    int interval() const { return intervalMs_; }
    void setEnabled(bool on);
    bool isEnabled() const { return enabled_; }

    void pause();   // does nothing unless the timer is enabled and running
    void resume();  // does nothing unless paused
    bool isPaused() const { return paused_; }

    void setSlowMotion(bool on);
    bool slowMotion() const { return slow_; }

    // Read-aloud: a tick that falls due while held waits for the release, comes at once then, and
    // the animation goes on from there. Not a pause: nothing else sees it.
    void hold() { held_ = true; }
    void release();
    bool isHeld() const { return held_; }
    bool owesTick() const { return owed_; }

    // The animation moved to another step outside a tick: enabled, with a new countdown of ms from
    // now, held if a pause holds the animation.
    void restartCountdown(int ms);

    // How long the timer has run, enabled and not paused: the animation's own time.
    double runningMs() const;

    std::function<void()> onTick;
    std::function<void()> onPauseChanged;

protected:
    using Nanoseconds = qint64;
    virtual Nanoseconds now() const = 0;
    virtual void arm(Nanoseconds delay) = 0;  // call fire() once, delay from now
    virtual void disarm() = 0;
    void fire();  // the subclass calls this when an armed delay has run out

private:
    void scheduleFrom(Nanoseconds start);
    void endPause();
    Nanoseconds delay() const;
    bool running() const { return enabled_ && !paused_; }
    void clockRun(bool wasRunning);

    int intervalMs_ = 120;
    bool enabled_ = false;
    bool inTick_ = false;
    Nanoseconds due_ = 0;
    bool paused_ = false;
    Nanoseconds remaining_ = 0;  // of the countdown a pause holds
    bool slow_ = false;
    bool held_ = false;
    bool owed_ = false;          // a tick fell due while held
    Nanoseconds ranNs_ = 0;      // running time before runFrom_
    Nanoseconds runFrom_ = 0;
};

// What the real timer stands on: a monotonic clock and one single-shot wait measured on it.
class WaitClock {
public:
    virtual ~WaitClock() = default;
    virtual qint64 nowNs() const = 0;
    // Calls `expired` once, no sooner than ms from now; starting again or stopping replaces the wait.
    virtual void startWait(int ms) = 0;
    virtual void stopWait() = 0;

    std::function<void()> expired;
};

// The system's clock and a precise single-shot QTimer.
class SystemWaitClock : public WaitClock {
public:
    SystemWaitClock();
    qint64 nowNs() const override { return clock_.nsecsElapsed(); }
    void startWait(int ms) override { timer_.start(ms); }
    void stopWait() override { timer_.stop(); }

private:
    QElapsedTimer clock_;
    QTimer timer_;
};

// The real timer: one wait on its clock for each tick. A long wait is split in two: the system may
// end one wait up to about 0.1 % late, so the first part stops a little short of the due time and
// a short second wait lands on it.
class QtStepTimer : public StepTimer {
public:
    explicit QtStepTimer(std::unique_ptr<WaitClock> clock = std::make_unique<SystemWaitClock>());

protected:
    Nanoseconds now() const override { return clock_->nowNs(); }
    void arm(Nanoseconds delay) override;
    void disarm() override { clock_->stopWait(); }

private:
    void waitFor(Nanoseconds delay);
    void timedOut();

    std::unique_ptr<WaitClock> clock_;
    Nanoseconds target_ = 0;
};

// A timer on a virtual clock for tests and tools: time passes only when asked to.
class VirtualTimer : public StepTimer {
public:
    // Moves the clock forward by ms, firing every tick that falls due on the way.
    void advance(double ms);
    // Moves the clock to the next due tick and fires it; false if the timer is not armed.
    bool fireNext();
    double nowMs() const { return now_ / 1e6; }

protected:
    Nanoseconds now() const override { return now_; }
    void arm(Nanoseconds delay) override;
    void disarm() override { armed_ = false; }

private:
    Nanoseconds now_ = 0;
    Nanoseconds fireAt_ = 0;
    bool armed_ = false;
};
