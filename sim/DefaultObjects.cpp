#include "DefaultObjects.h"

#include <string>

#include "SimOid.h"
#include "snmp/ModuleObjects.h"
#include "settings/SwitchDefaultImage.h"

namespace {

struct ObjectRow {
    const char* oid;  // from the catalogue (full)
    char type;  // SimValue type letter; 'x' for octet strings given in hex
    const char* value;
    bool writable;
};

constexpr bool kRw = true;
constexpr bool kRo = false;

// Settings of the module itself. Every address is a loopback address or a
// mask, so that reading them and writing them back can never aim elsewhere.
const ObjectRow kSettings[] = {
    {Oid::kModuleIp, 'a', "127.0.0.1", kRw},  // module IP address
    {Oid::kMac, 'x', "00 0A 1B 2C 3D 4E", kRo},  // MAC address
    {Oid::kVlanTag, 'i', "1", kRw},  // VLAN tag
    {Oid::kRwCommunity, 's', kDefaultWriteCommunity, kRw},  // read-write community
    {Oid::kMacLock1, 'x', "00 0A 1B 00 00 01", kRw},  // MAC lock 1
    {Oid::kMacLock2, 'x', "00 0A 1B 00 00 02", kRw},  // MAC lock 2
    {Oid::kPingRestartMinutes, 'i', "6", kRw},  // ping restart timeout, minutes
    {Oid::kFirmwareVersion, 'i', "1097", kRo},  // firmware version 4.073
    {Oid::kModeWord1, 'i', "160", kRw},  // mode word 1: switch control, RS-232
    {Oid::kModeWord2, 'i', "8", kRw},  // mode word 2: TFTP enabled
    {Oid::kRestartPulseWidth, 'i', "512", kRw},  // restart pulse width
    {Oid::kPingRestartCount, 'i', "255", kRw},  // ping restarts count minus one
    {Oid::kGateway, 'a', "127.0.0.254", kRw},  // default gateway
    {Oid::kNetworkMask, 'a', "255.255.255.0", kRw},  // network mask
    {Oid::kMonitorIp, 'a', "127.0.0.20", kRw},  // address monitored with ping
    {Oid::kRoCommunity, 's', kDefaultReadCommunity, kRw},  // read-only community
    {Oid::kTrapServer, 'a', "127.0.0.162", kRw},  // trap destination
    {Oid::kTrapCommunity, 's', "traps", kRw},  // trap community
    {Oid::kAccessIp, 'a', "127.0.0.0", kRw},  // access filter address
    {Oid::kAccessMask, 'a', "255.0.0.0", kRw},  // access filter mask
    {Oid::kTftpServer, 'a', "127.0.0.10", kRw},  // TFTP server
    {Oid::kAnalogCh3, 'i', "1365", kRw},  // analog CH3, raw count
    {Oid::kAnalogCh5, 'i', "2730", kRw},  // analog CH5
    {Oid::kAnalogCh7, 'i', "546", kRw},  // analog CH7
};

// I/O ports: P3, P5, P6 written through .1.2.n.0 and read back, at newer
// firmware, through .1.2.n.33.0; eight analog inputs .1.2.3.k.0 below.
const ObjectRow kIoPorts[] = {
    {Oid::kPortP3, 'i', "129", kRw},
    {Oid::kPortP5, 'i', "66", kRw},
    {Oid::kPortP6, 'i', "24", kRw},
    {Oid::kPortP3Wide, 'i', "129", kRw},
    {Oid::kPortP5Wide, 'i', "66", kRw},
    {Oid::kPortP6Wide, 'i', "24", kRw},
};
// Raw counts of the analog inputs CH1 to CH8 (read-only).
const int kAnalogCounts[8] = {0, 155, 310, 465, 620, 775, 930, 1023};

// RS-232 bridge: line settings and the message objects.
const ObjectRow kSerial[] = {
    {Oid::kSerialBaud, 'i', "7", kRw},  // baud rate index
    {Oid::kSerialParity, 'i', "0", kRw},  // parity index
    {Oid::kSerialFlowControl, 'i', "0", kRw},  // flow control index
    {Oid::kSerialTimeout, 'i', "4", kRw},  // receive timeout, 250 ms units
    {Oid::kSerialTransmit, 's', "", kRw},  // message to transmit
    {Oid::kSerialReceive, 's', "READY\r\n", kRo},  // receive buffer
};

const std::vector<CommandObject> kCommands = {
    {Oid::kRestartModule, "restart the module"},
    {Oid::kRestartTarget, "restart the supervised target"},
    {Oid::kFirmwareUpdate, "start a firmware update"},
    {Oid::kRestartSwitch, "restart the switch board"},
    {Oid::kConfirmSwitch, "confirm the switch settings"},
    {Oid::kSerialFlush, "re-initialise the serial port"},
};


// Per-port PHY registers 0, 1 and 23 (16-bit). Ports 0 to 3 have a link.
struct PortPhy {
    int control;  // register 0: auto-negotiation, 100 Mb/s, full duplex
    int status;  // register 1: bit 2 = link
    int activity;  // register 23: bit 11 TX, bit 10 RX, bits 7..4 link quality
};
const PortPhy kPortPhys[8] = {
    {0x3100, 0x786D, 0x0C50},
    {0x3100, 0x786D, 0x0C60},
    {0x2100, 0x786D, 0x0470},
    {0x3000, 0x786D, 0x0880},
    {0x3100, 0x7849, 0x0000},
    {0x3100, 0x7849, 0x0000},
    {0x3100, 0x7849, 0x0000},
    {0x3100, 0x7849, 0x0000},
};
constexpr int kPhyRegistersPerPort = 32;
constexpr int kPhyPorts = 8;

constexpr int kThresholdChannels = 8;
constexpr int kLowThresholdBase = 100;
constexpr int kHighThresholdBase = 900;

void Put(ObjectStore& store, const std::string& oid, const SimValue& value, bool writable)
{
    store.Put(SimOid::Full(oid), SimObject {value, writable, false});
}

template <size_t N> void AddRows(ObjectStore& store, const ObjectRow (&rows)[N])
{
    for (const ObjectRow& row : rows)
        Put(store, row.oid, SimValue::FromText(row.type, row.value), row.writable);
}

void AddAnalogChannels(ObjectStore& store)
{
    for (int k = 1; k <= 8; ++k)
        Put(store, Oid::AnalogChannel(k), SimValue::Integer(kAnalogCounts[k - 1]), kRo);
}

void AddCommands(ObjectStore& store)
{
    for (const CommandObject& command : kCommands)
        store.Put(SimOid::Full(command.oid), SimObject {SimValue::Integer(1), false, true});
}

// .1.1.122.(2k+1).0 low and .1.1.122.(2k+2).0 high threshold of channel k+1.
void AddThresholds(ObjectStore& store)
{
    for (int k = 0; k < kThresholdChannels; ++k) {
        Put(store, Oid::TrapThreshold(2 * k + 1), SimValue::Integer(kLowThresholdBase + k), kRw);
        Put(store, Oid::TrapThreshold(2 * k + 2), SimValue::Integer(kHighThresholdBase + k), kRw);
    }
}

void AddSwitchRegisters(ObjectStore& store)
{
    for (int r = 0; r < 128; ++r)
        Put(store, Oid::SwitchRegister(r), SimValue::Integer(kDefaultImage[r]), kRw);
}

// .1.4.3.N.0, N = 32 * port + register. Registers 16 to 20 of the last block
// (N = 240 to 244) are the MAC table access words; they start at 0.
void AddPhyRegisters(ObjectStore& store)
{
    for (int port = 0; port < kPhyPorts; ++port) {
        const PortPhy& phy = kPortPhys[port];
        for (int reg = 0; reg < kPhyRegistersPerPort; ++reg)
            Put(store, Oid::PortRegister(port, reg), SimValue::Integer(0), kRw);
        Put(store, Oid::PortRegister(port, 0), SimValue::Integer(phy.control), kRw);
        Put(store, Oid::PortRegister(port, 1), SimValue::Integer(phy.status), kRw);
        Put(store, Oid::PortRegister(port, 23), SimValue::Integer(phy.activity), kRw);
    }
}

}  // namespace

const std::vector<CommandObject>& CommandObjects() { return kCommands; }

void AddDefaultObjects(ObjectStore& store)
{
    AddRows(store, kSettings);
    AddRows(store, kIoPorts);
    AddAnalogChannels(store);
    AddRows(store, kSerial);
    AddCommands(store);
    AddThresholds(store);
    AddSwitchRegisters(store);
    AddPhyRegisters(store);
}
