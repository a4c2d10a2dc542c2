// A lesson at the teacher's pace on the virtual clock: jumps by scene show what the uninterrupted
// lesson shows there and go on with the interval in force; the title and the instructions finish at
// once; slow motion doubles the intervals; the paused timeline jumps where it is clicked.

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <map>

#include "app/canvaswidget.h"
#include "app/scenecontrols.h"
#include "app/viewcontrols.h"
#include "harness.h"
#include "lessons/lessons.h"
#include "tests/input.h"

namespace {

struct Seen {  // what the pupil and the screen reader have at a step
    QImage screen, persistent;
    QString description;
    bool operator==(const Seen&) const = default;
};

Seen seen(Harness& h) {
    QApplication::processEvents();  // the description is told when the event is done
    return {h.screen(), h.persistent(), h.form->Picture1->accessibleDescription()};
}

void startLesson(Harness& h, QPushButton* RiloForm::*button) {
    h.startAndReachMenu();
    input::activate(h.form.get());
    (h.form.get()->*button)->click();
}

void stepTo(Harness& h, int step) {
    while (h.state().StepCount < step) ASSERT_TRUE(h.clock->fireNext());
}

double msToNextTick(Harness& h) {  // 0 if none comes
    const double at = h.clock->nowMs();
    return h.clock->fireNext() ? h.clock->nowMs() - at : 0;
}

TEST(SceneJumps, EverySceneStartAsTheUninterruptedLessonShowsItThenTheIntervalInForce) {
    for (auto [button, lesson] : {std::pair{&RiloForm::DekikataCmd, &DekikataLesson},
                                  std::pair{&RiloForm::YamaCmd, &YamaLesson}, std::pair{&RiloForm::ZensenCmd, &ZensenLesson}}) {
        const SceneStarts starts = lesson().sceneStarts;
        std::map<int, Seen> expected;
        std::map<int, double> nextAfterMs;
        for (int run = 0; run < 2; ++run) {  // the second run, with the fonts' caches as warm as later
            Harness h;
            startLesson(h, button);
            for (int step : starts) {
                stepTo(h, step);
                expected[step] = seen(h);
                nextAfterMs[step] = msToNextTick(h);
            }
        }
        Harness h;
        startLesson(h, button);
        for (int step : starts) {  // forward from the step before; the first from the lesson's start
            SCOPED_TRACE("to step " + std::to_string(step));
            if (step > 1) {
                h.form->scenes().restartLessonAction->trigger();
                stepTo(h, step - 1);
            }
            (step == 1 ? h.form->scenes().restartLessonAction : h.form->scenes().nextSceneAction)->trigger();
            ASSERT_EQ(h.state().StepCount, step);
            EXPECT_TRUE(seen(h) == expected[step]);
            EXPECT_EQ(msToNextTick(h), nextAfterMs[step]);
        }
        ASSERT_EQ(h.state().WaitClick, kWaiting);
        for (size_t i = starts.size() - 1; i-- > 0;) {  // back from the end, one scene a press
            SCOPED_TRACE("back to step " + std::to_string(starts[i]));
            input::keyClick(h.form.get(), Qt::Key_Left);
            ASSERT_EQ(h.state().StepCount, starts[i]);
            EXPECT_EQ(h.state().WaitClick, 0);
            EXPECT_TRUE(seen(h) == expected[starts[i]]);
        }
    }
}

TEST(SceneJumps, TheTitleFinishesAtOnceOnRightOrEnterAsAfterItsLastStep) {
    Harness warmUp, reference;  // the reference drawn with the fonts' caches as warm as later
    for (Harness* run : {&warmUp, &reference}) {
        run->form->Form_Load();
        run->runUntilStopped();
    }
    for (bool enter : {false, true}) {
        Harness h;
        h.form->Form_Load();  // the first, slow title
        input::activate(h.form.get());
        h.clock->advance(1600);
        if (enter)
            input::keyClick(h.form->Picture1, Qt::Key_Return);
        else
            input::keyClick(h.form.get(), Qt::Key_Right);
        EXPECT_EQ(h.state().StepCount, 11);
        EXPECT_FALSE(h.form->Timer1().isEnabled());
        EXPECT_TRUE(h.menuVisible());
        EXPECT_EQ(h.screen(), reference.screen());
        EXPECT_EQ(h.form->focusWidget(), h.form->DekikataCmd);
        EXPECT_FALSE(h.form->scenes().nextSceneAction->isEnabled()) << "nothing left to skip in the menu";
    }
}

TEST(SceneJumps, RightPrintsAndEndsTheInstructionsThenLeavesTheArrowsToThePanel) {
    Harness reference, h;
    for (Harness* run : {&reference, &h}) {
        run->startAndReachMenu();
        run->form->TukuruCmd->click();
        run->clock->advance(600);
    }
    reference.runUntilStopped();
    input::activate(h.form.get());
    EXPECT_TRUE(h.form->scenes().nextSceneAction->isEnabled());
    input::keyClick(h.form.get(), Qt::Key_Right);
    EXPECT_FALSE(h.form->Timer1().isEnabled());
    EXPECT_EQ(h.screen(), reference.screen());
    EXPECT_FALSE(h.form->scenes().nextSceneAction->isEnabled());
    EXPECT_FALSE(qt_sendShortcutOverrideEvent(h.form->TKionUpCmd, 0, Qt::Key_Right, Qt::NoModifier, {}, false, 1));
}

TEST(SlowMotion, DoublesEveryIntervalTheCountdownUnderWayIncludedAndShowsInTheTitle) {
    Harness h;
    startLesson(h, &RiloForm::DekikataCmd);
    h.clock->advance(250);  // half of the first 500 ms wait
    input::keyClick(h.form.get(), Qt::Key_S);
    EXPECT_EQ(h.form->windowTitle(), QStringLiteral("ペルモラ（ゆっくり）"));
    const std::vector<int> times = StepTimes(DekikataLesson().steps, DekikataLesson().firstIntervalMs);
    const double start = h.clock->nowMs() - 250;
    for (int step = 1; step <= 16; ++step) {
        ASSERT_TRUE(h.clock->fireNext());
        EXPECT_DOUBLE_EQ(h.clock->nowMs() - start, 2 * times[size_t(step)] - 250) << "step " << step;
    }
    h.form->view().togglePause();
    EXPECT_EQ(h.form->windowTitle(), QStringLiteral("ペルモラ（一時停止中）（ゆっくり）"));
    h.form->view().togglePause();
    h.clock->advance(4000);  // half of step 16's 4000 ms at double length
    h.form->view().slowMotionAction->trigger();
    EXPECT_EQ(h.form->windowTitle(), QStringLiteral("ペルモラ"));
    h.clock->advance(1999);
    EXPECT_EQ(h.state().StepCount, 16);
    h.clock->advance(1);
    EXPECT_EQ(h.state().StepCount, 17) << "the other half at the normal speed";
}

TEST(Timeline, AClickAtTwiceTheSizeJumpsToTheSceneUnderItAndTheLessonStaysPaused) {
    Harness h;
    h.form->view().roomForClientArea = [] { return QSize(3000, 2000); };
    startLesson(h, &RiloForm::ZensenCmd);
    ASSERT_TRUE(h.form->view().zoomIn());
    stepTo(h, 20);
    h.form->view().togglePause();
    ASSERT_TRUE(h.form->Picture1->timelineShown());
    const std::vector<int> times = StepTimes(ZensenLesson().steps, ZensenLesson().firstIntervalMs);
    const double share = (times[41] + 1.0) / times.back();  // within the scene of the cold air, steps 40-42
    const QRect area = CanvasWidget::kTimelineArea;
    const double left = area.left() + CanvasWidget::kTimelineInset, width = area.width() - 2 * CanvasWidget::kTimelineInset;
    input::mouseClick(h.form->windowHandle(), Qt::LeftButton, QPoint(int((left + share * width) * 2), area.center().y() * 2));
    EXPECT_EQ(h.state().StepCount, 40);
    EXPECT_TRUE(h.form->view().isPaused());
    h.form->view().togglePause();
    EXPECT_FALSE(h.form->Picture1->timelineShown());
    EXPECT_EQ(msToNextTick(h), 600) << "the interval step 40 sets";
}

}  // namespace
