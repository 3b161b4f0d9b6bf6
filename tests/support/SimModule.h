#pragma once
// A kalvor-sim process on a loopback port for one test: started with a state
// given as JSON text, stopped by the destructor. The journal records every
// request the simulated module received, in arrival order.
// The simulator also ends when the thread that started it ends (a crashed
// test leaves none behind), so create it in the thread that uses it.

#include <QString>
#include <cstdint>
#include <string>
#include <vector>

struct JournalEntry {
    std::string op;  // "get" or "set"
    std::string oid;  // full numeric OID with leading dot
    std::string type;  // SET: 'i', 'a', 's' (octet string), 'c', 'g', 't'; GET: ""
    std::string value;  // SET: decimal, dotted address or the octet string's bytes as text
    std::string hex;  // SET of an octet string: bytes as "00 11 22" (upper case)
    std::string community;
    std::string reply;  // "ok", "error" or "none"
};

class SimModule {
public:
    // `stateJson`: the state file's contents ("{}" = all defaults).
    // `port` 0 lets the system choose; a fixed port serves simulators on
    // several loopback addresses that a client reaches on one port.
    explicit SimModule(const std::string& stateJson = "{}", const QString& address = "127.0.0.1", uint16_t port = 0);
    ~SimModule();
    SimModule(const SimModule&) = delete;
    SimModule& operator=(const SimModule&) = delete;

    uint16_t Port() const { return m_port; }
    qint64 Pid() const { return m_pid; }
    // The temporary directory of the state file and the journal.
    const std::string& Directory() const { return m_dir; }
    QString Address() const { return m_address; }
    // Points CSnmpRequest at this simulator (port override).
    void Use() const;

    std::vector<JournalEntry> Journal() const;
    // Only the entries whose OID starts with `oidPrefix`.
    std::vector<JournalEntry> Journal(const std::string& oidPrefix) const;
    void ClearJournal();

private:
    QString m_address;
    uint16_t m_port = 0;
    qint64 m_pid = 0;
    std::string m_dir;
    std::string m_journalPath;
};
