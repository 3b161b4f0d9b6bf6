#pragma once
// The thirteen "Set" buttons of the main window: each writes one setting.

#include <QString>
#include <array>
#include <cstdint>

#include "snmp/SnmpRequest.h"

enum class SetterField {
    IpAddress,  // dotted text of an IP address control, type 'a'
    MacLock,  // six hexadecimal bytes, type 'x'
    Number,  // "%i" of ((value + offset) AND mask), type 'i'
};

// The setter's own range check of a number field.
struct SetterCheck {
    uint32_t min;
    uint32_t max;
    uint32_t reset;  // put into the field when the check fails
    const char* message;  // status line when the check fails
};

struct SetterSpec {
    int button;
    int field;  // control read; its object is the one "Read Settings" fills it from
    SetterField kind;
    uint32_t mask;
    int32_t offset;
    SetterCheck check;  // for Number fields
    const char* success;
};

extern const std::array<SetterSpec, 13> kSetters;

// A number within the setter's own check.
bool SetterAccepts(const SetterSpec& setter, uint32_t number);
// Why the setter must not send `address` (packed, first octet in the most
// significant byte); nullptr when it may.
const char* SetterAddressRefusal(const SetterSpec& setter, uint32_t address);
// The variable the setter sends: its field's object with, by kind, the
// dotted address `text`, the MAC lock `text` as six hexadecimal bytes, or
// "%i" of ((number + offset) AND mask). False (and the reason in `refusal`)
// for a MAC lock that is not six hexadecimal bytes.
bool SetterWrite(const SetterSpec& setter, const QString& text, uint32_t number, SnmpVarSpec& var,
    const char** refusal = nullptr);
// The setter of the field `control` (nullptr: none).
const SetterSpec* SetterFor(int control);
