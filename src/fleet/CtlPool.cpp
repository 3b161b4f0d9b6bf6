#include "fleet/CtlPool.h"

CCtlPool::CCtlPool(size_t count, int jobs) : m_count(count), m_jobs(size_t(jobs > 0 ? jobs : 1)), m_finished(count) { }

void CCtlPool::Begin(Start start, Report report, Stop stop, Over over)
{
    m_start = std::move(start);
    m_report = std::move(report);
    m_stop = std::move(stop);
    m_over = std::move(over);
    Fill();
    CheckOver();
}

void CCtlPool::Finished(size_t index)
{
    // Later, so that the item's own call (an exchange's call back) is over
    // before its report may destroy it.
    QMetaObject::invokeMethod(&m_context, [this, index] { OnFinished(index); }, Qt::QueuedConnection);
}

void CCtlPool::OnFinished(size_t index)
{
    m_finished[index] = true;
    --m_running;
    while (m_head < m_next && m_finished[m_head])
        m_report(m_head++);
    Fill();
    CheckOver();
}

void CCtlPool::Fill()
{
    while (m_running < m_jobs && m_next < m_count && !(m_stop && m_stop())) {
        ++m_running;
        m_start(m_next++);
    }
}

// Over, as a call of its own from the event loop (the owner may destroy the
// pool there).
void CCtlPool::CheckOver()
{
    if (m_running == 0 && m_over)
        QMetaObject::invokeMethod(&m_context, [over = m_over] { over(); }, Qt::QueuedConnection);
}
