#ifndef MODALDRIVER_H
#define MODALDRIVER_H

#include <QApplication>
#include <QDeadlineTimer>
#include <QPointer>
#include <QTimer>
#include <QWidget>

#include <functional>

// Acts on the next modal widget of type T from inside its own event loop, the way a
// user would once it is on screen. Gives up quietly after the timeout, so a dialog that
// never comes shows as a failed check, not a hang.
template<typename T>
void whenModal(std::function<void(T *)> action, int timeoutMs = 10000)
{
    auto *timer = new QTimer;
    const QDeadlineTimer deadline(timeoutMs);
    timer->setInterval(5);
    QObject::connect(timer, &QTimer::timeout, timer, [timer, deadline, action]() {
        T *widget = qobject_cast<T *>(QApplication::activeModalWidget());
        if (widget && widget->isVisible()) {
            timer->stop();
            timer->deleteLater();
            action(widget);
            return;
        }
        if (deadline.hasExpired()) {
            timer->stop();
            timer->deleteLater();
        }
    });
    timer->start();
}

// Counts every modal widget of type T that shows up while armed, answering each with reject().
template<typename T>
class ModalWatcher
{
public:
    ModalWatcher()
    {
        m_timer.setInterval(5);
        QObject::connect(&m_timer, &QTimer::timeout, &m_timer, [this]() {
            T *widget = qobject_cast<T *>(QApplication::activeModalWidget());
            if (widget && widget->isVisible() && widget != m_last) {
                m_last = widget;
                ++m_count;
                widget->reject();
            }
        });
        m_timer.start();
    }

    int count() const
    {
        return m_count;
    }

private:
    QTimer m_timer;
    QPointer<T> m_last;
    int m_count = 0;
};

#endif
