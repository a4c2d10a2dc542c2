#pragma once
// Key presses and mouse clicks delivered as the window system delivers them: through Qt's shortcut
// map and the window's own event handling. These are the entry points QtTest itself calls; QtTest is
// not part of every Qt build (the static Qt of the Windows build has Core, Gui and Widgets only).

#include <QApplication>
#include <QKeyEvent>
#include <QWidget>
#include <QWindow>

Q_GUI_EXPORT bool qt_sendShortcutOverrideEvent(QObject* o, ulong timestamp, int k, Qt::KeyboardModifiers mods,
                                               const QString& text, bool autorep, ushort count);
Q_GUI_EXPORT void qt_handleMouseEvent(QWindow* window, const QPointF& local, const QPointF& global,
                                      Qt::MouseButtons state, Qt::MouseButton button, QEvent::Type type,
                                      Qt::KeyboardModifiers mods, int timestamp);

namespace input {

// Makes the window the active one at once, as a click on it would: shortcuts then reach it. Qt 6.5
// deprecates the call for applications; for a test it is the one that needs no window manager.
inline void activate(QWidget* window) {
    QT_WARNING_PUSH
    QT_WARNING_DISABLE_DEPRECATED
    QApplication::setActiveWindow(window);
    QT_WARNING_POP
}

inline void keyClick(QWidget* widget, Qt::Key key, Qt::KeyboardModifiers mods = Qt::NoModifier) {
    if (qt_sendShortcutOverrideEvent(widget, 0, key, mods, QString(), false, 1)) return;
    QKeyEvent press(QEvent::KeyPress, key, mods);
    QApplication::sendEvent(widget, &press);
    QKeyEvent release(QEvent::KeyRelease, key, mods);
    QApplication::sendEvent(widget, &release);
}

inline void mouseClick(QWindow* window, Qt::MouseButton button, QPoint at) {
    static int timestamp = 0;
    const QPointF global = window->mapToGlobal(at);
    qt_handleMouseEvent(window, at, global, button, button, QEvent::MouseButtonPress, Qt::NoModifier, ++timestamp);
    qt_handleMouseEvent(window, at, global, Qt::NoButton, button, QEvent::MouseButtonRelease, Qt::NoModifier,
                        ++timestamp);
    QApplication::processEvents();
}

}  // namespace input
