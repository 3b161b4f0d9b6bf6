#include "ctl/CtlCommands.h"

#include <QString>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <memory>

#include "core/SettingsRead.h"
#include "platform/FileReplace.h"
#include "platform/Pause.h"
#include "snmp/SnmpRequest.h"
#include "switch/SwitchImage.h"
#include "switch/SwitchRegisterNames.h"
#include "switch/SwitchTransfer.h"

namespace {

const char* const kNoChanges = "No changes made! Skipping SNMP upload to switch memory.";
const char* const kConfirmed = "Settings comfirmed succesfully!";

std::string CodeText(int code)
{
    switch (code) {
    case CSnmpRequest::kErrorStatus: return "the module refused the request or gave no valid answer (code -1)";
    case CSnmpRequest::kNoAnswer: return "no answer from the module (code -2)";
    case CSnmpRequest::kNoSession: return "no SNMP session could be opened (code -3)";
    default: return "SNMP code " + std::to_string(code);
    }
}

std::string Hex(uint8_t value)
{
    char text[8];
    snprintf(text, sizeof text, "0x%02X", value);
    return text;
}

int Info(const CtlOptions& options, const std::string& host, CtlOutput& out)
{
    const ModuleSettings settings = ReadModuleSettings(host.c_str(), options.roCommunity.c_str());
    switch (settings.failure) {
    case ModuleSettings::Failure::None: break;
    case ModuleSettings::Failure::Version:
        out.Error(host, "firmware version", CodeText(settings.code));
        return kExitModule;
    case ModuleSettings::Failure::Refused:
        out.Error(host, "firmware version",
            "firmware " + settings.version.Text().toStdString() + " is not supported (4.050 or later needed)");
        return kExitModule;
    case ModuleSettings::Failure::Settings: out.Error(host, "settings", CodeText(settings.code)); return kExitModule;
    }
    if (options.json) {
        std::string json = "{\"host\": " + JsonString(host) + ", \"status\": 0";
        for (const NamedSetting& setting : settings.values)
            json += ", " + JsonString(setting.key) + ": " + JsonString(setting.value.toStdString());
        PrintRaw(json + "}");
        return kExitOk;
    }
    size_t width = 0;
    for (const NamedSetting& setting : settings.values)
        width = std::max(width, strlen(setting.key));
    for (const NamedSetting& setting : settings.values) {
        std::string line = std::string(setting.key) + ":";
        line.append(width + 2 - line.size(), ' ');
        out.Line(line + setting.value.toStdString());
    }
    return kExitOk;
}

// Phase 1 of every switch command: the 128 registers, plausible.
int ReadSwitch(const CtlOptions& options, const std::string& host, CtlOutput& out, CSwitchImage& image)
{
    CSnmpRequest request(host.c_str(), options.roCommunity.c_str(), SwitchMap::kRegisters);
    SwitchTransfer::AddRegisterReads(request);
    const int result = request.Get();
    if (result < 0) {
        out.Error(host, "switch read", CodeText(result));
        return kExitSwitchRead;
    }
    image = SwitchTransfer::ImageFromReads(request);
    if (!image.IsPlausible()) {
        out.Error(host, "switch read",
            "implausible data (every register 0x00 or 0xFF): check the cable between module and switch board");
        return kExitImplausible;
    }
    return kExitOk;
}

int LoadFile(const std::string& host, const std::string& path, CtlOutput& out, CSwitchImage& image)
{
    const SwitchTransfer::FileRead read = SwitchTransfer::ReadImageFile(QString::fromLocal8Bit(path.c_str()), image);
    switch (read.status) {
    case SwitchTransfer::FileStatus::Loaded: return kExitOk;
    case SwitchTransfer::FileStatus::TooShort:
        out.Error(host, "file", path + ": " + std::to_string(read.size) + " bytes, a configuration has 128");
        return kExitUsage;
    case SwitchTransfer::FileStatus::Unreadable:
        out.Error(host, "file", path + ": " + read.error.toStdString());
        return kExitUsage;
    }
    return kExitUsage;
}

int SwitchRead(const CtlOptions& options, const std::string& host, CtlOutput& out)
{
    const std::string path = WithHost(options.file, host);
    // A file that cannot be written is found before any exchange.
    const std::string unwritable = WhyNotWritable(path);
    if (!unwritable.empty()) {
        out.Error(host, "file", path + ": " + unwritable);
        return kExitUsage;
    }
    CSwitchImage image;
    if (const int status = ReadSwitch(options, host, out, image))
        return status;
    QString error;
    if (SwitchTransfer::WriteImageFile(QString::fromLocal8Bit(path.c_str()), image, error)
        != SwitchTransfer::FileWrite::Written) {
        out.Error(host, "file", path + ": " + error.toStdString() + "; an existing file is left as it was");
        return kExitUsage;
    }
    out.Line("switch configuration written to " + path);
    return kExitOk;
}

int SwitchDiff(const CtlOptions& options, const std::string& host, CtlOutput& out)
{
    CSwitchImage file;
    if (const int status = LoadFile(host, WithHost(options.file, host), out, file))
        return status;
    CSwitchImage module;
    if (const int status = ReadSwitch(options, host, out, module))
        return status;
    for (int r : file.ChangedRegisters(module)) {
        std::string line
            = "register " + std::to_string(r) + ": " + Hex(module.Register(r)) + " -> " + Hex(file.Register(r));
        const std::vector<std::string> names = SwitchRegisterNames(r);
        for (size_t i = 0; i < names.size(); ++i)
            line += (i == 0 ? "  [" : "; ") + names[i];
        if (!names.empty())
            line += "]";
        out.Line(line);
    }
    return kExitOk;
}

int SwitchWrite(const CtlOptions& options, const std::string& host, CtlOutput& out, const std::function<void()>& uploaded)
{
    CSwitchImage file;
    if (const int status = LoadFile(host, WithHost(options.file, host), out, file))
        return status;
    CSwitchImage module;
    if (const int status = ReadSwitch(options, host, out, module))
        return status;
    SwitchTransfer::UploadSteps steps;
    steps.newRequest = [&](uint32_t capacity) {
        return std::make_unique<CSnmpRequest>(host.c_str(), options.rwCommunity.c_str(), capacity);
    };
    steps.uploaded = [&] {
        if (uploaded)
            uploaded();
        out.Line("upload finished, restarting the switch board and confirming");
    };
    steps.wait = [](unsigned milliseconds) { Sleep(milliseconds); };
    steps.waitMs = RestartWaitMs();
    const SwitchTransfer::UploadOutcome outcome = SwitchTransfer::UploadChanges(file, module, steps);
    switch (outcome.phase) {
    case SwitchTransfer::UploadPhase::NoChanges: out.Line(kNoChanges); return kExitOk;
    case SwitchTransfer::UploadPhase::UploadFailed:
        out.Error(host, "upload", CodeText(outcome.code) + "; nothing restarted");
        return kExitUpload;
    case SwitchTransfer::UploadPhase::NotConfirmed:
        out.Error(host, "confirmation",
            CodeText(outcome.code) + "; settings not confirmed, the switch board returns to its defaults after 2 min");
        return kExitConfirm;
    case SwitchTransfer::UploadPhase::Confirmed: out.Line(kConfirmed); return kExitOk;
    }
    return kExitConfirm;
}

}  // namespace

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

int RunCtlCommand(
    const CtlOptions& options, const std::string& host, CtlOutput& out, const std::function<void()>& uploaded)
{
    switch (options.command) {
    case CtlCommand::Info: return Info(options, host, out);
    case CtlCommand::SwitchRead: return SwitchRead(options, host, out);
    case CtlCommand::SwitchDiff: return SwitchDiff(options, host, out);
    case CtlCommand::SwitchWrite: return SwitchWrite(options, host, out, uploaded);
    }
    return kExitUsage;
}
