#include "app/scenecontrols.h"

#include <QAction>
#include <algorithm>

#include "app/canvaswidget.h"
#include "app/riloform.h"
#include "lessons/lessons.h"

SceneControls::SceneControls(RiloForm& form) : QObject(&form), form_(form) {
    previousSceneAction = addAction("previousScene", QStringLiteral("前の場面"), Qt::Key_Left,
                                    &SceneControls::previousScene);
    nextSceneAction = addAction("nextScene", QStringLiteral("次の場面"), Qt::Key_Right, &SceneControls::nextScene);
    restartLessonAction = addAction("restartLesson", QStringLiteral("最初から"), Qt::Key_Home,
                                    &SceneControls::restartLesson);
    form_.Picture1->timelineClicked = [this](double share) { jumpToShare(share); };
    update();
}

QAction* SceneControls::addAction(const char* name, const QString& text, Qt::Key key,
                                  void (SceneControls::*command)()) {
    auto* action = new QAction(text, this);
    action->setObjectName(QString::fromLatin1(name));
    action->setShortcut(key);
    action->setShortcutContext(Qt::WindowShortcut);
    connect(action, &QAction::triggered, this, [this, command] { (this->*command)(); });
    form_.addAction(action);
    return action;
}

const Lesson* SceneControls::lesson() const {
    for (const Lesson* l : {&DekikataLesson(), &YamaLesson(), &ZensenLesson()})
        if (l->sceneMode == form_.state.SceneMode) return l;
    return nullptr;
}

bool SceneControls::running(int sceneMode) const {
    return form_.state.SceneMode == sceneMode && form_.Timer1().isEnabled();
}

void SceneControls::previousScene() {
    const Lesson* l = lesson();
    if (!l) return;
    const bool early = form_.Timer1().runningMs() - sceneBeganMs_ < kEarlyInSceneMs;
    jumpTo(SceneStartBack(l->sceneStarts, form_.state.StepCount, early));
}

void SceneControls::nextScene() {
    if (const Lesson* l = lesson()) {
        const int target = SceneStartForward(l->sceneStarts, form_.state.StepCount, LastStep(l->steps));
        if (target != form_.state.StepCount) jumpTo(target);  // at the end already: nothing to do
    } else if (!finishTitle() && running(kSceneTukuru)) {
        form_.FinishAnimation();
        update();
    }
}

void SceneControls::restartLesson() {
    if (const Lesson* l = lesson()) jumpTo(l->sceneStarts.front());
}

bool SceneControls::finishTitle() {
    if (!running(kSceneTitle)) return false;
    form_.FinishAnimation();
    update();
    return true;
}

void SceneControls::jumpToShare(double share) {
    const Lesson* l = lesson();
    if (!l || stepTimes_.empty()) return;
    const double atMs = share * stepTimes_.back();
    const int step = int(std::upper_bound(stepTimes_.begin(), stepTimes_.end(), atMs) - stepTimes_.begin()) - 1;
    jumpTo(l->sceneStarts[size_t(SceneAt(l->sceneStarts, step))]);
}

void SceneControls::jumpTo(int step) {
    form_.JumpToStep(*lesson(), step);
    update();
    sceneBeganMs_ = form_.Timer1().runningMs();  // a jump begins its scene afresh, also the same one
}

void SceneControls::update() {
    const Lesson* l = lesson();
    if (l != lesson_) {
        lesson_ = l;
        scene_ = -1;
        stepTimes_ = l ? StepTimes(l->steps, l->firstIntervalMs) : std::vector<int>{};
    }
    if (l && SceneAt(l->sceneStarts, form_.state.StepCount) != scene_) {
        scene_ = SceneAt(l->sceneStarts, form_.state.StepCount);
        sceneBeganMs_ = form_.Timer1().runningMs();
    }
    previousSceneAction->setEnabled(l);
    restartLessonAction->setEnabled(l);
    nextSceneAction->setEnabled(l || running(kSceneTitle) || running(kSceneTukuru));
    showTimeline();
}

void SceneControls::showTimeline() {
    if (!lesson_) {
        form_.Picture1->setTimeline(std::nullopt);
        return;
    }
    CanvasWidget::Timeline timeline;
    const double length = stepTimes_.back();
    for (int start : lesson_->sceneStarts) timeline.sceneStarts.push_back(stepTimes_[size_t(start)] / length);
    timeline.position = stepTimes_[size_t(std::clamp(form_.state.StepCount, 0, int(stepTimes_.size()) - 1))] / length;
    form_.Picture1->setTimeline(std::move(timeline));
}
