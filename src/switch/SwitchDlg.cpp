#include "switch/SwitchDlg.h"

#include <QComboBox>
#include <algorithm>

#include "base/Pause.h"
#include "platform/DataExchange.h"
#include "platform/IpAddressCtrl.h"
#include "platform/TabBar.h"
#include "platform/UiSeam.h"
#include "res/Strings.h"
#include "res/SwitchDlgIds.h"
#include "res/SwitchDlgTemplate.h"
#include "snmp/ModuleObjects.h"
#include "switch/PortStatusDlg.h"
#include "settings/SwitchTransfer.h"
#include "fleet/SwitchUpload.h"

namespace {

const char* const kReceived = "Connection established! Trellim configuration received.";
const char* const kImplausible
    = "Data received from Trellim seems not to be correct.\nPlease, check data cable between IP module and Trellim";
const char* const kNotReadYet = "No configuration read from Trellim yet! Press \"Read Configuration\" first.";
const char* const kNoChanges = "No changes made! Skipping SNMP upload to switch memory.";
const char* const kUploadError
    = "SNMP Error: Unable to connect to target host! (Error code %1). Check R/W SNMP community string ...";
const char* const kUploadFinished
    = "Upload finished succesfully! Restarting Trellim, Confirming changes ... please wait!";
const char* const kNotConfirmed = "SNMP Error: Unable to connect to target host! (Error code %1). Settings not "
                                  "confirmed. Switch will be defaulted after 2min.";
const char* const kRestartNotConfirmed
    = "Cancelled: the switch was restarted but its configuration was not confirmed.";
const char* const kConfirmed = "Settings comfirmed succesfully! You have access to Nubrel.";
const char* const kRestarted = "Trellim restarted.";
const char* const kLocateOpen = "Please locate file to open ...";
const char* const kOpenAborted = "No file specified. Opening aborted.";
const char* const kUnableToOpen = "Unable to open file";
const char* const kUnableToWrite = "Unable to write file";
const char* const kNotLoaded = "Nothing was loaded: %1.";
const char* const kLoaded = "Data succesfully loaded from file!";
const char* const kLocateSave = "Please locate file for save ...";
const char* const kSaveAborted = "No file specified. Saving aborted.";
const char* const kSaved = "Data succesfully saved to file!";
const char* const kDefaultsLoaded = "Default Trellim configuration loaded in application.";
const char* const kPickAnItem = "Please select one of the items in the list.";

const char* const kFileFilter = "Binaty File (*.bin);;All Files (*.*)";
const char* const kFileSuffix = "rcs";
const char* const kOpenTitle = "Open configuration file";
const char* const kSaveTitle = "Save current configuration to file";

const ExchangeTexts kUploadExchange = {kStatusConnecting, kUploadError};

constexpr uint8_t kMaxThreshold = 7;
constexpr uint8_t kMaxDiffServ = 63;
const char* const kLedItems[] = {"Mode 0", "Mode 1", "Mode 2", "Mode 3", "Mode 4", "Mode 5", "Mode 6", "Mode 7"};
const char* const kRatioItems[] = {"4:1", "8:1", "High", "16:1"};

// An item of an editable combo box: the item whose text the field holds
// (ignoring case and surrounding blanks). Text that names no item fails, so
// that nothing the operator did not choose reaches the image.
void DDX_ListedItem(CDataExchange& dx, int id, int& value)
{
    if (dx.Stopped())
        return;
    auto* combo = qobject_cast<QComboBox*>(dx.PrepareControl(id));
    if (!combo)
        return;
    if (!dx.m_bSaveAndValidate) {
        combo->setCurrentIndex(value >= 0 && value < combo->count() ? value : -1);
        return;
    }
    const int item = combo->findText(combo->currentText().trimmed(), Qt::MatchFixedString);
    if (item < 0) {
        dx.Fail(QString::fromLatin1(kPickAnItem));
        return;
    }
    value = item;
}

bool IsGroup(int index) { return index >= 0 && index < SwitchMap::kGroups; }

}  // namespace

CSwitchDlg::CSwitchDlg(const SubWindowArgs& args, QWidget* parent) : CModuleDlg(SwitchDlgTemplate(), args, parent)
{
    RegisterHandlers();
}

CSwitchDlg::~CSwitchDlg() = default;

void CSwitchDlg::RegisterHandlers()
{
    OnCommand(IDC_SW_READ, [this] { OnReadConfiguration(); });
    OnCommand(IDC_SW_SAVE, [this] { OnSaveConfiguration(); });
    OnCommand(IDC_SW_RESTART, [this] { OnRestartSwitch(); });
    OnCommand(IDC_SW_LOAD_FILE, [this] { OnLoadFromFile(); });
    OnCommand(IDC_SW_SAVE_FILE, [this] { OnSaveToFile(); });
    OnCommand(IDC_SW_DEFAULTS, [this] { OnForceDefaults(); });
    OnCommand(IDC_SW_PORTS_STATUS, [this] { OnPortsStatus(); });
    CDialog::OnTabChanging(IDC_SW_PORT_TABS, [this] { return OnTabChanging(); });
    OnNotify(IDC_SW_PORT_TABS, Notify::SelChange, [this] { OnTabChanged(); });
    for (int id : kGroupIdControls)
        OnNotify(id, Notify::Change, [this] { OnGroupIdChange(); });
    OnNotify(IDC_SW_VLAN_INDEX, Notify::SelChange, [this] { OnVlanIndexChange(); });
}

void CSwitchDlg::DoDataExchange(CDataExchange& dx)
{
    DDX_Radio(dx, IDC_SW_TAG_NO_CHANGE, m_tagMode);
    DDX_Text(dx, IDC_SW_PRIORITY_THRESHOLD, m_priorityThreshold);
    DDV_MinMaxByte(dx, m_priorityThreshold, 0, kMaxThreshold);
    DDX_Text(dx, IDC_SW_DIFFSERV_A, m_diffServA);
    DDV_MinMaxByte(dx, m_diffServA, 0, kMaxDiffServ);
    DDX_Text(dx, IDC_SW_DIFFSERV_B, m_diffServB);
    DDV_MinMaxByte(dx, m_diffServB, 0, kMaxDiffServ);
    DDX_Text(dx, IDC_STATUS, m_status);
    if (!dx.m_bSaveAndValidate) {  // display only: shown, never taken
        QString insertTag = m_insertTag >= 0 ? QString::number(m_insertTag) : QString();
        DDX_Text(dx, IDC_SW_INSERT_TAG, insertTag);
    }
    for (size_t i = 0; i < kGlobalBits.size(); ++i)
        DDX_Check(dx, kGlobalBits[i].control, m_globalFlags[i]);
    for (size_t i = 0; i < kPortBits.size(); ++i)
        DDX_Check(dx, kPortBits[i].control, m_portFlags[i]);
    for (int g = 0; g < SwitchMap::kGroups; ++g)
        for (int p = 0; p < SwitchMap::kPorts; ++p)
            DDX_Check(dx, MemberControl(g, p), m_membership[size_t(g)][size_t(p)]);
    for (int g = 0; g < SwitchMap::kGroups; ++g) {
        DDX_Text(dx, kGroupIdControls[g], m_groupId[size_t(g)]);
        DDV_MinMaxUInt(dx, m_groupId[size_t(g)], 0, SwitchMap::kMaxGroupId);
    }
    DDX_ListedItem(dx, IDC_SW_LED_MODE, m_ledMode);
    DDX_ListedItem(dx, IDC_SW_QUEUE_RATIO, m_queueRatio);
    DDX_CBIndex(dx, IDC_SW_VLAN_INDEX, m_vlanIndex);
}

bool CSwitchDlg::OnInitDialog()
{
    CModuleDlg::OnInitDialog();
    if (auto* tabs = Item<CTabBar>(IDC_SW_PORT_TABS)) {
        for (int p = 0; p < SwitchMap::kPorts; ++p)
            tabs->addTab(QStringLiteral("Port %1").arg(p));
    }
    FillCombos();
    LoadAll();  // the all-zero image until the switch has been read
    OnReadConfiguration();
    return true;
}

void CSwitchDlg::FillCombos()
{
    if (auto* vlan = Item<QComboBox>(IDC_SW_VLAN_INDEX)) {
        for (int letter = 'A'; letter < 'A' + SwitchMap::kVlanLetters; ++letter)
            vlan->addItem(QString(QChar(letter)));
    }
    if (auto* led = Item<QComboBox>(IDC_SW_LED_MODE)) {
        for (const char* item : kLedItems)
            led->addItem(QString::fromLatin1(item));
    }
    if (auto* ratio = Item<QComboBox>(IDC_SW_QUEUE_RATIO)) {
        for (const char* item : kRatioItems)
            ratio->addItem(QString::fromLatin1(item));
    }
}

int CSwitchDlg::CurrentPort() const
{
    const auto* tabs = Item<CTabBar>(IDC_SW_PORT_TABS);
    return tabs ? tabs->currentIndex() : -1;
}

// ---- Exchange operations ------------------------------------------------------

void CSwitchDlg::ApplyGlobals()
{
    GlobalFields fields;
    fields.flags = m_globalFlags;
    fields.ledMode = m_ledMode;
    fields.threshold = m_priorityThreshold;
    fields.ratio = m_queueRatio;
    fields.diffServB = m_diffServB;
    fields.diffServA = m_diffServA;
    m_image.StoreGlobals(fields);
}

void CSwitchDlg::ApplyPort(int port)
{
    PortFields fields;
    fields.flags = m_portFlags;
    fields.tagMode = m_tagMode;
    fields.vlanIndex = m_vlanIndex;
    m_image.StorePort(port, fields);
}

void CSwitchDlg::ApplyVlanGroups()
{
    GroupFields fields;
    fields.membership = m_membership;
    fields.id = m_groupId;
    m_image.StoreGroups(fields);
    ShowInsertTag();
    UpdateData(false);
}

void CSwitchDlg::ApplyPriorityAddresses()
{
    for (const AddressSlot& slot : kPriorityAddresses) {
        uint32_t address = 0;
        if (const CIPAddressCtrl* control = IpCtrl(slot.control))
            control->GetAddress(address);
        m_image.StoreAddress(slot.first, address);
    }
}

// The ID of the group that the VLAN index names; the letters I..P name no
// group and show an empty field.
void CSwitchDlg::ShowInsertTag() { m_insertTag = IsGroup(m_vlanIndex) ? int32_t(m_groupId[size_t(m_vlanIndex)]) : -1; }

bool CSwitchDlg::ExchangeGlobals(bool store)
{
    if (store) {
        if (!TakeFields())
            return false;
        ApplyGlobals();
        return true;
    }
    const GlobalFields fields = m_image.Globals();
    m_globalFlags = fields.flags;
    m_ledMode = fields.ledMode;
    m_priorityThreshold = uint8_t(fields.threshold);
    m_queueRatio = fields.ratio;
    m_diffServB = uint8_t(fields.diffServB);
    m_diffServA = uint8_t(fields.diffServA);
    UpdateData(false);
    return true;
}

bool CSwitchDlg::ExchangePort(int port, bool store)
{
    if (port < 0 || port >= SwitchMap::kPorts)
        return true;
    if (store) {
        if (!TakeFields())
            return false;
        ApplyPort(port);
        return true;
    }
    const PortFields fields = m_image.Port(port);
    m_portFlags = fields.flags;
    m_tagMode = fields.tagMode;
    m_vlanIndex = fields.vlanIndex;
    m_insertTag = IsGroup(m_vlanIndex) ? int32_t(m_image.GroupId(m_vlanIndex)) : -1;
    UpdateData(false);
    return true;
}

bool CSwitchDlg::ExchangeVlanGroups(bool store)
{
    if (store) {
        if (!TakeFields())
            return false;
        ApplyVlanGroups();
        return true;
    }
    const GroupFields fields = m_image.Groups();
    m_membership = fields.membership;
    m_groupId = fields.id;
    ShowInsertTag();
    UpdateData(false);
    return true;
}

bool CSwitchDlg::ExchangePriorityAddresses(bool store)
{
    if (store) {
        if (!TakeFields())
            return false;
        ApplyPriorityAddresses();
        return true;
    }
    for (const AddressSlot& slot : kPriorityAddresses)
        if (CIPAddressCtrl* control = IpCtrl(slot.control))
            control->SetAddress(m_image.Address(slot.first));
    UpdateData(false);
    return true;
}

void CSwitchDlg::LoadAll()
{
    ExchangeGlobals(false);
    ExchangePort(CurrentPort(), false);
    ExchangeVlanGroups(false);
    ExchangePriorityAddresses(false);
}

// The fields are taken once; when one fails nothing reaches the image.
bool CSwitchDlg::StoreAll()
{
    if (!TakeFields())
        return false;
    // A blank field would go to the switch as 0, which nobody typed.
    for (const AddressSlot& slot : kPriorityAddresses)
        if (!CheckIpComplete(slot.control))
            return false;
    ApplyGlobals();
    ApplyPort(CurrentPort());
    ApplyVlanGroups();
    ApplyPriorityAddresses();
    return true;
}

// ---- Handlers of the page ------------------------------------------------------

// The page is stored into the port being left; a bad field keeps the tab.
bool CSwitchDlg::OnTabChanging() { return ExchangePort(CurrentPort(), true); }

void CSwitchDlg::OnTabChanged() { ExchangePort(CurrentPort(), false); }

void CSwitchDlg::OnGroupIdChange() { ExchangeVlanGroups(true); }

void CSwitchDlg::OnVlanIndexChange()
{
    if (!TakeFields())
        return;
    ShowInsertTag();
    UpdateData(false);
}

void CSwitchDlg::OnForceDefaults()
{
    m_image = CSwitchImage::Defaults();
    LoadAll();
    SetStatus(QString::fromLatin1(kDefaultsLoaded));
}

void CSwitchDlg::OnPortsStatus()
{
    m_portStatusWnd.reset();
    m_portStatusWnd = std::make_unique<CPortStatusDlg>(SubWindowArgs {m_moduleIp, m_rwCommunity, m_roCommunity});
    m_portStatusWnd->Create();
    m_portStatusWnd->show();
}

// ---- Transfer with the switch ----------------------------------------------------

// The status line is painted while the batch waits and, at the end, with
// the fields: nothing here blocks without the event loop turning, so it is
// not painted ahead of them.
void CSwitchDlg::OnReadConfiguration()
{
    const auto request = NewRequest(Community::ReadOnly, SwitchMap::kRegisters);
    SwitchTransfer::AddRegisterReads(*request);
    m_status = QString::fromLatin1(kPlainExchange.connecting);
    UpdateData(false);
    const int code = request->Get();
    if (code < 0) {
        ShowSnmpError(code);
        return;
    }
    m_switchImage = SwitchTransfer::ImageFromReads(*request);
    m_image = m_switchImage;
    m_switchKnown = true;
    m_status = QString::fromLatin1(kReceived);
    if (auto* tabs = Item<CTabBar>(IDC_SW_PORT_TABS))
        tabs->setCurrentIndex(0);  // the page on show is not stored
    LoadAll();  // the status line with the fields
    if (!m_switchImage.IsPlausible())
        AfxMessageBox(QString::fromLatin1(kImplausible), MB_OK | MB_ICONEXCLAMATION);
}

void CSwitchDlg::OnSaveConfiguration()
{
    if (!StoreAll())
        return;
    if (!m_switchKnown) {
        SetStatus(QString::fromLatin1(kNotReadYet));
        return;
    }
    SwitchTransfer::UploadFlow flow;
    flow.newRequest = [this](uint32_t capacity) { return NewRequest(Community::ReadWrite, capacity); };
    flow.run = [this](CSnmpRequest& request, bool set, const std::function<void(int)>& then) {
        then(set ? RunSet(request, kUploadExchange) : request.Get());
    };
    flow.uploaded = [this] {
        m_switchImage = m_image;
        SetStatus(QString::fromLatin1(kUploadFinished));
    };
    flow.wait = [this](unsigned milliseconds, const std::function<void()>& then) {
        Wait(milliseconds);
        then();
    };
    SwitchTransfer::UploadOutcome outcome;
    CSwitchUpload upload;  // each step calls back before it returns
    upload.Start(m_image, m_switchImage, flow, [&outcome](const SwitchTransfer::UploadOutcome& result) {
        outcome = result;
    });
    switch (outcome.phase) {
    case SwitchTransfer::UploadPhase::NoChanges: SetStatus(QString::fromLatin1(kNoChanges)); break;
    case SwitchTransfer::UploadPhase::UploadFailed: break;  // nothing counts as sent: the same registers go next time
    case SwitchTransfer::UploadPhase::NotConfirmed:
        if (outcome.code == CSnmpRequest::kCancelled)
            SetStatus(QString::fromLatin1(kRestartNotConfirmed));
        else
            SetStatus(QString::fromLatin1(kNotConfirmed).arg(outcome.code));
        break;
    case SwitchTransfer::UploadPhase::Confirmed: SetStatus(QString::fromLatin1(kConfirmed)); break;
    }
}

// The wait runs in the event loop, in slices, and ends early when the
// operator cancels.
void CSwitchDlg::Wait(unsigned milliseconds)
{
    QWidget* statusLine = GetDlgItem(IDC_STATUS);
    for (unsigned waited = 0; waited < milliseconds; waited += kWaitSliceMs) {
        Sleep(std::min(kWaitSliceMs, milliseconds - waited));
        if (statusLine)
            statusLine->repaint();
    }
}

void CSwitchDlg::OnRestartSwitch()
{
    const auto request = NewRequest(Community::ReadOnly, 1);
    request->AddVar(Oid::kRestartSwitch, "", 0);
    if (RunGet(*request) >= 0)
        SetStatus(QString::fromLatin1(kRestarted));
}

// ---- Files ---------------------------------------------------------------------

void CSwitchDlg::OnLoadFromFile()
{
    SetStatus(QString::fromLatin1(kLocateOpen));
    const FileDialogSpec spec {
        QString::fromLatin1(kOpenTitle), QString::fromLatin1(kFileFilter), QString::fromLatin1(kFileSuffix), QString()};
    const QString path = Ui().GetOpenFileName(this, spec);
    if (path.isEmpty()) {
        SetStatus(QString::fromLatin1(kOpenAborted));
        return;
    }
    // A file that is no configuration changes nothing: it could reach the switch with the next save.
    CSwitchImage loaded;
    const SwitchTransfer::FileRead read = SwitchTransfer::ReadImageFile(path, loaded);
    switch (read.status) {
    case SwitchTransfer::FileStatus::Unreadable:
        AfxMessageBox(QString::fromLatin1(kUnableToOpen), MB_OK | MB_ICONSTOP);
        return;
    case SwitchTransfer::FileStatus::WrongSize:
    case SwitchTransfer::FileStatus::Implausible:
        AfxMessageBox(QString::fromLatin1(kNotLoaded).arg(SwitchTransfer::RefusalReason(read)), MB_OK | MB_ICONSTOP);
        return;
    case SwitchTransfer::FileStatus::Loaded:
        m_image = loaded;
        SetStatus(QString::fromLatin1(kLoaded));
        LoadAll();
        return;
    }
}

void CSwitchDlg::OnSaveToFile()
{
    if (!StoreAll())
        return;
    SetStatus(QString::fromLatin1(kLocateSave));
    const FileDialogSpec spec {
        QString::fromLatin1(kSaveTitle), QString::fromLatin1(kFileFilter), QString::fromLatin1(kFileSuffix), QString()};
    const QString path = Ui().GetSaveFileName(this, spec);
    if (path.isEmpty()) {
        SetStatus(QString::fromLatin1(kSaveAborted));
        return;
    }
    QString error;
    const SwitchTransfer::FileWrite written = SwitchTransfer::WriteImageFile(path, m_image, error);
    if (written != SwitchTransfer::FileWrite::Written) {
        const char* what = written == SwitchTransfer::FileWrite::OpenFailed ? kUnableToOpen : kUnableToWrite;
        AfxMessageBox(QString::fromLatin1(what) + QStringLiteral("\n") + error, MB_OK | MB_ICONSTOP);
        return;
    }
    SetStatus(QString::fromLatin1(kSaved));
}
