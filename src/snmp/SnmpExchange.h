#pragma once
// The event-driven run of one batch: the pause before it, one SNMPv1 session
// through Net-SNMP's single-session API, every variable in a request of its
// own, one after the other, and the session closed at the end. The session's
// socket is watched by a QSocketNotifier and its next time-out by a QTimer, so
// the run never blocks the event loop; many runs may go on at once.

#include <QObject>
#include <QString>
#include <QTimer>
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "snmp/SnmpRequest.h"

class QSocketNotifier;
struct snmp_pdu;
struct snmp_session;

struct SnmpSessionSettings {
    std::string host;
    std::string community;
};

class CSnmpExchange {
public:
    using Done = std::function<void(int code)>;

    CSnmpExchange(const SnmpSessionSettings& settings, const std::vector<SnmpVarSpec>& specs,
        std::vector<SnmpVarResult>& results);
    // Closes a running session without calling `done`.
    ~CSnmpExchange();
    CSnmpExchange(const CSnmpExchange&) = delete;
    CSnmpExchange& operator=(const CSnmpExchange&) = delete;

    // `done` is called once, from the event loop, with a CSnmpRequest code.
    // `waiting` (may be empty) is called when an answer is slow in coming
    // (with true) and when it came at last (false).
    void Start(bool set, Done done, std::function<void(bool)> waiting);
    // Closes the session at once: nothing more is sent, an answer that comes
    // later is dropped, and `done` is not called (not even when the run was
    // over but `done` still to come).
    void Cancel();

    bool Running() const { return m_running; }
    // The code of a run that is over (kCancelled after Cancel).
    int Code() const { return m_code; }
    // Variables answered so far.
    int Completed() const { return m_completed; }

    static constexpr unsigned kPauseBeforeBatchMs = 150;
    static constexpr int kSlowAnswerMs = 1000;

private:
    static int OnLibraryCallback(int operation, snmp_session* session, int requestId, snmp_pdu* pdu, void* magic);
    void Open();
    void SendCurrent();
    void Watch();
    void OnReadable();
    void OnTimeout();
    void TakeAnswer();
    void Process(int status, snmp_pdu* answer);
    void Next();
    void Finish(int code);
    void CloseSession();

    SnmpSessionSettings m_settings;
    const std::vector<SnmpVarSpec>& m_specs;
    std::vector<SnmpVarResult>& m_results;
    QObject m_context;  // the target of the timers' and notifier's calls
    QTimer m_timeout;  // the session's next time-out
    QTimer m_slow;  // no answer for a while
    std::unique_ptr<QSocketNotifier> m_notifier;
    void* m_session = nullptr;
    char m_peer[32] = {};
    Done m_done;
    std::function<void(bool)> m_waiting;
    bool m_set = false;
    bool m_running = false;
    bool m_slowShown = false;
    uint32_t m_index = 0;
    int m_completed = 0;
    int m_code = CSnmpRequest::kOk;
    int m_resends = 0;  // of the whole batch, after read-backs that differed
    int m_resendsOfThis = 0;
    // The answer taken from the library's callback, handled once the library
    // call has returned.
    bool m_answered = false;
    int m_answerStatus = 0;
    snmp_pdu* m_answer = nullptr;
    std::chrono::steady_clock::time_point m_sent;
};
