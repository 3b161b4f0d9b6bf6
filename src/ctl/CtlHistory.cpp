#include "ctl/CtlHistory.h"

#include <QCoreApplication>
#include <algorithm>
#include <ctime>

#include "ctl/CtlOutput.h"
#include "history/HistoryStore.h"
#include "settings/SettingsFile.h"
#include "settings/SwitchImage.h"
#include "settings/SwitchRegisterNames.h"

namespace {

const char* const kNightlyHistory = "/var/lib/kalvor/history";

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

void AddOnce(const std::string& name, std::vector<std::string>& names)
{
    if (std::find(names.begin(), names.end(), name) == names.end())
        names.push_back(name);
}

// The settings register `r` holds, by name ("register R" when no setting
// shows it).
void AddRegisterNames(int r, std::vector<std::string>& names)
{
    std::vector<std::string> held = SwitchRegisterNames(r);
    if (held.empty())
        held.push_back("register " + std::to_string(r));
    for (const std::string& name : held)
        AddOnce(name, names);
}

// The settings, by name, that differ between two switch configurations.
std::vector<std::string> SwitchChanges(const std::string& before, const std::string& after)
{
    std::vector<std::string> names;
    for (int r : ImageOf(after).ChangedRegisters(ImageOf(before)))
        AddRegisterNames(r, names);
    return names;
}

// The switch register that `key` names, or -1.
int RegisterOf(const std::string& key)
{
    for (int r = 0; r < SwitchMap::kRegisters; ++r)
        if (RegisterKey(r) == key)
            return r;
    return -1;
}

// The settings, by their labels, that differ between two module settings
// files; a switch register by the settings it holds, as in a switch
// configuration's history. None named when either file is damaged.
std::vector<std::string> ModuleChanges(const std::string& before, const std::string& after)
{
    const SettingsFileParse from = ParseSettingsFile(QByteArray::fromStdString(before));
    const SettingsFileParse to = ParseSettingsFile(QByteArray::fromStdString(after));
    std::vector<std::string> names;
    if (!from.ok || !to.ok)
        return names;
    for (const SettingDifference& difference : DiffSettings(from.snapshot, to.snapshot)) {
        const int r = RegisterOf(difference.key);
        if (r >= 0)
            AddRegisterNames(r, names);
        else
            AddOnce(difference.label.toStdString(), names);
    }
    return names;
}

// A module's switch configuration is NAME.rcs; its module settings, the
// switch registers among them, NAME.txt (a text file that git shows as it
// is).
const CtlSavedKind kSavedKinds[] = {
    {CtlCommand::SwitchRead, {CtlCommand::SwitchDiff, CtlCommand::SwitchWrite}, "switch configuration", ".rcs",
        "switch show", SwitchChanges},
    {CtlCommand::ModuleSave, {CtlCommand::ModuleDiff, CtlCommand::ModuleApply}, "module settings", ".txt", nullptr,
        ModuleChanges},
};

// The commands of every kind that save a file, or that take one (--at).
std::string CommandList(bool saving)
{
    std::string list;
    for (const CtlSavedKind& kind : kSavedKinds)
        for (CtlCommand command : saving ? std::vector<CtlCommand> {kind.save} : kind.updates)
            list += (list.empty() ? "" : ", ") + std::string(CommandWords(command));
    return list;
}

}  // namespace

const CtlSavedKind* SavedKind(CtlCommand command)
{
    for (const CtlSavedKind& kind : kSavedKinds)
        if (kind.save == command || std::find(kind.updates.begin(), kind.updates.end(), command) != kind.updates.end())
            return &kind;
    return nullptr;
}

std::string HistoryDir(const CtlOptions& options)
{
    return options.history.empty() ? kNightlyHistory : options.history;
}

std::string HistoryFileName(const CtlModuleEntry& module, const CtlSavedKind& kind)
{
    return (module.name.empty() ? module.host : module.name) + kind.extension;
}

void ShowFilesAsText(CHistoryStore& store)
{
    const std::string program = ShellQuoted(QCoreApplication::applicationFilePath().toStdString());
    for (const CtlSavedKind& kind : kSavedKinds)
        if (kind.show)
            store.ShowAsText(std::string("*") + kind.extension, std::string("kalvor-") + (kind.extension + 1),
                program + " " + kind.show);
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
        rows.begin(), rows.end(), [](const Row& a, const Row& b) { return a.version.depth < b.version.depth; });
    for (const Row& row : rows) {
        const HistoryVersion& v = row.version;
        std::string changes;
        for (const std::string& setting : v.settings)
            changes += (changes.empty() ? "" : "; ") + setting;
        if (options.json)
            out.Raw("{\"file\": " + JsonString(row.file) + ", \"commit\": " + JsonString(v.commit)
                + ", \"date\": " + JsonString(UtcText(v.time)) + ", \"first\": " + (v.first ? "true" : "false")
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
    const CtlSavedKind* kind = SavedKind(command);
    const bool saves = kind && kind->save == command;
    const std::string saving = " (" + CommandList(true) + ")";
    const struct {
        bool refused;
        std::string why;
    } kRules[] = {
        {!options.inventory.empty() && !options.hostsFile.empty(), "--inventory and --hosts do not go together"},
        {!options.group.empty() && options.inventory.empty(), "--group is for --inventory"},
        {!options.inventory.empty() && !onModules && command != CtlCommand::History,
            "--inventory is for the commands that work on modules, and history"},
        {!options.hostsFile.empty() && command == CtlCommand::History, "--hosts does not go with history"},
        {!options.history.empty() && !saves && command != CtlCommand::History && options.at.empty(),
            "--history is for the commands that save a file" + saving + ", history and --at"},
        {!options.at.empty() && !(kind && !saves && onModules),
            "--at is for the commands that compare a module with a file or write one to it (" + CommandList(false)
                + ")"},
        {!options.onChange.empty() && !saves, "--on-change is for the commands that save a file" + saving},
        {!options.onFailure.empty() && !onModules, "--on-failure is for the commands that work on modules"},
    };
    for (const auto& rule : kRules)
        if (rule.refused)
            return rule.why;
    return std::string();
}
