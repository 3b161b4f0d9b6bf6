#include "SimValue.h"

#include <arpa/inet.h>
#include <net-snmp/net-snmp-config.h>
#include <net-snmp/net-snmp-includes.h>

#include <cstdio>
#include <cstring>
#include <limits>
#include <stdexcept>

namespace {

struct TypeInfo {
    char letter;
    unsigned char asnType;
    int64_t min;
    int64_t max;
};

constexpr int64_t kUnsigned32Max = 0xFFFFFFFFLL;

const TypeInfo kTypes[] = {
    {'i', ASN_INTEGER, std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max()},
    {'a', ASN_IPADDRESS, 0, 0},
    {'s', ASN_OCTET_STR, 0, 0},
    {'c', ASN_COUNTER, 0, kUnsigned32Max},
    {'g', ASN_GAUGE, 0, kUnsigned32Max},
    {'t', ASN_TIMETICKS, 0, kUnsigned32Max},
};

const TypeInfo* FindByLetter(char letter)
{
    for (const TypeInfo& info : kTypes)
        if (info.letter == letter)
            return &info;
    return nullptr;
}

const TypeInfo* FindByAsn(unsigned char asnType)
{
    for (const TypeInfo& info : kTypes)
        if (info.asnType == asnType)
            return &info;
    return nullptr;
}

int64_t ParseNumber(const std::string& text, const TypeInfo& info)
{
    size_t used = 0;
    long long value = 0;
    try {
        value = std::stoll(text, &used, 0);
    } catch (const std::exception&) {
        used = 0;
    }
    if (used == 0 || used != text.size())
        throw std::invalid_argument("'" + text + "' is no number");
    if (value < info.min || value > info.max)
        throw std::invalid_argument(text + " is out of range for type '" + info.letter + "'");
    return value;
}

std::string ParseAddress(const std::string& text)
{
    in_addr address {};
    if (inet_pton(AF_INET, text.c_str(), &address) != 1)
        throw std::invalid_argument("'" + text + "' is no dotted IPv4 address");
    return std::string(reinterpret_cast<const char*>(&address), 4);
}

int HexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

std::string ParseHex(const std::string& text)
{
    std::string digits;
    for (char c : text)
        if (c != ' ' && c != '\t')
            digits += c;
    if (digits.size() % 2 != 0)
        throw std::invalid_argument("'" + text + "' is no list of hexadecimal byte pairs");
    std::string bytes;
    for (size_t i = 0; i < digits.size(); i += 2) {
        const int high = HexDigit(digits[i]);
        const int low = HexDigit(digits[i + 1]);
        if (high < 0 || low < 0)
            throw std::invalid_argument("'" + text + "' is no list of hexadecimal byte pairs");
        bytes += static_cast<char>(high * 16 + low);
    }
    return bytes;
}

// JSON text of `text`, ASCII only, for messages.
std::string Quoted(const std::string& text)
{
    return nlohmann::json(text).dump(-1, ' ', true, nlohmann::json::error_handler_t::replace);
}

}  // namespace

SimValue SimValue::FromText(char typeLetter, const std::string& text)
{
    if (typeLetter == 'x')
        return Octets(ParseHex(text));
    if (typeLetter == 's')
        return Octets(Utf8ToLatin1(text));
    const TypeInfo* info = FindByLetter(typeLetter);
    if (!info)
        throw std::invalid_argument(std::string("unknown type letter '") + typeLetter + "'");
    if (typeLetter == 'a')
        return SimValue {'a', 0, ParseAddress(text)};
    return SimValue {typeLetter, ParseNumber(text, *info), {}};
}

SimValue SimValue::FromJson(char typeLetter, const nlohmann::json& value)
{
    if (typeLetter == 'a' && value.is_number_unsigned() && value.get<uint64_t>() <= kUnsigned32Max) {
        // An address given as a number: the first octet is the high byte.
        const uint32_t number = htonl(value.get<uint32_t>());
        return SimValue {'a', 0, std::string(reinterpret_cast<const char*>(&number), 4)};
    }
    if (value.is_number_integer())
        return FromText(typeLetter, std::to_string(value.get<int64_t>()));
    if (value.is_string())
        return FromText(typeLetter, value.get<std::string>());
    throw std::invalid_argument("value " + value.dump() + " is neither a string nor an integer");
}

bool SimValue::FromVariable(const variable_list& variable, SimValue& value)
{
    const TypeInfo* info = FindByAsn(variable.type);
    if (!info)
        return false;
    value = SimValue {info->letter, 0, {}};
    if (info->letter == 's' || info->letter == 'a') {
        value.bytes.assign(reinterpret_cast<const char*>(variable.val.string), variable.val_len);
        return info->letter == 's' || value.bytes.size() == 4;
    }
    if (!variable.val.integer)
        return false;
    value.number = info->letter == 'i' ? static_cast<int64_t>(static_cast<int32_t>(*variable.val.integer))
                                       : static_cast<int64_t>(*variable.val.integer & kUnsigned32Max);
    return true;
}

void SimValue::StoreInto(variable_list& variable) const
{
    if (type == 's' || type == 'a') {
        snmp_set_var_typed_value(&variable, AsnType(), bytes.data(), bytes.size());
        return;
    }
    if (type == 'i') {
        const long integer = static_cast<long>(number);
        snmp_set_var_typed_value(&variable, AsnType(), &integer, sizeof integer);
        return;
    }
    const unsigned long counter = static_cast<unsigned long>(number);
    snmp_set_var_typed_value(&variable, AsnType(), &counter, sizeof counter);
}

unsigned char SimValue::AsnType() const
{
    const TypeInfo* info = FindByLetter(type);
    return info ? info->asnType : ASN_NULL;
}

std::string SimValue::Text() const
{
    if (type == 's')
        return Latin1ToUtf8(bytes);
    if (type == 'a') {
        char dotted[INET_ADDRSTRLEN] = {};
        inet_ntop(AF_INET, bytes.data(), dotted, sizeof dotted);
        return dotted;
    }
    return std::to_string(number);
}

std::string SimValue::Hex() const
{
    if (type != 's')
        return {};
    std::string hex;
    char pair[4];
    for (unsigned char byte : bytes) {
        std::snprintf(pair, sizeof pair, "%02X", byte);
        if (!hex.empty())
            hex += ' ';
        hex += pair;
    }
    return hex;
}

bool SimValue::operator==(const SimValue& other) const
{
    return type == other.type && number == other.number && bytes == other.bytes;
}

std::string Latin1ToUtf8(const std::string& bytes)
{
    std::string text;
    for (unsigned char byte : bytes) {
        if (byte < 0x80) {
            text += static_cast<char>(byte);
        } else {
            text += static_cast<char>(0xC0 | (byte >> 6));
            text += static_cast<char>(0x80 | (byte & 0x3F));
        }
    }
    return text;
}

std::string Utf8ToLatin1(const std::string& text)
{
    std::string bytes;
    for (size_t i = 0; i < text.size(); ++i) {
        const unsigned char lead = static_cast<unsigned char>(text[i]);
        if (lead < 0x80) {
            bytes += static_cast<char>(lead);
            continue;
        }
        const bool twoByteLatin1 = (lead == 0xC2 || lead == 0xC3) && i + 1 < text.size()
            && (static_cast<unsigned char>(text[i + 1]) & 0xC0) == 0x80;
        if (!twoByteLatin1)
            throw std::invalid_argument("text " + Quoted(text)
                + " has a character beyond U+00FF; an octet string takes one byte per character up to U+00FF"
                  " (give other bytes as type \"x\")");
        bytes += static_cast<char>(((lead & 0x03) << 6) | (static_cast<unsigned char>(text[i + 1]) & 0x3F));
        ++i;
    }
    return bytes;
}
