// Drives modal dialogs and menus from a test: the action runs, from the event
// loop, on the first modal widget (or popup) of type T that shows up.
#pragma once

#include <QApplication>
#include <QList>
#include <QPointer>
#include <QTimer>
#include <functional>
#include <memory>

namespace testsupport {

inline QList<QPointer<QTimer>> pendingDrivers;

// Call from each test's cleanup(), so no driver outlives its test's locals.
inline void cancelPendingModals() {
    for (const QPointer<QTimer>& timer : pendingDrivers) {
        delete timer.data();
    }
    pendingDrivers.clear();
}

// Polls for the widget (a popup such as a menu with popup) and runs action
// once; gives up after timeoutMs. The flag turns true once the action ran.
template <class T>
std::shared_ptr<bool> whenModal(std::function<void(T*)> action, int timeoutMs = 20000,
                                bool popup = false) {
    auto handled = std::make_shared<bool>(false);
    auto* timer = new QTimer();
    auto left = std::make_shared<int>(timeoutMs);
    QObject::connect(timer, &QTimer::timeout, [=]() {
        T* target = qobject_cast<T*>(popup ? QApplication::activePopupWidget()
                                           : QApplication::activeModalWidget());
        if (!target && (*left -= timer->interval()) > 0) {
            return;
        }
        timer->stop();
        timer->deleteLater();
        if (target) {
            *handled = true;
            action(target);
        }
    });
    pendingDrivers.append(timer);
    timer->start(10);
    return handled;
}

}  // namespace testsupport
