#include "platform/desktop/speech.h"

#include "app/speechengine.h"

#ifdef PERUMORA_QT_SPEECH
#include <QLocale>
#include <QTextToSpeech>
#include <QThread>

namespace {

constexpr unsigned long kThreadStopMs = 1000;

// Qt's speech on a thread of its own: speech-dispatcher answers each command before the next one,
// and a service that never answers (no sound device) must never hold up the window. "Ready" after
// "Speaking" is the end of a text, unless it was stopped.
class Voice : public QObject {
public:
    std::function<void(bool japanese)> ready;
    std::function<void(int serial)> ended;

    void start() {
        speech_ = new QTextToSpeech(this);
        connect(speech_, &QTextToSpeech::stateChanged, this, [this](QTextToSpeech::State s) {
            const bool endedNow = s == QTextToSpeech::Ready && speaking_;
            if (s != QTextToSpeech::Paused) speaking_ = s == QTextToSpeech::Speaking;
            if (endedNow) ended(serial_);
        });
        bool japanese = false;
        for (const QLocale& locale : speech_->availableLocales())
            if (locale.language() == QLocale::Japanese) {
                speech_->setLocale(locale);
                japanese = !speech_->availableVoices().isEmpty();
                break;
            }
        ready(japanese && speech_->state() != QTextToSpeech::Error);
    }
    void say(const QString& kana, int serial) {
        stop();
        serial_ = serial;
        speech_->say(kana);
    }
    void stop() {
        speaking_ = false;
        speech_->stop();
    }
    void pause() { speech_->pause(); }
    void resume() { speech_->resume(); }

private:
    QTextToSpeech* speech_ = nullptr;
    bool speaking_ = false;
    int serial_ = 0;
};

class QtSpeech : public SpeechEngine {
public:
    QtSpeech() {
        voice_ = new Voice;
        voice_->moveToThread(thread_);
        voice_->ready = [this](bool japanese) {
            QMetaObject::invokeMethod(&home_, [this, japanese] {
                reason_ = japanese ? QString() : NoJapaneseVoice();
                if (availabilityChanged) availabilityChanged();
            });
        };
        voice_->ended = [this](int serial) {
            QMetaObject::invokeMethod(&home_, [this, serial] {
                if (serial == asked_ && finished) finished();  // the text last asked for, not one before
            });
        };
        QObject::connect(thread_, &QThread::finished, voice_, &QObject::deleteLater);
        thread_->start();
        on([](Voice& v) { v.start(); });
    }
    ~QtSpeech() override {
        stop();
        thread_->quit();
        // A thread stuck on a silent service is left to the end of the process.
        if (thread_->wait(kThreadStopMs)) delete thread_;
    }

    QString unavailable() const override { return reason_; }
    void say(const QString& kana) override {
        on([kana, serial = ++asked_](Voice& v) { v.say(kana, serial); });
    }
    void stop() override {
        ++asked_;
        on([](Voice& v) { v.stop(); });
    }
    void pause() override { on([](Voice& v) { v.pause(); }); }
    void resume() override { on([](Voice& v) { v.resume(); }); }

private:
    template <typename F>
    void on(F call) {
        QMetaObject::invokeMethod(voice_, [voice = voice_, call] { call(*voice); });
    }

    QThread* thread_ = new QThread;
    Voice* voice_ = nullptr;
    QObject home_;  // the window's thread, where `finished` is told
    QString reason_ = QStringLiteral("音声を準備しています");
    int asked_ = 0;  // the serial of the text last asked for; read and written on the window's thread
};

}  // namespace

std::unique_ptr<SpeechEngine> MakeDesktopSpeech() { return std::make_unique<QtSpeech>(); }

#elif defined(_WIN32)
// SAPI 5: see platform/desktop/sapispeech.cpp.
#else
std::unique_ptr<SpeechEngine> MakeDesktopSpeech() { return nullptr; }
#endif
