#pragma once
// The thirteen "Set" buttons of the main window: each writes one setting.

#include <array>
#include <cstdint>

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
