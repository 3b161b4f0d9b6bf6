#include "history/HistoryMessage.h"

#include <sstream>

namespace {

const char* const kFirst = "first version";
const char* const kFailed = "Failed, last good version kept:";
const char* const kItem = "- ";

bool StartsWith(const std::string& text, const std::string& head) { return text.compare(0, head.size(), head) == 0; }

}  // namespace

std::string ComposeHistoryMessage(
    const std::string& subject, const std::vector<HistoryEntry>& entries, const std::vector<std::string>& failed)
{
    std::string message = subject + "\n\n";
    for (const HistoryEntry& entry : entries) {
        message += entry.file + (entry.note.empty() ? "" : ", " + entry.note) + ":";
        if (entry.first || entry.settings.empty()) {
            message += std::string(" ") + (entry.first ? kFirst : "no named setting") + "\n";
            continue;
        }
        message += "\n";
        for (const std::string& setting : entry.settings)
            message += kItem + setting + "\n";
    }
    if (!failed.empty()) {
        message += std::string("\n") + kFailed + "\n";
        for (const std::string& module : failed)
            message += kItem + module + "\n";
    }
    return message;
}

std::vector<std::string> FilesNoted(const std::string& message, const std::string& note)
{
    std::vector<std::string> files;
    std::istringstream lines(message);
    const std::string marker = ", " + note + ":";
    for (std::string line; std::getline(lines, line) && line != kFailed;) {
        const size_t at = line.find(marker);
        if (at != std::string::npos && at > 0 && !StartsWith(line, kItem)
            && (at + marker.size() == line.size() || line[at + marker.size()] == ' '))
            files.push_back(line.substr(0, at));
    }
    return files;
}

bool FindHistoryEntry(const std::string& message, const std::string& file, HistoryEntry& entry)
{
    std::istringstream lines(message);
    bool inside = false;
    for (std::string line; std::getline(lines, line);) {
        if (inside) {
            if (!StartsWith(line, kItem))
                break;
            entry.settings.push_back(line.substr(2));
            continue;
        }
        if (line == kFailed)
            break;
        if (!StartsWith(line, file + ":") && !StartsWith(line, file + ", "))
            continue;
        // "FILE[, NOTE]:" with the settings as items below, or "FILE[, NOTE]: REST" on one line.
        const bool alone = line.back() == ':';
        const size_t end = alone ? line.size() - 1 : line.rfind(": ");
        entry = HistoryEntry {file, "", false, {}};
        if (end > file.size() + 1)
            entry.note = line.substr(file.size() + 2, end - file.size() - 2);
        entry.first = !alone && line.substr(end + 2) == kFirst;
        if (!alone)
            return true;
        inside = true;
    }
    return inside;
}
