#include "MacTable.h"

#include <array>
#include <cctype>
#include <memory>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

#include "ModuleState.h"
#include "SimOid.h"
#include "snmp/ModuleObjects.h"

namespace {

constexpr const char* kStartWord = Oid::kMacTableStart;
constexpr const char* kStatusWord = Oid::kMacTableStatus;
constexpr const char* kWord56 = Oid::kMacTableWord56;
constexpr const char* kWord34 = Oid::kMacTableWord34;
constexpr const char* kWord12 = Oid::kMacTableWord12;
constexpr int64_t kStartOperation = 65535;
constexpr int64_t kMissStatus = 0x0F;
constexpr int kEntries = 1024;

struct MacEntry {
    int index = 0;
    std::array<int64_t, 3> words {};  // .244, .243, .242
    int64_t status = 0;
};

struct MacTableState {
    std::vector<MacEntry> entries;
    bool searchWordsWritten = false;  // .243 or .244 written since the last operation
};

std::runtime_error Error(size_t position, const std::string& what)
{
    return std::runtime_error("macTable[" + std::to_string(position) + "]: " + what);
}

int IntegerIn(const nlohmann::json& entry, const char* key, int low, int high, int fallback, size_t position)
{
    if (!entry.contains(key)) {
        if (fallback < low)
            throw Error(position, std::string("missing \"") + key + "\"");
        return fallback;
    }
    const nlohmann::json& value = entry[key];
    if (!value.is_number_integer() || value.get<int64_t>() < low || value.get<int64_t>() > high)
        throw Error(position,
            std::string("\"") + key + "\" must be an integer from " + std::to_string(low) + " to "
                + std::to_string(high));
    return value.get<int>();
}

// "00-1A-2B-3C-4D-5E", "00:1a:2b:3c:4d:5e", "001A2B3C4D5E" or with blanks.
std::array<int64_t, 3> WordsOfMacText(const std::string& text, size_t position)
{
    std::string digits;
    for (char c : text)
        if (c != '-' && c != ':' && c != ' ')
            digits += c;
    if (digits.size() != 12)
        throw Error(position, "\"mac\" must hold six hexadecimal bytes, e.g. \"00-1A-2B-3C-4D-5E\"");
    std::array<int, 6> bytes {};
    for (size_t i = 0; i < 6; ++i) {
        const std::string pair = digits.substr(2 * i, 2);
        if (!std::isxdigit(static_cast<unsigned char>(pair[0])) || !std::isxdigit(static_cast<unsigned char>(pair[1])))
            throw Error(position, "\"mac\" holds \"" + pair + "\", which is no hexadecimal byte");
        bytes[i] = std::stoi(pair, nullptr, 16);
    }
    return {bytes[1] * 256 + bytes[0], bytes[3] * 256 + bytes[2], bytes[5] * 256 + bytes[4]};
}

MacEntry EntryOf(const nlohmann::json& entry, size_t position)
{
    if (!entry.is_object())
        throw Error(position, "expected a JSON object, got " + entry.dump());
    static const std::set<std::string> kKeys = {"index", "mac", "port", "age", "status"};
    for (const auto& item : entry.items())
        if (!kKeys.count(item.key()))
            throw Error(position, "unknown key \"" + item.key() + "\"");
    if (!entry.contains("mac") || !entry["mac"].is_string())
        throw Error(position, "missing \"mac\" text");
    MacEntry mac;
    mac.index = IntegerIn(entry, "index", 0, kEntries - 1, -1, position);
    mac.words = WordsOfMacText(entry["mac"].get<std::string>(), position);
    const int port = IntegerIn(entry, "port", 0, 7, 0, position);
    const int age = IntegerIn(entry, "age", 0, 3, 1, position);
    mac.status = IntegerIn(entry, "status", 0, 0xFFFF, age * 16 + port, position);
    return mac;
}

int64_t WordOf(const ModuleState& state, const char* relative)
{
    const SimObject* object = state.objects.Find(SimOid::Full(relative));
    return object ? object->value.number : 0;
}

const MacEntry* Search(const MacTableState& table, const std::array<int64_t, 3>& words)
{
    for (const MacEntry& entry : table.entries)
        if (entry.words == words)
            return &entry;
    return nullptr;
}

// The walk's index word: the row in the high byte, the entry in bits 1..0.
const MacEntry* Lookup(const MacTableState& table, int64_t indexWord)
{
    if (indexWord < 0 || indexWord > 0xFFFF || (indexWord & 0xFC) != 0)
        return nullptr;
    const int index = int((indexWord >> 8) * 4 + (indexWord & 3));
    for (const MacEntry& entry : table.entries)
        if (entry.index == index)
            return &entry;
    return nullptr;
}

void RunOperation(MacTableState& table, ModuleState& state)
{
    const MacEntry* found = table.searchWordsWritten
        ? Search(table, {WordOf(state, kWord12), WordOf(state, kWord34), WordOf(state, kWord56)})
        : Lookup(table, WordOf(state, kWord56));
    table.searchWordsWritten = false;
    if (!found) {
        state.objects.SetValue(SimOid::Full(kStatusWord), SimValue::Integer(kMissStatus));
        return;
    }
    state.objects.SetValue(SimOid::Full(kStatusWord), SimValue::Integer(found->status));
    state.objects.SetValue(SimOid::Full(kWord12), SimValue::Integer(found->words[0]));
    state.objects.SetValue(SimOid::Full(kWord34), SimValue::Integer(found->words[1]));
    state.objects.SetValue(SimOid::Full(kWord56), SimValue::Integer(found->words[2]));
}

}  // namespace

void InstallMacTable(const nlohmann::json& entries, ModuleState& state)
{
    if (!entries.is_array())
        throw std::runtime_error("macTable: expected a JSON array, got " + entries.dump());
    auto table = std::make_shared<MacTableState>();
    std::set<int> indexes;
    for (size_t position = 0; position < entries.size(); ++position) {
        const MacEntry entry = EntryOf(entries[position], position);
        if (!indexes.insert(entry.index).second)
            throw Error(position, "index " + std::to_string(entry.index) + " is given twice");
        table->entries.push_back(entry);
    }
    for (const char* word : {kWord12, kWord34})
        state.AfterWrite(SimOid::Full(word), [table](ModuleState&) { table->searchWordsWritten = true; });
    state.AfterWrite(SimOid::Full(kStartWord), [table](ModuleState& s) {
        if (WordOf(s, kStartWord) == kStartOperation)
            RunOperation(*table, s);
    });
}
