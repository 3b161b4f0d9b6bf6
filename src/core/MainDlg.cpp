#include "core/MainDlg.h"

#include <QContextMenuEvent>
#include <QMenu>
#include <algorithm>

#include "core/AboutDlg.h"
#include "core/FeatureLevels.h"
#include "platform/ControlText.h"
#include "platform/DataExchange.h"
#include "platform/IpAddressCtrl.h"
#include "res/AppIcon.h"
#include "res/MainDlgIds.h"
#include "res/MainDlgTemplate.h"
#include "res/Strings.h"
#include "snmp/FirmwareVersion.h"
#include "snmp/SnmpRequest.h"

namespace {
constexpr unsigned kAboutCommand = 16;
constexpr const char* kDefaultModuleAddress = "172.16.100.2";
constexpr const char* kDefaultRwCommunity = "marbled";
constexpr const char* kDefaultRoCommunity = "582019374620";
constexpr const char* kNoSuchWindow = "This window is not available in this version of Kalvor.";
constexpr const char* kCommunityNot8Bit
    = "ERROR in community string. Only 8-bit (Latin-1) characters can be sent to the module.";

// The member of `self` that a table row binds to `control`.
template <class T, size_t N>
T* MemberFor(CMainDlg* self, const std::pair<int, T CMainDlg::*> (&members)[N], int control)
{
    for (const auto& [id, member] : members)
        if (id == control)
            return &(self->*member);
    qFatal("control %d has no member of this kind", control);
    return nullptr;
}

// Module address preset at start-up; the command line may change it.
QString& StartAddress()
{
    static QString address = kDefaultModuleAddress;
    return address;
}
}  // namespace

void CMainDlg::SetStartAddress(const QString& address) { StartAddress() = address; }

CMainDlg::CMainDlg(LaunchTable launchers, QWidget* parent)
    : CModuleDlg(MainDlgTemplate(),
        SubWindowArgs {QString(), QString::fromLatin1(kDefaultRwCommunity), QString::fromLatin1(kDefaultRoCommunity)},
        parent),
      m_pulseWidthLabel("Restart Pulse Width (x42ms)"),
      m_hIcon(AppIcon()),
      m_launchers(std::move(launchers))
{
    RegisterHandlers();
}

CMainDlg::~CMainDlg() = default;

void CMainDlg::DoDataExchange(CDataExchange& dx)
{
    DDX_Check(dx, IDC_MODE_SKIP_BROADCAST, m_modeSkipBroadcast);
    DDX_Check(dx, IDC_MODE_DROP_LARGE, m_modeDropLarge);
    DDX_Check(dx, IDC_MODE_P6_ANALOG, m_modeP6Analog);
    DDX_Check(dx, IDC_MODE_PING_RESTART, m_modePingRestart);
    DDX_Check(dx, IDC_MODE_SNMP_ACCESS, m_modeSnmpAccess);
    DDX_Check(dx, IDC_MODE_SECONDARY_RST, m_modeSecondaryRst);
    DDX_Check(dx, IDC_MODE_SWITCH_CONTROL, m_modeSwitchControl);
    DDX_Check(dx, IDC_MODE_VLAN_TAGGED, m_modeVlanTagged);
    DDX_Text(dx, IDC_VERSION, m_version);
    DDX_Text(dx, IDC_MAC, m_mac);
    DDX_Text(dx, IDC_MAC_LOCK1, m_macLock1);
    DDV_MaxChars(dx, m_macLock1, 17);
    DDX_Text(dx, IDC_MAC_LOCK2, m_macLock2);
    DDV_MaxChars(dx, m_macLock2, 17);
    DDX_Text(dx, IDC_PING_RESTART_MIN, m_pingRestartMin);
    DDV_MinMaxUInt(dx, m_pingRestartMin, 1, 255);
    DDX_Text(dx, IDC_VLAN_TAG, m_vlanTag);
    DDV_MinMaxUInt(dx, m_vlanTag, 0, 4095);
    DDX_Text(dx, IDC_STATUS, m_status);
    DDX_Check(dx, IDC_MODE_SAVE_IO, m_modeSaveIo);
    DDX_Check(dx, IDC_MODE_PING_LED, m_modePingLed);
    DDX_Text(dx, IDC_PING_RESTART_COUNT, m_pingRestartCount);
    DDV_MinMaxUInt(dx, m_pingRestartCount, 1, 256);
    DDX_Text(dx, IDC_RESTART_PULSE, m_restartPulseWidth);
    DDV_MinMaxUInt(dx, m_restartPulseWidth, 1, 32767);
    DDX_Check(dx, IDC_MODE_IO_RESET, m_modeIoReset);
    for (int k = 0; k < 5; ++k)
        DDX_Check(dx, IDC_MODE_EXTRA_FIRST + k, m_modeExtra[k]);
    DDX_Text(dx, IDC_PULSE_WIDTH_LABEL, m_pulseWidthLabel);
    DDX_Text(dx, IDC_RW_COMMUNITY, m_rwCommunity);
    DDV_MaxChars(dx, m_rwCommunity, 12);
    DDX_Text(dx, IDC_RO_COMMUNITY, m_roCommunity);
    DDV_MaxChars(dx, m_roCommunity, 12);
}

void CMainDlg::RegisterHandlers()
{
    for (const LaunchButton& button : m_launchers)
        OnCommand(button.button, [this, kind = button.kind] { OpenSubWindow(kind); });
    OnNotify(IDC_RW_COMMUNITY, Notify::KillFocus, [this] { OnCommunityKillFocus(); });
    OnNotify(IDC_RO_COMMUNITY, Notify::KillFocus, [this] { OnCommunityKillFocus(); });
    OnCommand(IDC_READ_SETTINGS, [this] { OnReadSettings(); });
    OnCommand(IDC_SET_MODES, [this] { OnSetModes(); });
    OnCommand(IDC_RESTART, [this] { OnRestart(); });
    OnCommand(IDC_TARGET_RESTART, [this] { OnTargetRestart(); });
    OnCommand(IDC_FIRMWARE_UPDATE, [this] { OnFirmwareUpdate(); });
    OnCommand(IDC_CHANGE_RW_PASS, [this] { OnChangeRwPass(); });
    OnCommand(IDC_CHANGE_RO_PASS, [this] { OnChangeRoPass(); });
    RegisterSetters();
}

bool CMainDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    m_systemMenu = new QMenu(this);
    m_systemMenu->addSeparator();
    m_systemMenu->addAction(QString::fromLatin1(IDS_ABOUTBOX), this, [this] { OnSysCommand(kAboutCommand); });
    setWindowIcon(m_hIcon);
    SetControlText(GetDlgItem(IDC_MODULE_ADDRESS), StartAddress());
    CSnmpRequest versionOnly("", "", 1);
    m_status = QString::fromLatin1(kStatusBanner)
                   .arg(QString::fromLatin1(IDS_APP_TITLE), QString::fromLatin1(versionOnly.GetLibraryVersion()));
    setWindowTitle(QString::fromLatin1(IDS_APP_TITLE));
    UpdateData(false);
    return true;
}

void CMainDlg::OnSysCommand(unsigned id)
{
    if ((id & ~0xFu) == kAboutCommand) {
        CAboutDlg about;
        about.DoModal();
    }
}

void CMainDlg::contextMenuEvent(QContextMenuEvent* event)
{
    if (m_systemMenu)
        m_systemMenu->exec(event->globalPos());
}

CDialog* CMainDlg::SubWindowOf(SubWindow kind) const { return m_subWindows[static_cast<size_t>(kind)].get(); }

void CMainDlg::OpenSubWindow(SubWindow kind)
{
    if (!TakeAccessFieldsAndCheck())
        return;
    auto& slot = m_subWindows[static_cast<size_t>(kind)];
    slot.reset();
    const auto launcher = std::find_if(
        m_launchers.begin(), m_launchers.end(), [kind](const LaunchButton& row) { return row.kind == kind; });
    const SubWindowFactory factory = launcher != m_launchers.end() ? launcher->factory : nullptr;
    if (!factory) {
        SetStatus(QString::fromLatin1(kNoSuchWindow));
        return;
    }
    slot = factory(SubWindowArgs {GetIpText(IDC_MODULE_ADDRESS), m_rwCommunity, m_roCommunity});
    if (slot) {
        slot->Create();
        slot->show();
    }
}

void CMainDlg::CloseSubWindows()
{
    for (auto& window : m_subWindows)
        window.reset();
}

void CMainDlg::OnCommunityKillFocus()
{
    const bool taken = UpdateData(true);
    if (!taken)
        TakeAccessFields();
    if (FirmwareVersion {m_major, m_minor}.IsKnown() && m_major <= 4 && m_minor <= 66) {
        m_roCommunity = m_rwCommunity;
        if (taken)
            UpdateData(false);
        else  // keep the marked field as typed
            SetControlText(GetDlgItem(IDC_RO_COMMUNITY), m_roCommunity);
    }
}

QString CMainDlg::ModuleAddress() const { return GetIpText(IDC_MODULE_ADDRESS); }

void CMainDlg::TakeAccessFields()
{
    m_rwCommunity = ControlText(GetDlgItem(IDC_RW_COMMUNITY));
    m_roCommunity = ControlText(GetDlgItem(IDC_RO_COMMUNITY));
}

bool CMainDlg::TakeAccessFieldsAndCheck()
{
    if (!UpdateData(true))
        TakeAccessFields();
    return ReadyToSend();
}

bool CMainDlg::ReadyToSend()
{
    if (!CheckIpComplete(IDC_MODULE_ADDRESS))
        return false;
    if (IsLatin1(m_rwCommunity) && IsLatin1(m_roCommunity))
        return true;
    SetStatus(QString::fromLatin1(kCommunityNot8Bit));
    return false;
}

void CMainDlg::ApplyWindowButtons(bool readSucceeded)
{
    const WindowButtons buttons = readSucceeded
        ? WindowButtonsFor(FirmwareVersion {m_major, m_minor}, m_modeSwitchControl, m_modeP6Analog)
        : WindowButtons {};
    for (int id : {IDC_SWITCH_CONFIGURATION, IDC_SWITCH_STATUS, IDC_MAC_SEARCH})
        SetButtonEnabled(id, buttons.switchWindows);
    SetButtonEnabled(IDC_RS232, buttons.rs232);
    SetButtonEnabled(IDC_SNMP_TRAPS, buttons.traps);
    SetButtonEnabled(IDC_IO_PORTS, true);
}

QString* CMainDlg::TextMember(int control)
{
    const std::pair<int, QString CMainDlg::*> members[] = {
        {IDC_MAC, &CMainDlg::m_mac},
        {IDC_MAC_LOCK1, &CMainDlg::m_macLock1},
        {IDC_MAC_LOCK2, &CMainDlg::m_macLock2},
    };
    return MemberFor(this, members, control);
}

uint32_t* CMainDlg::NumberMember(int control)
{
    const std::pair<int, uint32_t CMainDlg::*> members[] = {
        {IDC_VLAN_TAG, &CMainDlg::m_vlanTag},
        {IDC_PING_RESTART_MIN, &CMainDlg::m_pingRestartMin},
        {IDC_PING_RESTART_COUNT, &CMainDlg::m_pingRestartCount},
        {IDC_RESTART_PULSE, &CMainDlg::m_restartPulseWidth},
    };
    return MemberFor(this, members, control);
}

bool& CMainDlg::ModeFlag(int control)
{
    const std::pair<int, bool CMainDlg::*> members[] = {
        {IDC_MODE_SNMP_ACCESS, &CMainDlg::m_modeSnmpAccess},
        {IDC_MODE_SKIP_BROADCAST, &CMainDlg::m_modeSkipBroadcast},
        {IDC_MODE_VLAN_TAGGED, &CMainDlg::m_modeVlanTagged},
        {IDC_MODE_DROP_LARGE, &CMainDlg::m_modeDropLarge},
        {IDC_MODE_PING_RESTART, &CMainDlg::m_modePingRestart},
        {IDC_MODE_SWITCH_CONTROL, &CMainDlg::m_modeSwitchControl},
        {IDC_MODE_SECONDARY_RST, &CMainDlg::m_modeSecondaryRst},
        {IDC_MODE_P6_ANALOG, &CMainDlg::m_modeP6Analog},
        {IDC_MODE_SAVE_IO, &CMainDlg::m_modeSaveIo},
        {IDC_MODE_PING_LED, &CMainDlg::m_modePingLed},
        {IDC_MODE_IO_RESET, &CMainDlg::m_modeIoReset},
    };
    if (control >= IDC_MODE_EXTRA_FIRST && control <= IDC_MODE_EXTRA_LAST)
        return m_modeExtra[static_cast<size_t>(control - IDC_MODE_EXTRA_FIRST)];
    return *MemberFor(this, members, control);
}
