#pragma once
// Keyboard use: focus frames that show once the keyboard is used, and buttons that Enter presses.
//
// A pupil who only uses the mouse sees no focus frame at all. The first key pressed in the window
// turns the frames on (the window's WA_KeyboardFocusChange, which the style's own focus cues follow
// too); a mouse click turns them off again.

#include <QObject>
#include <QPushButton>

class QPainter;
class QRect;

// A two-pixel frame just inside `outer`, in four-pixel dashes of black and white, the inner ring
// out of step with the outer one: wherever it lies, over sky or ground, one of the two colours
// stands out from it, and a side that shows only one ring still alternates.
void DrawFocusFrame(QPainter& painter, const QRect& outer);

// True while `widget` has focus and its window shows focus frames.
bool ShowsFocusFrame(const QWidget* widget);

// A push button that Enter and Return press too (Space already does), with the focus frame.
class FocusButton : public QPushButton {
public:
    FocusButton(const QString& caption, QWidget* parent) : QPushButton(caption, parent) {}

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
};

// Watches every widget of a window for key presses and mouse clicks and shows or hides the focus
// frames. Install after the window's widgets are made.
class KeyboardCues : public QObject {
public:
    explicit KeyboardCues(QWidget* window);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void show(bool on);
    QWidget* window_;
};
