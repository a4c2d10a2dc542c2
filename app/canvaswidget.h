#pragma once
// Picture1: shows the canvas's screen image inside a 2-pixel sunken border and reports clicks.
// Every expose repaints from the whole screen image, so what is on screen stays on screen.

#include <QWidget>
#include <functional>

class Canvas;
class QPainter;

class CanvasWidget : public QWidget {
public:
    static constexpr int kBorder = 2;

    CanvasWidget(Canvas& canvas, QWidget* parent);
    std::function<void()> clicked;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void paintFocusFrame(QPainter& painter);

    Canvas& canvas_;
};
