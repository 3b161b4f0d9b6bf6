#pragma once
// Answers waiting for their moment: a slow module's answer is held back for
// its delay while the other modules go on answering at once.

#include <chrono>
#include <map>
#include <utility>

struct snmp_pdu;

class DelayedReplies {
public:
    DelayedReplies() = default;
    ~DelayedReplies();  // frees the answers never sent
    DelayedReplies(const DelayedReplies&) = delete;
    DelayedReplies& operator=(const DelayedReplies&) = delete;

    // `session`: the Net-SNMP single session (snmp_sess_add) to send `reply`
    // through; the queue owns `reply` from now on.
    void Add(int delayMs, void* session, snmp_pdu* reply);
    // Milliseconds until the next answer is due (0 when one is due now);
    // -1 when none waits.
    int MsToNext() const;
    // Sends every answer whose moment has come, in the order they fell due.
    void SendDue();

private:
    using Clock = std::chrono::steady_clock;
    std::multimap<Clock::time_point, std::pair<void*, snmp_pdu*>> m_replies;
};
