#pragma once
// "Read Settings" without a window, in callback form: the firmware version,
// then the settings batches that the version's feature level reads, each
// started when the one before it is done, so that many modules can be read at
// once on one event loop.

#include <functional>
#include <string>

#include "settings/SettingsRead.h"
#include "snmp/RequestChain.h"

class CModuleSettingsRead {
public:
    using Done = std::function<void(const ModuleSettings&)>;

    CModuleSettingsRead(std::string host, std::string roCommunity);
    // A read still running ends: nothing more is sent, `done` is not called.
    ~CModuleSettingsRead();
    CModuleSettingsRead(const CModuleSettingsRead&) = delete;
    CModuleSettingsRead& operator=(const CModuleSettingsRead&) = delete;

    // `done` is called once, from the event loop.
    void Start(Done done);
    // Nothing more is sent and `done` is not called (also from within a
    // call back of this read).
    void Cancel();
    // Called with true when an answer is slow in coming, with false when it
    // came at last (see CSnmpRequest::Start).
    void SetWaiting(std::function<void(bool slow)> waiting) { m_waiting = std::move(waiting); }

private:
    void ReadBatch(size_t batch);
    void Report();

    Done m_done;
    std::function<void(bool slow)> m_waiting;
    CSettingsDecoder m_decoder;
    CRequestChain m_chain;
    bool m_cancelled = false;
};
