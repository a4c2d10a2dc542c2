// Restless clicking: random clicks on whatever is visible, the pause key, timer ticks and "No" to the
// quit question, with the program's invariants checked after every event. A failing seed is printed for replay:
//   PERUMORA_STORM_SEED=<seed> perumora_tests --gtest_filter='EventStorm*'

#include <gtest/gtest.h>

#include <QApplication>
#include <QMouseEvent>
#include <cmath>
#include <random>
#include <sstream>
#include <vector>

#include "app/canvaswidget.h"
#include "app/viewcontrols.h"
#include "harness.h"

namespace {

constexpr int kEventsPerRun = 100000;

std::vector<QPushButton*> allButtons(RiloForm& f) {
    return {f.DekikataCmd, f.TukuruCmd,    f.YamaCmd,      f.ZensenCmd,    f.SyuuryouCmd,  f.TModoru,
            f.THuyuCmd,    f.TAkiCmd,      f.TNatuCmd,     f.TTuyuCmd,     f.THaruCmd,     f.TKionUpCmd,
            f.TKionDnCmd,  f.TSitudoUpCmd, f.TSitudoDnCmd, f.TTakasaUpCmd, f.TTakasaDnCmd};
}

void clickCanvasAt(CanvasWidget* canvas, QPoint at) {
    QMouseEvent press(QEvent::MouseButtonPress, at, canvas->mapToGlobal(at), Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QMouseEvent release(QEvent::MouseButtonRelease, at, canvas->mapToGlobal(at), Qt::LeftButton, Qt::NoButton,
                        Qt::NoModifier);
    QApplication::sendEvent(canvas, &press);
    QApplication::sendEvent(canvas, &release);
}

// Empty when every invariant holds, else what broke.
std::string brokenInvariant(Harness& h) {
    const Module1& s = h.state();
    RiloForm& f = *h.form;
    std::ostringstream why;
    for (QPushButton* b : {f.DekikataCmd, f.TukuruCmd, f.YamaCmd, f.ZensenCmd, f.SyuuryouCmd})
        if (b->isVisible() && !(s.SceneMode == kSceneTitle && s.StepCount >= 10))
            why << "menu button visible in scene " << s.SceneMode << " step " << s.StepCount << "; ";
    if (f.TFrame->isVisible() && s.SceneMode != kSceneTukuru) why << "panel visible in scene " << s.SceneMode << "; ";
    if (!(s.Kion >= -10.5 && s.Kion <= 36)) why << "Kion " << s.Kion << "; ";
    if (!(s.Situdo >= 0 && s.Situdo <= 100)) why << "Situdo " << s.Situdo << "; ";
    if (!(s.Takasa >= 0 && s.Takasa <= 2000) || std::fmod(s.Takasa, 100) != 0) why << "Takasa " << s.Takasa << "; ";
    if (f.canvas.screenImage().size() != QSize(640, 400) || f.canvas.persistentImage().size() != QSize(640, 400) ||
        f.Picture1->size() != QSize(644, 404))
        why << "canvas resized; ";
    if (f.view().isPaused() && (!f.Timer1().isEnabled() || !f.windowTitle().endsWith(QStringLiteral("（一時停止中）"))))
        why << "paused without a running animation or without saying so; ";
    return why.str();
}

// One random event; returns what it was, for the failure message.
std::string randomEvent(Harness& h, std::mt19937& random) {
    RiloForm& f = *h.form;
    switch (std::uniform_int_distribution<int>(0, 9)(random)) {
    case 0:
    case 1:
    case 2: {
        const QPoint at(std::uniform_int_distribution<int>(0, 643)(random),
                        std::uniform_int_distribution<int>(0, 403)(random));
        clickCanvasAt(f.Picture1, at);
        return "canvas click";
    }
    case 3:
    case 4:
    case 5:
    case 6: {
        std::vector<QPushButton*> visible;
        for (QPushButton* b : allButtons(f))
            if (b->isVisible()) visible.push_back(b);
        if (visible.empty()) break;
        QPushButton* b = visible[std::uniform_int_distribution<size_t>(0, visible.size() - 1)(random)];
        b->click();  // the quit question answers No
        return "click " + b->text().toStdString();
    }
    case 7:
        f.view().togglePause();
        return "pause key";
    default: break;
    }
    h.clock->fireNext();
    return "tick";
}

void storm(unsigned seed) {
    Harness h(kAnswerNo);
    h.form->Form_Load();
    std::mt19937 random(seed);
    for (int i = 0; i < kEventsPerRun; ++i) {
        const std::string event = randomEvent(h, random);
        const std::string broken = brokenInvariant(h);
        ASSERT_TRUE(broken.empty()) << "seed " << seed << ", event " << i << " (" << event << "): " << broken
                                    << "\nreplay: PERUMORA_STORM_SEED=" << seed;
    }
    EXPECT_TRUE(h.form->isVisible()) << "seed " << seed << ": the window closed although every answer was No";
    EXPECT_GT(h.questionsAsked, 0) << "seed " << seed;
}

TEST(EventStorm, InvariantsHoldUnderRandomEvents) {
    if (const QByteArray replay = qgetenv("PERUMORA_STORM_SEED"); !replay.isEmpty()) {
        storm(replay.toUInt());
        return;
    }
    for (unsigned seed : {1u, 20261209u}) storm(seed);
}

}  // namespace
