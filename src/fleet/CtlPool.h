#pragma once
// Up to N items (modules, addresses) worked on at once on one event loop:
// each is started when a place is free, in list order, and reported in list
// order as soon as it and every item before it are finished.

#include <QObject>
#include <cstddef>
#include <functional>
#include <vector>

class CCtlPool {
public:
    using Start = std::function<void(size_t index)>;
    using Report = std::function<void(size_t index)>;
    using Stop = std::function<bool()>;
    using Over = std::function<void()>;

    CCtlPool(size_t count, int jobs);

    // Starts the first items and returns. `start` begins an item, which
    // calls Finished when it is over; `report` follows in list order, from
    // the event loop, never from within an item's call. No item starts once
    // `stop` (may be empty) says so. `over` is called from the event loop
    // when every item that was started is finished and no more may start.
    // Destroying the pool drops every call still to come.
    void Begin(Start start, Report report, Stop stop, Over over);
    // Item `index` is over (at once or from the event loop).
    void Finished(size_t index);

    size_t Started() const { return m_next; }

private:
    void OnFinished(size_t index);
    void Fill();
    void CheckOver();

    size_t m_count;
    size_t m_jobs;
    size_t m_next = 0;  // the next item to start
    size_t m_head = 0;  // the next item to report
    size_t m_running = 0;
    std::vector<bool> m_finished;
    Start m_start;
    Report m_report;
    Stop m_stop;
    Over m_over;
    QObject m_context;
};
