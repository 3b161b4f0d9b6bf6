#pragma once
// The longest gap between two turns of the event loop while the probe lives:
// a 5 ms timer notes the time since its last tick. A handler that blocks the
// loop shows as a gap as long as the block.

#include <QElapsedTimer>
#include <QTimer>
#include <algorithm>

class StallProbe {
public:
    StallProbe()
    {
        m_tick.setInterval(5);
        m_tick.setTimerType(Qt::PreciseTimer);
        QObject::connect(&m_tick, &QTimer::timeout, [this] { m_longest = std::max(m_longest, m_sinceLast.restart()); });
        m_sinceLast.start();
        m_tick.start();
    }
    // Also counts the gap up to now (a block that has not ended yet).
    qint64 LongestMs() const { return std::max(m_longest, m_sinceLast.elapsed()); }

private:
    QTimer m_tick;
    QElapsedTimer m_sinceLast;
    qint64 m_longest = 0;
};
