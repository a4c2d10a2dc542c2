// 読み上げ through a fake voice: what is said and when, the hold at each caption, pause, scene jumps,
// read-aloud off mid-sentence and the deadline; and the speech strings themselves.

#include <gtest/gtest.h>

#include <QAction>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryFile>

#include "harness.h"

#include "app/canvaswidget.h"
#include "app/accessibility.h"
#include "app/readaloud.h"
#include "app/scenecontrols.h"
#include "app/viewcontrols.h"
#include "draw/readings.h"

namespace {

struct FakeVoice : SpeechEngine {
    struct Said {
        QString kana;
        double atMs;
    };
    QString unavailable() const override { return {}; }
    void say(const QString& kana) override { said.push_back({kana, clock->nowMs()}); }
    void stop() override { ++stops; }
    void pause() override { paused = true; }
    void resume() override { paused = false; }
    void end() { finished(); }

    VirtualTimer* clock = nullptr;
    std::vector<Said> said;
    int stops = 0;
    bool paused = false;
};

struct ReadAloudHarness : Harness {
    ReadAloudHarness() {
        auto fake = std::make_unique<FakeVoice>();
        voice = fake.get();
        voice->clock = clock;
        form->readAloud().startDeadline = [this](int ms) { deadlineMs = ms; };
        form->readAloud().stopDeadline = [this] { deadlineMs = 0; };
        form->readAloud().setEngine(std::move(fake));
    }
    // Read-aloud turned on at the menu, then the cloud lesson.
    void startDekikata() {
        startAndReachMenu();
        form->readAloud().readAloudAction->trigger();
        form->DekikataCmd->click();
    }
    // Runs the clock until the voice is asked to say something new, at most `boundMs`.
    bool untilSaid(double boundMs = 10000) {
        const size_t before = voice->said.size();
        const double end = clock->nowMs() + boundMs;
        while (voice->said.size() == before && clock->nowMs() < end && clock->fireNext()) {
        }
        return voice->said.size() > before;
    }
    FakeVoice* voice = nullptr;
    int deadlineMs = 0;
};

QString lastSaid(const FakeVoice& v) { return v.said.empty() ? QString() : v.said.back().kana; }

}  // namespace

TEST(ReadAloud, OffByDefaultAndGreyedWithItsReasonWithoutAVoice) {
    ReadAloudHarness h;
    h.startAndReachMenu();
    h.form->DekikataCmd->click();
    h.runUntilStopped();
    EXPECT_TRUE(h.voice->said.empty());
    Harness voiceless;
    QAction* entry = voiceless.form->readAloud().readAloudAction;
    EXPECT_FALSE(entry->isEnabled());
    EXPECT_EQ(entry->toolTip(), QStringLiteral("日本語の音声が見つかりません"));
    entry->trigger();
    EXPECT_FALSE(voiceless.form->readAloud().isOn());
}

// Each caption is said when it appears, in kana; the next step waits for its end, however long
// past its due time, and then comes at once.
TEST(ReadAloud, EachCaptionHoldsItsStepUntilItHasBeenSaid) {
    ReadAloudHarness h;
    h.startDekikata();
    EXPECT_EQ(h.form->windowTitle(), QStringLiteral("ペルモラ（読み上げ）"));
    ASSERT_TRUE(h.untilSaid());
    EXPECT_EQ(lastSaid(*h.voice), QStringLiteral("おひさま、ぽかぽか"));
    const double firstAt = h.voice->said.back().atMs;
    const int step = h.state().StepCount;
    EXPECT_TRUE(h.form->Picture1->speakingMark().has_value()) << "the caption said is outlined";
    h.clock->advance(5000);
    EXPECT_EQ(h.state().StepCount, step) << "held past the next step's time";
    h.voice->end();
    EXPECT_EQ(h.state().StepCount, step + 1) << "the held step comes at once";
    EXPECT_EQ(lastSaid(*h.voice), QStringLiteral("とっても よい てんき"));
    EXPECT_DOUBLE_EQ(h.voice->said.back().atMs, firstAt + 5000);
}

// A voice that never ends: the deadline from the text's length lets the lesson go on.
TEST(ReadAloud, TheDeadlineLetsTheLessonGoOnWithoutTheVoice) {
    ReadAloudHarness h;
    h.startDekikata();
    ASSERT_TRUE(h.untilSaid());
    EXPECT_EQ(h.deadlineMs, ReadAloud::DeadlineMs(h.voice->said.back().kana));
    const int step = h.state().StepCount, stops = h.voice->stops;
    h.clock->advance(3000);
    h.form->readAloud().deadlinePassed();
    EXPECT_EQ(h.state().StepCount, step + 1);
    EXPECT_EQ(h.voice->stops, stops + 1);
}

TEST(ReadAloud, PauseHoldsTheVoiceToo) {
    ReadAloudHarness h;
    h.startDekikata();
    ASSERT_TRUE(h.untilSaid());
    h.form->view().togglePause();
    EXPECT_TRUE(h.voice->paused);
    EXPECT_EQ(h.deadlineMs, 0) << "no deadline runs in a pause";
    const int step = h.state().StepCount;
    h.clock->advance(5000);
    h.form->view().togglePause();
    EXPECT_FALSE(h.voice->paused);
    EXPECT_EQ(h.deadlineMs, ReadAloud::DeadlineMs(h.voice->said.back().kana)) << "the deadline anew";
    h.clock->advance(5000);
    EXPECT_EQ(h.state().StepCount, step) << "still being said";
    h.voice->end();
    EXPECT_EQ(h.state().StepCount, step + 1);
}

TEST(ReadAloud, AJumpStopsTheVoiceAndSaysTheNewScene) {
    ReadAloudHarness h;
    h.startDekikata();
    ASSERT_TRUE(h.untilSaid());
    const int stops = h.voice->stops;
    const size_t before = h.voice->said.size();
    h.form->scenes().nextScene();
    EXPECT_EQ(h.voice->stops, stops + 1);
    EXPECT_EQ(h.voice->said.size(), before) << "the scene's first step draws pictures, no caption";
    EXPECT_FALSE(h.form->Timer1().isHeld());
    ASSERT_TRUE(h.untilSaid());
    EXPECT_EQ(lastSaid(*h.voice), QStringLiteral("あかるい ひざしが"));
}

// Off mid-sentence: silent at once, the held step comes, and every later step keeps its own time.
TEST(ReadAloud, OffMidSentenceStopsAndGivesBackTheTiming) {
    ReadAloudHarness h;
    Harness plain;
    h.startDekikata();
    plain.startAndReachMenu();
    plain.form->DekikataCmd->click();
    ASSERT_TRUE(h.untilSaid());
    h.clock->advance(3000);
    h.form->readAloud().readAloudAction->trigger();
    EXPECT_GT(h.voice->stops, 0);
    EXPECT_FALSE(h.form->Picture1->speakingMark().has_value());
    const double offAt = h.clock->nowMs();
    const int from = h.state().StepCount;
    std::vector<double> afterOff, today;
    while (h.state().StepCount < from + 10 && h.clock->fireNext()) afterOff.push_back(h.clock->nowMs() - offAt);
    while (plain.state().StepCount < from) plain.clock->fireNext();
    const double then = plain.clock->nowMs();
    while (plain.state().StepCount < from + 10 && plain.clock->fireNext()) today.push_back(plain.clock->nowMs() - then);
    ASSERT_EQ(afterOff.size(), today.size());
    for (size_t i = 0; i < today.size(); ++i) EXPECT_DOUBLE_EQ(afterOff[i], today[i]) << i;
}

TEST(ReadAloud, TheSimulatorSaysItsInstructionsAndWhatAButtonChanged) {
    ReadAloudHarness h;
    h.startAndReachMenu();
    h.form->readAloud().setOn(true);
    h.form->TukuruCmd->click();
    ASSERT_TRUE(h.untilSaid());
    EXPECT_EQ(lastSaid(*h.voice), SpokenOf(QStringLiteral("　気温、湿度の「↑、↓」を")));
    while (h.form->Timer1().isEnabled()) {
        h.voice->end();
        h.clock->fireNext();
    }
    h.form->TKionUpCmd->click();
    ASSERT_EQ(h.form->TKionLbl->text(), QStringLiteral("気温 17℃"));
    EXPECT_EQ(lastSaid(*h.voice), QStringLiteral("きおん じゅうななど"));
    h.voice->end();
    for (int i = 0; i < 20 && h.form->narration().parcelNews().isEmpty(); ++i) h.form->TTakasaUpCmd->click();
    EXPECT_TRUE(lastSaid(*h.voice).endsWith(QStringLiteral("くもが できました")));
}

TEST(SpeechStrings, EveryTextHasOneInKanaAndNumbersAreSaidInWords) {
    for (const auto& [annotated, spoken] : ReadingEntries()) {
        const QString kana = QString::fromUtf8(spoken.data(), qsizetype(spoken.size()));
        EXPECT_FALSE(kana.trimmed().isEmpty()) << annotated;
        for (char32_t c : kana.toUcs4()) EXPECT_FALSE(IsKanji(c) || (c >= 'A' && c <= 'z')) << annotated;
    }
    const std::pair<const char*, const char*> numbers[] = {
        {" 16", "じゅうろく"}, {"-3.5", "まいなす さんてんご"}, {" 0", "ぜろ"}, {"0.5", "れいてんご"},
        {"100", "ひゃく"}, {"300", "さんびゃく"}, {"600", "ろっぴゃく"}, {"800", "はっぴゃく"},
        {"1000", "せん"}, {"2000", "にせん"}, {"1900", "せんきゅうひゃく"}, {"-10.5", "まいなす じゅうてんご"},
    };
    for (const auto& [number, words] : numbers) EXPECT_EQ(NumberInKana(QString::fromUtf8(number)), QString::fromUtf8(words)) << number;
    EXPECT_EQ(SpokenOf(QStringLiteral("湿度 64％")), QStringLiteral("しつど ろくじゅうよんぱあせんと"));
    EXPECT_EQ(SpokenOf(QStringLiteral("高度 800ｍ")), QStringLiteral("こうど はっぴゃくめえとる"));
    EXPECT_EQ(SpokenOf(QStringLiteral("気温-3.5℃")), QStringLiteral("きおん まいなす さんてんごど"));
    EXPECT_EQ(SpokenOf(QStringLiteral("露点 約 12℃")), QStringLiteral("ろてん やくじゅうにど"));
}

// Where espeak-ng is installed, its Japanese voice reads every character of every speech string.
TEST(SpeechStrings, EspeakNgReadsEveryCharacter) {
#ifdef Q_OS_LINUX
    if (QStandardPaths::findExecutable(QStringLiteral("espeak-ng")).isEmpty()) GTEST_SKIP() << "espeak-ng not installed";
    QTemporaryFile lines;
    ASSERT_TRUE(lines.open());
    for (const auto& [annotated, spoken] : ReadingEntries()) lines.write(QByteArray(spoken.data(), qsizetype(spoken.size())) + '\n');
    lines.close();
    QProcess check;
    check.start(QStringLiteral("sh"), {QStringLiteral(PERUMORA_SOURCE_DIR "/tests/espeak_check.sh"), lines.fileName()});
    ASSERT_TRUE(check.waitForFinished(120000));
    EXPECT_EQ(check.exitCode(), 0) << check.readAllStandardOutput().toStdString() << check.readAllStandardError().toStdString();
#else
    GTEST_SKIP() << "the check is a shell script for Linux";
#endif
}
