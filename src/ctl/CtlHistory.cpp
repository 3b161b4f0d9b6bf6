#include "ctl/CtlHistory.h"

#include <QCoreApplication>
#include <algorithm>
#include <ctime>

#include "ctl/CtlOutput.h"
#include "history/HistoryStore.h"
#include "switch/SwitchImage.h"
#include "switch/SwitchRegisterNames.h"

namespace {

const char* const kNightlyHistory = "/var/lib/kalvor/history";
const char* const kSwitchExtension = ".rcs";

CSwitchImage ImageOf(const std::string& bytes)
{
    CSwitchImage::Bytes registers {};
    std::copy_n(bytes.begin(), std::min(bytes.size(), registers.size()), registers.begin());
    return CSwitchImage(registers);
}

std::string UtcText(long long seconds)
{
    const std::time_t time = std::time_t(seconds);
    std::tm utc {};
    gmtime_r(&time, &utc);
    char text[32];
    strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S UTC", &utc);
    return text;
}

std::string ShellQuoted(const std::string& text)
{
    std::string quoted = "'";
    for (const char c : text)
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

struct Row {
    std::string file;
    HistoryVersion version;
};

// The module `options` asks for: the inventory's name for an address, else
// the name or address given.
std::string Stem(const CtlOptions& options)
{
    std::vector<CtlModuleEntry> modules;
    std::string error;
    if (!options.inventory.empty() && !options.host.empty() && ReadInventory(options.inventory, "", modules, error))
        for (const CtlModuleEntry& module : modules)
            if (module.host == options.host && !module.name.empty())
                return module.name;
    return options.name.empty() ? options.host : options.name;
}

}  // namespace

std::string HistoryDir(const CtlOptions& options) { return options.history.empty() ? kNightlyHistory : options.history; }

std::string HistoryFileName(const CtlModuleEntry& module)
{
    return (module.name.empty() ? module.host : module.name) + kSwitchExtension;
}

std::vector<std::string> SwitchChanges(const std::string& before, const std::string& after)
{
    std::vector<std::string> names;
    for (int r : ImageOf(after).ChangedRegisters(ImageOf(before))) {
        std::vector<std::string> held = SwitchRegisterNames(r);
        if (held.empty())
            held.push_back("register " + std::to_string(r));
        for (const std::string& name : held)
            if (std::find(names.begin(), names.end(), name) == names.end())
                names.push_back(name);
    }
    return names;
}

void ShowSwitchFilesAsText(CHistoryStore& store)
{
    store.ShowAsText(std::string("*") + kSwitchExtension, "kalvor-switch",
        ShellQuoted(QCoreApplication::applicationFilePath().toStdString()) + " switch show");
}

int RunHistory(const CtlOptions& options)
{
    CtlOutput out;
    const std::string dir = HistoryDir(options);
    std::string error;
    const auto store = CHistoryStore::Read(dir, error);
    if (!store) {
        out.Note("kalvorctl: --history " + dir + ": " + error);
        return kExitUsage;
    }
    const std::string stem = Stem(options);
    std::vector<Row> rows;
    for (const std::string& file : store->FilesOf(stem))
        for (const HistoryVersion& version : store->Versions(file))
            rows.push_back({file, version});
    if (rows.empty()) {
        out.Note("kalvorctl: " + dir + ": no version of " + stem);
        return kExitUsage;
    }
    std::stable_sort(
        rows.begin(), rows.end(), [](const Row& a, const Row& b) { return a.version.time > b.version.time; });
    for (const Row& row : rows) {
        const HistoryVersion& v = row.version;
        std::string changes;
        for (const std::string& setting : v.settings)
            changes += (changes.empty() ? "" : "; ") + setting;
        if (options.json)
            out.Raw("{\"file\": " + JsonString(row.file) + ", \"commit\": " + JsonString(v.commit) + ", \"date\": "
                + JsonString(UtcText(v.time)) + ", \"first\": " + (v.first ? "true" : "false")
                + ", \"changes\": " + JsonStrings(v.settings) + "}");
        else
            out.Line(UtcText(v.time) + "  " + v.commit.substr(0, 10) + "  " + row.file + "  "
                + (v.first ? std::string("first version") : changes));
    }
    return kExitOk;
}

std::string CheckRecordOptions(const CtlOptions& options)
{
    const CtlCommand command = options.command;
    const bool onModules = !options.Offline() && command != CtlCommand::Scan;
    const bool switchUpdate = command == CtlCommand::SwitchDiff || command == CtlCommand::SwitchWrite;
    const struct {
        bool refused;
        const char* why;
    } kRules[] = {
        {!options.inventory.empty() && !options.hostsFile.empty(), "--inventory and --hosts do not go together"},
        {!options.group.empty() && options.inventory.empty(), "--group is for --inventory"},
        {!options.inventory.empty() && !onModules && command != CtlCommand::History,
            "--inventory is for the commands that work on modules, and history"},
        {!options.hostsFile.empty() && command == CtlCommand::History, "--hosts does not go with history"},
        {!options.history.empty() && command != CtlCommand::SwitchRead && command != CtlCommand::History
                && options.at.empty(),
            "--history is for switch read, history and --at"},
        {!options.at.empty() && !(switchUpdate && onModules), "--at is for switch diff and switch write with a module"},
        {!options.onChange.empty() && command != CtlCommand::SwitchRead, "--on-change is for switch read"},
        {!options.onFailure.empty() && !onModules, "--on-failure is for the commands that work on modules"},
    };
    for (const auto& rule : kRules)
        if (rule.refused)
            return rule.why;
    return std::string();
}
