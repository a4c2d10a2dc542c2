#pragma once
// 読み上げ: the captions read aloud in Japanese for the pupil who needs to hear them, with no screen
// reader set up. V (or the context menu, or the page's toolbar) turns it on and off; nothing is
// remembered. While on, each caption of the title and the lessons is said when it appears, and the
// animation holds at that step until it has been said; in the simulator the instructions, the
// read-out a button has just changed and the word on the cloud are said. The caption being said is
// outlined on the view. A pause pauses the voice too; a scene jump says the scene's captions afresh.
// Off, the voice stops at once and the timing is the program's own again.
//
// Every text has a deadline from its length, after which the animation goes on whether or not the
// voice has finished, so that nothing waits for speech that never comes.

#include <QObject>
#include <QRect>
#include <QStringList>
#include <functional>
#include <memory>
#include <optional>

#include "app/speechengine.h"

class CanvasWidget;
class QAction;
class QTimer;
class RiloForm;
class StepTimer;
class ViewControls;

class ReadAloud : public QObject {
public:
    ReadAloud(RiloForm& form, ViewControls& view, StepTimer& timer);
    ~ReadAloud() override;

    void setEngine(std::unique_ptr<SpeechEngine> engine);
    void setOn(bool on);
    bool isOn() const { return on_; }
    bool speaking() const { return speaking_; }

    // The canvas may have new captions: after a tick, a season, a jump. Says the new ones.
    void canvasChanged();
    // A scene jump or a new activity: what was being said ends; the captions now shown are new.
    void startAfresh();
    // Words shown off the canvas: a read-out just changed, the news of the cloud.
    void sayWords(const QStringList& shown);

    // How long a text may take to be said: half a second, and a quarter of a second for each kana.
    static int DeadlineMs(const QString& kana);
    // The deadline's clock; a seam for tests, which call deadlinePassed() themselves.
    std::function<void(int ms)> startDeadline;
    std::function<void()> stopDeadline;
    void deadlinePassed();

    QAction* readAloudAction = nullptr;  // V; checked while on

private:
    void offerOrRefuse();
    void speak(const QStringList& texts, std::optional<QRect> mark);
    void said();
    void pauseChanged();
    void silence();
    void endText();

    RiloForm& form_;
    ViewControls& view_;
    StepTimer& timer_;
    std::unique_ptr<SpeechEngine> engine_;
    QTimer* deadline_ = nullptr;
    QStringList heard_;   // the canvas's texts when last looked at
    QStringList saying_;  // the canvas's texts being said
    QString kana_;        // what the voice was asked to say
    bool on_ = false;
    bool speaking_ = false;
};
