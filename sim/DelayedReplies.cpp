#include "DelayedReplies.h"

#include <net-snmp/net-snmp-config.h>
#include <net-snmp/net-snmp-includes.h>

DelayedReplies::~DelayedReplies()
{
    for (auto& waiting : m_replies)
        snmp_free_pdu(waiting.second.second);
}

void DelayedReplies::Add(int delayMs, void* session, snmp_pdu* reply)
{
    m_replies.emplace(Clock::now() + std::chrono::milliseconds(delayMs), std::make_pair(session, reply));
}

int DelayedReplies::MsToNext() const
{
    if (m_replies.empty())
        return -1;
    const auto left = m_replies.begin()->first - Clock::now();
    if (left <= Clock::duration::zero())
        return 0;
    // Rounded up, so that the wait never ends just before the moment.
    return static_cast<int>(std::chrono::ceil<std::chrono::milliseconds>(left).count());
}

void DelayedReplies::SendDue()
{
    const Clock::time_point now = Clock::now();
    while (!m_replies.empty() && m_replies.begin()->first <= now) {
        const auto [session, reply] = m_replies.begin()->second;
        m_replies.erase(m_replies.begin());
        if (snmp_sess_send(session, reply) == 0) {
            snmp_sess_perror("kalvor-sim: send", snmp_sess_session(session));
            snmp_free_pdu(reply);
        }
    }
}
