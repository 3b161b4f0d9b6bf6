#include "switch/PortStatus.h"

#include "snmp/ModuleObjects.h"
#include "snmp/SnmpRequest.h"

namespace PortStatus {

namespace {
constexpr int kQualityShift = 4;
constexpr uint16_t kQualityMask = 0x0F;
constexpr int kActivityWord = 2;  // register 23
}  // namespace

void AddStatusReads(CSnmpRequest& request)
{
    for (int p = 0; p < SwitchMap::kPorts; ++p)
        for (int reg : kStatusRegisters)
            request.AddVar(Oid::PortRegister(p, reg), "", 0);
}

uint16_t WordOf(const CSnmpRequest& request, int i) { return uint16_t(request.GetInteger(uint32_t(i)) & 0xFFFF); }

PortState Decode(const std::array<uint16_t, kWords>& words, int port)
{
    PortState state;
    const size_t first = size_t(kWordsPerPort * port);
    for (size_t k = 0; k < kStatusBits.size(); ++k)
        state.flags[k] = (words[first + size_t(kStatusBits[k].word)] >> kStatusBits[k].bit) & 1;
    state.quality = uint8_t((words[first + kActivityWord] >> kQualityShift) & kQualityMask);
    return state;
}

bool LooksDisconnected(const std::array<uint16_t, kWords>& words)
{
    for (uint16_t word : words)
        if (word != 0x0000 && word != 0xFFFF)
            return false;
    return true;
}

}  // namespace PortStatus
