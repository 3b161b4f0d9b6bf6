#pragma once
// A kalvor-sim process on a loopback port for one test: started with a state
// given as JSON text, stopped by the destructor. The journal records every
// request the simulated module received, in arrival order. Started with a
// SimFleetSpec, the process serves a fleet of modules on consecutive
// loopback addresses (one port), all journaled in one file.
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
    std::string address;  // a fleet's module: its address; otherwise ""
    int index = -1;  // a fleet's module: its index in the fleet
};

// A simulated fleet: `size` modules from `base` on, each with its own MAC
// address, IP address and gateway derived from one state.
struct SimFleetSpec {
    int size = 1;
    QString base = "127.1.0.1";
    std::string stateJson = "{}";
    std::vector<QString> silent;  // addresses or first-last ranges that never answer
    std::vector<QString> slow;  // ... that answer `slowMs` late
    int slowMs = 0;
    uint16_t port = 0;  // 0: a free port chosen for the first address, used for all
};

class SimModule {
public:
    // `stateJson`: the state file's contents ("{}" = all defaults).
    // `port` 0 lets the system choose; a fixed port serves simulators on
    // several loopback addresses that a client reaches on one port.
    explicit SimModule(const std::string& stateJson = "{}", const QString& address = "127.0.0.1", uint16_t port = 0);
    explicit SimModule(const SimFleetSpec& fleet);
    ~SimModule();
    SimModule(const SimModule&) = delete;
    SimModule& operator=(const SimModule&) = delete;

    uint16_t Port() const { return m_port; }
    qint64 Pid() const { return m_pid; }
    // The temporary directory of the state file and the journal.
    const std::string& Directory() const { return m_dir; }
    // The address served, as the simulator announced it (canonical dotted
    // form); a fleet's first address.
    QString Address() const { return m_address; }
    // 1 for a single module.
    int FleetSize() const { return m_fleetSize; }
    // The address of the fleet's module `index` (0 = Address()).
    QString FleetAddress(int index) const;
    // Points CSnmpRequest at this simulator (port override).
    void Use() const;

    std::vector<JournalEntry> Journal() const;
    // Only the entries whose OID starts with `oidPrefix`.
    std::vector<JournalEntry> Journal(const std::string& oidPrefix) const;
    // A fleet: only the entries of the module at `address`.
    std::vector<JournalEntry> JournalOf(const QString& address) const;
    void ClearJournal();

private:
    void Start(const std::vector<std::string>& options, const std::string& stateJson, int timeoutMs);

    QString m_address;
    int m_fleetSize = 1;
    uint16_t m_port = 0;
    qint64 m_pid = 0;
    std::string m_dir;
    std::string m_journalPath;
};
