#pragma once
// Picture1: shows the canvas's screen image inside a 2-pixel sunken border and reports clicks.
// Every expose repaints from the whole screen image, so what is on screen stays on screen.
// Zoomed, the view enlarges the screen image and its border by a whole factor, one canvas pixel to
// an exact k x k block; the pause mark is the view's own, drawn over the picture and never into it.

#include <QWidget>
#include <functional>

class Canvas;
class QPainter;

class CanvasWidget : public QWidget {
public:
    static constexpr int kBorder = 2;

    CanvasWidget(Canvas& canvas, QWidget* parent);
    std::function<void()> clicked;

    void setZoom(int k);
    int zoom() const { return zoom_; }
    void setPauseMark(bool shown);
    bool pauseMarkShown() const { return pauseMark_; }
    QPoint canvasPixelAt(QPoint viewPoint) const;  // may lie outside the canvas on the border

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void paintFocusFrame(QPainter& painter, const QRect& unzoomed);
    void paintPauseMark(QPainter& painter);

    Canvas& canvas_;
    int zoom_ = 1;
    bool pauseMark_ = false;
};
