#pragma once
// A module's IPv4 address typed as text (command line, host list, start-up
// option). Each of the four parts is read as a decimal number, leading zeros
// included ("010" is ten, never octal eight), and the address is handed on in
// its canonical dotted form, so the module reached is the one every message
// and file name shows. Plain C++: the simulator uses it as well.

#include <cstdint>
#include <optional>
#include <string>

struct ModuleAddressParse {
    std::string address;  // canonical "a.b.c.d" when accepted
    uint32_t value = 0;  // the same in host byte order
    std::string error;  // why not, ending with the text given; empty when accepted
    bool Accepted() const { return error.empty(); }
};

// Refuses anything but exactly four parts of one or more digits (no blanks,
// signs or other characters), a part above 255, and the addresses that name
// no single module: 0.0.0.0, 255.255.255.255 and multicast (224.0.0.0/4).
ModuleAddressParse ParseModuleAddress(const std::string& text);

// The dotted text read as above, without the module checks (host byte
// order); nothing for text that is no such address.
std::optional<uint32_t> ParseDottedIpv4(const std::string& text);
// "a.b.c.d" of an address in host byte order.
std::string DottedIpv4(uint32_t address);
