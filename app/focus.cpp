#include "app/focus.h"

#include <QKeyEvent>
#include <QPainter>
#include <algorithm>

namespace {

constexpr int kDash = 4;

// One ring, one pixel wide, dashed along each side by the pixel's own x (top and bottom) or y (the
// sides), so the pattern is the same wherever the frame is drawn.
void dashedRing(QPainter& painter, const QRect& r, int phase) {
    const auto colour = [phase](int along) { return ((along / kDash + phase) % 2) ? Qt::white : Qt::black; };
    for (int x = r.left(); x <= r.right(); x += kDash) {
        const int length = std::min(kDash - x % kDash, r.right() - x + 1);
        painter.fillRect(x, r.top(), length, 1, colour(x));
        painter.fillRect(x, r.bottom(), length, 1, colour(x));
        x -= x % kDash;
    }
    for (int y = r.top(); y <= r.bottom(); y += kDash) {
        const int length = std::min(kDash - y % kDash, r.bottom() - y + 1);
        painter.fillRect(r.left(), y, 1, length, colour(y));
        painter.fillRect(r.right(), y, 1, length, colour(y));
        y -= y % kDash;
    }
}

}  // namespace

void DrawFocusFrame(QPainter& painter, const QRect& outer) {
    dashedRing(painter, outer, 0);
    dashedRing(painter, outer.adjusted(1, 1, -1, -1), 1);
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
