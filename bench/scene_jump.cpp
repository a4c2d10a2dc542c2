// A jump to the last scene of a lesson: wherever the lesson stands, a jump paints the backdrop again
// and plays every step up to the target at once, so the last scene is the longest jump. The front
// lesson has the most steps and pictures, the cloud lesson the longest running time. Target: under
// 20 ms.

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QPushButton>

#include "app/riloform.h"
#include "lessons/lessons.h"
#include "qtmain.h"

namespace {

struct Choice {
    const Lesson& (*lesson)();
    QPushButton* RiloForm::*button;
};
constexpr Choice kChoices[] = {{ZensenLesson, &RiloForm::ZensenCmd}, {DekikataLesson, &RiloForm::DekikataCmd}};

void BM_JumpToTheLastScene(benchmark::State& state) {
    const Choice& choice = kChoices[state.range(0)];
    const Lesson& lesson = choice.lesson();
    auto timer = std::make_unique<VirtualTimer>();
    VirtualTimer* clock = timer.get();
    RiloForm form(std::move(timer), [](QWidget*, const QuitAnswer& answered) { answered(kAnswerNo); });
    form.Form_Load();
    clock->advance(5500);  // the menu
    (form.*choice.button)->click();
    // The view's repaint is not in it: it is the same as after any tick (canvas_zoom measures it).
    for (auto _ : state) {
        form.JumpToStep(lesson, lesson.sceneStarts.back());
        benchmark::DoNotOptimize(form.canvas.screenImage().constBits());
    }
    state.SetLabel(state.range(0) == 0 ? "front lesson, 60 steps" : "cloud lesson, 54 steps");
}

BENCHMARK(BM_JumpToTheLastScene)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) { return RunBenchmarksWithQt(argc, argv); }
