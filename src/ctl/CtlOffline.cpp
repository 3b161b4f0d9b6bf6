#include "ctl/CtlOffline.h"

#include "ctl/CtlHistory.h"
#include "ctl/CtlModule.h"
#include "ctl/CtlOutput.h"
#include "ctl/CtlSettingsText.h"
#include "ctl/CtlSwitchText.h"

namespace {

// A file that could not be loaded: with --json, the failure's object (its
// line on standard error says the same).
int Refused(const CtlOptions& options, CtlOutput& out, const std::string& head, int status)
{
    if (options.json)
        out.Raw(JsonFailure(head, status, out.LastError()));
    return status;
}

int Show(const CtlOptions& options, CtlOutput& out)
{
    CSwitchImage image;
    const std::string head = "\"file\": " + JsonString(options.file);
    if (const int status = LoadImageFile("switch show", options.file, out, image))
        return Refused(options, out, head, status);
    if (options.json) {
        out.Raw("{" + head + ", \"registers\": " + ShowJson(image) + "}");
        return kExitOk;
    }
    for (const std::string& line : ShowLines(image))
        out.Line(line);
    return kExitOk;
}

int Diff(const CtlOptions& options, CtlOutput& out)
{
    CSwitchImage from, to;
    const std::string head = "\"from\": " + JsonString(options.file) + ", \"to\": " + JsonString(options.otherFile);
    for (const auto& [path, image] : {std::pair {&options.file, &from}, {&options.otherFile, &to}})
        if (const int status = LoadImageFile("switch diff", *path, out, *image))
            return Refused(options, out, head, status);
    const bool differs = !to.ChangedRegisters(from).empty();
    const int status = differs && options.exitCode ? kExitModule : kExitOk;
    if (options.json) {
        out.Raw("{" + head + ", \"status\": " + std::to_string(status) + ", \"differences\": " + DiffJson(from, to)
            + "}");
        return status;
    }
    for (const std::string& line : DiffLines(from, to))
        out.Line(line);
    return status;
}

int ModuleShow(const CtlOptions& options, CtlOutput& out)
{
    SettingsSnapshot settings;
    if (const int status = LoadSettingsFile("module show", options.file, out, settings))
        return status;
    if (options.json) {
        out.Raw("{\"file\": " + JsonString(options.file) + ", \"settings\": " + SettingsShowJson(settings) + "}");
        return kExitOk;
    }
    for (const std::string& line : SettingsShowLines(settings))
        out.Line(line);
    return kExitOk;
}

int ModuleDiff(const CtlOptions& options, CtlOutput& out)
{
    SettingsSnapshot from, to;
    if (const int status = LoadSettingsFile("module diff", options.file, out, from))
        return status;
    if (const int status = LoadSettingsFile("module diff", options.otherFile, out, to))
        return status;
    const std::vector<SettingDifference> differences = DiffSettings(from, to);
    const int status = !differences.empty() && options.exitCode ? kExitModule : kExitOk;
    if (options.json) {
        out.Raw("{\"from\": " + JsonString(options.file) + ", \"to\": " + JsonString(options.otherFile)
            + ", \"status\": " + std::to_string(status) + ", \"differences\": " + SettingsDiffJson(differences) + "}");
        return status;
    }
    for (const std::string& line : SettingsDiffLines(differences))
        out.Line(line);
    return status;
}

}  // namespace

int RunOffline(const CtlOptions& options)
{
    if (options.command == CtlCommand::History)
        return RunHistory(options);
    CtlOutput out;
    switch (options.command) {
    case CtlCommand::SwitchShow: return Show(options, out);
    case CtlCommand::ModuleShow: return ModuleShow(options, out);
    case CtlCommand::ModuleDiff: return ModuleDiff(options, out);
    default: return Diff(options, out);
    }
}
