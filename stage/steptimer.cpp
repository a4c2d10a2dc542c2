#include "stage/steptimer.h"

#include <cmath>

namespace {
constexpr qint64 kNsPerMs = 1'000'000;
}

void StepTimer::setInterval(int ms) {
    intervalMs_ = ms;
    if (enabled_ && !inTick_) {
        endPause();
        scheduleFrom(now());
    }
}

void StepTimer::setEnabled(bool on) {
    if (on == enabled_) return;
    const bool wasRunning = running();
    enabled_ = on;
    clockRun(wasRunning);
    if (!on) {
        disarm();
        owed_ = false;
        endPause();
    } else if (!inTick_) {
        scheduleFrom(now());
    }
}

StepTimer::Nanoseconds StepTimer::delay() const { return Nanoseconds(intervalMs_) * kNsPerMs * (slow_ ? 2 : 1); }

void StepTimer::scheduleFrom(Nanoseconds start) {
    owed_ = false;  // a new countdown: a tick held back belonged to the old one
    due_ = start + delay();
    arm(std::max<Nanoseconds>(0, due_ - now()));
}

void StepTimer::fire() {
    if (held_) {
        owed_ = true;
        disarm();
        return;
    }
    const Nanoseconds tickDue = due_;
    inTick_ = true;
    if (onTick) onTick();
    inTick_ = false;
    if (!enabled_) return;
    if (paused_)
        remaining_ = std::max<Nanoseconds>(0, tickDue + delay() - now());
    else
        scheduleFrom(tickDue);
}

// Released in a pause, the owed tick waits for the resume, whose countdown has nothing left.
void StepTimer::release() {
    held_ = false;
    if (!owed_ || !running() || inTick_) return;
    owed_ = false;
    due_ = now();
    fire();
}

void StepTimer::pause() {
    if (!enabled_ || paused_) return;
    paused_ = true;
    clockRun(true);
    if (!inTick_) {  // within a tick, fire() works out what is left when the tick ends
        remaining_ = std::max<Nanoseconds>(0, due_ - now());
        disarm();
    }
    if (onPauseChanged) onPauseChanged();
}

void StepTimer::resume() {
    if (!paused_) return;
    paused_ = false;
    owed_ = false;  // the countdown it held had run out: its tick comes now
    clockRun(false);
    if (!inTick_) {
        due_ = now() + remaining_;
        arm(remaining_);
    }
    if (onPauseChanged) onPauseChanged();
}

void StepTimer::endPause() {
    if (!paused_) return;
    paused_ = false;
    clockRun(false);
    if (onPauseChanged) onPauseChanged();
}

void StepTimer::setSlowMotion(bool on) {
    if (on == slow_) return;
    slow_ = on;
    if (!enabled_ || inTick_) return;  // within a tick, fire() schedules at the new speed
    const auto rescaled = [on](Nanoseconds left) { return on ? left * 2 : left / 2; };
    if (paused_) {
        remaining_ = rescaled(remaining_);
        return;
    }
    due_ = now() + rescaled(std::max<Nanoseconds>(0, due_ - now()));
    arm(due_ - now());
}

void StepTimer::restartCountdown(int ms) {
    intervalMs_ = ms;
    if (paused_) {
        remaining_ = delay();
        return;
    }
    if (!enabled_) {
        enabled_ = true;
        clockRun(false);
    }
    scheduleFrom(now());
}

void StepTimer::clockRun(bool wasRunning) {
    if (wasRunning == running()) return;
    if (running())
        runFrom_ = now();
    else
        ranNs_ += now() - runFrom_;
}

double StepTimer::runningMs() const { return double(ranNs_ + (running() ? now() - runFrom_ : 0)) / kNsPerMs; }

SystemWaitClock::SystemWaitClock() {
    clock_.start();
    timer_.setSingleShot(true);
    timer_.setTimerType(Qt::PreciseTimer);
    QObject::connect(&timer_, &QTimer::timeout, [this] {
        if (expired) expired();
    });
}

QtStepTimer::QtStepTimer(std::unique_ptr<WaitClock> clock) : clock_(std::move(clock)) {
    clock_->expired = [this] { timedOut(); };
}

void QtStepTimer::arm(Nanoseconds delay) {
    target_ = now() + delay;
    const Nanoseconds margin = delay / 500 + 2 * kNsPerMs;
    waitFor(delay > 25 * kNsPerMs ? delay - margin : delay);
}

void QtStepTimer::waitFor(Nanoseconds delay) {
    // Rounded up: a precise timer never fires early, so the tick lands within a millisecond after.
    clock_->startWait(int(std::ceil(double(delay) / kNsPerMs)));
}

void QtStepTimer::timedOut() {
    const Nanoseconds remaining = target_ - now();
    if (remaining > 0)
        waitFor(remaining);
    else
        fire();
}

void VirtualTimer::arm(Nanoseconds delay) {
    fireAt_ = now_ + delay;
    armed_ = true;
}

void VirtualTimer::advance(double ms) {
    const Nanoseconds target = now_ + Nanoseconds(std::llround(ms * kNsPerMs));
    while (armed_ && fireAt_ <= target) fireNext();
    now_ = target;
}

bool VirtualTimer::fireNext() {
    if (!armed_) return false;
    now_ = std::max(now_, fireAt_);
    armed_ = false;
    fire();
    return true;
}
