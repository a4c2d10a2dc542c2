// The saturated-vapour chart: its geometry against the table's rows, its colours, its words, where
// its window goes, and the グラフ command in the whole program on the virtual clock.

#include <gtest/gtest.h>

#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QMenu>
#include <set>

#include "app/canvaswidget.h"
#include "app/chartwindow.h"
#include "app/viewcontrols.h"
#include "app/zoom.h"
#include "draw/palette.h"
#include "harness.h"
#include "input.h"
#include "simulator/tukuru.h"
#include "tests/input.h"

namespace {

using chart::kPlot;

// A column covers (left edge, right edge] as a row does: a temperature a hair above a row's bound
// (1900 m: 6 - 0.6 x 10) is already in the next one; colder than -10 is drawn at the edge.
TEST(ChartGeometry, ColumnsCoverTheTemperaturesAsTheRowsDo) {
    EXPECT_EQ(chart::X(-10), kPlot.left() - 1);  // the axis itself
    EXPECT_EQ(chart::X(36), kPlot.right());
    EXPECT_EQ(chart::X(1e-30), chart::X(0) + 1);
    EXPECT_EQ(chart::At(-10.5, 2.4), QPoint(kPlot.left(), chart::Y(2.4)));
    EXPECT_EQ(chart::Y(0), kPlot.bottom());
    EXPECT_EQ(chart::Y(40), kPlot.top());
}

// Every row of the table appears at its own height over all four of its columns.
TEST(ChartImage, TheCurveIsTheTableRowByRowInTheProgramsColours) {
    const QImage image = DrawVapourChart({15, 0, 0}, {});
    ASSERT_EQ(image.size(), chart::kSize);
    ASSERT_EQ(image.format(), QImage::Format_RGB32);
    for (float upper = -9.5f; upper <= 36; upper += 0.5f)
        for (int column = chart::X(upper) - 3; column <= chart::X(upper); ++column)
            EXPECT_EQ(image.pixel(column, chart::Y(SaturatedVapour(upper))), QBColor(9)) << upper;
    const std::set<QRgb> palette(kQBColor.begin(), kQBColor.end());
    for (const Parcel& parcel : {kOpeningParcel, Parcel{6, 100, 900}}) {
        const QImage withText = DrawVapourChart(parcel, {&parcel, 1});
        for (int y = 0; y < withText.height(); ++y)
            for (int x = 0; x < withText.width(); ++x)
                ASSERT_TRUE(palette.count(withText.pixel(x, y))) << x << "," << y;
    }
}

TEST(ChartWords, TheDescriptionSaysWhatTheChartShows) {
    const std::pair<Parcel, const char*> cases[] = {
        {kOpeningParcel, "高度 0ｍ、気温 15℃、水蒸気量 7.47g/m³、露点 約7℃、雲ができていません"},
        {{6, 100, 900}, "高度 900ｍ、気温 6℃、水蒸気量 7.05g/m³、露点 約6℃、露点に達して雲ができました"},
        {{0, 50, 0}, "高度 0ｍ、気温 0℃、水蒸気量 2.33g/m³、露点 約-9.5℃、雲ができていません"},
        {{-0.04, 100, 2000}, "高度 2000ｍ、気温 0℃、水蒸気量 4.65g/m³、露点 約0℃、露点に達して雲ができました"},
        {{15, 0, 0}, "高度 0ｍ、気温 15℃、水蒸気量 0g/m³、雲ができていません"},
    };
    for (const auto& [parcel, words] : cases) EXPECT_EQ(DescribeVapourChart(parcel), QString::fromUtf8(words));
}

// A 30-pixel title bar on both windows; the panel where the main window shows it at that zoom.
TEST(ChartPlacement, ClearOfTheMainWindowOnTheRoomiestSideElseOverTheCanvasNeverThePanel) {
    const QSize bar(0, 30);
    const auto at = [&](int x, int y, int k) { return QRect(QPoint(x, y), zoom::Scaled(zoom::kClientArea, k) + bar); };
    const struct {
        QRect screen, main;
        int zoom;
        QPoint client;  // the main window's client area
        ChartPlace place;
    } cases[] = {
        {{0, 0, 1024, 768}, at(0, 0, 1), 1, {0, 30}, {1, {0, 434}}},              // XGA: 381 right, 334 below
        {{0, 0, 1280, 800}, at(0, 0, 1), 1, {0, 30}, {1, {643, 0}}},              // WXGA: right
        {{0, 0, 1280, 800}, at(637, 100, 1), 1, {637, 130}, {1, {237, 100}}},     // at the right edge: left
        {{0, 0, 1920, 1080}, at(0, 0, 2), 2, {0, 30}, {1, {1286, 0}}},            // 2x: clear only at 1x
        {{0, 0, 1920, 1080}, {0, 0, 1920, 1080}, 2, {317, 136}, {2, {0, 0}}},    // full screen: over the canvas
        {{0, 0, 700, 500}, at(20, 10, 1), 1, {20, 40}, {1, {0, 10}}},             // hardly bigger than the window
    };
    for (const auto& c : cases) {
        const QRect panel = zoom::Scaled(QRect(440, 40, 193, 321), c.zoom).translated(c.client);
        const ChartPlace placed = PlaceChart(c.zoom, c.main, panel, bar, c.screen);
        EXPECT_EQ(placed, c.place) << placed.zoom << " at " << placed.topLeft.x() << "," << placed.topLeft.y();
        EXPECT_FALSE(QRect(placed.topLeft, zoom::Scaled(chart::kSize, placed.zoom) + bar).intersects(panel));
    }
}

struct ChartCommand : ::testing::Test {
    ChartCommand() {
        h.form->view().roomForClientArea = [] { return QSize(3000, 2000); };
        h.form->chart().availableArea = [] { return QRect(0, 0, 3000, 2000); };
        h.startAndReachMenu();
        input::activate(h.form.get());  // shortcuts go to the active window
    }
    QAction* action() { return h.form->findChild<QAction*>(QStringLiteral("chart")); }
    ChartWindow* window() { return h.form->chart().window(); }
    Harness h;
};

TEST_F(ChartCommand, EnabledWhileTheSimulatorIsOpenAndCheckedWhileTheChartIsShown) {
    const auto expectShown = [this](bool on) {
        EXPECT_EQ(window() && window()->isVisible(), on);
        EXPECT_EQ(action()->isChecked(), on);
    };
    ASSERT_TRUE(action());
    input::keyClick(h.form.get(), Qt::Key_G);
    EXPECT_FALSE(action()->isEnabled());
    expectShown(false);
    h.form->TukuruCmd->click();
    EXPECT_TRUE(action()->isEnabled());
    input::keyClick(h.form.get(), Qt::Key_G);  // during the instructions too
    expectShown(true);
    input::keyClick(window(), Qt::Key_Escape);
    expectShown(false);
    action()->trigger();
    window()->close();  // its close button
    expectShown(false);
    action()->trigger();
    h.form->Picture1->customContextMenuRequested(QPoint(10, 10));
    EXPECT_EQ(h.form->view().contextMenu->actions().back(), action());
    h.form->view().contextMenu->hide();
    h.form->TModoru->click();
    expectShown(false);
    EXPECT_FALSE(action()->isEnabled());
    EXPECT_FALSE(h.form->view().contextMenu->actions().contains(action())) << "offered in the simulator only";
}

// Every button redraws the chart in its own click; the path starts again where the parcel is set.
TEST_F(ChartCommand, LiveThroughEveryButtonWithThePathSinceTheParcelWasLastSet) {
    h.form->TukuruCmd->click();
    action()->trigger();
    const auto expectShowing = [this](size_t pathPoints) {
        const Parcel now = ParcelOf(h.state());
        EXPECT_EQ(window()->chart(), DrawVapourChart(now, h.form->chart().path().points()));
        EXPECT_EQ(QAccessible::queryAccessibleInterface(window())->text(QAccessible::Description),
                  DescribeVapourChart(now));
        EXPECT_EQ(h.form->chart().path().points().size(), pathPoints);
    };
    expectShowing(1);
    for (int i = 0; i < 9; ++i) h.form->TTakasaUpCmd->click();
    expectShowing(10);
    for (QPushButton* button : {h.form->TSitudoDnCmd, h.form->TKionUpCmd, h.form->THuyuCmd}) {
        h.form->TTakasaUpCmd->click();
        button->click();
        expectShowing(1);
    }
}

TEST_F(ChartCommand, FollowsTheZoom) {
    h.form->TukuruCmd->click();
    action()->trigger();
    ASSERT_TRUE(h.form->view().zoomIn());
    EXPECT_EQ(window()->size(), QSize(800, 600));
}

// A window below 1x (a phone's page) still has its chart at 1x, clear of it.
TEST_F(ChartCommand, AtOneTimesBesideAWindowBelowOneTimes) {
    h.form->view().leastZoom = [] { return 0.5; };
    h.form->view().roomForClientArea = [] { return QSize(400, 300); };
    ASSERT_TRUE(h.form->view().fitToScreen());
    h.form->move(0, 0);
    h.form->TukuruCmd->click();
    action()->trigger();
    EXPECT_EQ(window()->zoom(), 1);
    EXPECT_FALSE(window()->frameGeometry().intersects(h.form->frameGeometry()));
}

// On an XGA screen the chart goes under the window, beside it once the window is dragged where
// there is room.
TEST_F(ChartCommand, KeepsClearOfTheMainWindowWhereverItMoves) {
    h.form->chart().availableArea = [] { return QRect(0, 0, 1024, 768); };
    h.form->move(0, 0);
    h.form->TukuruCmd->click();
    action()->trigger();
    const auto chartFrame = [this] { return window()->frameGeometry(); };
    EXPECT_EQ(chartFrame().topLeft(), h.form->frameGeometry().bottomLeft() + QPoint(0, 1));
    h.form->move(420, 100);
    EXPECT_FALSE(chartFrame().intersects(h.form->frameGeometry()));
    EXPECT_EQ(chartFrame().topRight(), h.form->frameGeometry().topLeft() - QPoint(1, 0));
}

}  // namespace
