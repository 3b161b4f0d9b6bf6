#include "settings/SwitchTables.h"

#include "res/SwitchDlgIds.h"

const std::array<GlobalBit, SwitchMap::kGlobalFlags> kGlobalBits = {{
    {IDC_SW_FILTER_BAD, 0, 6, "Filter bad packets"},
    {IDC_SW_NO_TX_FLOW, 0, 5, "No Transmit flow control"},
    {IDC_SW_RX_FLOW, 0, 4, "Receive flow control"},
    {IDC_SW_BROADCAST_DROP, 0, 3, "Broadcast input drop"},
    {IDC_SW_AGING, 0, 2, "Aging enabled"},
    {IDC_SW_FAST_AGING, 0, 1, "Fast aging (800us)"},
    {IDC_SW_NO_VLAN_MODE, 1, 3, "Disable VLAN mode"},
    {IDC_SW_NO_8021Q, 1, 2, "Disalbe 802.1q VLAN"},
    {IDC_SW_KEEP_NON_MEMBER, 1, 1, "Do not drop if the ingress port is not included in the VLAN member set"},
    {IDC_SW_KEEP_UNTAGGED, 1, 0, "Do not drop untagged frame"},
    {IDC_SW_DIFFSERV_HIGH, 2, 7, "Default DiffServ point is High Priority"},
    {IDC_SW_TRUNKING, 3, 4, "Port 0/1 are trunking port"},
    {IDC_SW_IP_A_HIGH, 3, 1, "IP/MASK[A] is High Priority"},
    {IDC_SW_IP_B_HIGH, 3, 0, "IP/MASK[B] is High Priority"},
    {IDC_SW_DIFFSERV_B_HIGH, 4, 7, "DiffServ [B] is high priority"},
    {IDC_SW_DIFFSERV_A_HIGH, 5, 7, "DiffServ [A] is high priority"},
    {IDC_SW_FRAME_GAP, 7, 5, "90ppm TX Frame gap"},
    {IDC_SW_NO_LOOP_DETECT, 7, 4, "Disable Loop detection"},
    {IDC_SW_LOOKUP_ACCESS, 7, 2, "Lookup table accessability"},
}};

// The one box 1092 drives two bits; the second row is the one a load shows.
const std::array<PortBit, SwitchMap::kPortFlags> kPortBits = {{
    {IDC_SW_100MB, PortReg::kMode, 5, "100Mb/s capable"},
    {IDC_SW_FULL_DUPLEX, PortReg::kMode, 4, "Full Duplex capable"},
    {IDC_SW_BACKPRESSURE, PortReg::kMode, 2, "Enable Half Duplex backpressure"},
    {IDC_SW_PORT_ENABLE, PortReg::kEnable, 3, "Enable Port (Rx/Tx)"},
    {IDC_SW_PORT_ENABLE, PortReg::kEnable, 2, "Enable Port (Rx/Tx)"},
    {IDC_SW_LEARNING, PortReg::kEnable, 1, "Enable Learning of MAC addresses"},
    {IDC_SW_LOOPBACK, PortReg::kVlanFlags, 5, "Local loopback"},
    {IDC_SW_NULL_VID, PortReg::kVlanFlags, 4, "Replace NULL VID with port VID (12 bit)"},
    {IDC_SW_TAG_DISCARD, PortReg::kVlanFlags, 3, "If the frames from source port are tagged with tag different then source port's tag - discard"},
    {IDC_SW_NO_8021P, PortReg::kVlanFlags, 2, "Disable 802.1p priority for ingress packets"},
    {IDC_SW_NO_DIFFSERV, PortReg::kVlanFlags, 1, "Disable Diffserv priority classification for ingress"},
    {IDC_SW_NO_PORT_PRIORITY, PortReg::kVlanFlags, 0, "Disalble Port Priority function"},
}};

const std::array<int, SwitchMap::kPorts> kPortBase = {8, 24, 40, 54, 68, 83, 91, 99};

const std::array<AddressSlot, 4> kPriorityAddresses = {{
    {IDC_SW_IP_A, 16},
    {IDC_SW_IP_B, 20},
    {IDC_SW_MASK_A, 32},
    {IDC_SW_MASK_B, 36},
}};

const std::array<StatusBit, kStatusFlags> kStatusBits = {{
    {1, 2},  // Link
    {0, 13},  // Speed 100Mb
    {0, 8},  // Full Duplex
    {2, 10},  // RX
    {2, 11},  // TX
    {2, 8},  // Loop
}};
