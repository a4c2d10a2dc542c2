// Start-up, the title's pace, the canvas click, the menu and the quit question.

#include <gtest/gtest.h>

#include "harness.h"

#include "app/canvaswidget.h"

namespace {

TEST(SceneStartup, FirstTitleRunsAt500msAndShowsTheMenuAtFiveSeconds) {
    Harness h;
    h.form->Form_Load();
    EXPECT_TRUE(h.form->isVisible());
    EXPECT_FALSE(h.form->TFrame->isVisible());
    EXPECT_FALSE(h.menuVisible());
    EXPECT_EQ(h.state().IntroState, 2);
    EXPECT_EQ(h.form->Timer1().interval(), 500);

    h.clock->advance(499);
    EXPECT_EQ(h.state().StepCount, 0) << "the designed 120 ms interval must never tick";
    h.clock->advance(1);
    EXPECT_EQ(h.state().StepCount, 1) << "the first tick performs step 1";
    h.clock->advance(4498);
    EXPECT_FALSE(h.menuVisible());
    h.clock->advance(2);
    EXPECT_TRUE(h.menuVisible());
    EXPECT_TRUE(h.form->Timer1().isEnabled());
    h.clock->advance(500);
    EXPECT_EQ(h.state().StepCount, 11);
    EXPECT_FALSE(h.form->Timer1().isEnabled()) << "step 11 stops the timer";
}

TEST(SceneStartup, MenuButtonsAreUsableFromTheKeyboardInTabOrder) {
    Harness h;
    h.startAndReachMenu();
    QWidget* expected[] = {h.form->DekikataCmd, h.form->TukuruCmd, h.form->YamaCmd, h.form->ZensenCmd,
                           h.form->SyuuryouCmd};
    QWidget* w = h.form->Picture1;
    for (QWidget* next : expected) {
        w = w->nextInFocusChain();
        while (!(w->focusPolicy() & Qt::TabFocus) || !w->isVisible()) w = w->nextInFocusChain();
        EXPECT_EQ(w, next);
    }
}

// Every way back to the title runs it at 100 ms per step.
struct ReturnCase {
    const char* name;
    void (*leave)(Harness&);
};

void fromSimulator(Harness& h) {
    h.form->TukuruCmd_Click();
    h.form->TModoru_Click();
}
void fromFinishedLesson(Harness& h) {
    h.form->DekikataCmd_Click();
    h.runUntilStopped();
    h.form->Picture1_Click();
}
void fromLessonAfterQuitNo(Harness& h) {
    h.form->SyuuryouCmd_Click();  // the answer lands in IntroState too
    fromFinishedLesson(h);
}

void PrintTo(const ReturnCase& c, std::ostream* os) { *os << c.name; }

class SceneReturn : public ::testing::TestWithParam<ReturnCase> {};

TEST_P(SceneReturn, LaterTitlesRunAt100ms) {
    Harness h;
    h.startAndReachMenu();
    GetParam().leave(h);
    EXPECT_EQ(h.state().SceneMode, kSceneTitle);
    EXPECT_EQ(h.form->Timer1().interval(), 100);
    EXPECT_EQ(h.state().StepCount, 0);
    h.clock->advance(100);
    EXPECT_EQ(h.state().StepCount, 1);
    h.clock->advance(899);
    EXPECT_FALSE(h.menuVisible());
    h.clock->advance(1);
    EXPECT_TRUE(h.menuVisible());
}

INSTANTIATE_TEST_SUITE_P(All, SceneReturn,
                         ::testing::Values(ReturnCase{"Simulator", fromSimulator},
                                           ReturnCase{"FinishedLesson", fromFinishedLesson},
                                           ReturnCase{"LessonAfterQuitNo", fromLessonAfterQuitNo}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(SceneCanvasClick, DoesNothingUnlessALessonWaits) {
    Harness h;
    h.form->Form_Load();
    h.clock->advance(1500);  // title running
    QImage before = h.screen();
    h.form->Picture1_Click();
    EXPECT_EQ(h.screen(), before);
    EXPECT_EQ(h.state().StepCount, 3);

    h.clock->advance(4000);  // menu
    before = h.screen();
    h.form->Picture1_Click();
    EXPECT_EQ(h.screen(), before);
    EXPECT_TRUE(h.menuVisible());
    EXPECT_FALSE(h.form->Timer1().isEnabled());
}

TEST(SceneCanvasClick, EndsAFinishedLessonOnceOnly) {
    Harness h;
    h.startAndReachMenu();
    h.form->DekikataCmd_Click();
    h.form->Picture1_Click();
    EXPECT_EQ(h.state().SceneMode, kSceneDekikata) << "a running lesson ignores the canvas";
    h.runUntilStopped();
    EXPECT_EQ(h.state().WaitClick, kWaiting);

    h.form->Picture1_Click();
    EXPECT_EQ(h.state().WaitClick, 0);
    EXPECT_EQ(h.state().SceneMode, kSceneTitle);
    EXPECT_EQ(h.state().StepCount, 0);
    EXPECT_EQ(h.persistent(), h.screen()) << "the town backdrop replaced the lesson";
    h.clock->advance(250);
    h.form->Picture1_Click();  // the second click: title keeps running undisturbed
    EXPECT_EQ(h.state().StepCount, 2);
}

TEST(SceneQuit, NoChangesNothing) {
    Harness h(kAnswerNo);
    h.startAndReachMenu();
    const QImage before = h.screen();
    h.form->SyuuryouCmd_Click();
    EXPECT_EQ(h.questionsAsked, 1);
    EXPECT_EQ(h.state().IntroState, kAnswerNo);
    EXPECT_TRUE(h.form->isVisible());
    EXPECT_TRUE(h.menuVisible());
    EXPECT_EQ(h.screen(), before);
}

TEST(SceneQuit, YesClosesTheWindow) {
    Harness h(kAnswerYes);
    h.startAndReachMenu();
    h.form->SyuuryouCmd->click();
    EXPECT_EQ(h.questionsAsked, 1);
    EXPECT_EQ(h.state().IntroState, kAnswerYes);
    EXPECT_FALSE(h.form->isVisible());
}

TEST(SceneQuit, TitleBarCloseQuitsWithoutAsking) {
    Harness h;
    h.form->Form_Load();
    h.clock->advance(1200);
    EXPECT_TRUE(h.form->close());
    EXPECT_EQ(h.questionsAsked, 0);
    EXPECT_FALSE(h.form->isVisible());
}

TEST(SceneDispatch, UnknownSceneModeDoesNothing) {
    Harness h;
    h.startAndReachMenu();
    const QImage before = h.screen();
    h.state().SceneMode = 9;
    h.form->Timer1_Timer();
    EXPECT_EQ(h.state().StepCount, 12);
    EXPECT_EQ(h.screen(), before);
}

TEST(SceneDispatch, EveryStartPerformsStepOneFirst) {
    using Start = void (RiloForm::*)();
    for (Start start : {&RiloForm::DekikataCmd_Click, &RiloForm::YamaCmd_Click, &RiloForm::ZensenCmd_Click,
                        &RiloForm::TukuruCmd_Click}) {
        Harness h;
        h.startAndReachMenu();
        (h.form.get()->*start)();
        EXPECT_EQ(h.state().StepCount, 0);
        EXPECT_FALSE(h.menuVisible());
        ASSERT_TRUE(h.clock->fireNext());
        EXPECT_EQ(h.state().StepCount, 1);
    }
}

TEST(SceneMenu, HiddenByEitherBackdropWhateverItsState) {
    Harness h;
    h.startAndReachMenu();
    h.form->DrawMountainTown();
    EXPECT_FALSE(h.menuVisible());
    h.form->ShowMenu();
    h.form->DrawTown();
    EXPECT_FALSE(h.menuVisible());
    for (QPushButton* b : {h.form->YamaCmd, h.form->TukuruCmd, h.form->ZensenCmd, h.form->SyuuryouCmd})
        EXPECT_FALSE(b->isVisible());
}

}  // namespace

namespace {

// Covering and uncovering the window repaints the whole screen image, so a caption on the overlay
// stays on screen instead of falling back to the persistent picture.
TEST(SceneRepaint, ExposeKeepsTheOverlay) {
    Harness h;
    h.startAndReachMenu();  // the title lies on the overlay
    ASSERT_NE(h.screen(), h.persistent());
    h.form->hide();
    h.form->show();
    const QImage shown = h.form->Picture1->grab().toImage().convertToFormat(QImage::Format_RGB32);
    const QImage drawingArea = shown.copy(CanvasWidget::kBorder, CanvasWidget::kBorder, 640, 400);
    EXPECT_EQ(drawingArea, h.screen());
}

}  // namespace
