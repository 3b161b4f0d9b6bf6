#pragma once
// The event-driven run of one batch: the pause before it, one SNMPv1 session
// through Net-SNMP's single-session API, every variable in a request of its
// own, one after the other, and the session closed at the end. The session's
// socket is watched by a QSocketNotifier and its next time-out by a timer, so
// the run never blocks the event loop; many runs may go on at once.

#include <QBasicTimer>
#include <QObject>
#include <chrono>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "snmp/SnmpRequest.h"

struct snmp_pdu;
struct snmp_session;

struct SnmpSessionSettings {
    std::string host;
    std::string community;
};

class CSnmpExchange : public QObject {
public:
    using Done = std::function<void(int code)>;
    // How `done` is called: from the event loop (a caller may end the run,
    // and destroy this object, there), or at once from the handler of the
    // last answer (a caller that only stops waiting).
    enum class Report { Queued, AtOnce };

    CSnmpExchange(const SnmpSessionSettings& settings, const std::vector<SnmpVarSpec>& specs,
        std::vector<SnmpVarResult>& results);
    // Closes a running session without calling `done`.
    ~CSnmpExchange() override;
    CSnmpExchange(const CSnmpExchange&) = delete;
    CSnmpExchange& operator=(const CSnmpExchange&) = delete;

    // `done` is called once with a CSnmpRequest code. `waiting` (may be
    // empty) is called when an answer is slow in coming (with true) and when
    // it came at last (false).
    void Start(bool set, Done done, std::function<void(bool)> waiting, Report report = Report::Queued);
    // Asked before anything goes out (the first request after the pause,
    // the next variable, a re-send): true ends the run there as cancelled.
    // A cancel handled in the same pass of the event loop as the end of the
    // pause or an answer then sends nothing more.
    void StopWhen(std::function<bool()> stopped) { m_stopped = std::move(stopped); }
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

protected:
    void timerEvent(QTimerEvent* event) override;

private:
    using Clock = std::chrono::steady_clock;

    // What the answer to the current request said, taken inside the
    // library's callback (the answer is the library's until it returns).
    enum class Verdict { None, Answered, Resend, Refused, NoAnswer };

    static int OnLibraryCallback(int operation, snmp_session* session, int requestId, snmp_pdu* pdu, void* magic);
    void Open();
    void Begin();
    void SendCurrent();
    void Watch();
    void WakeAt(Clock::time_point when);
    void OnWake();
    void OnReadable();
    void TakeAnswer();
    Verdict Judge(int status, const snmp_pdu* answer);
    void Next();
    bool StoppedBeforeSending();
    void Finish(int code);
    void Deliver();
    void CloseSession();

    SnmpSessionSettings m_settings;
    const std::vector<SnmpVarSpec>& m_specs;
    std::vector<SnmpVarResult>& m_results;
    // One timer for both the library's next time-out and the slow-answer
    // note, set to the earlier of the two; it is moved only when that comes
    // sooner than it is set for (a wake that comes early looks again).
    QBasicTimer m_wake;
    // The pause before the first request (a timer of its own, not one made
    // per batch).
    QBasicTimer m_pause;
    Clock::time_point m_wakeAt;
    Clock::time_point m_libraryDue;
    bool m_libraryWaits = false;
    Clock::time_point m_slowDue;
    int m_socket = -1;
    void* m_session = nullptr;
    char m_peer[32] = {};
    Done m_done;
    std::function<void(bool)> m_waiting;
    std::function<bool()> m_stopped;
    enum Report m_report = Report::Queued;
    friend class SocketWatch;
    bool m_set = false;
    bool m_running = false;
    bool m_slowShown = false;
    bool m_awaiting = false;  // a request is out and not answered yet
    uint32_t m_index = 0;
    int m_completed = 0;
    int m_code = CSnmpRequest::kOk;
    int m_resends = 0;  // of the whole batch, after read-backs that differed
    int m_resendsOfThis = 0;
    // The current request's object identifier, parsed once.
    std::vector<unsigned long> m_oid;
    Verdict m_verdict = Verdict::None;
    int m_answerStatus = 0;
    long m_errorStatus = 0;
    Clock::time_point m_sent;
};
