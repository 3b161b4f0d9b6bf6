#include "StateLoader.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <limits>
#include <set>
#include <stdexcept>

#include "DefaultObjects.h"
#include "MacTable.h"
#include "ModuleBehaviours.h"
#include "SimOid.h"

using nlohmann::json;

namespace {

constexpr int kMaxErrorStatus = 255;

std::runtime_error Error(const std::string& where, const std::string& what)
{
    return std::runtime_error(where + ": " + what);
}

void CheckKeys(const json& entry, const std::set<std::string>& allowed, const std::string& where)
{
    if (!entry.is_object())
        throw Error(where, "expected a JSON object, got " + entry.dump());
    for (const auto& item : entry.items())
        if (!allowed.count(item.key()))
            throw Error(where, "unknown key \"" + item.key() + "\"");
}

// `faults[".1.1.3.0"]`: where an entry of a section is in the state file.
std::string EntryOf(const char* section, const std::string& key) { return std::string(section) + "[\"" + key + "\"]"; }

// `where` "" for a key of the document itself.
std::string FieldOf(const std::string& where, const char* key) { return where.empty() ? key : where + "." + key; }

[[noreturn]] void WrongKind(const std::string& where, const char* key, const std::string& expected, const json& value)
{
    throw Error(FieldOf(where, key), "expected " + expected + ", got " + value.dump());
}

bool BoolField(const json& entry, const char* key, bool fallback, const std::string& where)
{
    if (!entry.contains(key))
        return fallback;
    if (!entry[key].is_boolean())
        WrongKind(where, key, "true or false", entry[key]);
    return entry[key].get<bool>();
}

int IntField(const json& entry, const char* key, int fallback, int min, int max, const std::string& where)
{
    if (!entry.contains(key))
        return fallback;
    const json& value = entry[key];
    if (!value.is_number_integer() || value.get<int64_t>() < min || value.get<int64_t>() > max)
        WrongKind(where, key, "an integer from " + std::to_string(min) + " to " + std::to_string(max), value);
    return value.get<int>();
}

std::string TextField(const json& entry, const char* key, const std::string& fallback, const std::string& where)
{
    if (!entry.contains(key))
        return fallback;
    if (!entry[key].is_string())
        WrongKind(where, key, "a string", entry[key]);
    return entry[key].get<std::string>();
}

// "objects" and "faults" are JSON objects, "remove" an array.
json SectionOf(const json& document, const char* key, const json& empty)
{
    if (!document.contains(key))
        return empty;
    const json& section = document[key];
    if (section.type() != empty.type())
        WrongKind("", key, empty.is_object() ? "a JSON object" : "a JSON array", section);
    return section;
}

std::string OidOf(const std::string& key, const std::string& where)
{
    const std::string oid = SimOid::Full(key);
    if (SimOid::Parse(oid).empty())
        throw Error(where, "\"" + key + "\" is no numeric OID");
    return oid;
}

void ApplyFirmware(const json& document, ModuleState& state)
{
    const json& firmware = document["firmware"];
    const int32_t word = firmware.is_string() ? ParseFirmwareText(firmware.get<std::string>())
                                              : IntField(document, "firmware", 0, 0, 0xFFFF, "");
    state.objects.SetValue(SimOid::Full(kFirmwareObject), SimValue::Integer(word));
}

char TypeLetterOf(const json& entry, const SimObject* existing, const std::string& where)
{
    if (!entry.contains("type")) {
        if (!existing)
            throw Error(where, "a new object needs a \"type\"");
        return existing->value.type;
    }
    const std::string type = TextField(entry, "type", "", where);
    if (type.size() != 1 || std::string("iasxcgt").find(type[0]) == std::string::npos)
        throw Error(where + ".type", "unknown type \"" + type + "\" (one of i, a, s, x, c, g, t)");
    return type[0];
}

bool WritableOf(const json& entry, const SimObject* existing, const std::string& where)
{
    if (!entry.contains("access"))
        return existing ? existing->writable : true;
    const std::string access = TextField(entry, "access", "", where);
    if (access != "rw" && access != "ro")
        throw Error(where + ".access", "must be \"rw\" or \"ro\"");
    return access == "rw";
}

void ApplyObject(const std::string& key, const json& entry, ModuleState& state)
{
    const std::string where = EntryOf("objects", key);
    CheckKeys(entry, {"type", "value", "access"}, where);
    if (!entry.contains("value"))
        throw Error(where, "missing \"value\"");
    const std::string oid = OidOf(key, where);
    const SimObject* existing = state.objects.Find(oid);
    SimObject object;
    try {
        object.value = SimValue::FromJson(TypeLetterOf(entry, existing, where), entry["value"]);
    } catch (const std::invalid_argument& e) {
        throw Error(where + ".value", e.what());
    }
    object.writable = WritableOf(entry, existing, where);
    state.objects.Put(oid, object);
}

// The community strings come from their keys (or the defaults); a key also
// sets the module's community object, which an "objects" entry may then
// override without changing the strings that the module accepts.
void ApplyCommunity(
    const json& document, const char* key, const char* relativeOid, std::string& community, ModuleState& state)
{
    if (!document.contains(key))
        return;
    try {
        community = Utf8ToLatin1(TextField(document, key, "", ""));
    } catch (const std::invalid_argument& e) {
        throw Error(key, e.what());
    }
    state.objects.SetValue(SimOid::Full(relativeOid), SimValue::Octets(community));
}

SimFault::Scope ScopeOf(const json& entry, const std::string& where)
{
    const std::string on = TextField(entry, "on", "any", where);
    if (on == "any")
        return SimFault::Scope::Any;
    if (on == "get")
        return SimFault::Scope::Get;
    if (on == "set")
        return SimFault::Scope::Set;
    throw Error(where + ".on", "must be \"get\", \"set\" or \"any\"");
}

SimFault::NoValue NoValueOf(const json& entry, const std::string& where)
{
    struct Row {
        const char* name;
        SimFault::NoValue noValue;
    };
    static const Row kRows[] = {
        {"null", SimFault::NoValue::Null},
        {"noSuchObject", SimFault::NoValue::NoSuchObject},
        {"noSuchInstance", SimFault::NoValue::NoSuchInstance},
        {"endOfMibView", SimFault::NoValue::EndOfMibView},
    };
    if (!entry.contains("noValue"))
        return SimFault::NoValue::None;
    const std::string name = TextField(entry, "noValue", "", where);
    for (const Row& row : kRows)
        if (name == row.name)
            return row.noValue;
    throw Error(where + ".noValue", "must be \"null\", \"noSuchObject\", \"noSuchInstance\" or \"endOfMibView\"");
}

void ApplyFault(const std::string& key, const json& entry, ModuleState& state)
{
    const std::string where = EntryOf("faults", key);
    CheckKeys(entry, {"silence", "error", "echo", "on", "times", "wrongOid", "extraVariable", "noValue", "wideInteger"},
        where);
    const std::string oid = OidOf(key, where);
    SimFault fault;
    fault.silence = BoolField(entry, "silence", false, where);
    fault.errorStatus = IntField(entry, "error", 0, 0, kMaxErrorStatus, where);
    fault.scope = ScopeOf(entry, where);
    fault.remaining = IntField(entry, "times", -1, 1, std::numeric_limits<int>::max(), where);
    fault.wrongOid = BoolField(entry, "wrongOid", false, where);
    fault.extraVariable = BoolField(entry, "extraVariable", false, where);
    fault.noValue = NoValueOf(entry, where);
    if (entry.contains("wideInteger"))
        throw Error(where + ".wideInteger",
            "not available: Net-SNMP cuts every INTEGER to 32 bits when it encodes an answer "
            "(and again when it decodes one)");
    if (entry.contains("echo")) {
        const SimObject* object = state.objects.Find(oid);
        if (!object)
            throw Error(where, "an echo needs an object that the module serves");
        try {
            fault.echo = SimValue::FromJson(object->value.type, entry["echo"]);
        } catch (const std::invalid_argument& e) {
            throw Error(where + ".echo", e.what());
        }
    }
    if (!fault.silence && fault.errorStatus == 0 && !fault.echo && !fault.ShapesAnswer())
        throw Error(where, "needs \"silence\", \"error\", \"echo\", \"wrongOid\", \"extraVariable\" or \"noValue\"");
    state.faults.Add(oid, fault);
}

// "[json.exception.parse_error.101] parse error at ..." -> "parse error at ...".
std::string WithoutLibraryTag(const std::string& message)
{
    const size_t tagEnd = message.rfind("] ", message.find(' '));
    return message.rfind("[json.exception.", 0) == 0 && tagEnd != std::string::npos ? message.substr(tagEnd + 2)
                                                                                    : message;
}

}  // namespace

int32_t ParseFirmwareText(const std::string& text)
{
    const size_t dot = text.find('.');
    size_t majorEnd = 0;
    size_t minorEnd = 0;
    int major = -1;
    int minor = -1;
    try {
        major = std::stoi(text.substr(0, dot), &majorEnd);
        if (dot != std::string::npos)
            minor = std::stoi(text.substr(dot + 1), &minorEnd, 10);
    } catch (const std::exception&) {
    }
    const bool wellFormed = dot != std::string::npos && majorEnd == dot && minorEnd == text.size() - dot - 1;
    if (!wellFormed || major < 0 || major > 255 || minor < 0 || minor > 255)
        throw Error("firmware", "\"" + text + "\" is no version like \"4.066\"");
    return major * 256 + minor;
}

std::unique_ptr<ModuleState> LoadState(const json& document)
{
    CheckKeys(document,
        {"firmware", "readCommunity", "writeCommunity", "objects", "remove", "faults", "linkCommunities", "macTable"},
        "state");
    auto state = std::make_unique<ModuleState>();
    AddDefaultObjects(state->objects);
    state->readCommunity = kDefaultReadCommunity;
    state->writeCommunity = kDefaultWriteCommunity;
    try {
        if (document.contains("firmware"))
            ApplyFirmware(document, *state);
        ApplyCommunity(document, "readCommunity", kReadCommunityObject, state->readCommunity, *state);
        ApplyCommunity(document, "writeCommunity", kWriteCommunityObject, state->writeCommunity, *state);
        // Held in locals: items() of a temporary would dangle.
        const json objects = SectionOf(document, "objects", json::object());
        const json removed = SectionOf(document, "remove", json::array());
        const json faults = SectionOf(document, "faults", json::object());
        for (const auto& item : objects.items())
            ApplyObject(item.key(), item.value(), *state);
        for (const auto& key : removed) {
            if (!key.is_string())
                throw Error("remove", "expected OIDs as strings, got " + key.dump());
            state->objects.Remove(OidOf(key.get<std::string>(), "remove"));
        }
        for (const auto& item : faults.items())
            ApplyFault(item.key(), item.value(), *state);
        InstallModuleBehaviours(*state, BehaviourOptions {BoolField(document, "linkCommunities", true, "")});
        InstallMacTable(document.value("macTable", json::array()), *state);
    } catch (const json::exception& e) {
        throw std::runtime_error("state: " + WithoutLibraryTag(e.what()));
    }
    return state;
}

json ReadStateFile(const std::string& path)
{
    if (path.empty())
        return json::object();
    std::error_code error;
    if (std::filesystem::is_directory(path, error))
        throw std::runtime_error("cannot read the state file " + path + ": it is a directory");
    std::ifstream file(path);
    if (!file)
        throw std::runtime_error("cannot read the state file " + path + ": " + std::strerror(errno));
    try {
        return json::parse(file, nullptr, true, true);  // comments allowed
    } catch (const json::exception& e) {
        throw std::runtime_error(path + ": " + WithoutLibraryTag(e.what()));
    }
}
