#pragma once
// A lesson at the teacher's pace: back (Left) and forward (Right) by scene and back to the first
// step (Home) while a lesson is on, and the title or the simulator's instructions finished at once
// (Right). Each command is an action on the window, enabled exactly where it does something, so that
// its key is left to the focused control everywhere else; the state is kept current at every change
// of activity. While a lesson is paused, the canvas view shows its timeline, which jumps on a click.

#include <QObject>
#include <vector>

class CanvasWidget;
class QAction;
class QKeySequence;
class RiloForm;
struct Lesson;

class SceneControls : public QObject {
public:
    static constexpr double kEarlyInSceneMs = 1000;  // Left within this goes to the scene before

    explicit SceneControls(RiloForm& form);

    void previousScene();
    void nextScene();
    void restartLesson();
    bool finishTitle();  // false if no title is running
    void jumpToShare(double share);  // the scene under this share of the lesson's length

    // After every tick and every change of activity.
    void update();

    QAction* previousSceneAction = nullptr;
    QAction* nextSceneAction = nullptr;
    QAction* restartLessonAction = nullptr;

private:
    QAction* addAction(const char* name, const QString& text, Qt::Key key, void (SceneControls::*command)());
    const Lesson* lesson() const;
    bool running(int sceneMode) const;
    void jumpTo(int step);
    void showTimeline();

    RiloForm& form_;
    const Lesson* lesson_ = nullptr;  // the one the scene clock and the times are of
    std::vector<int> stepTimes_;
    int scene_ = -1;
    double sceneBeganMs_ = 0;  // on the timer's running clock
};
