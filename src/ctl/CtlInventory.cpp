#include "ctl/CtlInventory.h"

#include <algorithm>
#include <cctype>
#include <map>
#include <set>
#include <sys/stat.h>

#include "ctl/CtlCommunities.h"
#include "ctl/CtlHostList.h"
#include "ctl/CtlOutput.h"
#include "snmp/ModuleAddress.h"

namespace {

constexpr size_t kMaxInventory = 16 << 20;
constexpr size_t kMaxName = 64;
const char* const kColumns[] = {"address", "name", "group", "ro", "rw"};
enum Column { kAddress, kName, kGroup, kRo, kRw, kColumnCount };

std::string Trimmed(const std::string& text)
{
    const size_t first = text.find_first_not_of(" \t\r");
    return first == std::string::npos ? std::string() : text.substr(first, text.find_last_not_of(" \t\r") - first + 1);
}

// The fields of one CSV line: separated by commas, blanks around a field
// dropped, a field in double quotes may hold commas and "" for a quote.
bool SplitCsv(const std::string& line, std::vector<std::string>& fields)
{
    fields.assign(1, std::string());
    bool quoted = false, wasQuoted = false;
    std::string raw;
    for (size_t i = 0; i < line.size(); ++i) {
        const char c = line[i];
        if (quoted && c == '"' && i + 1 < line.size() && line[i + 1] == '"') {
            fields.back() += '"';
            ++i;
        } else if (c == '"' && (quoted || Trimmed(raw).empty())) {
            quoted = !quoted;
            wasQuoted = true;
            raw.clear();
        } else if (c == ',' && !quoted) {
            if (!wasQuoted)
                fields.back() = Trimmed(raw);
            fields.emplace_back();
            raw.clear();
            wasQuoted = false;
        } else if (quoted) {
            fields.back() += c;
        } else if (wasQuoted && c != ' ' && c != '\t' && c != '\r') {
            return false;  // text after a closing quote
        } else {
            raw += c;
        }
    }
    if (!wasQuoted)
        fields.back() = Trimmed(raw);
    return !quoted;
}

CtlModuleEntry Unnamed(const std::string& host)
{
    CtlModuleEntry module;
    module.host = host;
    return module;
}

std::string Lower(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return char(std::tolower(c)); });
    return text;
}

// The inventory's lines into modules; `where(n)` starts an error about line n.
class InventoryReader {
public:
    InventoryReader(const std::string& path, const std::string& group) : m_path(path), m_group(group) { }

    bool Read(const std::string& text, bool& withCommunities, std::vector<CtlModuleEntry>& modules, std::string& error)
    {
        int number = 0;
        bool header = true;
        for (size_t at = 0; at < text.size();) {
            size_t end = text.find('\n', at);
            if (end == std::string::npos)
                end = text.size();
            const std::string line = text.substr(at, end - at);
            at = end + 1;
            ++number;
            if (Trimmed(line).empty() || Trimmed(line)[0] == '#')
                continue;
            std::vector<std::string> fields;
            if (!SplitCsv(line, fields))
                return Fail(number, "a quoted field is not closed, or text follows its closing quote", error);
            if (header ? !Header(fields, number, error) : !Row(fields, number, modules, error))
                return false;
            header = false;
        }
        withCommunities = m_index[kRo] >= 0 || m_index[kRw] >= 0;
        if (header)
            error = "--inventory: " + m_path + ": no header line (address,name,group[,ro,rw])";
        else if (modules.empty())
            error = "--inventory: " + m_path + ": "
                + (m_group.empty() ? std::string("no module") : "no module of group " + m_group);
        return error.empty();
    }

private:
    bool Fail(int number, const std::string& text, std::string& error) const
    {
        error = "--inventory: " + m_path + ":" + std::to_string(number) + ": " + text;
        return false;
    }

    bool Header(const std::vector<std::string>& fields, int number, std::string& error)
    {
        std::fill(std::begin(m_index), std::end(m_index), -1);
        for (size_t i = 0; i < fields.size(); ++i)
            for (int column = 0; column < kColumnCount; ++column)
                if (Lower(fields[i]) == kColumns[column]) {
                    if (m_index[column] >= 0)
                        return Fail(number, std::string("the column ") + kColumns[column] + " is named twice", error);
                    m_index[column] = int(i);
                }
        for (int column : {kAddress, kName, kGroup})
            if (m_index[column] < 0)
                return Fail(number,
                    std::string("the header names no column ") + kColumns[column] + " (address,name,group[,ro,rw])",
                    error);
        return true;
    }

    std::string Field(const std::vector<std::string>& fields, Column column) const
    {
        return m_index[column] >= 0 && size_t(m_index[column]) < fields.size() ? fields[size_t(m_index[column])]
                                                                               : std::string();
    }

    bool Row(
        const std::vector<std::string>& fields, int number, std::vector<CtlModuleEntry>& modules, std::string& error)
    {
        CtlModuleEntry module;
        const ModuleAddressParse address = ParseModuleAddress(Field(fields, kAddress));
        if (!address.Accepted())
            return Fail(number, address.error, error);
        module.host = address.address;
        module.name = Field(fields, kName);
        module.group = Field(fields, kGroup);
        const std::string why = module.name.empty() ? std::string() : CheckModuleName(module.name);
        if (!why.empty())
            return Fail(number, why, error);
        for (const auto& [column, seen] : {std::pair {kAddress, &m_hosts}, {kName, &m_names}}) {
            const std::string& key = column == kAddress ? module.host : module.name;
            const auto [where, fresh] = seen->emplace(key, number);
            if (!key.empty() && !fresh)
                return Fail(
                    number, key + " is listed again (first on line " + std::to_string(where->second) + ")", error);
        }
        const std::string line = "--inventory: " + m_path + ":" + std::to_string(number) + ": ";
        module.hasRo = !Field(fields, kRo).empty();
        module.hasRw = !Field(fields, kRw).empty();
        if ((module.hasRo && !TakeCommunity(line + "ro", Field(fields, kRo), module.ro, error))
            || (module.hasRw && !TakeCommunity(line + "rw", Field(fields, kRw), module.rw, error)))
            return false;
        if (m_group.empty() || module.group == m_group)
            modules.push_back(module);
        return true;
    }

    std::string m_path;
    std::string m_group;
    int m_index[kColumnCount] = {-1, -1, -1, -1, -1};
    std::map<std::string, int> m_hosts;
    std::map<std::string, int> m_names;
};

}  // namespace

std::string CheckModuleName(const std::string& name)
{
    const bool allowed = std::all_of(
        name.begin(), name.end(), [](unsigned char c) { return std::isalnum(c) || c == '.' || c == '-' || c == '_'; });
    if (name.empty() || name.size() > kMaxName || !allowed || name[0] == '.' || name[0] == '-')
        return "not a module name (1 to 64 letters, digits, '.', '-' and '_', not first '.' or '-'): " + name;
    if (name.find_first_not_of("0123456789.") == std::string::npos)
        return "a module name is not made of digits and dots only (that is an address): " + name;
    return std::string();
}

bool ReadInventory(
    const std::string& path, const std::string& group, std::vector<CtlModuleEntry>& modules, std::string& error)
{
    std::string text;
    mode_t mode = 0;
    if (!ReadSmallFile("--inventory", path, kMaxInventory, text, mode, error))
        return false;
    bool withCommunities = false;
    modules.clear();
    if (!InventoryReader(path, group).Read(text, withCommunities, modules, error))
        return false;
    if (withCommunities)
        error = NotPrivate("--inventory", path, mode);
    return error.empty();
}

bool TakeModules(
    const CtlOptions& options, std::vector<CtlModuleEntry>& modules, std::string& notice, std::string& error)
{
    if (!options.inventory.empty())
        return ReadInventory(options.inventory, options.group, modules, error);
    if (!options.Fleet()) {
        modules = {Unnamed(options.host)};
        return true;
    }
    HostList list;
    if (!ReadHostList(options.hostsFile, list, error))
        return false;
    notice = list.duplicates;
    modules.clear();
    for (const std::string& host : list.hosts)
        modules.push_back(Unnamed(host));
    return true;
}

std::string ModuleLabel(const CtlModuleEntry& module)
{
    return module.name.empty() ? module.host : module.name + " (" + module.host + ")";
}

std::string ModuleJsonKeys(const CtlModuleEntry& module)
{
    return "\"host\": " + JsonString(module.host)
        + (module.name.empty() ? "" : ", \"name\": " + JsonString(module.name));
}
