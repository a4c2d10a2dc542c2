#include "app/module1.h"
#include "lessons/lessons.h"

namespace {

using namespace act;

constexpr Action kSteps[] = {
    stopTimer(1),  // to be written
};

}  // namespace

const Lesson& DekikataLesson() {
    static const Lesson lesson{kSceneDekikata, false, Canvas::Layer::Persistent, 500, false, kSteps};
    return lesson;
}
