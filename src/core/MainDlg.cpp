#include "core/MainDlg.h"

#include <QAbstractButton>
#include <QContextMenuEvent>
#include <QMenu>
#include <algorithm>

#include "core/AboutDlg.h"
#include "core/FindModulesDlg.h"
#include "settings/FeatureLevels.h"
#include "core/RememberedModule.h"
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

// Module address given on the command line (empty: none).
QString& AddressOption()
{
    static QString address;
    return address;
}

// The command line's address, else the last module read, else the factory's.
QString StartAddress()
{
    if (!AddressOption().isEmpty())
        return AddressOption();
    return RememberedModuleAddress(QString::fromLatin1(kDefaultModuleAddress));
}
}  // namespace

void CMainDlg::SetStartAddress(const QString& address) { AddressOption() = address; }

CMainDlg::CMainDlg(LaunchTable launchers, QWidget* parent)
    : CModuleDlg(MainDlgTemplate(),
        SubWindowArgs {QString(), QString::fromLatin1(kDefaultRwCommunity), QString::fromLatin1(kDefaultRoCommunity)},
        parent),
      m_pulseWidthLabel(kPulseWidthLabelSlow),
      m_hIcon(AppIcon()),
      m_launchers(std::move(launchers))
{
    RegisterHandlers();
}

CMainDlg::~CMainDlg() = default;

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
    OnCommand(IDM_SAVE_MODULE_SETTINGS, [this] { OnSaveModuleSettings(); });
    OnCommand(IDM_APPLY_MODULE_SETTINGS, [this] { OnApplyModuleSettings(); });
    RegisterSetters();
}

bool CMainDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    m_systemMenu = new QMenu(this);
    m_systemMenu->addSeparator();
    m_systemMenu->addAction(QString::fromLatin1(IDS_FIND_MODULES), this, [this] { OnFindModules(); });
    m_systemMenu->addAction(QString::fromLatin1(IDS_SAVE_MODULE_SETTINGS), this,
        [this] { DispatchCommand(IDM_SAVE_MODULE_SETTINGS); });
    m_systemMenu->addAction(QString::fromLatin1(IDS_APPLY_MODULE_SETTINGS), this,
        [this] { DispatchCommand(IDM_APPLY_MODULE_SETTINGS); });
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
    if (slot && slot->IsRunningHandler()) {
        slot->raise();  // busy with the module: it stays, and so does its handler
        return;
    }
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

// A window whose handler is running stays: its handler must not lose it.
void CMainDlg::CloseSubWindows()
{
    for (auto& window : m_subWindows) {
        if (!window || !window->IsRunningHandler())
            window.reset();
    }
}

// The window starts from the module address and the read community as they
// stand; the fields are its own from then on.
void CMainDlg::OnFindModules()
{
    if (!m_findModules) {
        m_findModules = std::make_unique<CFindModulesDlg>(GetIpText(IDC_MODULE_ADDRESS),
            ControlText(GetDlgItem(IDC_RO_COMMUNITY)), [this](const QString& address) { ReadModuleAt(address); });
        m_findModules->Create();
    }
    m_findModules->show();
    m_findModules->raise();
    m_findModules->activateWindow();
}

void CMainDlg::ReadModuleAt(const QString& address)
{
    SetControlText(GetDlgItem(IDC_MODULE_ADDRESS), address);
    raise();
    activateWindow();
    Item<QAbstractButton>(IDC_READ_SETTINGS)->click();
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
    SetStatus(QString::fromLatin1(kStatusCommunityNot8Bit));
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
