#include "ctl/CtlPool.h"

#include <QEventLoop>

#include "ctl/CtlOutput.h"
#include "ctl/CtlSignals.h"

CCtlPool::CCtlPool(size_t count, int jobs) : m_count(count), m_jobs(size_t(jobs > 0 ? jobs : 1)), m_finished(count) { }

void CCtlPool::Run(Start start, Report report, Stop stop)
{
    m_start = std::move(start);
    m_report = std::move(report);
    m_stop = std::move(stop);
    QEventLoop loop;
    m_loop = &loop;
    Fill();
    if (m_running > 0)
        loop.exec();
    m_loop = nullptr;
}

void CCtlPool::RunUntilInterrupted(Start start, Report report)
{
    CtlSignals::Install();
    Run(std::move(start), std::move(report), [] { return CtlSignals::Count() > 0 || CtlOutput::Broken(); });
    CtlOutput::Progress(std::string());
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
    if (m_running == 0 && m_loop)
        m_loop->quit();
}

void CCtlPool::Fill()
{
    while (m_running < m_jobs && m_next < m_count && !(m_stop && m_stop())) {
        ++m_running;
        m_start(m_next++);
    }
}
