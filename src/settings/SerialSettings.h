#pragma once
// The serial window's line settings: what "Get Settings" reads and what "Set
// Settings" writes. The module keeps each setting as an index into the
// window's lists.

#include <QStringList>
#include <cstdint>
#include <string>
#include <vector>

#include "snmp/SnmpRequest.h"

// The module stores each line setting as the index in these lists.
QStringList BaudRateItems();  // "300" ... "230400"
QStringList ParityItems();  // "None", "Even", "Odd", "Space", "Mark"
QStringList FlowControlItems();  // "None", "Hardware ", "XonXoff"

// As read: the list indexes (any number the module holds) and the receive
// time-out in units of 250 ms.
struct SerialLine {
    int32_t baud = -1;
    int32_t parity = -1;
    int32_t flow = -1;  // read, never written
    uint32_t timeout = 0;
};

namespace SerialSettings {

inline constexpr uint32_t kMaxTimeout = 255;

// Baud rate, parity, flow control, receive time-out.
const std::vector<std::string>& ReadObjects();
SerialLine FromReads(const CSnmpRequest& request);
// Baud rate, parity and time-out, in this order (flow control is never
// written); an index of -1 is an empty selection.
std::vector<SnmpVarSpec> Writes(int baud, int parity, uint32_t timeout);

}  // namespace SerialSettings
