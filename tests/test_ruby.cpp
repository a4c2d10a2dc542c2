// ふりがな: the readings table against every text the program shows, the kanji grades, which kanji get
// ruby in each mode, and the layout of ruby and captions over every step of every activity.

#include <gtest/gtest.h>

#include <QAction>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QSet>

#include "harness.h"

#include "app/rubycontrols.h"
#include "app/rubywidgets.h"
#include "app/viewcontrols.h"
#include "draw/fonts.h"
#include "draw/readings.h"
#include "draw/ruby.h"
#include "simulator/chart.h"
#include "simulator/readout.h"

namespace {

QString kanjiUnder(const QString& text, const std::vector<RubyRun>& runs) {
    QString under;
    for (const RubyRun& r : runs) under += text.mid(r.start, r.length);
    return under;
}

constexpr RubyChoice kGrade4{RubyMode::ByGrade, 4};
constexpr RubyChoice kAll{RubyMode::All, 4};

// Plays an activity tick by tick, handing the program to `check` after each.
void everyTick(Harness& h, QPushButton* RiloForm::*start, const std::function<void()>& check) {
    (h.form.get()->*start)->click();
    check();
    while (h.form->Timer1().isEnabled() && h.clock->fireNext()) check();
}

QPushButton* RiloForm::* const kActivities[] = {&RiloForm::DekikataCmd, &RiloForm::YamaCmd, &RiloForm::ZensenCmd,
                                                &RiloForm::TukuruCmd};
QPushButton* RiloForm::* const kSeasons[] = {&RiloForm::THaruCmd, &RiloForm::TTuyuCmd, &RiloForm::TNatuCmd,
                                             &RiloForm::TAkiCmd, &RiloForm::THuyuCmd};

// Every lesson and the simulator's instructions tick by tick, then each season, from the menu.
void playEverything(Harness& h, const std::function<void()>& check) {
    for (auto start : kActivities) {
        everyTick(h, start, check);
        if (h.state().WaitClick == kWaiting) h.form->Picture1_Click();
        h.runUntilStopped();
    }
    h.form->TukuruCmd->click();
    h.runUntilStopped();
    for (auto season : kSeasons) {
        (h.form.get()->*season)->click();
        check();
    }
}

}  // namespace

TEST(ReadingsTable, EveryEntryRubiesEachKanjiInHiraganaOnce) {
    QSet<QString> bases;
    for (const auto& [annotated, spoken] : ReadingEntries()) {
        const AnnotatedText entry = ParseAnnotated(annotated);
        const QString where = QString::fromUtf8(annotated.data(), qsizetype(annotated.size()));
        EXPECT_FALSE(bases.contains(entry.base)) << where.toStdString() << ": twice";
        bases.insert(entry.base);
        EXPECT_FALSE(entry.base.contains(QLatin1Char('{')) || entry.base.contains(QLatin1Char('|'))) << where.toStdString();
        for (qsizetype i = 0; i < entry.base.size(); ++i) {
            const bool covered = std::any_of(entry.runs.begin(), entry.runs.end(),
                                             [i](const RubyRun& r) { return i >= r.start && i < r.start + r.length; });
            EXPECT_EQ(covered, IsKanji(entry.base[i].unicode())) << where.toStdString() << " at " << i;
        }
        for (const RubyRun& r : entry.runs)
            for (QChar c : r.reading) EXPECT_TRUE(c >= QChar(0x3041) && c <= QChar(0x3096)) << where.toStdString();
    }
}

// Every word a pupil can see: the canvas through every activity, each season, read-outs at their
// limits, the chart's words, every control, every menu entry and the quit question.
TEST(ReadingsTable, HoldsEveryTextTheProgramShows) {
    Harness h;
    QSet<QString> shown;
    const auto collect = [&] {
        for (const QString& t : h.form->canvas.visibleTexts()) shown.insert(t);
    };
    h.form->Form_Load();
    while (h.state().SceneMode == kSceneTitle && h.clock->nowMs() < 5500 && h.clock->fireNext()) collect();
    playEverything(h, collect);
    for (double v : {-10.5, 36.0}) shown.insert(KionCaption(v));
    for (double v : {0.0, 100.0}) shown.insert(SitudoCaption(v));
    for (double v : {0.0, 2000.0}) shown.insert(TakasaCaption(v));
    shown += {DewPointLabel({-10, 2.1}), DewPointLabel({6.5f, 7.8}), CloudCaption({36, 100, 0}), CloudCaption({20, 0, 0})};
    shown += {QStringLiteral("気温（℃）"), QStringLiteral("水蒸気量（g/m³）")};
    for (QPushButton* b : h.form->findChildren<QPushButton*>()) shown.insert(b->text());
    for (QLabel* l : h.form->findChildren<QLabel*>()) shown.insert(l->text());
    for (QGroupBox* g : h.form->findChildren<QGroupBox*>()) shown.insert(g->title());
    for (QAction* a : h.form->findChildren<QAction*>()) shown += {a->text(), a->toolTip()};
    for (QAction* a : h.form->ruby().menu->actions()) shown.insert(a->text());
    const auto question = MakeQuitQuestion(h.form.get());
    shown.insert(question->text());
    for (QAbstractButton* b : question->buttons()) shown.insert(b->text());

    shown.remove(QString());
    EXPECT_GT(shown.size(), 100);
    for (const QString& text : shown) EXPECT_TRUE(ReadingsOf(text)) << "no reading for \"" << text.toStdString() << '"';
}

TEST(KanjiGrades, TheListOf2020ByGrade) {
    const int expected[] = {80, 160, 200, 202, 193, 191};
    for (int grade = 1; grade <= 6; ++grade) EXPECT_EQ(KanjiCountOfGrade(grade), expected[grade - 1]) << grade;
    EXPECT_EQ(KanjiGrade(U'気'), 1);
    EXPECT_EQ(KanjiGrade(U'湿'), 0) << "taught after primary school";
}

TEST(RubyShown, EachModeRubiesTheKanjiNotYetLearned) {
    struct Case {
        const char* text;
        RubyChoice choice;
        const char* under;  // the kanji that carry ruby, in order
    };
    const Case cases[] = {
        {"あたたかい空気は膨張し", kGrade4, "膨張"},
        {"露点になると水滴ができ", kGrade4, "露滴"},
        {"とっても良い天気", kGrade4, ""},
        {"とっても良い天気", kAll, "良天気"},
        {"湿度 64％", kGrade4, "湿"},
        {"湿度 64％", kAll, "湿度"},
        {"気温-3.5℃", kAll, "気温"},
        {"露点 約7℃", kAll, "露点約"},
        {"どうして空には雲があるのか。今日は、ペルモラ", kAll, "空雲今日"},
        {"本当に終了してよいですか？", kGrade4, "了"},
        {"暖気", {RubyMode::ByGrade, 5}, "暖"},
        {"暖気", {RubyMode::ByGrade, 6}, ""},
        {"一度も書かれない文", kAll, ""},
    };
    for (const Case& c : cases) {
        const QString text = QString::fromUtf8(c.text);
        EXPECT_EQ(kanjiUnder(text, RubyShown(text, c.choice)), QString::fromUtf8(c.under)) << c.text;
    }
    EXPECT_EQ(RubyShown(QStringLiteral("どうして空には雲があるのか。今日は、ペルモラ"), kAll)[2].reading,
              QStringLiteral("きょう"));
}

TEST(RubyLayout, ReadingsAreCentredNeverOverAKanjiBesideAndNeverOverlap) {
    const QFont font = japaneseGothic(24, false);
    for (const char* text : {"あたたかい空気は膨張し", "寒冷前線", "本当に終了してよいですか？", "水蒸気量（g/m³）"}) {
        const QString t = QString::fromUtf8(text);
        const std::vector<RubyRun> runs = RubyShown(t, kAll);
        const RubyLine line = LayOutRuby(t, runs, font, QPointF(10, 50));
        ASSERT_EQ(line.pieces.size(), runs.size());
        EXPECT_EQ(line.font.pixelSize(), 16);
        const QFontMetricsF m(font);
        for (size_t i = 0; i < runs.size(); ++i) {
            const double left = 10 + m.horizontalAdvance(t.left(runs[i].start));
            const double right = 10 + m.horizontalAdvance(t.left(runs[i].start + runs[i].length));
            const QRectF& r = line.pieces[i].rect;
            EXPECT_NEAR(r.center().x(), (left + right) / 2, 0.01) << text;
            EXPECT_DOUBLE_EQ(r.bottom(), 50) << "baseline on the line's top";
            const bool kanjiBefore = runs[i].start > 0 && IsKanji(t[runs[i].start - 1].unicode());
            if (kanjiBefore) {
                EXPECT_GE(r.left(), left - 0.01) << text << ": over the kanji before";
            }
            if (i > 0) {
                EXPECT_LE(line.pieces[i - 1].rect.right(), r.left() + 0.01) << text;
            }
        }
    }
    EXPECT_EQ(RubyFont(japaneseGothic(16, false)).pixelSize(), 12) << "never under 12 pixels";
    EXPECT_EQ(RubyFont(japaneseGothic(16, false), 2).pixelSize(), 24) << "12 pixels at 1x, zoomed";
}

TEST(RubyLayout, ACaptionMovesDownByTheLeastThatClearsTheOthersAndStaysOnTheCanvas) {
    const QRect canvas(0, 0, 640, 400);
    struct Case {
        const char* what;
        QRect extent;
        std::vector<QRect> others;
        int move;
    };
    const Case cases[] = {
        {"clear already", {100, 100, 200, 40}, {{100, 20, 200, 40}}, 0},
        {"just below the one above", {100, 50, 200, 40}, {{100, 20, 200, 40}}, 10},
        {"below both when the first move meets a second", {100, 50, 200, 40}, {{100, 20, 200, 40}, {250, 70, 50, 30}}, 50},
        {"above the top: back inside", {100, -14, 200, 40}, {}, 14},
        {"no room below: the least move up", {100, 340, 200, 40}, {{0, 330, 640, 50}}, -50},
        {"touching is clear", {100, 60, 200, 40}, {{100, 20, 200, 40}}, 0},
    };
    for (const Case& c : cases) EXPECT_EQ(ClearingMove(c.extent, c.others, canvas), c.move) << c.what;
}

// In both ruby modes, after every tick of every activity and every season: no caption's text, box or
// ruby overlaps another's, and none leaves the canvas; the screen reader's words are the plain texts.
TEST(RubyLayout, NoCaptionOverlapsAnotherOrLeavesTheCanvasAtAnyStep) {
    for (RubyChoice choice : {kGrade4, kAll}) {
        Harness h;
        h.form->ruby().setChoice(choice);
        h.startAndReachMenu();
        int checked = 0;
        const auto check = [&] {
            const std::vector<QRect> extents = h.form->canvas.visibleTextExtents();
            const QStringList texts = h.form->canvas.visibleTexts();
            for (size_t i = 0; i < extents.size(); ++i) {
                // A box may run on past the right edge, as the front lesson's prompt always has.
                const QRect e = extents[i];
                EXPECT_TRUE(e.left() >= 0 && e.top() >= 0 && e.bottom() < 400) << texts[qsizetype(i)].toStdString();
                for (size_t j = 0; j < i; ++j)
                    EXPECT_FALSE(extents[i].intersects(extents[j]))
                        << texts[qsizetype(i)].toStdString() << " over " << texts[qsizetype(j)].toStdString()
                        << " in scene " << h.state().SceneMode << " step " << h.state().StepCount;
            }
            ++checked;
        };
        playEverything(h, check);
        EXPECT_GT(checked, 150);
    }
}

TEST(RubyLayout, BackToNoneGivesTodaysFrameAndTheReaderHearsPlainText) {
    Harness plain, switched;
    for (Harness* h : {&plain, &switched}) {
        h->startAndReachMenu();
        h->form->DekikataCmd->click();
        while (h->state().StepCount < 22 && h->clock->fireNext()) {
        }
    }
    switched.form->ruby().setChoice(kAll);
    EXPECT_NE(switched.screen(), plain.screen());
    EXPECT_EQ(switched.form->canvas.visibleTexts(), plain.form->canvas.visibleTexts());
    switched.form->canvas.setScale(2);
    switched.form->ruby().cycle();
    EXPECT_EQ(switched.form->ruby().choice().mode, RubyMode::None);
    switched.form->canvas.setScale(1);
    EXPECT_EQ(switched.screen(), plain.screen());
    EXPECT_EQ(switched.persistent(), plain.persistent());
}

// With ruby on, every word of the window has its ruby line inside its control; in a frame, below
// its caption's band and clear of the controls beside it. Off again, the panel is as it was.
TEST(RubyPanel, NoWordOfTheWindowIsClipped) {
    Harness h;
    h.startAndReachMenu();
    h.form->TukuruCmd->click();
    h.form->ruby().setChoice(kAll);
    EXPECT_EQ(h.form->windowTitle(), QStringLiteral("ペルモラ（ふりがな）"));
    for (QWidget* w : h.form->findChildren<QWidget*>()) {
        const auto* button = qobject_cast<QPushButton*>(w);
        const auto* label = qobject_cast<QLabel*>(w);
        const QString text = button ? button->text() : label ? label->text() : QString();
        if (text.isEmpty() || text == QStringLiteral("↑") || text == QStringLiteral("↓")) continue;
        const int bevel = button ? kButtonBevel : 0;
        const QRect room = w->rect().adjusted(bevel, bevel, -bevel, -bevel);
        const QSizeF block = LayOutRubyBlock(text, w->font(), RubyShown(text, kAll), room, Qt::AlignCenter, 1).size;
        EXPECT_TRUE(block.height() <= room.height() && block.width() <= room.width()) << text.toStdString();
        auto* frame = qobject_cast<QGroupBox*>(w->parentWidget());
        if (!frame) continue;
        const double band = QFontMetricsF(RubyFont(frame->font())).ascent() + QFontMetricsF(frame->font()).height();
        EXPECT_TRUE(frame->rect().contains(w->geometry()) && w->y() >= band - 1) << text.toStdString();
        for (QWidget* beside : frame->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
            EXPECT_TRUE(beside == w || !beside->geometry().intersects(w->geometry())) << text.toStdString();
    }
    EXPECT_TRUE(h.form->rect().contains(h.form->TFrame->geometry()));
    h.form->ruby().setChoice({});
    for (const RubyControls::Placement& p : h.form->ruby().panelPlacements()) EXPECT_EQ(p.control->geometry(), p.plain);
}

TEST(RubyControls, FGoesRoundTheModesAndTheMenuChoosesTheGrade) {
    Harness h;
    RubyControls& ruby = h.form->ruby();
    const RubyMode expected[] = {RubyMode::ByGrade, RubyMode::All, RubyMode::None};
    for (RubyMode mode : expected) {
        ruby.rubyAction->trigger();
        EXPECT_EQ(ruby.choice().mode, mode);
        EXPECT_EQ(ruby.rubyAction->isChecked(), mode != RubyMode::None);
        EXPECT_EQ(h.form->canvas.ruby(), ruby.choice());
    }
    EXPECT_EQ(h.form->windowTitle(), QStringLiteral("ペルモラ"));
    for (QAction* a : ruby.menu->actions())
        if (a->text() == QStringLiteral("2年生")) a->trigger();
    EXPECT_EQ(ruby.choice(), (RubyChoice{RubyMode::ByGrade, 2}));
}
