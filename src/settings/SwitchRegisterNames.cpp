#include "settings/SwitchRegisterNames.h"

#include <algorithm>
#include <array>

#include "settings/SwitchTables.h"

namespace {

// Fields shown by edits and combo boxes, whose captions are their labels.
struct FieldRegister {
    int reg;
    const char* name;
};
const FieldRegister kGlobalFields[] = {
    {1, "LED mode"},
    {3, "802.1p priority threshold"},
    {3, "Priority ques ratio"},
    {4, "DiffServ[B] point"},
    {5, "DiffServ [A] point"},
};
const char* const kAddressNames[] = {"IP[A]", "IP[B]", "MASK[A]", "MASK[B]"};
const char* const kGroupNames[] = {"VLANA", "VLANB", "VLANC", "VLAND", "VLANE", "VLANF", "VLANG", "VLANH"};

void AddOnce(std::vector<std::string>& names, const std::string& name)
{
    if (std::find(names.begin(), names.end(), name) == names.end())
        names.push_back(name);
}

using NameTable = std::array<std::vector<std::string>, SwitchMap::kRegisters>;

NameTable BuildNames()
{
    NameTable names;
    for (const GlobalBit& bit : kGlobalBits)
        AddOnce(names[size_t(bit.reg)], bit.caption);
    for (const FieldRegister& field : kGlobalFields)
        AddOnce(names[size_t(field.reg)], field.name);
    for (size_t slot = 0; slot < kPriorityAddresses.size(); ++slot)
        for (int k = 0; k < 4; ++k)
            AddOnce(names[size_t(kPriorityAddresses[slot].first + k)], kAddressNames[slot]);
    for (int p = 0; p < SwitchMap::kPorts; ++p) {
        const int base = kPortBase[size_t(p)];
        const std::string port = "Port " + std::to_string(p) + ": ";
        for (const PortBit& bit : kPortBits)
            AddOnce(names[size_t(base + bit.offset)], port + bit.caption);
        AddOnce(names[size_t(base + PortReg::kMode)], port + "802.1q tag handling");
        AddOnce(names[size_t(base + PortReg::kVlanIndex)], port + "VLAN index");
        // Group g keeps its membership and ID in the block of port g.
        const std::string group = kGroupNames[p];
        AddOnce(names[size_t(base + PortReg::kMembers)], group + " members");
        AddOnce(names[size_t(base + PortReg::kGroupIdLow)], group + " ID");
        AddOnce(names[size_t(base + PortReg::kGroupIdHigh)], group + " ID");
    }
    return names;
}

}  // namespace

std::vector<std::string> SwitchRegisterNames(int r)
{
    static const NameTable names = BuildNames();
    if (r < 0 || r >= SwitchMap::kRegisters)
        return {};
    return names[size_t(r)];
}
