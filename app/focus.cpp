#include "app/focus.h"

#include <QKeyEvent>
#include <QPainter>

void DrawFocusFrame(QPainter& painter, const QRect& outer) {
    constexpr qreal kDash = 4;
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setBrush(Qt::NoBrush);
    for (int ring = 0; ring < 2; ++ring) {
        const QRect r = outer.adjusted(ring, ring, -ring - 1, -ring - 1);
        painter.setPen(QPen(Qt::black, 1));
        painter.drawRect(r);
        QPen white(Qt::white, 1, Qt::CustomDashLine);
        white.setDashPattern({kDash, kDash});
        white.setDashOffset(ring * kDash);
        painter.setPen(white);
        painter.drawRect(r);
    }
    painter.restore();
}

bool ShowsFocusFrame(const QWidget* widget) {
    return widget->hasFocus() && widget->window()->testAttribute(Qt::WA_KeyboardFocusChange);
}

void FocusButton::keyPressEvent(QKeyEvent* event) {
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && !event->isAutoRepeat()) {
        click();
        return;
    }
    QPushButton::keyPressEvent(event);
}

void FocusButton::paintEvent(QPaintEvent* event) {
    QPushButton::paintEvent(event);
    if (!ShowsFocusFrame(this)) return;
    QPainter painter(this);
    DrawFocusFrame(painter, rect());
}

KeyboardCues::KeyboardCues(QWidget* window) : QObject(window), window_(window) {
    window->installEventFilter(this);
    for (QWidget* child : window->findChildren<QWidget*>()) child->installEventFilter(this);
}

bool KeyboardCues::eventFilter(QObject*, QEvent* event) {
    if (event->type() == QEvent::KeyPress) show(true);
    if (event->type() == QEvent::MouseButtonPress) show(false);
    return false;
}

void KeyboardCues::show(bool on) {
    if (window_->testAttribute(Qt::WA_KeyboardFocusChange) == on) return;
    window_->setAttribute(Qt::WA_KeyboardFocusChange, on);
    if (QWidget* focused = window_->focusWidget()) focused->update();
}
