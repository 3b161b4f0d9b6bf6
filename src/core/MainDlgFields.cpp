// The main window's fields: one table binds each control to its member, in
// exchange order. The field exchange and every lookup of "the member of this
// control" read it, so a control the handlers use without a binding is found
// by the table tests, not at run time.

#include <type_traits>

#include "core/MainDlg.h"
#include "platform/DataExchange.h"
#include "res/MainDlgIds.h"

const std::vector<CMainDlg::FieldBinding>& CMainDlg::FieldBindings()
{
    using D = CMainDlg;
    static const std::vector<FieldBinding> bindings = {
        {IDC_MODE_SKIP_BROADCAST, &D::m_modeSkipBroadcast},
        {IDC_MODE_DROP_LARGE, &D::m_modeDropLarge},
        {IDC_MODE_P6_ANALOG, &D::m_modeP6Analog},
        {IDC_MODE_PING_RESTART, &D::m_modePingRestart},
        {IDC_MODE_SNMP_ACCESS, &D::m_modeSnmpAccess},
        {IDC_MODE_SECONDARY_RST, &D::m_modeSecondaryRst},
        {IDC_MODE_SWITCH_CONTROL, &D::m_modeSwitchControl},
        {IDC_MODE_VLAN_TAGGED, &D::m_modeVlanTagged},
        {IDC_VERSION, &D::m_version},
        {IDC_MAC, &D::m_mac},
        {IDC_MAC_LOCK1, &D::m_macLock1, 0, 17},
        {IDC_MAC_LOCK2, &D::m_macLock2, 0, 17},
        {IDC_PING_RESTART_MIN, &D::m_pingRestartMin, 1, 255},
        {IDC_VLAN_TAG, &D::m_vlanTag, 0, 4095},
        {IDC_STATUS, static_cast<QString D::*>(&D::m_status)},
        {IDC_MODE_SAVE_IO, &D::m_modeSaveIo},
        {IDC_MODE_PING_LED, &D::m_modePingLed},
        {IDC_PING_RESTART_COUNT, &D::m_pingRestartCount, 1, 256},
        {IDC_RESTART_PULSE, &D::m_restartPulseWidth, 1, 32767},
        {IDC_MODE_IO_RESET, &D::m_modeIoReset},
        {IDC_MODE_EXTRA_FIRST + 0, &D::m_modeTftp},
        {IDC_MODE_EXTRA_FIRST + 1, &D::m_modeDhcp},
        {IDC_MODE_EXTRA_FIRST + 2, &D::m_modeRemotePing},
        {IDC_MODE_EXTRA_FIRST + 3, &D::m_modeWebServer},
        {IDC_MODE_EXTRA_FIRST + 4, &D::m_modeRestartSwitch},
        {IDC_PULSE_WIDTH_LABEL, &D::m_pulseWidthLabel},
        {IDC_RW_COMMUNITY, static_cast<QString D::*>(&D::m_rwCommunity), 0, 12},
        {IDC_RO_COMMUNITY, static_cast<QString D::*>(&D::m_roCommunity), 0, 12},
    };
    return bindings;
}

void CMainDlg::DoDataExchange(CDataExchange& dx)
{
    for (const FieldBinding& field : FieldBindings()) {
        std::visit(
            [&](auto member) {
                auto& value = this->*member;
                using T = std::decay_t<decltype(value)>;
                if constexpr (std::is_same_v<T, bool>) {
                    DDX_Check(dx, field.id, value);
                } else if constexpr (std::is_same_v<T, QString>) {
                    DDX_Text(dx, field.id, value);
                    if (field.max)
                        DDV_MaxChars(dx, value, static_cast<int>(field.max));
                } else {
                    DDX_Text(dx, field.id, value);
                    DDV_MinMaxUInt(dx, value, field.min, field.max);
                }
            },
            field.member);
    }
}

namespace {
template <class T> T CMainDlg::*BoundMember(int control)
{
    for (const CMainDlg::FieldBinding& field : CMainDlg::FieldBindings())
        if (field.id == control)
            if (const auto* member = std::get_if<T CMainDlg::*>(&field.member))
                return *member;
    return nullptr;
}
}  // namespace

QString* CMainDlg::TextMember(int control)
{
    const auto member = BoundMember<QString>(control);
    return member ? &(this->*member) : nullptr;
}

uint32_t* CMainDlg::NumberMember(int control)
{
    const auto member = BoundMember<uint32_t>(control);
    return member ? &(this->*member) : nullptr;
}

bool* CMainDlg::FlagMember(int control)
{
    const auto member = BoundMember<bool>(control);
    return member ? &(this->*member) : nullptr;
}
