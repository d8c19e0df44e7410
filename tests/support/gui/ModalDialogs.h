#pragma once

#include <QApplication>
#include <QTimer>

#include <functional>

// Runs `action` on the first modal dialog of type T that shows up, polled while the code under
// test waits in its own event loop.
template <typename T> void WhenModal(std::function<void(T*)> action)
{
    auto* timer = new QTimer;
    timer->setInterval(50);
    QObject::connect(timer, &QTimer::timeout, [timer, action] {
        if (T* dialog = qobject_cast<T*>(QApplication::activeModalWidget())) {
            timer->stop();
            timer->deleteLater();
            action(dialog);
        }
    });
    timer->start();
}
