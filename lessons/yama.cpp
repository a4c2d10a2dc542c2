#include "app/module1.h"
#include "lessons/lessons.h"

namespace {

using namespace act;

constexpr Action kSteps[] = {
    stopTimer(1),  // to be written
};

}  // namespace

const Lesson& YamaLesson() {
    static const Lesson lesson{kSceneYama, true, Canvas::Layer::Persistent, 40, true, kSteps};
    return lesson;
}
