#pragma once
// The operator's commands run after a module's result is known
// (--on-change, --on-failure): each through /bin/sh -c with the module in
// its environment (KALVOR_HOST, KALVOR_NAME, KALVOR_STATUS, KALVOR_CHANGES,
// KALVOR_FILE), its output on kalvorctl's standard error, at most `jobs` at
// once, each stopped after the time limit. A hook that fails is reported
// in one line; it never changes the module's status.

#include <QObject>
#include <deque>
#include <memory>
#include <string>
#include <vector>

class QEventLoop;
class QProcess;

struct CtlHookEvent {
    std::string label;  // the module as messages name it
    std::string host;
    std::string name;  // the inventory name, else the address
    int status = 0;
    std::vector<std::string> changes;  // KALVOR_CHANGES, one a line
    std::string file;
};

class CCtlHooks {
public:
    CCtlHooks(int jobs, long timeoutMs);
    ~CCtlHooks();
    CCtlHooks(const CCtlHooks&) = delete;
    CCtlHooks& operator=(const CCtlHooks&) = delete;

    // `command` for `event`, once a place is free; `kind` ("on-change",
    // "on-failure") names it in messages.
    void Add(const std::string& kind, const std::string& command, const CtlHookEvent& event);
    // Returns once every hook added has ended.
    void Wait();
    size_t Failures() const { return m_failures; }

private:
    struct Hook {
        std::string kind;
        std::string command;
        CtlHookEvent event;
    };
    struct Running;

    void StartNext();
    void Ended(Running* running, const std::string& failure);

    size_t m_jobs;
    long m_timeoutMs;
    std::deque<Hook> m_waiting;
    std::vector<std::unique_ptr<Running>> m_running;
    size_t m_failures = 0;
    QEventLoop* m_loop = nullptr;
    QObject m_context;
};
