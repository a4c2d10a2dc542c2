#include "app/canvaswidget.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <algorithm>
#include <cmath>

#include "app/focus.h"
#include "app/zoom.h"
#include "draw/canvas.h"
#include "draw/palette.h"

namespace {
constexpr QSize kViewSize{Canvas::kWidth + 2 * CanvasWidget::kBorder, Canvas::kHeight + 2 * CanvasWidget::kBorder};
}

CanvasWidget::CanvasWidget(Canvas& canvas, QWidget* parent) : QWidget(parent), canvas_(canvas) {
    setFixedSize(kViewSize);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::StrongFocus);  // Space or Enter clicks the canvas from the keyboard
    canvas_.changed = [this] { update(); };
}

void CanvasWidget::paintEvent(QPaintEvent*) {
    followDevicePixelRatio();
    QPainter p(this);
    p.scale(zoom_, zoom_);
    paintBorder(p);
    paintPicture(p);
    if (speakingMark_) paintSpeakingMark(p);
    if (pauseMark_) paintPauseMark(p);
    if (timelineShown()) paintTimeline(p);
    paintFocusFrame(p, QRect(QPoint(0, 0), kViewSize));
}

// Moved to a screen of another pixel ratio (or the page zoomed in a browser): drawn anew for it.
void CanvasWidget::followDevicePixelRatio() { canvas_.setScale(zoom_ * devicePixelRatioF()); }

// Sunken: dark above and to the left, light below and to the right; in 1x pixels.
void CanvasWidget::paintBorder(QPainter& p) {
    const int w = kViewSize.width(), h = kViewSize.height();
    p.fillRect(0, 0, w, 1, QColor(128, 128, 128));
    p.fillRect(0, 0, 1, h, QColor(128, 128, 128));
    p.fillRect(1, 1, w - 2, 1, QColor(64, 64, 64));
    p.fillRect(1, 1, 1, h - 2, QColor(64, 64, 64));
    p.fillRect(0, h - 1, w, 1, QColor(255, 255, 255));
    p.fillRect(w - 1, 0, 1, h, QColor(255, 255, 255));
    p.fillRect(1, h - 2, w - 2, 1, QColor(212, 208, 200));
    p.fillRect(w - 2, 1, 1, h - 2, QColor(212, 208, 200));
}

// The screen image is already at the device's resolution: one image pixel to one device pixel.
void CanvasWidget::paintPicture(QPainter& p) {
    const QImage& image = canvas_.screenImage();
    const qreal ratio = devicePixelRatioF();
    const double start = std::lround(kBorder * canvas_.scale());  // device pixels
    p.save();
    p.resetTransform();
    p.setRenderHint(QPainter::SmoothPixmapTransform, false);
    if (ratio == 1)
        p.drawImage(QPointF(start, start), image);
    else
        p.drawImage(QRectF(QPointF(start, start) / ratio, QSizeF(image.size()) / ratio), image);
    p.restore();
}

// Over the sunken border, never over the picture; `unzoomed` is the view's rectangle in 1x pixels.
void CanvasWidget::paintFocusFrame(QPainter& painter, const QRect& unzoomed) {
    if (ShowsFocusFrame(this)) DrawFocusFrame(painter, unzoomed);
}

// Two white bars on a dark square in the top-right corner of the drawing area, in 1x pixels.
void CanvasWidget::paintPauseMark(QPainter& p) {
    constexpr int kSize = 22, kInset = 6, kBar = 5, kBarHeight = 12;
    const int left = kBorder + Canvas::kWidth - kInset - kSize, top = kBorder + kInset;
    p.fillRect(left, top, kSize, kSize, QColor(32, 32, 32, 200));
    const int barTop = top + (kSize - kBarHeight) / 2;
    p.fillRect(left + 5, barTop, kBar, kBarHeight, Qt::white);
    p.fillRect(left + kSize - 5 - kBar, barTop, kBar, kBarHeight, Qt::white);
}

void CanvasWidget::setSpeakingMark(std::optional<QRect> caption) {
    if (caption == speakingMark_) return;
    speakingMark_ = caption;
    update();
}

// Yellow (the palette's 14) just outside the caption, black outside that: clear on sky and on ground.
void CanvasWidget::paintSpeakingMark(QPainter& p) {
    const QRect outer = speakingMark_->translated(kBorder, kBorder).adjusted(-4, -4, 4, 4) &
                        QRect(kBorder, kBorder, Canvas::kWidth, Canvas::kHeight);
    p.save();
    p.setClipRect(QRect(kBorder, kBorder, Canvas::kWidth, Canvas::kHeight));
    p.setPen(QPen(Qt::black, 1));
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRectF(outer).adjusted(0.5, 0.5, -0.5, -0.5));
    p.setPen(QPen(QColor(QBColor(14)), 2));
    p.drawRect(QRectF(outer).adjusted(2, 2, -2, -2));
    p.restore();
}

// A dark strip like the pause mark's; on it a grey track, white up to the position, a light tick at
// every scene start and a white bar where the lesson stands. In 1x pixels.
void CanvasWidget::paintTimeline(QPainter& p) {
    const QRect area = kTimelineArea;
    const int left = area.left() + kTimelineInset, width = area.width() - 2 * kTimelineInset;
    const int middle = area.top() + area.height() / 2;
    const auto xAt = [&](double share) { return left + int(share * width + 0.5); };
    p.fillRect(area, QColor(32, 32, 32, 200));
    p.fillRect(left, middle - 1, width, 2, QColor(128, 128, 128));
    p.fillRect(left, middle - 1, xAt(timeline_->position) - left, 2, Qt::white);
    for (double start : timeline_->sceneStarts) p.fillRect(xAt(start) - 1, middle - 4, 2, 8, QColor(200, 200, 200));
    p.fillRect(xAt(timeline_->position) - 2, middle - 5, 4, 10, Qt::white);
}

void CanvasWidget::setTimeline(std::optional<Timeline> timeline) {
    const bool wasShown = timelineShown();
    timeline_ = std::move(timeline);
    if (wasShown || timelineShown()) update();
}

bool CanvasWidget::clickTimeline(QPoint viewPoint) {
    const QPointF at = QPointF(viewPoint) / zoom_;
    if (!timelineShown() || !QRectF(kTimelineArea).contains(at) || !timelineClicked) return false;
    const double left = kTimelineArea.left() + kTimelineInset, width = kTimelineArea.width() - 2 * kTimelineInset;
    timelineClicked(std::clamp((at.x() - left) / width, 0.0, 1.0));
    return true;
}

void CanvasWidget::setZoom(double zoom) {
    zoom_ = zoom;
    setFixedSize(zoom::Scaled(kViewSize, zoom));
    followDevicePixelRatio();
    update();
}

void CanvasWidget::setPauseMark(bool shown) {
    if (shown == pauseMark_) return;
    pauseMark_ = shown;
    update();
}

QPoint CanvasWidget::canvasPixelAt(QPoint viewPoint) const { return zoom::CanvasPixelAt(viewPoint, zoom_, kBorder); }

void CanvasWidget::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || !rect().contains(event->position().toPoint())) return;
    if (clickTimeline(event->position().toPoint())) return;
    if (clicked) clicked();
}

void CanvasWidget::keyPressEvent(QKeyEvent* event) {
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (enter && enterPressed && !event->isAutoRepeat()) {  // a held Enter ending a lesson skips nothing
        enterPressed();
        return;
    }
    if ((event->key() == Qt::Key_Space || enter) && clicked) {
        clicked();
        return;
    }
    QWidget::keyPressEvent(event);
}
