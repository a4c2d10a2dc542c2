// The simulator on screen: opening, the timed instructions, the panel's buttons and closing, run
// through the whole program on the virtual clock. The parcel is found by comparing the screen with
// the persistent scene, so the checks hold whatever the pictures look like.

#include <gtest/gtest.h>

#include <QRect>
#include <cmath>
#include <functional>
#include <vector>

#include "draw/backdrops.h"
#include "draw/canvas.h"
#include "harness.h"

namespace {

constexpr QRgb kWhite = 0xFFFFFFFF;

struct Ellipse {
    double cx, cy, a, b;  // centre and half-axes in canvas pixels
    double at(int x, int y) const { return std::hypot((x - cx) / a, (y - cy) / b); }
};
Ellipse parcelAt(double takasa) {
    const double r = 40 + takasa * 2 / 100;
    return {200, 330 - takasa * 14 / 100, r, r * 0.6};
}

std::vector<QPoint> overlayPixels(Harness& h, QRect area = QRect(0, 0, Canvas::kWidth, Canvas::kHeight)) {
    std::vector<QPoint> changed;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (h.screen().pixel(x, y) != h.persistent().pixel(x, y)) changed.push_back({x, y});
    return changed;
}

bool overlayEmptyIn(Harness& h, QRect area) { return overlayPixels(h, area).empty(); }

// What was drawn spans the ellipse's bounding box, to the pixel.
void expectSpans(const std::vector<QPoint>& drawn, const Ellipse& e) {
    QRect span;
    for (const QPoint& p : drawn) span |= QRect(p, QSize(1, 1));
    EXPECT_NEAR(span.left(), e.cx - e.a, 1);
    EXPECT_NEAR(span.right(), e.cx + e.a, 1);
    EXPECT_NEAR(span.top(), e.cy - e.b, 1);
    EXPECT_NEAR(span.bottom(), e.cy + e.b, 1);
    EXPECT_NEAR((span.left() + span.right()) / 2.0, e.cx, 0.5);
    EXPECT_NEAR((span.top() + span.bottom()) / 2.0, e.cy, 0.5);
}

// The only thing on the overlay is a white ring on the parcel's ellipse, all the way round.
void expectOnlyOutline(Harness& h, double takasa) {
    const Ellipse e = parcelAt(takasa);
    const auto changed = overlayPixels(h);
    ASSERT_GT(changed.size(), 100u) << "no parcel outline drawn";
    for (const QPoint& p : changed) {
        EXPECT_EQ(h.screen().pixel(p), kWhite) << p.x() << "," << p.y();
        EXPECT_NEAR(e.at(p.x(), p.y()), 1.0, 0.08) << p.x() << "," << p.y();
    }
    expectSpans(changed, e);
    for (const QPoint& p : {QPoint(int(e.cx - e.a), int(e.cy)), QPoint(int(e.cx + e.a), int(e.cy)),
                            QPoint(int(e.cx), int(e.cy - e.b)), QPoint(int(e.cx), int(e.cy + e.b))}) {
        bool white = false;
        for (int dy = -1; dy <= 1; ++dy)
            for (int dx = -1; dx <= 1; ++dx) white |= h.screen().pixel(p + QPoint(dx, dy)) == kWhite;
        EXPECT_TRUE(white) << "outline missing near " << p.x() << "," << p.y();
    }
}

// The only thing on the overlay is the parcel's ellipse filled white.
void expectOnlyCloud(Harness& h, double takasa) {
    const Ellipse e = parcelAt(takasa);
    const auto drawn = overlayPixels(h);
    for (const QPoint& p : drawn) EXPECT_LE(e.at(p.x(), p.y()), 1.08) << p.x() << "," << p.y();
    expectSpans(drawn, e);
    for (int y = int(e.cy - e.b); y <= int(e.cy + e.b); ++y)
        for (int x = int(e.cx - e.a); x <= int(e.cx + e.a); ++x)
            if (e.at(x, y) < 0.92) {
                ASSERT_EQ(h.screen().pixel(x, y), kWhite) << x << "," << y;
            }
    EXPECT_FALSE(h.form->canvas.fillSolid());
}

// The band of the n-th instruction line (1-6).
QRect instructionLine(int n) { return QRect(20, 20 + 40 * (n - 1), 420, 36); }

QImage townScene() {
    Canvas town;
    PaintTownBackdrop(town);
    return town.persistentImage();
}

QImage mountainScene() {
    Canvas mountain;
    PaintMountainBackdrop(mountain);
    return mountain.persistentImage();
}

struct Simulator : ::testing::Test {
    void SetUp() override {
        h.startAndReachMenu();
        ASSERT_TRUE(h.menuVisible());
        open();
    }
    void open() {
        h.form->TukuruCmd->click();
        openedAt = h.clock->nowMs();
    }
    // Runs the instructions up to and including step n.
    void runToStep(int n) {
        while (h.state().StepCount < n && h.form->Timer1().isEnabled()) h.clock->fireNext();
        ASSERT_EQ(h.state().StepCount, n);
    }
    QString kion() const { return h.form->TKionLbl->text(); }
    QString situdo() const { return h.form->TSitudoLbl->text(); }
    QString takasa() const { return h.form->TTakasaLbl->text(); }
    void press(QPushButton* button, int times = 1) {
        for (int i = 0; i < times; ++i) button->click();
    }

    Harness h;
    double openedAt = 0;
};

TEST_F(Simulator, OpeningShowsThePanelTheReadoutsAndTheParcelAtTheFoot) {
    EXPECT_TRUE(h.form->TFrame->isVisible());
    EXPECT_FALSE(h.menuVisible());
    EXPECT_EQ(h.state().SceneMode, kSceneTukuru);
    EXPECT_EQ(h.state().StepCount, 0);
    EXPECT_TRUE(h.form->Timer1().isEnabled());
    EXPECT_EQ(h.form->Timer1().interval(), 100);
    EXPECT_EQ(h.form->canvas.layer(), Canvas::Layer::Overlay);
    EXPECT_EQ(h.persistent(), mountainScene());
    EXPECT_EQ(kion(), QString::fromUtf8("気温 15℃"));
    EXPECT_EQ(situdo(), QString::fromUtf8("湿度 60％"));
    EXPECT_EQ(takasa(), QString::fromUtf8("高度 0ｍ"));
    expectOnlyOutline(h, 0);
}

TEST_F(Simulator, InstructionsComeOnScheduleAndStep7LeavesOnlyTheParcel) {
    const double expectedAt[] = {100, 500, 900, 1300, 2300, 3300, 7300};
    for (int step = 1; step <= 7; ++step) {
        ASSERT_TRUE(h.clock->fireNext());
        EXPECT_EQ(h.state().StepCount, step);
        EXPECT_NEAR(h.clock->nowMs() - openedAt, expectedAt[step - 1], 0.5) << "step " << step;
        if (step == 7) break;
        for (int line = 1; line <= 6; ++line)
            EXPECT_EQ(overlayEmptyIn(h, instructionLine(line)), line > step) << "step " << step << " line " << line;
    }
    EXPECT_FALSE(h.form->Timer1().isEnabled());
    EXPECT_FALSE(h.clock->fireNext());
    expectOnlyOutline(h, 0);
    EXPECT_EQ(h.state().SceneMode, kSceneTukuru);
}

// Every panel button that redraws the parcel wipes the instruction lines printed so far; the
// remaining lines still come at their places.
TEST_F(Simulator, RedrawingButtonsDuringTheInstructionsWipeThePrintedLines) {
    const std::pair<const char*, QPushButton* RiloForm::*> buttons[] = {
        {"humidity up", &RiloForm::TSitudoUpCmd}, {"humidity down", &RiloForm::TSitudoDnCmd},
        {"altitude up", &RiloForm::TTakasaUpCmd}, {"spring", &RiloForm::THaruCmd},
        {"rainy season", &RiloForm::TTuyuCmd},    {"summer", &RiloForm::TNatuCmd},
        {"autumn", &RiloForm::TAkiCmd},           {"winter", &RiloForm::THuyuCmd},
    };
    for (const auto& [name, button] : buttons) {
        SCOPED_TRACE(name);
        h.form->TModoru->click();
        h.runUntilStopped();
        open();
        runToStep(3);
        ASSERT_FALSE(overlayEmptyIn(h, instructionLine(3)));
        press((*h.form).*button);
        for (int line = 1; line <= 3; ++line) EXPECT_TRUE(overlayEmptyIn(h, instructionLine(line))) << line;
        runToStep(4);
        EXPECT_FALSE(overlayEmptyIn(h, instructionLine(4)));
        for (int line = 1; line <= 3; ++line) EXPECT_TRUE(overlayEmptyIn(h, instructionLine(line))) << line;
    }
}

TEST_F(Simulator, TemperatureArrowsAndAltitudeDownAtTheFootDrawNothing) {
    runToStep(3);
    const QImage before = h.screen();
    press(h.form->TKionUpCmd, 3);
    EXPECT_EQ(kion(), QString::fromUtf8("気温 21℃"));
    press(h.form->TKionDnCmd);
    EXPECT_EQ(kion(), QString::fromUtf8("気温 19℃"));
    press(h.form->TTakasaDnCmd);  // already at 0 m
    EXPECT_EQ(h.screen(), before);
    EXPECT_EQ(situdo(), QString::fromUtf8("湿度 60％"));
    EXPECT_EQ(takasa(), QString::fromUtf8("高度 0ｍ"));
    EXPECT_EQ(h.state().Situdo, 60);
}

TEST_F(Simulator, BackDuringTheInstructionsStopsThemAndRunsTheTitleFast) {
    runToStep(2);
    h.form->TModoru->click();
    const double backAt = h.clock->nowMs();
    EXPECT_FALSE(h.form->TFrame->isVisible());
    EXPECT_EQ(h.persistent(), townScene());
    EXPECT_EQ(h.state().SceneMode, kSceneTitle);
    EXPECT_EQ(h.state().StepCount, 0);
    EXPECT_EQ(h.form->Timer1().interval(), 100);
    for (int step = 1; h.form->Timer1().isEnabled(); ++step) {
        ASSERT_TRUE(h.clock->fireNext());
        EXPECT_EQ(h.state().SceneMode, kSceneTitle);
        EXPECT_EQ(h.state().StepCount, step);
        EXPECT_NEAR(h.clock->nowMs() - backAt, 100.0 * step, 0.5);
    }
    EXPECT_EQ(h.state().StepCount, 11);
    EXPECT_TRUE(h.menuVisible());
    EXPECT_FALSE(h.clock->fireNext());  // no instruction step is left to come
}

TEST_F(Simulator, CanvasClicksDoNothingWhileTheSimulatorIsOpen) {
    runToStep(2);
    for (int round = 0; round < 2; ++round) {
        const QImage before = h.screen();
        const Module1 state = h.state();
        h.form->Picture1_Click();
        EXPECT_EQ(h.screen(), before);
        EXPECT_EQ(h.state().SceneMode, state.SceneMode);
        EXPECT_EQ(h.state().StepCount, state.StepCount);
        EXPECT_EQ(h.state().WaitClick, 0);
        EXPECT_TRUE(h.form->TFrame->isVisible());
        runToStep(7);  // and once more after the instructions
    }
}

TEST_F(Simulator, ReopeningStartsAgainFrom15Degrees60PercentAtTheFoot) {
    runToStep(7);
    press(h.form->THuyuCmd);
    press(h.form->TTakasaUpCmd, 12);
    h.form->TModoru->click();
    h.runUntilStopped();
    ASSERT_TRUE(h.menuVisible());
    open();
    EXPECT_EQ(h.state().Kion, 15);
    EXPECT_EQ(h.state().Situdo, 60);
    EXPECT_EQ(h.state().Takasa, 0);
    EXPECT_EQ(kion(), QString::fromUtf8("気温 15℃"));
    EXPECT_EQ(situdo(), QString::fromUtf8("湿度 60％"));
    EXPECT_EQ(takasa(), QString::fromUtf8("高度 0ｍ"));
    EXPECT_EQ(h.persistent(), mountainScene());
    expectOnlyOutline(h, 0);
}

// A cloud made during the instructions is still a cloud after they end, at its altitude.
TEST_F(Simulator, Step7DrawsTheParcelAsTheValuesSay) {
    runToStep(2);
    press(h.form->TTakasaUpCmd, 2);
    press(h.form->TSitudoUpCmd, 20);
    ASSERT_EQ(h.state().Situdo, 100);
    runToStep(7);
    expectOnlyCloud(h, 200);
    EXPECT_EQ(situdo(), QString::fromUtf8("湿度 100％"));
    press(h.form->TSitudoDnCmd);
    expectOnlyOutline(h, 200);
}

TEST_F(Simulator, Step7RedrawsAnUnsaturatedParcelAsAnOutlineWhereItIs) {
    runToStep(5);
    press(h.form->TTakasaUpCmd, 3);
    runToStep(7);
    expectOnlyOutline(h, 300);
}

TEST_F(Simulator, AscentToTheTopAndBackThroughTheButtons) {
    runToStep(7);
    struct Expected {
        int presses;
        const char *kion, *situdo, *takasa;
        bool cloud;
    };
    const Expected path[] = {
        {1, "気温 14℃", "湿度 64％", "高度 100ｍ", false},  {7, "気温 7℃", "湿度 99％", "高度 800ｍ", false},
        {1, "気温 6℃", "湿度 100％", "高度 900ｍ", true},   {1, "気温 5.4℃", "湿度 100％", "高度 1000ｍ", true},
        {9, "気温 0℃", "湿度 100％", "高度 1900ｍ", true},  {1, "気温-.6℃", "湿度 100％", "高度 2000ｍ", true},
    };
    for (const Expected& step : path) {
        press(h.form->TTakasaUpCmd, step.presses);
        SCOPED_TRACE(step.takasa);
        EXPECT_EQ(kion(), QString::fromUtf8(step.kion));
        EXPECT_EQ(situdo(), QString::fromUtf8(step.situdo));
        EXPECT_EQ(takasa(), QString::fromUtf8(step.takasa));
        if (step.cloud)
            expectOnlyCloud(h, h.state().Takasa);
        else
            expectOnlyOutline(h, h.state().Takasa);
    }
    const QImage atTop = h.screen();
    press(h.form->TTakasaUpCmd, 2);
    EXPECT_EQ(h.screen(), atTop);
    EXPECT_EQ(takasa(), QString::fromUtf8("高度 2000ｍ"));

    press(h.form->TTakasaDnCmd);
    EXPECT_EQ(situdo(), QString::fromUtf8("湿度 94％"));  // 93.75
    expectOnlyOutline(h, 1900);
    press(h.form->TTakasaDnCmd, 19);
    EXPECT_EQ(kion(), QString::fromUtf8("気温 19℃"));
    EXPECT_EQ(situdo(), QString::fromUtf8("湿度 28％"));
    EXPECT_EQ(takasa(), QString::fromUtf8("高度 0ｍ"));
    expectOnlyOutline(h, 0);
}

TEST_F(Simulator, HumidityUpToHundredMakesACloudAtTheRaisedParcel) {
    runToStep(7);
    press(h.form->TTakasaUpCmd, 12);
    press(h.form->TSitudoUpCmd, 30);
    EXPECT_EQ(h.state().Situdo, 100);
    EXPECT_EQ(situdo(), QString::fromUtf8("湿度 100％"));
    expectOnlyCloud(h, 1200);
}

TEST_F(Simulator, APresetPutsTheParcelBackAtTheFootWithItsSentence) {
    runToStep(7);
    press(h.form->TTakasaUpCmd, 12);  // a cloud high up
    press(h.form->TTuyuCmd);
    EXPECT_EQ(h.state().Takasa, 0);
    EXPECT_EQ(kion(), QString::fromUtf8("気温 25℃"));
    EXPECT_EQ(situdo(), QString::fromUtf8("湿度 90％"));
    EXPECT_EQ(takasa(), QString::fromUtf8("高度 0ｍ"));
    // The sentence's white box from (78, 358), 13 characters at 24 points wide, to the bottom edge.
    const QRect box(78, 358, int(1.3 * 13 * 24) + 4, 40);
    EXPECT_EQ(h.screen().pixel(79, 359), kWhite);
    EXPECT_EQ(h.screen().pixel(box.right() - 1, 359), kWhite);
    EXPECT_FALSE(overlayEmptyIn(h, box));
    EXPECT_TRUE(overlayEmptyIn(h, QRect(0, 0, 640, 300)));  // the old cloud is gone

    press(h.form->TKionUpCmd);  // leaves the sentence
    EXPECT_FALSE(overlayEmptyIn(h, box));
    EXPECT_EQ(h.screen().pixel(box.right() - 1, 359), kWhite);
    press(h.form->TSitudoDnCmd);  // wipes it
    expectOnlyOutline(h, 0);
}

}  // namespace
