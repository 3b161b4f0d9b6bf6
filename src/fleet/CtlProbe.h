#pragma once
// What a scan asks one address, in callback form: the firmware version and,
// when it answered, the MAC address and the first mode word (whose switch
// control bit tells whether a switch board is attached). GETs only.

#include <QObject>
#include <QString>
#include <functional>
#include <string>

#include "snmp/RequestChain.h"

struct ProbeResult {
    bool answered = false;
    QString firmware;  // "4.073"
    QString mac;  // "00 0A 1B 2C 3D 4E"; empty when the second read failed
    bool settingsRead = false;  // the MAC address and mode word were read
    bool switchBoard = false;
};

class CCtlProbe {
public:
    using Done = std::function<void(const ProbeResult&)>;

    CCtlProbe(std::string host, std::string roCommunity);
    ~CCtlProbe();
    CCtlProbe(const CCtlProbe&) = delete;
    CCtlProbe& operator=(const CCtlProbe&) = delete;

    // `done` is called once, from the event loop.
    void Start(Done done);

private:
    void ReadSettings();

    Done m_done;
    ProbeResult m_result;
    int32_t m_versionWord = 0;
    CRequestChain m_chain;
    QObject m_context;  // batches started again end with this object
};
