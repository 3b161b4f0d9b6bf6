#include "ctl/CtlFollowUp.h"

#include <QFile>
#include <cstring>

#include "ctl/CtlHistory.h"
#include "ctl/CtlModule.h"
#include "ctl/CtlOutput.h"
#include "ctl/CtlSignals.h"
#include "history/HistoryStore.h"

namespace {

bool ReadFile(const std::string& path, std::string& bytes)
{
    QFile file(QString::fromLocal8Bit(path.c_str()));
    if (!file.open(QIODevice::ReadOnly))
        return false;
    bytes = file.readAll().toStdString();
    return true;
}

std::string Joined(const std::vector<std::string>& items, const char* separator)
{
    std::string text;
    for (const std::string& item : items)
        text += (text.empty() ? "" : separator) + item;
    return text;
}

}  // namespace

CCtlFollowUp::CCtlFollowUp(const CtlOptions& options, const std::vector<CtlModuleEntry>& modules)
    : m_options(options),
      m_modules(modules),
      m_kind(SavedKind(options.command)),
      m_states(modules.size()),
      m_hooks(options.jobs, options.hookTimeoutUs / 1000)
{
}

CCtlFollowUp::~CCtlFollowUp() = default;

bool CCtlFollowUp::Recording() const { return !m_options.history.empty() && Saves(); }

bool CCtlFollowUp::Saves() const { return m_kind && m_kind->save == m_options.command; }

bool CCtlFollowUp::Open(std::string& error)
{
    const std::string dir = HistoryDir(m_options);
    if (Recording())
        m_store = CHistoryStore::Record(dir, error);
    else if (!m_options.at.empty())
        m_store = CHistoryStore::Read(dir, error);
    else
        return true;
    if (!m_store) {
        error = "--history " + dir + ": " + error;
        return false;
    }
    if (Recording())
        ShowFilesAsText(*m_store);
    return Recording() || TakeVersions(error);
}

// --at: every module's version into a private folder, before any traffic.
bool CCtlFollowUp::TakeVersions(std::string& error)
{
    m_versions = std::make_unique<QTemporaryDir>();
    for (const CtlModuleEntry& module : m_modules) {
        std::string bytes;
        const std::string name = HistoryFileName(module, *m_kind);
        if (!m_store->At(m_options.at, StoredFileName(module), bytes, error)) {
            error = "--at " + error + (m_modules.size() > 1 ? " (" + ModuleLabel(module) + ")" : "");
            return false;
        }
        QFile file(m_versions->filePath(QString::fromLocal8Bit(name.c_str())));
        if (!file.open(QIODevice::WriteOnly)
            || file.write(bytes.data(), qint64(bytes.size())) != qint64(bytes.size())) {
            error = "--at: " + file.fileName().toStdString() + ": " + file.errorString().toStdString();
            return false;
        }
    }
    return true;
}

// The module's file in the history: by its name, else the file that the
// history notes with its address (a module named by an inventory).
std::string CCtlFollowUp::StoredFileName(const CtlModuleEntry& module) const
{
    const std::string name = HistoryFileName(module, *m_kind);
    if (!module.name.empty())
        return name;
    for (const std::string& file : m_store->FilesOf(module.host))
        if (file.size() > strlen(m_kind->extension)
            && file.compare(file.size() - strlen(m_kind->extension), std::string::npos, m_kind->extension) == 0)
            return file;
    return name;
}

CtlOptions CCtlFollowUp::ModuleOptions(size_t i) const
{
    const CtlModuleEntry& module = m_modules[i];
    CtlOptions options = m_options;
    options.name = module.name;
    if (module.hasRo)
        options.roCommunity = module.ro;
    if (module.hasRw)
        options.rwCommunity = module.rw;
    if (m_versions)
        options.file
            = m_versions->filePath(QString::fromLocal8Bit(HistoryFileName(module, *m_kind).c_str())).toStdString();
    else if (!options.file.empty())
        options.file = Expanded(options.file, module.host, options.date, module.name);
    return options;
}

std::string CCtlFollowUp::SavedPath(size_t i) const
{
    if (Recording())
        return HistoryDir(m_options) + "/" + HistoryFileName(m_modules[i], *m_kind);
    return Saves() ? ModuleOptions(i).file : std::string();
}

void CCtlFollowUp::Started(size_t i, CCtlModule& module)
{
    State& state = m_states[i];
    if (Recording())
        module.SaveTo([&state](const std::string& bytes) {
            state.saved = true;
            state.bytes = bytes;
        });
    else if (!m_options.onChange.empty())
        state.hadBefore = ReadFile(SavedPath(i), state.before);
}

void CCtlFollowUp::Finished(size_t i, int status, CtlOutput& out)
{
    State& state = m_states[i];
    if (CCtlModule::IsFailure(m_options, status)) {
        m_failed.push_back(i);
        if (!m_options.onFailure.empty())
            Hook("on-failure", m_options.onFailure, i, status);
        return;
    }
    if (Recording() && state.saved)
        return Record(i, out);
    std::string after;
    if (m_options.onChange.empty() || !Saves() || !ReadFile(SavedPath(i), after))
        return;
    state.changed = !state.hadBefore || after != state.before;
    state.changes = state.hadBefore ? m_kind->changes(state.before, after) : std::vector<std::string> {"first version"};
    if (state.changed)
        Hook("on-change", m_options.onChange, i, status);
}

// A history run's module: staged for the commit when its file changed.
void CCtlFollowUp::Record(size_t i, CtlOutput& out)
{
    State& state = m_states[i];
    const CtlModuleEntry& module = m_modules[i];
    const std::string file = HistoryFileName(module, *m_kind);
    std::string last;
    const bool first = !m_store->Last(file, last);
    state.changed = first || last != state.bytes;
    if (state.changed) {
        state.changes = first ? std::vector<std::string> {"first version"} : m_kind->changes(last, state.bytes);
        m_store->Stage(
            {file, module.name.empty() ? "" : module.host, first, first ? std::vector<std::string> {} : state.changes},
            state.bytes);
        m_changed.push_back(i);
    }
    const char* change = first ? "first" : state.changed ? "changed" : "unchanged";
    if (m_options.json) {
        out.Raw("{" + ModuleJsonKeys(module) + ", \"status\": 0, \"file\": " + JsonString(SavedPath(i))
            + ", \"change\": \"" + change
            + "\", \"changes\": " + JsonStrings(first ? std::vector<std::string> {} : state.changes) + "}");
        return;
    }
    const std::string noun = m_kind->noun;
    if (first)
        out.Line(noun + " recorded: first version");
    else
        out.Line(state.changed ? noun + " changed: " + Joined(state.changes, "; ") : noun + " unchanged");
}

bool CCtlFollowUp::Close(CtlOutput& out)
{
    bool done = true;
    if (Recording()) {
        const std::string counts = std::to_string(m_changed.size()) + " of " + std::to_string(m_modules.size())
            + " modules changed" + (m_failed.empty() ? "" : ", " + std::to_string(m_failed.size()) + " failed")
            + (CtlSignals::Count() > 0 ? ", interrupted" : "");
        const std::string subject = CommandWords(m_kind->save) + std::string(": ") + counts;
        std::vector<std::string> failed;
        for (size_t i : m_failed)
            failed.push_back(ModuleLabel(m_modules[i]));
        std::string error;
        done = m_store->Commit(subject, failed, m_commit, error);
        const std::string head = "kalvorctl: history " + HistoryDir(m_options) + ": ";
        if (!done)
            out.Note(head + error + (m_commit.empty() ? "; the history is as it was" : ""));
        else if (m_commit.empty())
            out.Note(head + "nothing changed, no commit");
        else
            out.Note(head + "commit " + m_commit.substr(0, 10) + ", " + counts);
        for (size_t i : m_changed)
            if (done && !m_options.onChange.empty())
                Hook("on-change", m_options.onChange, i, kExitOk);
    }
    m_hooks.Wait();
    return done;
}

std::string CCtlFollowUp::SummaryJson() const
{
    std::string json;
    if (Recording()) {
        std::vector<std::string> changed;
        for (size_t i : m_changed)
            changed.push_back(m_modules[i].host);
        json += "\"history\": {\"commit\": " + (m_commit.empty() ? std::string("null") : JsonString(m_commit))
            + ", \"changed_hosts\": " + JsonStrings(changed) + "}";
    }
    if (!m_options.onChange.empty() || !m_options.onFailure.empty())
        json += (json.empty() ? "" : ", ") + std::string("\"hook_failures\": ") + std::to_string(m_hooks.Failures());
    return json;
}

void CCtlFollowUp::Hook(const std::string& kind, const std::string& command, size_t i, int status)
{
    const CtlModuleEntry& module = m_modules[i];
    m_hooks.Add(kind, command,
        {ModuleLabel(module), module.host, module.name.empty() ? module.host : module.name, status, m_states[i].changes,
            SavedPath(i)});
}
