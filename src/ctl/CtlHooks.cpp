#include "ctl/CtlHooks.h"

#include <QEventLoop>
#include <QProcess>
#include <QTimer>
#include <csignal>
#include <unistd.h>

#include "ctl/CtlOutput.h"

struct CCtlHooks::Running {
    Hook hook;
    QProcess process;
    QTimer limit;
    bool timedOut = false;
};

namespace {

QString Local(const std::string& text) { return QString::fromLocal8Bit(text.c_str()); }

std::string Joined(const std::vector<std::string>& lines)
{
    std::string text;
    for (const std::string& line : lines)
        text += (text.empty() ? "" : "\n") + line;
    return text;
}

}  // namespace

CCtlHooks::CCtlHooks(int jobs, long timeoutMs) : m_jobs(size_t(jobs > 0 ? jobs : 1)), m_timeoutMs(timeoutMs) { }

CCtlHooks::~CCtlHooks() = default;

void CCtlHooks::Add(const std::string& kind, const std::string& command, const CtlHookEvent& event)
{
    m_waiting.push_back({kind, command, event});
    StartNext();
}

void CCtlHooks::Wait()
{
    if (m_running.empty() && m_waiting.empty())
        return;
    QEventLoop loop;
    m_loop = &loop;
    loop.exec();
    m_loop = nullptr;
}

void CCtlHooks::StartNext()
{
    while (m_running.size() < m_jobs && !m_waiting.empty()) {
        auto running = std::make_unique<Running>();
        Running* hook = running.get();
        hook->hook = std::move(m_waiting.front());
        m_waiting.pop_front();
        m_running.push_back(std::move(running));
        const CtlHookEvent& event = hook->hook.event;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("KALVOR_HOST", Local(event.host));
        environment.insert("KALVOR_NAME", Local(event.name));
        environment.insert("KALVOR_STATUS", QString::number(event.status));
        environment.insert("KALVOR_CHANGES", Local(Joined(event.changes)));
        environment.insert("KALVOR_FILE", Local(event.file));
        QProcess& process = hook->process;
        process.setProcessEnvironment(environment);
        process.setProcessChannelMode(QProcess::ForwardedChannels);
        process.setStandardInputFile(QProcess::nullDevice());
        // Its own process group, so that the time limit stops what it
        // started too; its standard output joins standard error, which
        // keeps kalvorctl's standard output for kalvorctl (--json).
        process.setChildProcessModifier([] {
            setpgid(0, 0);
            dup2(STDERR_FILENO, STDOUT_FILENO);
        });
        QObject::connect(&process, &QProcess::finished, &m_context, [this, hook](int code, QProcess::ExitStatus how) {
            if (hook->timedOut)
                return Ended(hook, "stopped after the time limit of --hook-timeout");
            if (how == QProcess::CrashExit)
                return Ended(hook, "ended by a signal");
            Ended(hook, code == 0 ? std::string() : "exit status " + std::to_string(code));
        });
        QObject::connect(&process, &QProcess::errorOccurred, &m_context, [this, hook](QProcess::ProcessError error) {
            if (error == QProcess::FailedToStart)
                Ended(hook, "cannot be started: " + hook->process.errorString().toStdString());
        });
        hook->limit.setSingleShot(true);
        QObject::connect(&hook->limit, &QTimer::timeout, &m_context, [hook] {
            hook->timedOut = true;
            kill(-pid_t(hook->process.processId()), SIGKILL);
        });
        process.start("/bin/sh", {"-c", Local(hook->hook.command)});
        hook->limit.start(int(m_timeoutMs));
    }
}

void CCtlHooks::Ended(Running* running, const std::string& failure)
{
    if (!failure.empty()) {
        ++m_failures;
        CtlOutput().Note("kalvorctl: " + running->hook.event.label + ": " + running->hook.kind + " hook: " + failure);
    }
    running->limit.stop();
    // Destroyed later: this is the process's own signal.
    QTimer::singleShot(0, &m_context, [this, running] {
        const auto it = std::find_if(m_running.begin(), m_running.end(),
            [running](const std::unique_ptr<Running>& r) { return r.get() == running; });
        if (it != m_running.end())
            m_running.erase(it);
        StartNext();
        if (m_running.empty() && m_waiting.empty() && m_loop)
            m_loop->quit();
    });
}
