// Real-clock timing of the title and one lesson: runs the real window (headless unless a platform
// is given) with the real timer, and reports for every step how late it came compared with the
// schedule that the step table's intervals give.
//
//   lesson_timing [dekikata|yama|zensen] [--full-screen]     (default: dekikata, windowed at 1x)
//
// In full screen the canvas is drawn at the scale that fills the screen (run it on a real screen,
// QT_QPA_PLATFORM=xcb, to measure the window system's part too); the target for a step's lateness
// is then 20 ms rather than 5. The peak resident memory of the run is reported last.
//
// Times are measured from the moment the title or the lesson started its timer, i.e. right after
// Form_Load or the lesson button's handler returned. Exit status 0 when the targets are met.

#include <QApplication>
#include <QElapsedTimer>
#include <QPushButton>
#include <QTimer>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <functional>
#include <map>
#include <span>
#include <string>
#include <vector>

#include "app/riloform.h"
#include "app/viewcontrols.h"
#include "lessons/lessons.h"
#include "lessons/title.h"
#include "tests/tour/peakmemory.h"

namespace {

constexpr double kMaxLatenessMs = 5.0;
constexpr double kMaxFullScreenLatenessMs = 20.0;
constexpr double kMaxPromptErrorPercent = 0.1;
constexpr int kPauseInMenuMs = 300;  // the pupil takes a moment before pressing the button

struct Choice {
    const char* name;
    const Lesson& (*lesson)();
    QPushButton* RiloForm::*button;
};

constexpr Choice kChoices[] = {
    {"dekikata", DekikataLesson, &RiloForm::DekikataCmd},
    {"yama", YamaLesson, &RiloForm::YamaCmd},
    {"zensen", ZensenLesson, &RiloForm::ZensenCmd},
};

// Due time of every step in ms after the start (index = step number; index 0 unused): the first
// step comes after the start's interval, each later one after the interval in force when the
// previous step ended.
std::vector<double> scheduleOf(std::span<const Action> table, int firstIntervalMs) {
    const int last = LastStep(table);
    std::vector<double> due(size_t(last) + 1, 0.0);
    double t = firstIntervalMs;
    int interval = firstIntervalMs;
    for (int step = 1; step <= last; ++step) {
        due[size_t(step)] = t;
        for (const Action& a : table)
            if (a.step == step && a.what == Do::Interval) interval = a.ms;
        t += interval;
    }
    return due;
}

struct Tick {
    int step;
    double atMs;       // after the start of its phase
    double handlerMs;  // time spent in the step itself
};

struct Phase {
    const char* name;
    std::vector<double> due;
    std::vector<Tick> ticks;
    QElapsedTimer clock;
    double startHandlerMs = 0;  // how long the start (backdrop, buttons) took before the timer ran
};

struct PhaseSummary {
    double maxLateMs = 0, minLateMs = 0, lastErrorPercent = 0;
    int lateSteps = 0;
};

PhaseSummary report(const Phase& phase) {
    std::printf("\n%s (start handler took %.3f ms before the timer was armed)\n", phase.name,
                phase.startHandlerMs);
    std::printf("%5s %8s %12s %12s %10s %10s\n", "step", "wait ms", "due ms", "actual ms", "late ms", "step ms");
    PhaseSummary s;
    std::map<int, std::pair<double, int>> byWait;  // lateness grouped by the wait before the step
    bool first = true;
    for (const Tick& t : phase.ticks) {
        const double due = t.step < int(phase.due.size()) ? phase.due[size_t(t.step)] : 0;
        const double previousDue = t.step > 1 && t.step < int(phase.due.size()) ? phase.due[size_t(t.step) - 1] : 0;
        const int wait = int(std::lround(due - previousDue));
        const double late = t.atMs - due;
        std::printf("%5d %8d %12.3f %12.3f %10.3f %10.3f\n", t.step, wait, due, t.atMs, late, t.handlerMs);
        s.maxLateMs = first ? late : std::max(s.maxLateMs, late);
        s.minLateMs = first ? late : std::min(s.minLateMs, late);
        if (late > kMaxLatenessMs) ++s.lateSteps;
        byWait[wait].first += late;
        ++byWait[wait].second;
        first = false;
    }
    for (const auto& [wait, sum] : byWait)
        std::printf("  after a %4d ms wait: mean lateness %6.3f ms over %2d step(s)\n", wait,
                    sum.first / sum.second, sum.second);
    if (!phase.ticks.empty()) {
        const Tick& last = phase.ticks.back();
        const double due = phase.due[size_t(last.step)];
        s.lastErrorPercent = (last.atMs - due) / due * 100.0;
    }
    return s;
}

const Choice* choose(int argc, char** argv) {
    if (argc < 2 || argv[1][0] == '-') return &kChoices[0];
    for (const Choice& c : kChoices)
        if (std::strcmp(argv[1], c.name) == 0) return &c;
    return nullptr;
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    const Choice* choice = choose(argc, argv);
    if (!choice) {
        std::fprintf(stderr, "usage: %s [dekikata|yama|zensen] [--full-screen]\n", argv[0]);
        return 2;
    }
    const bool fullScreen = std::strcmp(argv[argc - 1], "--full-screen") == 0;
    const double maxLateness = fullScreen ? kMaxFullScreenLatenessMs : kMaxLatenessMs;
    QApplication app(argc, argv);
    RiloForm form;  // the real QtStepTimer

    const Lesson& lesson = choice->lesson();
    Phase title{"title", scheduleOf(TitleSteps(), 500), {}, {}};
    Phase run{choice->name, scheduleOf(lesson.steps, lesson.firstIntervalMs), {}, {}};
    Phase* current = &title;

    const std::function<void()> formTick = form.Timer1().onTick;
    form.Timer1().onTick = [&] {
        const double at = double(current->clock.nsecsElapsed()) / 1e6;
        formTick();
        const double after = double(current->clock.nsecsElapsed()) / 1e6;
        current->ticks.push_back({form.state.StepCount, at, after - at});
        if (form.Timer1().isEnabled()) return;
        if (current == &title) {
            QTimer::singleShot(kPauseInMenuMs, [&] {
                current = &run;
                QElapsedTimer handler;
                handler.start();
                (form.*choice->button)->click();
                run.clock.start();
                run.startHandlerMs = double(handler.nsecsElapsed()) / 1e6;
            });
        } else if (form.state.WaitClick == kWaiting) {
            QTimer::singleShot(0, &app, &QApplication::quit);
        }
    };

    QElapsedTimer handler;
    handler.start();
    form.Form_Load();
    if (fullScreen) form.view().toggleFullScreen();
    title.clock.start();
    title.startHandlerMs = double(handler.nsecsElapsed()) / 1e6;
    app.exec();

    std::printf("Step timing on the real clock: %s lesson after the title\n", choice->name);
    const PhaseSummary t = report(title);
    const PhaseSummary l = report(run);
    const double maxLate = std::max(t.maxLateMs, l.maxLateMs);
    const double promptDue = run.due.back();
    const bool latenessMet = maxLate <= maxLateness;
    const bool promptMet = !run.ticks.empty() && std::abs(l.lastErrorPercent) <= kMaxPromptErrorPercent;

    std::printf("\nSummary\n");
    std::printf("  title:  %zu steps, lateness %.3f .. %.3f ms, step 11 error %+.4f %%\n", title.ticks.size(),
                t.minLateMs, t.maxLateMs, t.lastErrorPercent);
    std::printf("  lesson: %zu steps, lateness %.3f .. %.3f ms, %d step(s) over %.0f ms\n", run.ticks.size(),
                l.minLateMs, l.maxLateMs, l.lateSteps, kMaxLatenessMs);
    std::printf("  shown at %.3gx%s; max lateness %.3f ms (target <= %.0f ms): %s\n", form.view().zoom(),
                fullScreen ? " in full screen" : "", maxLate, maxLateness, latenessMet ? "met" : "MISSED");
    std::printf("  prompt at %.3f ms, due %.0f ms, error %+.4f %% (target within %.1f %%): %s\n",
                run.ticks.empty() ? 0.0 : run.ticks.back().atMs, promptDue, l.lastErrorPercent,
                kMaxPromptErrorPercent, promptMet ? "met" : "MISSED");
    std::printf("  peak resident memory %ld kB\n", peakResidentKb());
    return latenessMet && promptMet ? 0 : 1;
}
