#pragma once
// Which addresses of a range hold a module. Every address is asked for the
// firmware version and, when it answers, the MAC address and the first mode
// word (see CCtlProbe); GETs only, with the read community, a number of
// addresses at once on the event loop. kalvorctl scan and the Find Modules
// window both run it.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "fleet/CtlPool.h"
#include "fleet/CtlProbe.h"

struct ScanRange {
    uint32_t first = 0;  // host byte order
    uint32_t last = 0;
    uint32_t Size() const { return last - first + 1; }
};

inline constexpr uint32_t kMaxScanAddresses = 65536;  // a /16

// "a.b.c.d/N" (N from 16 to 32; a /30 or wider leaves out its network and
// broadcast addresses) or "FIRST-LAST". False with `error` set (one line,
// ending with what was wrong) for anything else, a range of more than a /16,
// or one holding an address that names no module.
bool ParseScanRange(const std::string& text, ScanRange& range, std::string& error);

class CModuleScan {
public:
    struct Events {
        // A module answered at `host`; in address order.
        std::function<void(const std::string& host, const ProbeResult& result)> found;
        // One more address is done, whether it answered or not (may be empty).
        std::function<void()> progress;
        // Every address asked is done and no other will be.
        std::function<void()> over;
    };

    CModuleScan(const ScanRange& range, std::string roCommunity, int jobs);
    // Ends a scan still running as Stop does, without its events.
    ~CModuleScan();
    CModuleScan(const CModuleScan&) = delete;
    CModuleScan& operator=(const CModuleScan&) = delete;

    // Starts asking and returns; the events come from the event loop. Once
    // `startNoMore` (may be empty) says so no address is started, and the
    // scan is over when those asked are done. Once per scan; the scan must
    // not be destroyed from within its own events.
    void Start(Events events, std::function<bool()> startNoMore = nullptr);
    // Ends the scan at once: the modules that have answered and are not
    // reported yet are reported (in address order), every exchange still
    // running is closed, and nothing more is sent. No event follows. Not from
    // within an event of the scan.
    void Stop();

    bool Running() const { return m_running; }
    uint32_t Size() const { return m_range.Size(); }
    size_t Asked() const { return m_pool ? m_pool->Started() : m_asked; }
    size_t Done() const { return m_done; }
    // Addresses done that answered.
    size_t Answered() const { return m_answered; }

private:
    struct Probe {
        std::unique_ptr<CCtlProbe> probe;
        ProbeResult result;
        bool done = false;
    };

    std::string Host(size_t i) const;
    void StartProbe(size_t i);
    void Report(size_t i);
    void End();

    ScanRange m_range;
    std::string m_community;
    std::vector<Probe> m_probes;
    std::unique_ptr<CCtlPool> m_pool;
    Events m_events;
    bool m_running = false;
    size_t m_asked = 0;  // kept when the pool is gone
    size_t m_reported = 0;  // the next address to report
    size_t m_done = 0;
    size_t m_answered = 0;
};
