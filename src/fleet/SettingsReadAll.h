#pragma once
// Every setting of one module in callback form, as the windows read them:
// "Read Settings" (version first), then the trap settings, the serial port's
// line settings and the switch board's registers, each read only when the
// module has that window. Many modules can be read at once on one event
// loop; a window can run it and offer Cancel.

#include <QObject>
#include <QString>
#include <functional>
#include <memory>
#include <string>

#include "fleet/CtlDescriptors.h"
#include "settings/SettingsSnapshot.h"
#include "snmp/RequestChain.h"

class CModuleSettingsRead;

struct SettingsReadResult {
    enum class Failure {
        None,
        Version,  // the version read failed (code)
        Refused,  // firmware below what is supported
        Settings,  // a batch of "Read Settings" failed (code)
        Traps,  // the trap settings read failed (code)
        Serial,  // the serial line settings read failed (code)
        Switch,  // the switch registers read failed (code)
        Implausible,  // the switch registers read are all 0x00 or 0xFF
        Cancelled,
    };
    Failure failure = Failure::None;
    int code = 0;  // CSnmpRequest code of the failed batch
    SettingsSnapshot snapshot;  // complete when failure is None

    // The phase that failed and why, in words ("switch read: ...").
    std::string Phase() const;
};

class CSettingsReadAll {
public:
    using Done = std::function<void(const SettingsReadResult&)>;
    // After each part read: how many of the module's parts are read.
    using Progress = std::function<void(int done, int total)>;

    CSettingsReadAll(std::string host, std::string roCommunity);
    // A read still running ends: nothing more is sent, `done` is not called.
    ~CSettingsReadAll();
    CSettingsReadAll(const CSettingsReadAll&) = delete;
    CSettingsReadAll& operator=(const CSettingsReadAll&) = delete;

    // `done` is called once, from the event loop.
    void Start(Done done, Progress progress = {});
    // Nothing more is sent; `done` is called at once with Cancelled (also
    // when called from within `progress`).
    void Cancel();
    // Called with true when an answer is slow in coming, with false when it
    // came at last (see CSnmpRequest::Start).
    void SetWaiting(std::function<void(bool slow)> waiting) { m_waiting = std::move(waiting); }

private:
    void ReadMain();
    void MainRead(const ModuleSettings& main);
    void Next();
    void Finish(SettingsReadResult::Failure failure, int code = 0);

    std::string m_host;
    std::string m_community;
    Done m_done;
    Progress m_progress;
    std::function<void(bool slow)> m_waiting;
    std::unique_ptr<CModuleSettingsRead> m_main;
    std::unique_ptr<CRequestChain> m_chain;
    ModuleSettings m_settings;
    std::unique_ptr<TrapValues> m_traps;
    std::unique_ptr<SerialLine> m_serial;
    std::unique_ptr<CSwitchImage> m_image;
    int m_parts = 0;
    int m_partsRead = 0;
    CtlDescriptors::SessionRetry m_retry;  // of "Read Settings"
    QObject m_context;  // sessions opened again later end with this object
};
