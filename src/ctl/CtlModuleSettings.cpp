// The module commands of one module: module save, module diff and module
// apply, on the callback-form read of every setting and the apply of
// src/fleet.

#include <cstdio>
#include <cstring>

#include "ctl/CtlModule.h"
#include "ctl/CtlSettingsText.h"
#include "ctl/CtlSignals.h"
#include "fleet/SettingsApply.h"
#include "fleet/SettingsReadAll.h"
#include "base/FileReplace.h"
#include "settings/SettingsFile.h"

using Failure = SettingsReadResult::Failure;

namespace {

std::string Joined(const std::vector<std::string>& keys)
{
    std::string text;
    for (const std::string& key : keys)
        text += (text.empty() ? "" : ", ") + key;
    return text;
}

// The operator's answer on standard input: only y or yes goes on (an
// interrupt or the end of the input is a no).
bool Confirmed(const std::string& question)
{
    fputs(question.c_str(), stderr);
    fflush(stderr);
    char answer[32] = {};
    if (!fgets(answer, sizeof answer, stdin))
        return false;
    answer[strcspn(answer, "\r\n")] = '\0';
    return strcmp(answer, "y") == 0 || strcmp(answer, "yes") == 0;
}

std::string Why(const SettingOutcome& setting)
{
    switch (setting.outcome) {
    case WriteOutcome::Written: return "written";
    case WriteOutcome::Unchecked:
        return setting.code ? "written, not read back (" + CodeText(setting.code) + ")"
                            : "maybe written (stopped while it was sent), not read back";
    case WriteOutcome::ReadsOtherwise: return "written, but reads back as " + setting.value.toStdString();
    case WriteOutcome::Failed: return "its request failed: " + CodeText(setting.code);
    case WriteOutcome::NotSent: return "not sent";
    }
    return std::string();
}

// Done: every setting reads back as written (the module's own address may
// no longer answer at the old one).
bool Complete(const ApplyResult& result)
{
    return !result.cancelled
        && std::all_of(result.settings.begin(), result.settings.end(), [&result](const SettingOutcome& s) {
               return s.outcome == WriteOutcome::Written
                   || (s.key == "ip" && result.addressChanged && s.outcome == WriteOutcome::Unchecked);
           });
}

}  // namespace

void CCtlModule::ReadSettings(const std::function<void()>& then)
{
    m_readAll = std::make_unique<CSettingsReadAll>(m_host, m_options.roCommunity);
    m_readAll->Start([this, then](const SettingsReadResult& result) {
        switch (result.failure) {
        case Failure::None: m_moduleSettings = result.snapshot; return then();
        case Failure::Refused:
            m_out.Error(m_host, result.Phase(), "firmware is not supported (4.050 or later needed)");
            return Finish(kExitModule);
        case Failure::Implausible:
            m_out.Error(m_host, result.Phase(),
                "implausible data (every register 0x00 or 0xFF): check the cable between module and switch board");
            return Finish(kExitImplausible);
        case Failure::Switch:
            m_out.Error(m_host, result.Phase(), CodeText(result.code));
            return Finish(kExitSwitchRead);
        default: m_out.Error(m_host, result.Phase(), CodeText(result.code)); return Finish(kExitModule);
        }
    });
}

void CCtlModule::ModuleSave()
{
    if (m_options.file.empty() && m_sink)
        return ReadSettings([this] {
            m_sink(SettingsFileText(m_moduleSettings).toStdString());
            Finish(kExitOk);
        });
    std::string path;
    if (!TakeWritablePath(path))
        return;
    ReadSettings([this, path] {
        QString error;
        if (!WriteSettingsFile(QString::fromLocal8Bit(path.c_str()), m_moduleSettings, error)) {
            return FileNotWritten(path, error.toStdString());
        }
        const std::string firmware = m_moduleSettings.shape.version.Text().toStdString();
        const std::string count = std::to_string(m_moduleSettings.SettingCount());
        if (m_options.json)
            m_out.Raw(JsonHead(m_host, m_options.name, kExitOk) + ", \"file\": " + JsonString(path)
                + ", \"firmware\": " + JsonString(firmware) + ", \"settings\": " + count + "}");
        else
            m_out.Line("module settings written to " + path + " (firmware " + firmware + ", " + count + " settings)");
        Finish(kExitOk);
    });
}

void CCtlModule::ModuleDiff()
{
    if (LoadSettingsFile(m_host, Expanded(m_options.file, m_host, m_options.date), m_out, m_fileSettings))
        return Finish(kExitUsage);
    ReadSettings([this] {
        const std::vector<SettingDifference> differences = DiffSettings(m_moduleSettings, m_fileSettings);
        const int status = !differences.empty() && m_options.exitCode ? kExitModule : kExitOk;
        if (m_options.json)
            m_out.Raw(JsonHead(m_host, m_options.name, status) + ", \"differences\": " + SettingsDiffJson(differences) + "}");
        else
            for (const std::string& line : SettingsDiffLines(differences))
                m_out.Line(line);
        Finish(status);
    });
}

void CCtlModule::ModuleApply()
{
    const std::string path = Expanded(m_options.file, m_host, m_options.date);
    if (LoadSettingsFile(m_host, path, m_out, m_fileSettings))
        return Finish(kExitUsage);
    const std::vector<ApplyRefusal> values = CheckFileValues(m_fileSettings, m_options.withAddress);
    for (const ApplyRefusal& refusal : values)
        m_out.Error(m_host, "file",
            path + ": " + refusal.key + ": " + refusal.reason.toStdString() + " (the window would not send it)");
    if (!values.empty())
        return Finish(kExitUsage);
    ReadSettings([this] {
        const std::vector<SettingDifference> differences = DiffSettings(m_moduleSettings, m_fileSettings);
        const std::vector<std::string> keys = KeysToApply(differences, m_fileSettings, m_options.withAddress);
        const std::vector<ApplyRefusal> refusals = CheckApply(m_moduleSettings, m_fileSettings, keys);
        for (const ApplyRefusal& refusal : refusals)
            m_out.Error(m_host, "refused", refusal.key + ": " + refusal.reason.toStdString() + "; nothing written");
        if (!refusals.empty())
            return Finish(kExitNotApplied);
        if (!m_options.json) {
            for (const SettingDifference& difference : differences) {
                const bool kept = std::find(keys.begin(), keys.end(), difference.key) == keys.end();
                m_out.Line((kept ? "kept " : "") + SettingsDiffLines({difference}).front()
                    + (difference.key == "ip" && kept ? " (--with-address writes it)" : ""));
            }
        }
        if (keys.empty())
            return ReportApply(ApplyResult());
        if (!m_options.yes
            && !Confirmed(
                "kalvorctl: write these " + std::to_string(keys.size()) + " settings to " + m_host + "? [y/N] ")) {
            m_out.Error(m_host, "apply", "not confirmed: nothing written");
            return Finish(kExitNotApplied);
        }
        ApplyFlow flow;
        flow.switchWaitMs = RestartWaitMs();
        flow.stop = [] { return CtlSignals::Count() > 0; };
        flow.switchUploaded = [this] {
            if (m_uploaded)
                m_uploaded();
        };
        m_apply = std::make_unique<CSettingsApply>(m_host, m_options.roCommunity, m_options.rwCommunity, flow);
        m_apply->Start(
            m_moduleSettings, m_fileSettings, keys, [this](const ApplyResult& result) { ReportApply(result); });
    });
}

void CCtlModule::ReportApply(const ApplyResult& result)
{
    const std::vector<std::string> written = result.Keys(WriteOutcome::Written);
    const int status = Complete(result) ? kExitOk : result.switchUnconfirmed ? kExitConfirm : kExitIncomplete;
    std::vector<std::string> notWritten;
    for (const SettingOutcome& setting : result.settings)
        if (setting.outcome != WriteOutcome::Written)
            notWritten.push_back(setting.key + ": " + Why(setting));
    const std::string address = result.addressChanged ? m_fileSettings.Value("ip").toStdString() : std::string();
    if (m_options.json) {
        std::vector<std::string> entries;
        for (const SettingOutcome& setting : result.settings)
            if (setting.outcome != WriteOutcome::Written)
                entries.push_back(
                    "{\"key\": " + JsonString(setting.key) + ", \"reason\": " + JsonString(Why(setting)) + "}");
        m_out.Raw(JsonHead(m_host, m_options.name, status) + ", \"written\": " + JsonStrings(written) + ", \"not_written\": "
            + JsonArray(entries) + (address.empty() ? "" : ", \"address\": " + JsonString(address)) + "}");
        return Finish(status);
    }
    if (result.settings.empty())
        m_out.Line("nothing to write: the module holds the file's settings");
    if (!written.empty())
        m_out.Line("written and read back (" + std::to_string(written.size()) + "): " + Joined(written));
    for (const std::string& line : notWritten)
        m_out.Line("not written: " + line);
    if (result.cancelled)
        m_out.Error(m_host, "apply", "stopped by an interrupt before all settings were written");
    if (result.switchUnconfirmed)
        m_out.Error(m_host, "confirmation",
            "switch registers uploaded but not confirmed: the switch board returns to its defaults after 2 min");
    if (!address.empty())
        m_out.Line("the module's address is now " + address + ": reach it there (kalvorctl info " + address + ")");
    Finish(status);
}
