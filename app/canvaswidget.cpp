#include "app/canvaswidget.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

#include "app/focus.h"
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
    const int w = width(), h = height();
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
    paintFocusFrame(p);
}

// Over the sunken border, never over the picture.
void CanvasWidget::paintFocusFrame(QPainter& painter) {
    if (ShowsFocusFrame(this)) DrawFocusFrame(painter, rect());
}

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
