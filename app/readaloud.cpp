#include "app/readaloud.h"

#include <QAction>
#include <QTimer>
#include <algorithm>

#include "app/canvaswidget.h"
#include "app/riloform.h"
#include "app/viewcontrols.h"
#include "draw/readings.h"
#include "stage/steptimer.h"

namespace {

const QString kReadAloudMark = QStringLiteral("（読み上げ）");

// The texts of `now` that `before` did not have, each as many times as it is new.
std::vector<int> newTexts(const QStringList& before, const QStringList& now) {
    QStringList left = before;
    std::vector<int> fresh;
    for (int i = 0; i < now.size(); ++i)
        if (!left.removeOne(now[i])) fresh.push_back(i);
    return fresh;
}

}  // namespace

ReadAloud::ReadAloud(RiloForm& form, ViewControls& view, StepTimer& timer)
    : QObject(&form), form_(form), view_(view), timer_(timer) {
    deadline_ = new QTimer(this);
    deadline_->setSingleShot(true);
    connect(deadline_, &QTimer::timeout, this, [this] { deadlinePassed(); });
    startDeadline = [this](int ms) { deadline_->start(ms); };
    stopDeadline = [this] { deadline_->stop(); };

    readAloudAction = new QAction(QStringLiteral("読み上げ"), this);
    readAloudAction->setObjectName(QStringLiteral("readAloud"));
    readAloudAction->setCheckable(true);
    readAloudAction->setShortcut(Qt::Key_V);
    readAloudAction->setShortcutContext(Qt::WindowShortcut);
    connect(readAloudAction, &QAction::triggered, this, [this](bool checked) { setOn(checked); });
    form.addAction(readAloudAction);
    view.addMenuEntry(readAloudAction);
    offerOrRefuse();

    auto paused = timer.onPauseChanged;
    timer.onPauseChanged = [this, paused] {
        if (paused) paused();
        pauseChanged();
    };
}

ReadAloud::~ReadAloud() {
    if (engine_) engine_->stop();
}

void ReadAloud::setEngine(std::unique_ptr<SpeechEngine> engine) {
    silence();
    engine_ = std::move(engine);
    if (engine_) {
        engine_->finished = [this] { said(); };
        engine_->availabilityChanged = [this] { offerOrRefuse(); };
    }
    offerOrRefuse();
}

// Without a Japanese voice the entry is there, greyed, and says why.
void ReadAloud::offerOrRefuse() {
    const QString why = engine_ ? engine_->unavailable() : NoJapaneseVoice();
    readAloudAction->setEnabled(why.isEmpty());
    readAloudAction->setToolTip(why.isEmpty() ? QStringLiteral("字幕を声で読み上げます") : why);
    if (!why.isEmpty() && on_) setOn(false);
}

void ReadAloud::setOn(bool on) {
    if (on && !readAloudAction->isEnabled()) on = false;
    readAloudAction->setChecked(on);
    if (on == on_) return;
    on_ = on;
    view_.setTitleMark(kReadAloudMark, on);
    if (!on) {
        silence();
        return;
    }
    heard_.clear();  // what is on the canvas now is said first
    canvasChanged();
}

int ReadAloud::DeadlineMs(const QString& kana) { return 500 + 250 * int(kana.size()); }

// Off, nothing is looked at: turning it on hears the canvas afresh.
void ReadAloud::canvasChanged() {
    if (!on_) return;
    const QStringList now = form_.canvas.visibleTexts();
    const std::vector<int> fresh = newTexts(heard_, now);
    heard_ = now;
    const bool captionGone = std::any_of(saying_.begin(), saying_.end(), [&](const QString& t) { return !now.contains(t); });
    if (speaking_ && captionGone) silence();
    if (fresh.empty()) return;
    QStringList texts;
    std::optional<QRect> mark;
    const std::vector<QRect> extents = form_.canvas.visibleTextExtents();
    for (int i : fresh) {
        texts << now[i];
        mark = mark ? *mark | extents[size_t(i)] : extents[size_t(i)];
    }
    speak(texts, mark);
}

void ReadAloud::startAfresh() {
    silence();
    heard_.clear();
    canvasChanged();
}

void ReadAloud::sayWords(const QStringList& shown) {
    if (on_) speak(shown, std::nullopt);
}

void ReadAloud::speak(const QStringList& texts, std::optional<QRect> mark) {
    QStringList spoken;
    for (const QString& text : texts) spoken << SpokenOf(text);
    const QString kana = spoken.join(QLatin1Char(' ')).trimmed();
    if (kana.isEmpty() || !engine_) return;
    speaking_ = true;
    saying_ = mark ? texts : QStringList();
    kana_ = kana;
    timer_.hold();
    form_.Picture1->setSpeakingMark(mark);
    engine_->say(kana);
    if (timer_.isPaused())
        engine_->pause();
    else
        startDeadline(DeadlineMs(kana));
}

void ReadAloud::said() {
    if (speaking_) endText();
}

void ReadAloud::deadlinePassed() {
    if (speaking_) silence();
}

void ReadAloud::pauseChanged() {
    if (!speaking_ || !engine_) return;
    if (timer_.isPaused()) {
        stopDeadline();
        engine_->pause();
    } else {
        engine_->resume();
        startDeadline(DeadlineMs(kana_));
    }
}

void ReadAloud::silence() {
    if (engine_ && speaking_) engine_->stop();
    endText();
}

// Said, cut off or given up on: the mark goes and the animation goes on.
void ReadAloud::endText() {
    speaking_ = false;
    saying_.clear();
    stopDeadline();
    form_.Picture1->setSpeakingMark(std::nullopt);
    timer_.release();
}
