#include "app/canvaswidget.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

#include "app/focus.h"
#include "app/zoom.h"
#include "draw/canvas.h"

CanvasWidget::CanvasWidget(Canvas& canvas, QWidget* parent) : QWidget(parent), canvas_(canvas) {
    setFixedSize(Canvas::kWidth + 2 * kBorder, Canvas::kHeight + 2 * kBorder);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::StrongFocus);  // Space or Enter clicks the canvas from the keyboard
    canvas_.changed = [this] { update(); };
}

void CanvasWidget::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::SmoothPixmapTransform, false);  // crisp pixels on high-DPI screens
    p.scale(zoom_, zoom_);
    const int w = width() / zoom_, h = height() / zoom_;
    // Sunken: dark above and to the left, light below and to the right.
    p.fillRect(0, 0, w, 1, QColor(128, 128, 128));
    p.fillRect(0, 0, 1, h, QColor(128, 128, 128));
    p.fillRect(1, 1, w - 2, 1, QColor(64, 64, 64));
    p.fillRect(1, 1, 1, h - 2, QColor(64, 64, 64));
    p.fillRect(0, h - 1, w, 1, QColor(255, 255, 255));
    p.fillRect(w - 1, 0, 1, h, QColor(255, 255, 255));
    p.fillRect(1, h - 2, w - 2, 1, QColor(212, 208, 200));
    p.fillRect(w - 2, 1, 1, h - 2, QColor(212, 208, 200));
    p.drawImage(kBorder, kBorder, canvas_.screenImage());
    if (pauseMark_) paintPauseMark(p);
    paintFocusFrame(p, QRect(0, 0, w, h));
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

void CanvasWidget::setZoom(int k) {
    zoom_ = k;
    setFixedSize((Canvas::kWidth + 2 * kBorder) * k, (Canvas::kHeight + 2 * kBorder) * k);
    update();
}

void CanvasWidget::setPauseMark(bool shown) {
    if (shown == pauseMark_) return;
    pauseMark_ = shown;
    update();
}

QPoint CanvasWidget::canvasPixelAt(QPoint viewPoint) const { return zoom::CanvasPixelAt(viewPoint, zoom_, kBorder); }

void CanvasWidget::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()) && clicked) clicked();
}

void CanvasWidget::keyPressEvent(QKeyEvent* event) {
    if ((event->key() == Qt::Key_Space || event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) &&
        clicked) {
        clicked();
        return;
    }
    QWidget::keyPressEvent(event);
}
