#pragma once
// A module's IPv4 address typed as text (command line, host list, start-up
// option). Each of the four parts is read as a decimal number, leading zeros
// included ("010" is ten, never octal eight), and the address is handed on in
// its canonical dotted form, so the module reached is the one every message
// and file name shows. Plain C++: the simulator uses it as well.

#include <string>

struct ModuleAddressParse {
    std::string address;  // canonical "a.b.c.d" when accepted
    std::string error;  // why not, ending with the text given; empty when accepted
    bool Accepted() const { return error.empty(); }
};

// Refuses anything but exactly four parts of one or more digits (no blanks,
// signs or other characters), a part above 255, and the addresses that name
// no single module: 0.0.0.0, 255.255.255.255 and multicast (224.0.0.0/4).
ModuleAddressParse ParseModuleAddress(const std::string& text);
