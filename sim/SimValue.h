#pragma once
// One typed SNMP value as the simulated module holds it. The type is a
// letter of snmp_add_var's code: 'i' INTEGER, 'a' IpAddress, 's' OCTET
// STRING, 'c' Counter32, 'g' Gauge32, 't' TimeTicks. Octet strings given as
// hexadecimal text ('x') are held as 's'.

#include <cstdint>
#include <nlohmann/json.hpp>
#include <string>

struct variable_list;

struct SimValue {
    char type = 'i';
    int64_t number = 0;  // 'i', 'c', 'g', 't'
    std::string bytes;  // 'a' (4 bytes, first octet first) and 's'

    static SimValue Integer(int64_t value) { return SimValue {'i', value, {}}; }
    static SimValue Octets(const std::string& value) { return SimValue {'s', 0, value}; }

    // Throws std::invalid_argument with a readable reason.
    static SimValue FromText(char typeLetter, const std::string& text);
    // Numbers may be given as JSON integers or as text; an IpAddress also as
    // a JSON integer (first octet in the high byte, 0 = 0.0.0.0).
    static SimValue FromJson(char typeLetter, const nlohmann::json& value);
    // False for a variable of a type that the module does not know.
    static bool FromVariable(const variable_list& variable, SimValue& value);
    void StoreInto(variable_list& variable) const;

    bool IsNumber() const { return type != 'a' && type != 's'; }
    // The ASN.1 type on the wire.
    unsigned char AsnType() const;
    // Decimal for numbers, dotted for addresses, the bytes as UTF-8 text for
    // octet strings (each byte one Latin-1 character).
    std::string Text() const;
    // Octet strings only: "00 0A FF", upper case, single blanks.
    std::string Hex() const;

    bool operator==(const SimValue& other) const;
};

// Bytes taken as Latin-1 characters, written as UTF-8.
std::string Latin1ToUtf8(const std::string& bytes);
// UTF-8 text back to Latin-1 bytes. Throws std::invalid_argument for text
// with a character beyond U+00FF (or that is no valid UTF-8).
std::string Utf8ToLatin1(const std::string& text);
