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

// Like WhenModal, for a dialog that may not come at all: the watch ends with its scope and says
// whether the dialog came.
template <typename T> class ModalWatch
{
public:
    explicit ModalWatch(std::function<void(T*)> action)
    {
        m_timer.setInterval(50);
        QObject::connect(&m_timer, &QTimer::timeout, [this, action] {
            if (T* dialog = qobject_cast<T*>(QApplication::activeModalWidget())) {
                m_timer.stop();
                m_seen = true;
                action(dialog);
            }
        });
        m_timer.start();
    }
    ModalWatch(const ModalWatch&) = delete;
    ModalWatch& operator=(const ModalWatch&) = delete;

    bool Seen() const { return m_seen; }

private:
    QTimer m_timer;
    bool m_seen = false;
};
