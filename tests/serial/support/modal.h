// Drives modal dialogs and menus from a test: the action runs, from the event
// loop, on the first modal widget (or popup) of the wanted type that shows up.
#pragma once

#include <QApplication>
#include <QList>
#include <QPointer>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <memory>

namespace testsupport {

// Drivers still waiting; a test that failed early must not leave one behind
// to fire into the next test with references to a finished test's locals.
inline QList<QPointer<QTimer>>& pendingDrivers() {
    static QList<QPointer<QTimer>> timers;
    return timers;
}

// Stops every driver that has not run; call it from each test's cleanup().
inline void cancelPendingModals() {
    for (const QPointer<QTimer>& timer : pendingDrivers()) {
        delete timer.data();
    }
    pendingDrivers().clear();
}

// Polls for a modal widget of type T (with popup: a popup such as a menu) and
// runs action on it once. Gives up after timeoutMs so nothing waits forever.
// The returned flag turns true once the action has run.
template <class T>
std::shared_ptr<bool> whenModal(std::function<void(T*)> action, int timeoutMs = 20000,
                                bool popup = false) {
    auto handled = std::make_shared<bool>(false);
    auto* timer = new QTimer();
    auto elapsed = std::make_shared<int>(0);
    QObject::connect(timer, &QTimer::timeout, [=]() {
        QWidget* top =
            popup ? QApplication::activePopupWidget() : QApplication::activeModalWidget();
        T* target = qobject_cast<T*>(top);
        *elapsed += timer->interval();
        if (!target && *elapsed < timeoutMs) {
            return;
        }
        timer->stop();
        timer->deleteLater();
        if (target) {
            *handled = true;
            action(target);
        }
    });
    pendingDrivers().append(timer);
    timer->start(10);
    return handled;
}

template <class T>
std::shared_ptr<bool> whenPopup(std::function<void(T*)> action, int timeoutMs = 20000) {
    return whenModal<T>(std::move(action), timeoutMs, true);
}

}  // namespace testsupport
