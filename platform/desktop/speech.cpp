#include "platform/desktop/speech.h"

#include "app/speechengine.h"

#ifdef PERUMORA_QT_SPEECH
#include <QLocale>
#include <QTextToSpeech>

namespace {

// Qt's speech: the first Japanese voice of the default engine. "Ready" after "Speaking" is the end
// of a text, unless it was stopped.
class QtSpeech : public SpeechEngine {
public:
    QtSpeech() {
        QObject::connect(&speech_, &QTextToSpeech::stateChanged, &speech_, [this](QTextToSpeech::State s) {
            const bool ended = s == QTextToSpeech::Ready && speaking_;
            if (s != QTextToSpeech::Paused) speaking_ = s == QTextToSpeech::Speaking;
            if (ended && finished) finished();
            if (s == QTextToSpeech::Error && availabilityChanged) availabilityChanged();
        });
        for (const QLocale& locale : speech_.availableLocales())
            if (locale.language() == QLocale::Japanese) {
                speech_.setLocale(locale);
                japanese_ = !speech_.availableVoices().isEmpty();
                break;
            }
    }
    ~QtSpeech() override { stop(); }

    QString unavailable() const override {
        if (speech_.state() == QTextToSpeech::Error) return QStringLiteral("音声の仕組みが使えません");
        return japanese_ ? QString() : NoJapaneseVoice();
    }
    void say(const QString& kana) override {
        stop();
        speech_.say(kana);
    }
    void stop() override {
        speaking_ = false;
        speech_.stop();
    }
    void pause() override { speech_.pause(); }
    void resume() override { speech_.resume(); }

private:
    QTextToSpeech speech_;
    bool japanese_ = false;
    bool speaking_ = false;
};

}  // namespace

std::unique_ptr<SpeechEngine> MakeDesktopSpeech() { return std::make_unique<QtSpeech>(); }

#elif defined(_WIN32)
// SAPI 5: see platform/desktop/sapispeech.cpp.
#else
std::unique_ptr<SpeechEngine> MakeDesktopSpeech() { return nullptr; }
#endif
