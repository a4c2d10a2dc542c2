#pragma once
// What read-aloud asks of a platform's speech: a Japanese voice that says a text, stops, pauses and
// resumes, and tells when a text has been said to its end. One implementation per platform lives in
// platform/; the tests use a fake.

#include <QString>
#include <functional>

class SpeechEngine {
public:
    virtual ~SpeechEngine() = default;

    // Empty when a Japanese voice is ready; otherwise why read-aloud cannot be offered, in one line.
    virtual QString unavailable() const = 0;
    virtual void say(const QString& kana) = 0;  // what is being said ends first
    virtual void stop() = 0;                    // silent at once, and no `finished` for it
    virtual void pause() = 0;
    virtual void resume() = 0;

    std::function<void()> finished;             // the text last asked for has been said
    std::function<void()> availabilityChanged;  // a voice was found late, or lost
};

inline QString NoJapaneseVoice() { return QStringLiteral("日本語の音声が見つかりません"); }
