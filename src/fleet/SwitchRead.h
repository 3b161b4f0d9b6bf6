#pragma once
// The switch board's 128 registers of one module in callback form, as "Read
// Configuration" reads them (one batch, read-only community), with the
// plausibility of what came.

#include <QObject>
#include <functional>
#include <memory>
#include <string>

#include "settings/SwitchImage.h"
#include "snmp/RequestChain.h"

struct SwitchReadResult {
    int code = 0;  // CSnmpRequest code: negative when the read failed
    CSwitchImage image;  // when it did not
    bool plausible = false;  // not every register 0x00 or 0xFF
};

class CSwitchRead {
public:
    using Done = std::function<void(const SwitchReadResult&)>;

    CSwitchRead(std::string host, std::string roCommunity);
    // A read still running ends: nothing more is sent, `done` is not called.
    ~CSwitchRead();
    CSwitchRead(const CSwitchRead&) = delete;
    CSwitchRead& operator=(const CSwitchRead&) = delete;

    // `done` is called once, from the event loop.
    void Start(Done done);

private:
    CRequestChain m_chain;
    QObject m_context;  // a session opened again later ends with this object
};
