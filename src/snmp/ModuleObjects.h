#pragma once
// Every object of the IP module that Kalvor reads or writes, by name. The
// windows, the simulated module's defaults and the tests all take their
// object identifiers from here. Scalars are full numeric OIDs with a leading
// dot; objects with an index are built by the helpers at the end.

#include <string>

namespace Oid {

inline constexpr const char* kEnterprise = ".1.3.6.1.4.1.19865";

// Module settings (.1.1)
inline constexpr const char* kModuleIp = ".1.3.6.1.4.1.19865.1.1.1.0";
inline constexpr const char* kMac = ".1.3.6.1.4.1.19865.1.1.2.0";
inline constexpr const char* kVlanTag = ".1.3.6.1.4.1.19865.1.1.3.0";
inline constexpr const char* kRwCommunity = ".1.3.6.1.4.1.19865.1.1.4.0";
inline constexpr const char* kMacLock1 = ".1.3.6.1.4.1.19865.1.1.5.0";
inline constexpr const char* kMacLock2 = ".1.3.6.1.4.1.19865.1.1.6.0";
inline constexpr const char* kPingRestartMinutes = ".1.3.6.1.4.1.19865.1.1.7.0";
inline constexpr const char* kFirmwareVersion = ".1.3.6.1.4.1.19865.1.1.8.0";
inline constexpr const char* kModeWord1 = ".1.3.6.1.4.1.19865.1.1.9.0";
inline constexpr const char* kModeWord2 = ".1.3.6.1.4.1.19865.1.1.11.0";
inline constexpr int kSwitchControlBit = 5;  // of mode word 1: the switch board is controlled
inline constexpr const char* kRestartPulseWidth = ".1.3.6.1.4.1.19865.1.1.12.0";
inline constexpr const char* kPingRestartCount = ".1.3.6.1.4.1.19865.1.1.13.0";  // count minus one
inline constexpr const char* kGateway = ".1.3.6.1.4.1.19865.1.1.14.0";
inline constexpr const char* kNetworkMask = ".1.3.6.1.4.1.19865.1.1.15.0";
inline constexpr const char* kMonitorIp = ".1.3.6.1.4.1.19865.1.1.16.0";
inline constexpr const char* kRoCommunity = ".1.3.6.1.4.1.19865.1.1.17.0";
inline constexpr const char* kTrapServer = ".1.3.6.1.4.1.19865.1.1.18.0";
inline constexpr const char* kTrapCommunity = ".1.3.6.1.4.1.19865.1.1.19.0";
inline constexpr const char* kAccessIp = ".1.3.6.1.4.1.19865.1.1.20.0";
inline constexpr const char* kAccessMask = ".1.3.6.1.4.1.19865.1.1.21.0";
inline constexpr const char* kTftpServer = ".1.3.6.1.4.1.19865.1.1.32.0";
inline constexpr const char* kAnalogCh3 = ".1.3.6.1.4.1.19865.1.1.123.0";
inline constexpr const char* kAnalogCh5 = ".1.3.6.1.4.1.19865.1.1.124.0";
inline constexpr const char* kAnalogCh7 = ".1.3.6.1.4.1.19865.1.1.125.0";
inline constexpr const char* kTrapThresholdPrefix = ".1.3.6.1.4.1.19865.1.1.122.";

// Commands: the module acts when the object is read.
inline constexpr const char* kRestartModule = ".1.3.6.1.4.1.19865.1.1.10.0";
inline constexpr const char* kFirmwareUpdate = ".1.3.6.1.4.1.19865.1.1.33.0";
inline constexpr const char* kRestartTarget = ".1.3.6.1.4.1.19865.1.2.4.0";
inline constexpr const char* kRestartSwitch = ".1.3.6.1.4.1.19865.1.4.1.0";
inline constexpr const char* kConfirmSwitch = ".1.3.6.1.4.1.19865.1.4.4.0";
inline constexpr const char* kSerialFlush = ".1.3.6.1.4.1.19865.1.5.1.2.1.0";

// I/O ports (.1.2)
inline constexpr const char* kPortP3 = ".1.3.6.1.4.1.19865.1.2.1.0";
inline constexpr const char* kPortP5 = ".1.3.6.1.4.1.19865.1.2.2.0";
inline constexpr const char* kPortP6 = ".1.3.6.1.4.1.19865.1.2.3.0";
inline constexpr const char* kPortP3Wide = ".1.3.6.1.4.1.19865.1.2.1.33.0";  // eight-channel level
inline constexpr const char* kPortP5Wide = ".1.3.6.1.4.1.19865.1.2.2.33.0";
inline constexpr const char* kPortP6Wide = ".1.3.6.1.4.1.19865.1.2.3.33.0";
inline constexpr const char* kAnalogChannelPrefix = ".1.3.6.1.4.1.19865.1.2.3.";

// Switch board (.1.4)
inline constexpr const char* kSwitchRegisterPrefix = ".1.3.6.1.4.1.19865.1.4.2.";
inline constexpr const char* kPortRegisterPrefix = ".1.3.6.1.4.1.19865.1.4.3.";
inline constexpr const char* kMacTableStart = ".1.3.6.1.4.1.19865.1.4.3.240.0";  // 65535 starts an operation
inline constexpr const char* kMacTableStatus = ".1.3.6.1.4.1.19865.1.4.3.241.0";
inline constexpr const char* kMacTableWord56 = ".1.3.6.1.4.1.19865.1.4.3.242.0";  // also the walk's index
inline constexpr const char* kMacTableWord34 = ".1.3.6.1.4.1.19865.1.4.3.243.0";
inline constexpr const char* kMacTableWord12 = ".1.3.6.1.4.1.19865.1.4.3.244.0";

// Serial bridge (.1.5.1)
inline constexpr const char* kSerialBaud = ".1.3.6.1.4.1.19865.1.5.1.1.1.0";
inline constexpr const char* kSerialParity = ".1.3.6.1.4.1.19865.1.5.1.1.2.0";
inline constexpr const char* kSerialFlowControl = ".1.3.6.1.4.1.19865.1.5.1.1.3.0";
inline constexpr const char* kSerialTimeout = ".1.3.6.1.4.1.19865.1.5.1.1.4.0";
inline constexpr const char* kSerialTransmit = ".1.3.6.1.4.1.19865.1.5.1.2.2.0";
inline constexpr const char* kSerialReceive = ".1.3.6.1.4.1.19865.1.5.1.2.3.0";

// "%s%d.0" of a prefix and an index.
inline std::string Indexed(const char* prefix, int index) { return prefix + std::to_string(index) + ".0"; }

// Switch configuration register r (0..127).
inline std::string SwitchRegister(int r) { return Indexed(kSwitchRegisterPrefix, r); }
// Register r (0..31) of switch port p (0..7): object 32 p + r.
inline std::string PortRegister(int port, int r) { return Indexed(kPortRegisterPrefix, 32 * port + r); }
// Analog alarm threshold n (1..16): odd n low, even n high, channel (n + 1) / 2.
inline std::string TrapThreshold(int n) { return Indexed(kTrapThresholdPrefix, n); }
// Analog channel k (1..8) at the eight-channel level.
inline std::string AnalogChannel(int k) { return Indexed(kAnalogChannelPrefix, k); }

}  // namespace Oid
