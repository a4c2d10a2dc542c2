#include "app/module1.h"
#include "lessons/lessons.h"

namespace {

using namespace act;

constexpr Action kSteps[] = {
    stopTimer(1),  // to be written
};

}  // namespace

const Lesson& ZensenLesson() {
    static const Lesson lesson{kSceneZensen, false, Canvas::Layer::Overlay, 200, true, kSteps};
    return lesson;
}
