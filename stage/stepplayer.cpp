#include "stage/stepplayer.h"

#include <QString>
#include <algorithm>

#include "stage/module1.h"
#include "stage/steptimer.h"
#include "draw/canvas.h"
#include "draw/sprites.h"
#include "draw/text.h"

void PerformAction(const Action& a, StepContext& c) {
    switch (a.what) {
    case Do::Refresh: c.canvas.refresh(); break;
    case Do::ToPersistent: c.canvas.selectPersistent(); break;
    case Do::ToOverlay: c.canvas.selectOverlay(); break;
    case Do::Sprite: DrawSprite(c.canvas, a.text, a.x, a.y); break;
    case Do::BoxedText: DrawBoxedText(c.canvas, Utf8(a.text), a.x, a.y, a.colour, a.size, a.boxColour); break;
    case Do::PlainText: DrawText(c.canvas, Utf8(a.text), a.x, a.y, a.colour, a.size); break;
    case Do::Ellipse: c.canvas.ellipse(a.x, a.y, a.a, a.colour, a.b); break;
    case Do::Line: c.canvas.line(a.x, a.y, a.a, a.b, a.colour); break;
    case Do::FilledBox: c.canvas.filledBox(a.x, a.y, a.a, a.b, a.colour); break;
    case Do::BoxOutline: c.canvas.boxOutline(a.x, a.y, a.a, a.b, a.colour); break;
    case Do::Interval: c.timer.setInterval(a.ms); break;
    case Do::ShowMenu:
        if (c.showMenu) c.showMenu();
        break;
    case Do::StopTimer: c.timer.setEnabled(false); break;
    case Do::AwaitClick: c.state.WaitClick = kWaiting; break;
    case Do::BoldOff: c.canvas.setBold(false); break;
    }
}

void PlayStep(std::span<const Action> table, int step, StepContext& context) {
    for (const Action& action : table)
        if (action.step == step) PerformAction(action, context);
}

int LastStep(std::span<const Action> table) {
    int last = 0;
    for (const Action& action : table) last = std::max(last, int(action.step));
    return last;
}

namespace {

// Takes what the steps say to the timer and never runs.
class HeldTimer : public StepTimer {
protected:
    Nanoseconds now() const override { return 0; }
    void arm(Nanoseconds) override {}
    void disarm() override {}
};

}  // namespace

AfterSteps PlayStepsAtOnce(std::span<const Action> table, int first, int last, int intervalMs, Canvas& canvas,
                           Module1& state) {
    HeldTimer held;
    held.setInterval(intervalMs);
    held.setEnabled(true);
    StepContext context{canvas, held, state, {}};
    for (int step = first; step <= last && held.isEnabled(); ++step) {
        state.StepCount = step;
        PlayStep(table, step, context);
    }
    return {held.interval(), held.isEnabled()};
}

std::vector<int> StepTimes(std::span<const Action> table, int firstIntervalMs) {
    std::vector<int> times{0};
    int interval = firstIntervalMs;
    for (int step = 1; step <= LastStep(table); ++step) {
        times.push_back(times.back() + interval);
        for (const Action& a : table)
            if (a.step == step && a.what == Do::Interval) interval = a.ms;
    }
    return times;
}
