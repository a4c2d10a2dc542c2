#include "platform/web/webspeech.h"

#include <emscripten/bind.h>
#include <emscripten/val.h>

#include "app/speechengine.h"

namespace {

class WebSpeech;
WebSpeech* theVoice = nullptr;

// Plain text, never SSML: browsers would say the markup.
class WebSpeech : public SpeechEngine {
public:
    WebSpeech() {
        theVoice = this;
        call("start");  // the voices come with the page's voiceschanged, or are there already
    }
    ~WebSpeech() override {
        call("stop");
        theVoice = nullptr;
    }

    QString unavailable() const override { return japanese_ ? QString() : NoJapaneseVoice(); }
    void say(const QString& kana) override { call("say", kana.toStdString()); }
    void stop() override { call("stop"); }
    void pause() override { call("pause"); }
    void resume() override { call("resume"); }

    void voicesFound(bool japanese) {
        if (japanese == japanese_) return;
        japanese_ = japanese;
        if (availabilityChanged) availabilityChanged();
    }
    void ended() {
        if (finished) finished();
    }

private:
    template <typename... Args>
    void call(const char* what, Args&&... args) {
        emscripten::val speech = emscripten::val::global("perumoraPage")["speech"];
        if (!speech.isUndefined()) speech.call<void>(what, std::forward<Args>(args)...);
    }

    bool japanese_ = false;
};

void speechVoices(bool japanese) {
    if (theVoice) theVoice->voicesFound(japanese);
}
void speechEnded() {
    if (theVoice) theVoice->ended();
}

}  // namespace

std::unique_ptr<SpeechEngine> MakeWebSpeech() { return std::make_unique<WebSpeech>(); }

EMSCRIPTEN_BINDINGS(perumora_speech) {
    emscripten::function("perumoraSpeechVoices", &speechVoices);
    emscripten::function("perumoraSpeechEnded", &speechEnded);
}
