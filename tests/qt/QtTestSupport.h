#pragma once

// What the Qt tests share: a shown window to put controls on, the user's
// hand as mouse events, and letting real time pass.

#include <QApplication>
#include <QElapsedTimer>
#include <QMouseEvent>
#include <QTest>
#include <QWidget>

#include <functional>
#include <memory>

#include "qt/ContainedControl.h"
#include "qt/Context.h"

namespace scenova::test {

inline const qt::Twips kTwips{15.0f, 15.0f};

struct QtWorld {
    qt::Context ctx;
    std::unique_ptr<QWidget> window = std::make_unique<QWidget>();

    QtWorld() {
        window->resize(800, 600);
        window->show();
    }
};

// A mouse event as the window system delivers it to the widget.
inline void Mouse(QWidget* widget, QEvent::Type type, QPoint at,
                  Qt::MouseButton button = Qt::NoButton) {
    const Qt::MouseButtons held = type == QEvent::MouseButtonPress ? Qt::MouseButtons(button)
                                  : type == QEvent::MouseMove      ? Qt::MouseButtons(button)
                                                                   : Qt::NoButton;
    QMouseEvent event(type, QPointF(at), QPointF(widget->mapToGlobal(at)), button, held,
                      Qt::NoModifier);
    QApplication::sendEvent(widget, &event);
}

inline void Leave(QWidget* widget) {
    QEvent event(QEvent::Leave);
    QApplication::sendEvent(widget, &event);
}

// Lets the event loop run until done() or the time is up; whether done.
inline bool RunUntil(const std::function<bool()>& done, int timeoutMs) {
    QElapsedTimer clock;
    clock.start();
    while (!done()) {
        if (clock.elapsed() > timeoutMs) {
            return false;
        }
        QTest::qWait(5);
    }
    return true;
}

}  // namespace scenova::test
