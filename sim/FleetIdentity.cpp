#include "FleetIdentity.h"

#include <string>

#include "ModuleState.h"
#include "SimOid.h"
#include "snmp/ModuleObjects.h"

namespace {

constexpr uint32_t kLowThreeBytes = 0xFFFFFF;
constexpr size_t kMacBytes = 6;

uint32_t AddressOf(const std::string& bytes)
{
    uint32_t address = 0;
    for (unsigned char octet : bytes)
        address = (address << 8) | octet;
    return address;
}

std::string BytesOf(uint32_t address)
{
    std::string bytes(4, '\0');
    for (int i = 0; i < 4; ++i)
        bytes[i] = static_cast<char>(address >> (24 - 8 * i));
    return bytes;
}

// nullptr unless the module holds the object with a value of `type`.
SimObject* Holding(ModuleState& state, const char* relativeOid, char type)
{
    SimObject* object = state.objects.Find(SimOid::Full(relativeOid));
    return object && object->value.type == type ? object : nullptr;
}

void SetAddresses(ModuleState& state, uint32_t address)
{
    if (SimObject* moduleIp = Holding(state, Oid::kModuleIp, 'a'))
        moduleIp->value.bytes = BytesOf(address);
    SimObject* gateway = Holding(state, Oid::kGateway, 'a');
    const SimObject* mask = Holding(state, Oid::kNetworkMask, 'a');
    if (gateway && mask) {
        const uint32_t network = AddressOf(mask->value.bytes);
        gateway->value.bytes = BytesOf((address & network) | (AddressOf(gateway->value.bytes) & ~network));
    }
}

void SetMac(ModuleState& state, int index)
{
    SimObject* mac = Holding(state, Oid::kMac, 's');
    if (!mac || mac->value.bytes.size() != kMacBytes)
        return;
    std::string& bytes = mac->value.bytes;
    const uint32_t low = (AddressOf(bytes.substr(3)) + static_cast<uint32_t>(index)) & kLowThreeBytes;
    bytes.replace(3, 3, BytesOf(low).substr(1));
}

}  // namespace

void ApplyFleetIdentity(ModuleState& state, uint32_t address, int index)
{
    SetAddresses(state, address);
    SetMac(state, index);
}
