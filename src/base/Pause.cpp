#include "base/Pause.h"

#include <QEventLoop>
#include <QTimer>

#include "base/BusyHooks.h"

namespace {
std::function<void(unsigned)>& SleepHook()
{
    static std::function<void(unsigned)> hook;
    return hook;
}
}  // namespace

void Sleep(unsigned milliseconds)
{
    if (SleepHook()) {
        SleepHook()(milliseconds);
        return;
    }
    if (CurrentBusyHooks().cancelled())
        return;
    QEventLoop loop;
    QTimer timer;
    timer.setSingleShot(true);
    timer.setTimerType(Qt::PreciseTimer);
    QObject::connect(&timer, &QTimer::timeout, &loop, &QEventLoop::quit);
    timer.start(static_cast<int>(milliseconds));
    CurrentBusyHooks().wait(loop);
}

void PauseThen(unsigned milliseconds, QObject* context, std::function<void()> then)
{
    QTimer::singleShot(static_cast<int>(PauseLength(milliseconds)), Qt::PreciseTimer, context, std::move(then));
}

unsigned PauseLength(unsigned milliseconds)
{
    if (!SleepHook())
        return milliseconds;
    SleepHook()(milliseconds);
    return 0;
}

void SetSleepHook(std::function<void(unsigned)> hook) { SleepHook() = std::move(hook); }
