#pragma once
// Bringing one module to (a chosen part of) a settings file, in callback
// form: the checks before any write, the writes of SettingsApplyPlan.h (the
// windows' own requests, order, pauses and the switch board's restart and
// confirmation), then a read of every setting to check each write; the
// module's own address is written after that check and read back on its
// own. A write that fails ends the writing; what was written is still
// checked.
//
// A window runs it with its own way of running a batch and pausing (and a
// Cancel button); kalvorctl with the defaults, many modules at once.

#include <QObject>
#include <QString>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "settings/SettingsApplyPlan.h"
#include "settings/SwitchTransfer.h"

class CSettingsReadAll;
class CSwitchUpload;

enum class WriteOutcome {
    Written,  // written and read back as the file has it
    Unchecked,  // written (or maybe, when cancelled meanwhile), not read back
    ReadsOtherwise,  // written, but the module reads back another value
    Failed,  // its request failed (or the switch board was not confirmed)
    NotSent,  // not sent: an earlier write failed, or the run was stopped
};

struct SettingOutcome {
    std::string key;
    QString label;
    WriteOutcome outcome = WriteOutcome::NotSent;
    QString value;  // ReadsOtherwise: what the module reads back
    int code = 0;  // Failed, Unchecked after a failed read-back: the CSnmpRequest code
};

struct ApplyResult {
    std::vector<ApplyRefusal> refusals;  // not empty: nothing was written
    std::vector<SettingOutcome> settings;  // every chosen setting, in file order
    bool cancelled = false;  // by Cancel or `stop`
    bool switchUnconfirmed = false;  // uploaded, not confirmed: defaults after 2 min
    bool addressChanged = false;  // the module's own address was written

    bool AllWritten() const;
    std::vector<std::string> Keys(WriteOutcome outcome) const;
};

struct ApplyFlow {
    // A request for `capacity` variables with the read-write (or read-only)
    // community.
    std::function<std::unique_ptr<CSnmpRequest>(bool readWrite, uint32_t capacity)> newRequest;
    // Runs a batch (Set or Get) and calls `then` with its code, at once or
    // later from the event loop.
    std::function<void(CSnmpRequest& request, bool set, std::function<void(int code)> then)> run;
    // Calls `then` after a pause (the mode words' passes, the switch board's
    // restart).
    std::function<void(unsigned milliseconds, std::function<void()> then)> wait;
    unsigned switchWaitMs = SwitchTransfer::kConfirmWaitMs;
    // Asked before each step: true ends the writing there (never inside the
    // switch upload); what was written is still read back.
    std::function<bool()> stop;
    // Asked before the read-back and the module's own address: true ends the
    // run there as Cancel does, without them (a window's Cancel: nothing
    // more is sent).
    std::function<bool()> cancelled;
    // The switch registers were uploaded; the restart and confirmation follow.
    std::function<void()> switchUploaded;
    // After each step: steps done, of all.
    std::function<void(int done, int total)> progress;
    // The read-back's answer is slow in coming (true), or came at last.
    std::function<void(bool slow)> waiting;
};

class CSettingsApply {
public:
    using Done = std::function<void(const ApplyResult&)>;

    // The defaults of `flow` (empty members) run batches with Start to
    // `host` and pause on the event loop.
    CSettingsApply(std::string host, std::string roCommunity, std::string rwCommunity, ApplyFlow flow = {});
    // A run still going ends: nothing more is sent, `done` is not called.
    ~CSettingsApply();
    CSettingsApply(const CSettingsApply&) = delete;
    CSettingsApply& operator=(const CSettingsApply&) = delete;

    // Writes `keys` of `file` to the module as `module` was read just before
    // (CSettingsReadAll). When CheckApply refuses, `done` follows at once
    // with the refusals and nothing is sent.
    void Start(
        const SettingsSnapshot& module, const SettingsSnapshot& file, const std::vector<std::string>& keys, Done done);
    // Nothing more is sent; `done` is called at once with what was written
    // (also when called from within `progress` or a step's call back).
    void Cancel();

private:
    void Step(size_t index);
    void Send(size_t index);
    void StepDone(size_t index, int code);
    void Upload(size_t index);
    void ReadBack();
    void WriteAddress();
    void AddressReadBack();
    void Mark(const std::vector<std::string>& keys, WriteOutcome outcome, int code = 0);
    SettingOutcome& Outcome(const std::string& key);
    void Finish();

    std::string m_host;
    std::string m_ro;
    ApplyFlow m_flow;
    Done m_done;
    SettingsSnapshot m_module;
    SettingsSnapshot m_file;
    std::vector<ApplyStep> m_steps;  // without the module's own address
    std::unique_ptr<ApplyStep> m_address;
    size_t m_current = 0;
    ApplyResult m_result;
    bool m_failed = false;
    bool m_sending = false;  // step m_current is on its way
    bool m_switchUploaded = false;  // ... and its registers were uploaded
    bool m_finished = false;
    std::vector<std::unique_ptr<CSnmpRequest>> m_requests;
    std::unique_ptr<CSwitchUpload> m_upload;
    std::unique_ptr<CSettingsReadAll> m_readBack;
    QObject m_context;  // pauses end with this object
};
