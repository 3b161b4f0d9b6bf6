#pragma once
// Runs an action when a window's handler first waits for the module (its
// busy cursor comes on). What the action starts is timed from the same
// moment as the Cancel button's delay, so a timer started there runs in its
// due order with the window's own timers however loaded the machine is.

#include <QEvent>
#include <QWidget>
#include <functional>
#include <utility>

class WhenWaitStarts : public QObject {
public:
    WhenWaitStarts(QWidget& window, std::function<void()> action) : m_action(std::move(action))
    {
        window.installEventFilter(this);
    }
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::CursorChange && m_action
            && static_cast<QWidget*>(watched)->cursor().shape() == Qt::BusyCursor)
            std::exchange(m_action, nullptr)();
        return false;
    }

private:
    std::function<void()> m_action;
};
