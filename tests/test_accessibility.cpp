// What a screen reader learns, as Qt's accessibility interfaces report it: roles and names, the
// canvas's description while every activity plays on the virtual clock, the events that make it
// speak, the arrows' read-outs, and where the focus goes at each change of scene.

#include <gtest/gtest.h>

#include <QAccessible>
#include <QCoreApplication>
#include <QKeyEvent>
#include <private/qguiapplication_p.h>
#include <qpa/qplatformaccessibility.h>
#include <qpa/qplatformintegration.h>
#include <vector>

#include "app/accessibility.h"
#include "app/canvaswidget.h"
#include "harness.h"
#include "lessons/lessons.h"
#include "lessons/title.h"

namespace {

QAccessibleInterface* a11y(QObject* object) { return QAccessible::queryAccessibleInterface(object); }
QString description(QObject* object) { return a11y(object)->text(QAccessible::Description); }
QString name(QObject* object) { return a11y(object)->text(QAccessible::Name); }

// Records every DescriptionChanged event that reaches assistive technology, with the text it
// announces. Qt passes events on only while a screen reader is attached, so the test attaches as one.
struct Announcements {
    Announcements() {
        current = this;
        QAccessible::installUpdateHandler(&record);
        QGuiApplicationPrivate::platformIntegration()->accessibility()->setActive(true);
    }
    ~Announcements() {
        QGuiApplicationPrivate::platformIntegration()->accessibility()->setActive(false);
        QAccessible::installUpdateHandler(nullptr);
        current = nullptr;
    }
    static void record(QAccessibleEvent* event) {
        if (event->type() == QAccessible::DescriptionChanged && current)
            current->heard.push_back({event->object(), description(event->object())});
    }
    std::vector<QString> of(QObject* object) const {
        std::vector<QString> texts;
        for (const auto& [who, text] : heard)
            if (who == object) texts.push_back(text);
        return texts;
    }

    std::vector<std::pair<QObject*, QString>> heard;
    static inline Announcements* current = nullptr;
};

// The description is told once the handler that changed it is done, as the event loop would.
void settle() { QCoreApplication::sendPostedEvents(); }

void tick(Harness& h) {
    ASSERT_TRUE(h.clock->fireNext());
    settle();
}

void press(QWidget* widget, Qt::Key key) {
    QKeyEvent down(QEvent::KeyPress, key, Qt::NoModifier, key == Qt::Key_Space ? QStringLiteral(" ") : QString());
    QKeyEvent up(QEvent::KeyRelease, key, Qt::NoModifier, key == Qt::Key_Space ? QStringLiteral(" ") : QString());
    QCoreApplication::sendEvent(widget, &down);
    QCoreApplication::sendEvent(widget, &up);
}

QString utf8(std::string_view text) { return QString::fromUtf8(text.data(), qsizetype(text.size())); }

TEST(AccessibleRoles, WindowIsAWindowAndEveryControlIsNamed) {
    Harness h;
    h.form->Form_Load();
    EXPECT_EQ(a11y(h.form.get())->role(), QAccessible::Window);
    EXPECT_EQ(a11y(h.form->Picture1)->role(), QAccessible::Graphic);
    EXPECT_EQ(name(h.form->TKisetuFrm), QStringLiteral("季節の気温と湿度の例"));
    EXPECT_EQ(name(h.form->TKionUpCmd), QStringLiteral("気温を上げる"));
    EXPECT_EQ(name(h.form->Picture1), QStringLiteral("タイトル"));
}

struct Activity {
    const char* name;
    void (RiloForm::*start)();
    const char* canvasName;
};

class CanvasName : public ::testing::TestWithParam<Activity> {};

TEST_P(CanvasName, SaysWhichActivityRunsAndBackToTheTitle) {
    Harness h;
    h.startAndReachMenu();
    (h.form.get()->*GetParam().start)();
    EXPECT_EQ(name(h.form->Picture1), QString::fromUtf8(GetParam().canvasName));
    if (h.state().SceneMode == kSceneTukuru)
        h.form->TModoru_Click();
    else {
        h.runUntilStopped();
        h.form->Picture1_Click();
    }
    EXPECT_EQ(name(h.form->Picture1), QStringLiteral("タイトル"));
}

INSTANTIATE_TEST_SUITE_P(All, CanvasName,
                         ::testing::Values(Activity{"Dekikata", &RiloForm::DekikataCmd_Click, "雲のでき方"},
                                           Activity{"Yama", &RiloForm::YamaCmd_Click, "山の雲"},
                                           Activity{"Zensen", &RiloForm::ZensenCmd_Click, "前線"},
                                           Activity{"Tukuru", &RiloForm::TukuruCmd_Click, "雲をつくってみよう"}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(CanvasDescription, TitleIsReadAsItIsWritten) {
    Harness h;
    Announcements heard;
    h.form->Form_Load();
    settle();
    EXPECT_EQ(description(h.form->Picture1), QString());
    for (int step = 1; step <= 5; ++step) tick(h);
    EXPECT_EQ(description(h.form->Picture1),
              QStringLiteral("ペルモラ 空をながめて下さい。白い雲が見えるでしょう。 "
                             "どうして空には雲があるのか。今日は、ペルモラ について学習しましょう。"));
    EXPECT_EQ(heard.of(h.form->Picture1).size(), 4u) << "one event per line written, none for the white box";
}

// Every caption of a lesson is spoken, in order, each change once; the lesson ends on the prompt.
class LessonNarration : public ::testing::TestWithParam<Activity> {};

TEST_P(LessonNarration, EveryCaptionIsAnnouncedInOrder) {
    Harness h;
    h.startAndReachMenu();
    Announcements heard;
    (h.form.get()->*GetParam().start)();
    settle();
    while (h.form->Timer1().isEnabled()) tick(h);

    const Lesson& lesson = h.state().SceneMode == kSceneDekikata ? DekikataLesson()
                           : h.state().SceneMode == kSceneYama   ? YamaLesson()
                                                                 : ZensenLesson();
    const std::vector<QString> spoken = heard.of(h.form->Picture1);
    auto next = spoken.begin();
    for (const Action& a : lesson.steps) {
        if (a.what != Do::BoxedText && a.what != Do::PlainText) continue;
        next = std::find_if(next, spoken.end(), [&](const QString& s) { return s.contains(utf8(a.text)); });
        ASSERT_NE(next, spoken.end()) << "never announced: " << a.text;
    }
    for (size_t i = 1; i < spoken.size(); ++i) EXPECT_NE(spoken[i], spoken[i - 1]) << "announced twice";
    EXPECT_EQ(spoken.back(), QStringLiteral("マウスをクリックしてください"));
    EXPECT_EQ(description(h.form->Picture1), spoken.back());
}

INSTANTIATE_TEST_SUITE_P(All, LessonNarration,
                         ::testing::Values(Activity{"Dekikata", &RiloForm::DekikataCmd_Click, ""},
                                           Activity{"Yama", &RiloForm::YamaCmd_Click, ""},
                                           Activity{"Zensen", &RiloForm::ZensenCmd_Click, ""}),
                         [](const auto& info) { return std::string(info.param.name); });

// Step 17 of the front lesson wipes eight captions and writes the next in the same step: a screen
// reader hears the new caption, not an empty canvas first.
TEST(CanvasDescription, WipeAndWriteInOneStepIsOneAnnouncement) {
    Harness h;
    h.startAndReachMenu();
    h.form->ZensenCmd_Click();
    while (h.state().StepCount < 16) tick(h);
    EXPECT_EQ(description(h.form->Picture1),
              QStringLiteral("寒気 暖気 暖気と寒気のふれあう面を 前線面 といいます。 この場合には、ここが 温暖前線 になります"));
    Announcements heard;
    tick(h);
    EXPECT_EQ(heard.of(h.form->Picture1), std::vector<QString>{QStringLiteral("暖かい空気は")});
}

TEST(SimulatorNarration, ArrowsCarryTheirReadoutAndTheCanvasTellsWhenACloudForms) {
    Harness h;
    h.startAndReachMenu();
    h.form->TukuruCmd_Click();
    h.runUntilStopped();
    settle();
    EXPECT_EQ(description(h.form->TKionUpCmd), QStringLiteral("気温 15℃"));
    EXPECT_EQ(description(h.form->TSitudoDnCmd), QStringLiteral("湿度 60％"));
    EXPECT_EQ(description(h.form->TTakasaUpCmd), QStringLiteral("高度 0ｍ"));

    Announcements heard;
    h.form->TKionUpCmd->click();
    EXPECT_EQ(heard.of(h.form->TKionUpCmd), std::vector<QString>{QStringLiteral("気温 17℃")});
    EXPECT_EQ(description(h.form->TKionDnCmd), QStringLiteral("気温 17℃"));

    for (int i = 0; i < 20 && !description(h.form->Picture1).contains(QStringLiteral("雲ができました")); ++i) {
        h.form->TTakasaUpCmd->click();
        settle();
    }
    EXPECT_EQ(description(h.form->Picture1), QStringLiteral("雲ができました"));
    EXPECT_EQ(description(h.form->TTakasaDnCmd), h.form->TTakasaLbl->text());
    h.form->TTakasaUpCmd->click();  // still a cloud: nothing new to say
    settle();
    EXPECT_EQ(description(h.form->Picture1), QString());
    h.form->THaruCmd->click();
    settle();
    EXPECT_EQ(description(h.form->Picture1), QStringLiteral("雲が消えました ここちよい春の日の天気です"));
}

// Focus follows the pupil's next step, and never sits on a button while it is hidden.
TEST(FocusMoves, MenuStartsOnTheFirstButtonThenOnTheOneLastUsed) {
    Harness h;
    h.startAndReachMenu();
    EXPECT_EQ(h.form->focusWidget(), h.form->DekikataCmd);

    QWidget* focusWhenHidden = nullptr;
    struct HideWatch : QObject {
        QWidget** seen;
        bool eventFilter(QObject* o, QEvent* e) override {
            if (e->type() == QEvent::Hide) *seen = static_cast<QWidget*>(o)->window()->focusWidget();
            return false;
        }
    } watch;
    watch.seen = &focusWhenHidden;
    h.form->YamaCmd->installEventFilter(&watch);
    h.form->YamaCmd->setFocus();
    h.form->YamaCmd->click();
    EXPECT_EQ(focusWhenHidden, h.form->Picture1);
    h.runUntilStopped();
    press(h.form->Picture1, Qt::Key_Return);  // the end prompt answered from the keyboard
    EXPECT_EQ(h.state().SceneMode, kSceneTitle);
    h.runUntilStopped();
    EXPECT_EQ(h.form->focusWidget(), h.form->YamaCmd);
}

TEST(FocusMoves, SimulatorOpensOnTemperatureUpAndClosesLikeALesson) {
    Harness h;
    h.startAndReachMenu();
    h.form->TukuruCmd->click();
    EXPECT_EQ(h.form->focusWidget(), h.form->TKionUpCmd);
    h.form->TModoru->setFocus();
    h.form->TModoru->click();
    EXPECT_EQ(h.form->focusWidget(), h.form->Picture1);
    h.runUntilStopped();
    EXPECT_EQ(h.form->focusWidget(), h.form->TukuruCmd);
}

TEST(KeyboardPress, EnterAndSpacePressTheFocusedButtonAndAnswerTheEndPrompt) {
    Harness h;
    h.startAndReachMenu();
    h.form->TukuruCmd_Click();
    for (Qt::Key key : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Space}) {
        const double before = h.state().Kion;
        press(h.form->TKionUpCmd, key);
        EXPECT_EQ(h.state().Kion, before + 2) << "key " << key;
    }
    h.form->TModoru_Click();
    h.runUntilStopped();
    h.form->ZensenCmd_Click();
    h.runUntilStopped();
    press(h.form->Picture1, Qt::Key_Space);
    EXPECT_EQ(h.state().SceneMode, kSceneTitle);
    EXPECT_EQ(h.state().WaitClick, 0);
}

}  // namespace
