#pragma once
// Picture1: shows the canvas's screen image inside a 2-pixel sunken border and reports clicks.
// Every expose repaints from the whole screen image, so what is on screen stays on screen.
// Zoomed, the view chooses the canvas's device scale (the zoom times the screen's device pixel
// ratio) and shows its images pixel for pixel, so that nothing is enlarged after drawing; the pause
// mark, the paused lesson's timeline and the mark of the caption read aloud are the view's own, drawn over the picture and never into it.

#include <QWidget>
#include <functional>
#include <optional>
#include <vector>

class Canvas;
class QPainter;

class CanvasWidget : public QWidget {
public:
    static constexpr int kBorder = 2;

    CanvasWidget(Canvas& canvas, QWidget* parent);
    std::function<void()> clicked;
    std::function<void()> enterPressed;  // Enter or Return, not repeated; otherwise a click

    // A lesson's length as shares from 0 to 1: where its scenes start and where it is now. Drawn
    // along the bottom edge while the pause mark is shown, and a click on it tells the share there.
    struct Timeline {
        std::vector<double> sceneStarts;
        double position = 0;
    };
    static constexpr QRect kTimelineArea{kBorder + 8, kBorder + 380, 624, 14};  // at 1x
    static constexpr int kTimelineInset = 6;  // from the strip's ends to the track's
    void setTimeline(std::optional<Timeline> timeline);
    bool timelineShown() const { return pauseMark_ && timeline_.has_value(); }
    std::function<void(double share)> timelineClicked;

    void setZoom(double zoom);
    double zoom() const { return zoom_; }
    // The caption being read aloud, in canvas pixels: outlined in yellow and black over the picture.
    void setSpeakingMark(std::optional<QRect> caption);
    std::optional<QRect> speakingMark() const { return speakingMark_; }
    void setPauseMark(bool shown);
    bool pauseMarkShown() const { return pauseMark_; }
    QPoint canvasPixelAt(QPoint viewPoint) const;  // may lie outside the canvas on the border

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void followDevicePixelRatio();
    void paintBorder(QPainter& painter);
    void paintPicture(QPainter& painter);
    void paintFocusFrame(QPainter& painter, const QRect& unzoomed);
    void paintPauseMark(QPainter& painter);
    void paintSpeakingMark(QPainter& painter);
    void paintTimeline(QPainter& painter);
    bool clickTimeline(QPoint viewPoint);

    Canvas& canvas_;
    double zoom_ = 1;
    bool pauseMark_ = false;
    std::optional<QRect> speakingMark_;
    std::optional<Timeline> timeline_;
};
