#pragma once

// Widget tests share one QApplication (offscreen platform) and a few helpers
// to send input and read pixels back.

#include <QApplication>
#include <QImage>
#include <QMouseEvent>
#include <QWidget>

namespace widgettest {

inline QApplication& App() {
    static int argc = 1;
    static char name[] = "widget-tests";
    static char* argv[] = {name, nullptr};
    // Kept for the life of the process: widgets may outlive a test's scope.
    static QApplication* app = new QApplication(argc, argv);
    return *app;
}

// Sends a mouse event to widget at local position pos (global position follows
// the widget's place on the screen unless given).
inline void SendMouse(QWidget& widget, QEvent::Type type, QPointF pos, Qt::MouseButton button,
                      Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QMouseEvent event(type, pos, widget.mapToGlobal(pos), button, buttons, modifiers);
    QApplication::sendEvent(&widget, &event);
}

inline void SendMouseGlobal(QWidget& widget, QEvent::Type type, QPointF pos, QPointF global,
                            Qt::MouseButton button, Qt::MouseButtons buttons) {
    QMouseEvent event(type, pos, global, button, buttons, Qt::NoModifier);
    QApplication::sendEvent(&widget, &event);
}

inline QImage Pixels(QWidget& widget) {
    return widget.grab().toImage().convertToFormat(QImage::Format_RGB32);
}

} // namespace widgettest
