#pragma once
// What a teacher in front of a class adds to the window: zoom 1x-4x or to fit the screen, full
// screen at the scale that fills it, on a black margin, and pausing the running animation; as shortcuts on the window and as a context menu on
// the canvas. Unused, the window stays exactly as it is; nothing here is remembered between runs.

#include <QFont>
#include <QList>
#include <QObject>
#include <QPoint>
#include <QRect>
#include <QStringList>
#include <QSize>
#include <functional>
#include <vector>

class CanvasWidget;
class QAction;
class QMenu;
class QWidget;
class StepTimer;

class ViewControls : public QObject {
public:
    ViewControls(QWidget& window, CanvasWidget& canvasView, StepTimer& timer);

    // P and Pause: holds or resumes the running animation; nothing to hold, nothing happens.
    void togglePause();
    bool isPaused() const;

    // S: every interval of the running animation doubled, until S again.
    void setSlowMotion(bool on);

    // Ctrl + "+" / "=", Ctrl + "-", Ctrl + "0": whole steps from a fitted zoom too; Ctrl + "9": the
    // largest scale at which the window fits the screen's area. A zoom that does not fit is refused:
    // false; the least zoom never is, since below it the canvas could not be shown.
    bool zoomIn();
    bool zoomOut();
    void resetZoom();
    bool fitToScreen();
    double zoom() const { return zoom_; }

    // F11 toggles, Escape leaves.
    void toggleFullScreen();
    void leaveFullScreen();
    bool isFullScreen() const { return fullScreen_; }

    // The largest client area the screen leaves the window in its frame; a seam for tests.
    std::function<QSize()> roomForClientArea;
    // The smallest zoom: 1x, or less where a platform shows the window with device pixels to spare
    // (a browser on a phone), as long as each canvas pixel keeps at least one.
    std::function<double()> leastZoom;

    // Commands of other classroom controls, at the end of the context menu while they are offered.
    void addMenuEntry(QAction* action);
    void removeMenuEntry(QAction* action);
    // A word in brackets after the window's title while a reading support is on: 「（ふりがな）」.
    void setTitleMark(const QString& mark, bool shown);
    // A control's geometry at 1x changed: it takes it at the present zoom.
    void placeControl(QWidget* control, const QRect& at1x);

    // Called after every change of zoom, once the window has its new size.
    std::function<void()> zoomChanged;

    QAction* pauseAction = nullptr;
    QAction* slowMotionAction = nullptr;
    QAction* fullScreenAction = nullptr;
    QAction* zoomInAction = nullptr;
    QAction* zoomOutAction = nullptr;
    QAction* resetZoomAction = nullptr;
    QAction* fitToScreenAction = nullptr;
    QMenu* contextMenu = nullptr;  // made on the first right click
    QList<QAction*> lessonEntries;  // listed after the pause, before the speed

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct Control {
        QWidget* widget;
        QRect geometry;  // at 1x
        QFont font;      // at 1x
    };

    QAction* addAction(const QString& text, std::initializer_list<QKeySequence> keys, std::function<void()> slot);
    void enterFullScreen();
    void offerContextMenu();
    void createContextMenu();
    void addMenuEntries();
    void showContextMenu(QPoint at);
    void enableMenuEntries();
    void showPauseState();
    void showTitle();

    bool setZoom(double s);
    QSize room() const;
    void applyZoom();
    void layOut(double s, QPoint origin);
    QRect placed(const Control& c, double s, QPoint origin) const;
    QPoint contentOrigin() const;
    void recordControls();
    void keepWindowOnScreen();

    QWidget& window_;
    CanvasWidget& canvasView_;
    StepTimer& timer_;
    QWidget* margin_ = nullptr;  // the black surround in full screen
    QAction* leaveFullScreenAction_ = nullptr;
    QString title_;
    QFont font_;  // the window's at 1x
    std::vector<Control> controls_;
    std::vector<QAction*> menuEntries_;  // added by other classroom controls
    QStringList titleMarks_;
    double zoom_ = 1;
    double windowedZoom_ = 1;
    bool fullScreen_ = false;
};
