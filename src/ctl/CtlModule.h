#pragma once
// One module's command for kalvorctl: the callback-form chains of src/fleet
// (settings read, switch read and upload, module settings read and apply),
// their outcomes put into kalvorctl's lines, JSON and exit status. Many
// modules run at once on one event loop, each with its own pacing,
// time-outs and retries, none waiting for another.

#include <QObject>
#include <functional>
#include <memory>
#include <string>

#include "fleet/CtlDescriptors.h"
#include "ctl/CtlOptions.h"
#include "ctl/CtlOutput.h"
#include "settings/SettingsSnapshot.h"
#include "settings/SwitchImage.h"

class CModuleSettingsRead;
class CSettingsApply;
class CSettingsReadAll;
class CSwitchRead;
struct ApplyResult;
class CSwitchUpload;
struct ModuleSettings;

class CCtlModule {
public:
    using Done = std::function<void(int status)>;

    // `options.command` for `host`; its lines go to `out`.
    CCtlModule(const CtlOptions& options, std::string host, CtlOutput& out);
    // A command still running ends: nothing more is sent, `done` is not called.
    ~CCtlModule();
    CCtlModule(const CCtlModule&) = delete;
    CCtlModule& operator=(const CCtlModule&) = delete;

    // `done` gets the module's exit status (at once when the command fails
    // before any exchange). `uploaded` is called when a switch write has
    // changed the module's registers, before its restart and confirmation.
    void Start(Done done, std::function<void()> uploaded = {});
    // Without FILE (a history run), switch read and module save hand what
    // they would write to `sink` instead of writing a file, and print
    // nothing of their own.
    void SaveTo(std::function<void(const std::string& bytes)> sink) { m_sink = std::move(sink); }
    // The configuration file of switch diff and switch write, read once for
    // every module of the run (no {host} in its name): used instead of
    // reading it again.
    void UseFile(const CSwitchImage& image);

    // Whether `status` of a command is a failure (a difference found by
    // switch diff --exit-code is not).
    static bool IsFailure(const CtlOptions& options, int status);

private:
    void Info();
    void InfoRead(const ModuleSettings& settings);
    void SwitchRead();
    void SwitchDiff();
    void SwitchWrite();
    // The 128 registers into m_module, plausible; then `then`, else Finish.
    void ReadSwitch(const std::function<void()>& then);
    // m_file from `path`, unless given already; false after Finish.
    bool LoadFile(const std::string& path);
    void Finish(int status);

    // Module settings (CtlModuleSettings.cpp)
    void ModuleSave();
    // The file `m_options.file` names for this module, checked before any
    // exchange: false when it cannot be written (said, status 2).
    bool TakeWritablePath(std::string& path);
    // The file could not be written after the read (said, status 2).
    void FileNotWritten(const std::string& path, const std::string& error);
    void ModuleDiff();
    void ModuleApply();
    void ReportApply(const ApplyResult& result);
    // Every setting of the module into m_moduleSettings; then `then`, else Finish.
    void ReadSettings(const std::function<void()>& then);

    const CtlOptions& m_options;
    std::string m_host;
    CtlOutput& m_out;
    Done m_done;
    std::function<void()> m_uploaded;
    std::function<void(const std::string& bytes)> m_sink;
    CSwitchImage m_module;  // read from the module
    CSwitchImage m_file;  // from the configuration file
    bool m_fileRead = false;  // m_file was given
    QObject m_context;  // pauses and batches started again end with this object
    CtlDescriptors::SessionRetry m_infoRetry;
    std::unique_ptr<CModuleSettingsRead> m_settingsRead;
    std::unique_ptr<CSwitchRead> m_read;
    std::unique_ptr<CSwitchUpload> m_upload;
    std::unique_ptr<CSettingsReadAll> m_readAll;
    std::unique_ptr<CSettingsApply> m_apply;
    SettingsSnapshot m_moduleSettings;
    SettingsSnapshot m_fileSettings;
};

// kalvorctl's words for a CSnmpRequest code.
std::string CodeText(int code);
// "{"host": "…", ["name": "…", ]"status": N" to be continued with more keys
// (the name of the module in the inventory, when it has one).
std::string JsonHead(const std::string& host, const std::string& name, int status);
// The file status of a configuration file that could not be loaded (2),
// the error said on `out`; 0 when loaded into `image`.
int LoadImageFile(const std::string& host, const std::string& path, CtlOutput& out, CSwitchImage& image);

// The wait between the switch board's restart and the confirmation:
// KALVOR_RESTART_WAIT_MS when set to a number, else 10 000 ms.
unsigned RestartWaitMs();
