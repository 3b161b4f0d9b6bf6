#include "ctl/CtlModule.h"

#include <QString>
#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "base/FileReplace.h"
#include "ctl/CtlSwitchText.h"
#include "fleet/CtlDescriptors.h"
#include "fleet/ModuleSettingsRead.h"
#include "fleet/SettingsApply.h"
#include "fleet/SettingsReadAll.h"
#include "fleet/SwitchRead.h"
#include "fleet/SwitchUpload.h"
#include "settings/SwitchTransfer.h"
#include "snmp/SnmpRequest.h"

namespace {

const char* const kNoChanges = "No changes made! Skipping SNMP upload to switch memory.";
const char* const kConfirmed = "Settings comfirmed succesfully!";

std::string JoinedNumbers(const std::vector<int>& numbers)
{
    std::string text;
    for (int number : numbers)
        text += (text.empty() ? "" : ", ") + std::to_string(number);
    return text;
}

}  // namespace

std::string JsonHead(const std::string& host, const std::string& name, int status)
{
    return "{\"host\": " + JsonString(host) + (name.empty() ? "" : ", \"name\": " + JsonString(name))
        + ", \"status\": " + std::to_string(status);
}

std::string CodeText(int code)
{
    switch (code) {
    case CSnmpRequest::kErrorStatus: return "the module refused the request or gave no valid answer (code -1)";
    case CSnmpRequest::kNoAnswer: return "no answer from the module (code -2)";
    case CSnmpRequest::kNoSession: return "no SNMP session could be opened (code -3)";
    default: return "SNMP code " + std::to_string(code);
    }
}

int LoadImageFile(const std::string& host, const std::string& path, CtlOutput& out, CSwitchImage& image)
{
    const SwitchTransfer::FileRead read = SwitchTransfer::ReadImageFile(QString::fromLocal8Bit(path.c_str()), image);
    if (read.status == SwitchTransfer::FileStatus::Loaded)
        return kExitOk;
    out.Error(host, "file", path + ": " + SwitchTransfer::RefusalReason(read).toLocal8Bit().toStdString());
    return kExitUsage;
}

unsigned RestartWaitMs()
{
    const char* text = getenv("KALVOR_RESTART_WAIT_MS");
    if (text && *text) {
        char* end = nullptr;
        const unsigned long value = strtoul(text, &end, 10);
        if (*end == '\0' && value <= 600000)
            return unsigned(value);
    }
    return SwitchTransfer::kConfirmWaitMs;
}

CCtlModule::CCtlModule(const CtlOptions& options, std::string host, CtlOutput& out)
    : m_options(options), m_host(std::move(host)), m_out(out)
{
}

CCtlModule::~CCtlModule() = default;

bool CCtlModule::IsFailure(const CtlOptions& options, int status)
{
    return status != kExitOk && !(options.Diff() && status == kExitModule);
}

void CCtlModule::Start(Done done, std::function<void()> uploaded)
{
    m_done = std::move(done);
    m_uploaded = std::move(uploaded);
    switch (m_options.command) {
    case CtlCommand::Info: return Info();
    case CtlCommand::SwitchRead: return SwitchRead();
    case CtlCommand::SwitchDiff: return SwitchDiff();
    case CtlCommand::SwitchWrite: return SwitchWrite();
    case CtlCommand::ModuleSave: return ModuleSave();
    case CtlCommand::ModuleDiff: return ModuleDiff();
    case CtlCommand::ModuleApply: return ModuleApply();
    case CtlCommand::SwitchShow:
    case CtlCommand::ModuleShow:
    case CtlCommand::History:
    case CtlCommand::Scan: break;  // no module command
    }
    Finish(kExitUsage);
}

void CCtlModule::Finish(int status)
{
    if (m_done)
        m_done(status);
}

void CCtlModule::Info()
{
    m_settingsRead = std::make_unique<CModuleSettingsRead>(m_host, m_options.roCommunity);
    m_settingsRead->Start([this](const ModuleSettings& settings) { InfoRead(settings); });
}

void CCtlModule::InfoRead(const ModuleSettings& settings)
{
    // A read whose session could not be opened is read again, from the start (it only reads).
    const bool unopened = settings.failure == ModuleSettings::Failure::Version
        || settings.failure == ModuleSettings::Failure::Settings;
    if (unopened && CtlDescriptors::StartAgain(settings.code, m_infoRetry)) {
        QMetaObject::invokeMethod(&m_context, [this] { Info(); }, Qt::QueuedConnection);
        return;
    }
    switch (settings.failure) {
    case ModuleSettings::Failure::None: break;
    case ModuleSettings::Failure::Version:
        m_out.Error(m_host, "firmware version", CodeText(settings.code));
        return Finish(kExitModule);
    case ModuleSettings::Failure::Refused:
        m_out.Error(m_host, "firmware version",
            "firmware " + settings.version.Text().toStdString() + " is not supported (4.050 or later needed)");
        return Finish(kExitModule);
    case ModuleSettings::Failure::Settings:
        m_out.Error(m_host, "settings", CodeText(settings.code));
        return Finish(kExitModule);
    }
    if (m_options.json) {
        std::string json = JsonHead(m_host, m_options.name, kExitOk);
        for (const NamedSetting& setting : settings.values)
            json += ", " + JsonString(setting.key) + ": " + JsonString(setting.value.toStdString());
        m_out.Raw(json + "}");
        return Finish(kExitOk);
    }
    size_t width = 0;
    for (const NamedSetting& setting : settings.values)
        width = std::max(width, strlen(setting.key));
    for (const NamedSetting& setting : settings.values) {
        std::string line = std::string(setting.key) + ":";
        line.append(width + 2 - line.size(), ' ');
        m_out.Line(line + setting.value.toStdString());
    }
    Finish(kExitOk);
}

// Phase 1 of every switch command: the 128 registers, plausible.
void CCtlModule::ReadSwitch(const std::function<void()>& then)
{
    m_read = std::make_unique<CSwitchRead>(m_host, m_options.roCommunity);
    m_read->Start([this, then](const SwitchReadResult& read) {
        if (read.code < 0) {
            m_out.Error(m_host, "switch read", CodeText(read.code));
            return Finish(kExitSwitchRead);
        }
        m_module = read.image;
        if (!read.plausible) {
            m_out.Error(m_host, "switch read",
                "implausible data (every register 0x00 or 0xFF): check the cable between module and switch board");
            return Finish(kExitImplausible);
        }
        then();
    });
}

void CCtlModule::UseFile(const CSwitchImage& image)
{
    m_file = image;
    m_fileRead = true;
}

bool CCtlModule::LoadFile(const std::string& path)
{
    if (m_fileRead)
        return true;
    const int status = LoadImageFile(m_host, path, m_out, m_file);
    if (status != kExitOk)
        Finish(status);
    return status == kExitOk;
}

void CCtlModule::SwitchRead()
{
    if (m_options.file.empty() && m_sink)
        return ReadSwitch([this] {
            m_sink(std::string(m_module.bytes().begin(), m_module.bytes().end()));
            Finish(kExitOk);
        });
    std::string path;
    if (!TakeWritablePath(path))
        return;
    ReadSwitch([this, path] {
        QString error;
        if (SwitchTransfer::WriteImageFile(QString::fromLocal8Bit(path.c_str()), m_module, error)
            != SwitchTransfer::FileWrite::Written) {
            return FileNotWritten(path, error.toStdString());
        }
        if (m_options.json)
            m_out.Raw(JsonHead(m_host, m_options.name, kExitOk) + ", \"file\": " + JsonString(path) + "}");
        else
            m_out.Line("switch configuration written to " + path);
        Finish(kExitOk);
    });
}

bool CCtlModule::TakeWritablePath(std::string& path)
{
    path = Expanded(m_options.file, m_host, m_options.date);
    const std::string unwritable = WhyNotWritable(path);
    if (unwritable.empty())
        return true;
    m_out.Error(m_host, "file", path + ": " + unwritable);
    Finish(kExitUsage);
    return false;
}

void CCtlModule::FileNotWritten(const std::string& path, const std::string& error)
{
    m_out.Error(m_host, "file", path + ": " + error + "; an existing file is left as it was");
    Finish(kExitUsage);
}

void CCtlModule::SwitchDiff()
{
    if (!LoadFile(Expanded(m_options.file, m_host, m_options.date)))
        return;
    ReadSwitch([this] {
        const bool differs = !m_file.ChangedRegisters(m_module).empty();
        const int status = differs && m_options.exitCode ? kExitModule : kExitOk;
        if (m_options.json)
            m_out.Raw(
                JsonHead(m_host, m_options.name, status) + ", \"differences\": " + DiffJson(m_module, m_file) + "}");
        else
            for (const std::string& line : DiffLines(m_module, m_file))
                m_out.Line(line);
        Finish(status);
    });
}

void CCtlModule::SwitchWrite()
{
    if (!LoadFile(Expanded(m_options.file, m_host, m_options.date)))
        return;
    ReadSwitch([this] {
        SwitchTransfer::UploadFlow flow = EventLoopUploadFlow(m_host, m_options.rwCommunity, &m_context);
        flow.uploaded = [this] {
            if (m_uploaded)
                m_uploaded();
            if (!m_options.json)
                m_out.Line("upload finished, restarting the switch board and confirming");
        };
        flow.waitMs = RestartWaitMs();
        m_upload = std::make_unique<CSwitchUpload>();
        m_upload->Start(m_file, m_module, flow, [this](const SwitchTransfer::UploadOutcome& outcome) {
            switch (outcome.phase) {
            case SwitchTransfer::UploadPhase::NoChanges:
            case SwitchTransfer::UploadPhase::Confirmed: break;
            case SwitchTransfer::UploadPhase::UploadFailed:
                m_out.Error(m_host, "upload", CodeText(outcome.code) + "; nothing restarted");
                return Finish(kExitUpload);
            case SwitchTransfer::UploadPhase::NotConfirmed:
                m_out.Error(m_host, "confirmation",
                    CodeText(outcome.code)
                        + "; settings not confirmed, the switch board returns to its defaults after 2 min");
                return Finish(kExitConfirm);
            }
            const bool none = outcome.phase == SwitchTransfer::UploadPhase::NoChanges;
            if (m_options.json)
                m_out.Raw(JsonHead(m_host, m_options.name, kExitOk)
                    + ", \"result\": " + (none ? "\"no changes\"" : "\"confirmed\"") + ", \"changed\": ["
                    + (none ? "" : JoinedNumbers(outcome.changed)) + "]}");
            else
                m_out.Line(none ? kNoChanges : kConfirmed);
            Finish(kExitOk);
        });
    });
}
