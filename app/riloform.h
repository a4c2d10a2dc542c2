#pragma once
// The program's one window: the canvas, the menu, the simulator panel and the animation timer.
// The handlers are thin; drawing, lessons and the parcel's physics live outside the window.

#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QWidget>
#include <functional>
#include <memory>

#include "stage/module1.h"
#include "stage/steptimer.h"
#include "draw/canvas.h"

class CanvasNarration;
class ChartControls;
class CanvasWidget;
class QMessageBox;
class ReadAloud;
class RubyControls;
class SceneControls;
class ViewControls;
struct Lesson;
struct Parcel;
struct Season;
enum class ParcelDrawing;

// Asks "really quit?" and hands the answer code (6 yes, 7 no) to `answered` when it comes. The
// question may return before it is answered: a web page cannot wait for a dialog.
using QuitAnswer = std::function<void(int answer)>;
using QuitQuestion = std::function<void(QWidget* parent, QuitAnswer answered)>;
void askQuitWithMessageBox(QWidget* parent, QuitAnswer answered);
// The quit question itself: はい and いいえ, Y and N pressing them, はい the default.
std::unique_ptr<QMessageBox> MakeQuitQuestion(QWidget* parent);

class RiloForm : public QWidget {
public:
    explicit RiloForm(std::unique_ptr<StepTimer> timer = std::make_unique<QtStepTimer>(),
                      QuitQuestion askQuit = askQuitWithMessageBox);
    ~RiloForm() override;

    // Scene control
    void Form_Load();
    void InitFlags();
    void StartTitle();
    void ShowMenu();
    void HideMenu();
    void Timer1_Timer();
    void Picture1_Click();
    void SyuuryouCmd_Click();
    void DrawTown();
    void DrawMountainTown();

    // Title and lessons
    void TitleStep();
    void DekikataCmd_Click();
    void YamaCmd_Click();
    void ZensenCmd_Click();
    void DekikataStep();
    void YamaStep();
    void ZensenStep();

    // The teacher's pace: the lesson put at a step as if it had played there by itself, the interval
    // in force there starting anew (held if paused); the title or the instructions played to their end.
    void JumpToStep(const Lesson& lesson, int step);
    void FinishAnimation();

    // Simulator
    void TukuruCmd_Click();
    void TukuruStep();
    void TModoru_Click();
    void TKionUpCmd_Click();
    void TKionDnCmd_Click();
    void TSitudoUpCmd_Click();
    void TSitudoDnCmd_Click();
    void THaruCmd_Click();
    void TTuyuCmd_Click();
    void TNatuCmd_Click();
    void TAkiCmd_Click();
    void THuyuCmd_Click();
    void TTakasaUpCmd_Click();
    void TTakasaDnCmd_Click();
    void ShowWeather();
    void DrawAirParcel();
    void DrawCloudParcel();

    Module1 state;
    Canvas canvas;

    CanvasWidget* Picture1 = nullptr;
    QPushButton* DekikataCmd = nullptr;
    QPushButton* TukuruCmd = nullptr;
    QPushButton* YamaCmd = nullptr;
    QPushButton* ZensenCmd = nullptr;
    QPushButton* SyuuryouCmd = nullptr;
    QGroupBox* TFrame = nullptr;
    QPushButton* TModoru = nullptr;
    QGroupBox* TKisetuFrm = nullptr;
    QPushButton* THuyuCmd = nullptr;
    QPushButton* TAkiCmd = nullptr;
    QPushButton* TNatuCmd = nullptr;
    QPushButton* TTuyuCmd = nullptr;
    QPushButton* THaruCmd = nullptr;
    QLabel* TKionLbl = nullptr;
    QPushButton* TKionUpCmd = nullptr;
    QPushButton* TKionDnCmd = nullptr;
    QLabel* TSitudoLbl = nullptr;
    QPushButton* TSitudoUpCmd = nullptr;
    QPushButton* TSitudoDnCmd = nullptr;
    QLabel* TTakasaLbl = nullptr;
    QPushButton* TTakasaUpCmd = nullptr;
    QPushButton* TTakasaDnCmd = nullptr;

    StepTimer& Timer1() { return *timer_; }
    ViewControls& view() { return *view_; }  // zoom, full screen and pause
    CanvasNarration& narration() { return *narration_; }  // the canvas's words for a screen reader
    ChartControls& chart() { return *chart_; }  // the saturated-vapour chart of the simulator
    SceneControls& scenes() { return *scenes_; }  // back and forward by scene
    RubyControls& ruby() { return *ruby_; }  // ふりがな
    ReadAloud& readAloud() { return *readAloud_; }  // 読み上げ

private:
    void createMenu();
    void createPanel();
    void setTabOrder();
    void setAccessibleNames();
    void startLesson(const Lesson& lesson);
    void prepareCanvasFor(const Lesson& lesson);
    void playLessonStep(const Lesson& lesson);
    void changeTemperature(void (*rule)(Parcel&));
    void changeHumidity(ParcelDrawing (*rule)(Parcel&));
    void changeAltitude(ParcelDrawing (*rule)(Parcel&));
    void applySeason(const Season& season);
    void showParcel(ParcelDrawing drawing);
    void sayChange(const QLabel* readout, ParcelDrawing drawing);
    void describeReadouts();

    // Focus goes where the pupil's next step is, and never rests on a button about to be hidden.
    void leaveMenuFrom(QPushButton* starter);
    void focusMenu();

    std::unique_ptr<StepTimer> timer_;
    QuitQuestion askQuit_;
    CanvasNarration* narration_ = nullptr;
    QPushButton* lastStarter_ = nullptr;
    ViewControls* view_ = nullptr;
    ChartControls* chart_ = nullptr;
    SceneControls* scenes_ = nullptr;
    RubyControls* ruby_ = nullptr;
    ReadAloud* readAloud_ = nullptr;
};
