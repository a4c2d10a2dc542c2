// Read-aloud on Windows: SAPI 5 through its COM interface, with the first Japanese voice installed
// (Microsoft Haruka and the others of a Japanese Windows). The text is plain text, never XML.
#ifdef _WIN32

#include <initguid.h>  // the SAPI class and interface ids are defined here, not linked
#include <windows.h>
#include <sapi.h>

#include <QTimer>
#include <memory>

#include "app/speechengine.h"
#include "platform/desktop/speech.h"

namespace {

constexpr int kPollMs = 50;

template <typename T>
struct ComReleaser {
    void operator()(T* p) const { p->Release(); }
};
template <typename T>
using Com = std::unique_ptr<T, ComReleaser<T>>;

// The first voice whose language is Japanese (0x411), or none.
Com<ISpObjectToken> japaneseVoice() {
    ISpObjectTokenCategory* category = nullptr;
    if (FAILED(CoCreateInstance(CLSID_SpObjectTokenCategory, nullptr, CLSCTX_ALL, IID_ISpObjectTokenCategory,
                                reinterpret_cast<void**>(&category))))
        return nullptr;
    Com<ISpObjectTokenCategory> owned(category);
    IEnumSpObjectTokens* tokens = nullptr;
    if (FAILED(category->SetId(SPCAT_VOICES, FALSE)) ||
        FAILED(category->EnumTokens(L"Language=411", nullptr, &tokens)))
        return nullptr;
    Com<IEnumSpObjectTokens> list(tokens);
    ISpObjectToken* token = nullptr;
    return tokens->Next(1, &token, nullptr) == S_OK ? Com<ISpObjectToken>(token) : nullptr;
}

class SapiSpeech : public SpeechEngine {
public:
    SapiSpeech() {
        CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);  // already done by Qt on its thread: harmless
        ISpVoice* voice = nullptr;
        if (FAILED(CoCreateInstance(CLSID_SpVoice, nullptr, CLSCTX_ALL, IID_ISpVoice,
                                    reinterpret_cast<void**>(&voice)))) {
            reason_ = QStringLiteral("音声の仕組みが使えません");
            return;
        }
        voice_.reset(voice);
        const Com<ISpObjectToken> japanese = japaneseVoice();
        if (!japanese || FAILED(voice_->SetVoice(japanese.get()))) reason_ = NoJapaneseVoice();
        poll_.setInterval(kPollMs);
        QObject::connect(&poll_, &QTimer::timeout, [this] { checkDone(); });
    }
    ~SapiSpeech() override { stop(); }

    QString unavailable() const override { return reason_; }
    void say(const QString& kana) override {
        if (!reason_.isEmpty()) return;
        const std::wstring text = kana.toStdWString();
        speaking_ = SUCCEEDED(voice_->Speak(text.c_str(), SPF_ASYNC | SPF_PURGEBEFORESPEAK | SPF_IS_NOT_XML, nullptr));
        if (speaking_) poll_.start();
    }
    void stop() override {
        speaking_ = false;
        poll_.stop();
        if (voice_) voice_->Speak(nullptr, SPF_ASYNC | SPF_PURGEBEFORESPEAK, nullptr);
    }
    void pause() override {
        if (voice_) voice_->Pause();
    }
    void resume() override {
        if (voice_) voice_->Resume();
    }

private:
    void checkDone() {
        SPVOICESTATUS status{};
        if (!speaking_ || FAILED(voice_->GetStatus(&status, nullptr)) || status.dwRunningState != SPRS_DONE) return;
        speaking_ = false;
        poll_.stop();
        if (finished) finished();
    }

    Com<ISpVoice> voice_;
    QString reason_;
    QTimer poll_;
    bool speaking_ = false;
};

}  // namespace

std::unique_ptr<SpeechEngine> MakeDesktopSpeech() { return std::make_unique<SapiSpeech>(); }

#endif
