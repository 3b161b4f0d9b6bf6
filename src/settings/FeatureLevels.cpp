#include "settings/FeatureLevels.h"

#include <algorithm>
#include <initializer_list>

#include "res/MainDlgIds.h"
#include "settings/ModeBits.h"
#include "snmp/ModuleObjects.h"

namespace {

bool In(int value, std::initializer_list<int> set) { return std::find(set.begin(), set.end(), value) != set.end(); }

// Reads selected by the minor alone (the 14-object read follows separately).
struct MinorRead {
    std::initializer_list<int> minors;
    ReadBatch batch;
    bool copyRoToRw;
};
const MinorRead kMinorReads[] = {
    {{40, 50, 61}, ReadBatch::Seven, false},
    {{60, 62, 65}, ReadBatch::Eight, true},
    {{66}, ReadBatch::Ten, true},
    {{78, 79}, ReadBatch::Access, false},
};

using D = SettingDecode;
const SettingsObject kSettingsObjects[] = {
    {Oid::kModuleIp, D::IpAddress, IDC_IP},
    {Oid::kMac, D::MacText, IDC_MAC},
    {Oid::kVlanTag, D::Integer, IDC_VLAN_TAG},
    {Oid::kMacLock1, D::MacText, IDC_MAC_LOCK1},
    {Oid::kMacLock2, D::MacText, IDC_MAC_LOCK2},
    {Oid::kPingRestartMinutes, D::Integer, IDC_PING_RESTART_MIN},
    {Oid::kModeWord1, D::ModeWord1, 0},
    {Oid::kModeWord2, D::ModeWord2, 0},
    {Oid::kPingRestartCount, D::CountPlusOne, IDC_PING_RESTART_COUNT},
    {Oid::kRestartPulseWidth, D::Integer, IDC_RESTART_PULSE},
    {Oid::kNetworkMask, D::IpAddress, IDC_NETWORK_MASK},
    {Oid::kGateway, D::IpAddress, IDC_GATEWAY},
    {Oid::kTftpServer, D::IpAddress, IDC_TFTP_SERVER},
    {Oid::kMonitorIp, D::IpAddress, IDC_MONITOR_IP},
};
const SettingsObject kAccessObjects[] = {
    {Oid::kAccessIp, D::IpAddress, IDC_ACCESS_IP},
    {Oid::kAccessMask, D::IpAddress, IDC_ACCESS_MASK},
};

constexpr const char* kNA = "N/A";
constexpr const char* kPulseWidthSlow = "Restart Pulse Width (x42ms)";
constexpr const char* kPulseWidthFast = "Restart Pulse Width (x0.25s)";

// The control's caption as the template has it, in the given state.
// A mode box's caption as the template has it, in the given state.
ControlChange Original(int id, ControlState state) { return {id, ModeBitOf(id)->caption, state}; }
constexpr ControlState Keep = ControlState::Keep;
constexpr ControlState Enable = ControlState::Enable;
constexpr ControlState Disable = ControlState::Disable;

const std::vector<ControlChange> kEveryVersion = {
    {IDC_SET_IP, nullptr, Enable},
    {IDC_SET_MAC_LOCK1, nullptr, Enable},
    {IDC_SET_MAC_LOCK2, nullptr, Enable},
    {IDC_SET_VLAN_TAG, nullptr, Enable},
    {IDC_SET_PING_RESTART, nullptr, Enable},
    {IDC_CHANGE_RW_PASS, nullptr, Enable},
    {IDC_SET_MODES, nullptr, Enable},
    {IDC_MAC_LOCK2, nullptr, ControlState::Editable},
    {IDC_MAC_LOCK1, nullptr, ControlState::Editable},
    {IDC_PING_RESTART_MIN, nullptr, ControlState::Editable},
    {IDC_VLAN_TAG, nullptr, ControlState::Editable},
};

const std::vector<ControlChange> kBelow4070 = {
    {IDC_NETWORK_MASK, nullptr, ControlState::ClearAndDisable},
    {IDC_GATEWAY, nullptr, ControlState::ClearAndDisable},
    {IDC_TFTP_SERVER, nullptr, ControlState::ClearAndDisable},
    {IDC_MONITOR_IP, nullptr, ControlState::ClearAndDisable},
    {IDC_SET_NETWORK_MASK, nullptr, Disable},
    {IDC_SET_GATEWAY, nullptr, Disable},
    {IDC_SET_TFTP_SERVER, nullptr, Disable},
    {IDC_SET_MONITOR_IP, nullptr, Disable},
    {IDC_CHANGE_RO_PASS, nullptr, Disable},
    {IDC_FIRMWARE_UPDATE, nullptr, Disable},
    {IDC_MODE_DROP_LARGE, nullptr, Enable},
};

// Boxes of mode word 2 that firmware below 4.066 does not have.
const std::vector<ControlChange> kNoExtraModes = {
    {1083, kNA, Disable},
    {1084, kNA, Disable},
    {1085, kNA, Disable},
    {1086, kNA, Disable},
    {1087, kNA, Disable},
};
const std::vector<ControlChange> kNoPingCountAndPulse = {
    {IDC_PING_RESTART_COUNT, nullptr, ControlState::ReadOnly},
    {IDC_RESTART_PULSE, nullptr, ControlState::ReadOnly},
    {IDC_SET_PING_COUNT, nullptr, Disable},
    {IDC_SET_RESTART_PULSE, nullptr, Disable},
};

struct MinorColumn {
    std::initializer_list<int> minors;
    std::vector<std::vector<ControlChange>> parts;
};

const MinorColumn kBelow4070Columns[] = {
    {{40, 50, 61},
        {{{IDC_MODE_SECONDARY_RST, kNA, Disable}, {IDC_MODE_P6_ANALOG, kNA, Disable}, {IDC_MODE_SAVE_IO, kNA, Disable},
             {IDC_MODE_PING_LED, kNA, Disable}, {IDC_MODE_IO_RESET, kNA, Disable}},
            kNoExtraModes, kNoPingCountAndPulse}},
    {{60, 62, 65},
        {{Original(IDC_MODE_SAVE_IO, Enable), {IDC_MODE_PING_LED, kNA, Disable},
             {IDC_MODE_IO_RESET, kNA, Disable}},
            kNoExtraModes, kNoPingCountAndPulse}},
    {{66},
        {{{IDC_MODE_SNMP_ACCESS, "Nubrel settings SNMP access", Keep},
             Original(IDC_MODE_SKIP_BROADCAST, Keep), Original(IDC_MODE_VLAN_TAGGED, Keep),
             Original(IDC_MODE_DROP_LARGE, Keep), Original(IDC_MODE_PING_RESTART, Keep),
             Original(IDC_MODE_SWITCH_CONTROL, Keep), Original(IDC_MODE_SECONDARY_RST, Enable),
             Original(IDC_MODE_P6_ANALOG, Enable), Original(IDC_MODE_SAVE_IO, Enable),
             Original(IDC_MODE_PING_LED, Keep), Original(IDC_MODE_IO_RESET, Enable)},
            kNoExtraModes,
            {{IDC_PING_RESTART_COUNT, nullptr, ControlState::Editable},
                {IDC_RESTART_PULSE, nullptr, ControlState::Editable}, {IDC_SET_PING_COUNT, nullptr, Enable},
                {IDC_SET_RESTART_PULSE, nullptr, Enable}}}},
};

const std::vector<ControlChange> kFrom4070 = {
    {IDC_MODE_DROP_LARGE, kNA, Disable},
    Original(IDC_MODE_PING_RESTART, Keep),
    {IDC_MODE_SWITCH_CONTROL, "Trellim control mode", Keep},
    {IDC_MODE_SECONDARY_RST, "Restart target on timeout", Keep},
    {IDC_MODE_P6_ANALOG, kNA, Disable},
    {IDC_MODE_SAVE_IO, kNA, Disable},
    {IDC_MODE_PING_LED, "Ping LED enable", Keep},
    Original(IDC_MODE_IO_RESET, Keep),
    {1083, "TFTP enabled", Enable},
    {1084, "DHCP client enabled", Enable},
    {1085, "Remote ping restart", Enable},
    {1086, "WEB Server enabled", Enable},
    {1087, "Restart switch on timeout", Enable},
    {IDC_SET_PING_COUNT, nullptr, Enable},
    {IDC_SET_RESTART_PULSE, nullptr, Enable},
    {IDC_PING_RESTART_COUNT, nullptr, ControlState::Editable},
    {IDC_RESTART_PULSE, nullptr, ControlState::Editable},
    {IDC_SET_ACCESS_IP, nullptr, Disable},
    {IDC_SET_ACCESS_MASK, nullptr, Disable},
    {IDC_ACCESS_IP, nullptr, Disable},
    {IDC_ACCESS_MASK, nullptr, Disable},
    {IDC_NETWORK_MASK, nullptr, Enable},
    {IDC_GATEWAY, nullptr, Enable},
    {IDC_TFTP_SERVER, nullptr, Enable},
    {IDC_MONITOR_IP, nullptr, Enable},
    {IDC_SET_NETWORK_MASK, nullptr, Enable},
    {IDC_SET_GATEWAY, nullptr, Enable},
    {IDC_SET_TFTP_SERVER, nullptr, Enable},
    {IDC_SET_MONITOR_IP, nullptr, Enable},
    {IDC_CHANGE_RO_PASS, nullptr, Enable},
    {IDC_FIRMWARE_UPDATE, nullptr, Enable},
};

const ControlChange kSaveIo = Original(IDC_MODE_SAVE_IO, Enable);

const MinorColumn kFrom4070Minors[] = {
    {{71, 72, 73, 76, 77}, {{kSaveIo}}},
    {{78, 79},
        {{kSaveIo, {IDC_SET_ACCESS_IP, nullptr, Enable}, {IDC_SET_ACCESS_MASK, nullptr, Enable},
            {IDC_ACCESS_IP, nullptr, Enable}, {IDC_ACCESS_MASK, nullptr, Enable}}}},
    {{73}, {{{IDC_MODE_P6_ANALOG, "RS-232 Enabled", Enable}}}},
};

void Append(std::vector<ControlChange>& to, const std::vector<ControlChange>& from)
{
    to.insert(to.end(), from.begin(), from.end());
}

template <size_t N> void AppendColumns(std::vector<ControlChange>& to, const MinorColumn (&columns)[N], int minor)
{
    for (const MinorColumn& column : columns)
        if (In(minor, column.minors))
            for (const auto& part : column.parts)
                Append(to, part);
}

}  // namespace

ReadPlan PlanRead(const FirmwareVersion& version)
{
    ReadPlan plan;
    for (const MinorRead& rule : kMinorReads) {
        if (In(version.minor, rule.minors)) {
            plan.batches.push_back(rule.batch);
            plan.copyRoToRw = rule.copyRoToRw;
        }
    }
    if (version.major == 4 && version.minor >= 70)
        plan.batches.push_back(ReadBatch::Fourteen);
    return plan;
}

std::vector<SettingsObject> BatchObjects(ReadBatch batch)
{
    switch (batch) {
    case ReadBatch::Seven: return {kSettingsObjects, kSettingsObjects + 7};
    case ReadBatch::Eight: return {kSettingsObjects, kSettingsObjects + 8};
    case ReadBatch::Ten: return {kSettingsObjects, kSettingsObjects + 10};
    case ReadBatch::Fourteen: return {kSettingsObjects, kSettingsObjects + 14};
    case ReadBatch::Access: return {kAccessObjects, kAccessObjects + 2};
    }
    return {};
}

const char* SettingOidFor(int control)
{
    for (const SettingsObject& object : kSettingsObjects)
        if (object.control == control && control != 0)
            return object.oid;
    for (const SettingsObject& object : kAccessObjects)
        if (object.control == control)
            return object.oid;
    return nullptr;
}

Layout LayoutFor(const FirmwareVersion& version)
{
    Layout layout;
    Append(layout.changes, kEveryVersion);
    const bool from4070 = version.Number() >= VersionNumber(4, 70);
    if (!from4070) {
        Append(layout.changes, kBelow4070);
        AppendColumns(layout.changes, kBelow4070Columns, version.minor);
        layout.pulseWidthLabel = kPulseWidthSlow;
    } else {
        Append(layout.changes, kFrom4070);
        AppendColumns(layout.changes, kFrom4070Minors, version.minor);
        layout.pulseWidthLabel = kPulseWidthFast;
    }
    layout.rs232Possible = from4070 && version.minor == 73;
    return layout;
}

ControlLook ModeBoxAt(const FirmwareVersion& version, int control)
{
    // The template shows every mode box enabled.
    ControlLook look {ModeBitOf(control)->caption, true};
    for (const ControlChange& change : LayoutFor(version).changes) {
        if (change.id != control)
            continue;
        if (change.caption)
            look.caption = change.caption;
        if (change.state == ControlState::Enable || change.state == ControlState::Disable)
            look.enabled = change.state == ControlState::Enable;
    }
    return look;
}

bool SwitchButtonsUsable(const FirmwareVersion& version, bool switchControl)
{
    return SwitchBoardUsable(version, switchControl);
}

WindowButtons WindowButtonsFor(const FirmwareVersion& version, bool switchControl, bool rs232Bit)
{
    WindowButtons buttons;
    buttons.switchWindows = SwitchButtonsUsable(version, switchControl);
    buttons.rs232 = LayoutFor(version).rs232Possible && rs232Bit;
    buttons.traps = version.Number() >= VersionNumber(4, 70);
    return buttons;
}
