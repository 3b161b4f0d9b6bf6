#include "core/FindModulesDlg.h"

#include <QAbstractButton>
#include <QLineEdit>
#include <QProgressBar>

#include "fleet/ModuleScan.h"
#include "platform/DataExchange.h"
#include "platform/ReportList.h"
#include "platform/UiSeam.h"
#include "res/FindModulesDlgIds.h"
#include "res/FindModulesDlgTemplate.h"
#include "res/Strings.h"
#include "snmp/ModuleAddress.h"

namespace {

constexpr const char* kScan = "Scan";
constexpr const char* kStop = "Stop";
constexpr const char* kBadRange = "ERROR in address range: %1";
constexpr const char* kScanning = "Scanning %1 ...";
constexpr const char* kComplete = "Scan complete: %1";
constexpr const char* kStopped = "Stopped: %1";
constexpr const char* kCounts = "%1 answered out of %2 asked.";
constexpr const char* kUnknown = "unknown";

const char* const kColumns[] = {"IP Address", "Firmware", "MAC address", "Switch board"};

// "1 module", "2 modules".
QString Count(size_t n, const char* one, const char* many)
{
    return QStringLiteral("%1 %2").arg(n).arg(QString::fromLatin1(n == 1 ? one : many));
}

// The /24 that holds `address` ("a.b.c.d"), or empty.
QString RangeAround(const QString& address)
{
    const std::optional<uint32_t> value = ParseDottedIpv4(address.toStdString());
    return value ? QString::fromStdString(DottedIpv4(*value & 0xFFFFFF00u)) + "/24" : QString();
}

}  // namespace

CFindModulesDlg::CFindModulesDlg(const QString& moduleAddress, const QString& roCommunity, Pick pick, QWidget* parent)
    : CModuleDlg(FindModulesDlgTemplate(), SubWindowArgs {moduleAddress, QString(), roCommunity}, parent),
      m_range(RangeAround(moduleAddress)),
      m_pick(std::move(pick))
{
    m_list = Item<CReportList>(IDC_FIND_LIST);
    m_progress = Item<QProgressBar>(IDC_FIND_PROGRESS);
    OnCommand(IDC_FIND_SCAN, [this] { OnScanOrStop(); });
    OnCommand(IDC_FIND_COPY, [this] { OnCopy(); });
    OnNotify(IDC_FIND_LIST, Notify::DoubleClick, [this] { OnPick(); });
    OnNotify(IDC_FIND_LIST, Notify::Return, [this] { OnPick(); });
}

CFindModulesDlg::~CFindModulesDlg() = default;

void CFindModulesDlg::DoDataExchange(CDataExchange& dx)
{
    DDX_Text(dx, IDC_STATUS, m_status);
    DDX_Text(dx, IDC_FIND_RANGE, m_range);
    DDV_MaxChars(dx, m_range, kFindRangeLength);
    DDX_Text(dx, IDC_FIND_COMMUNITY, m_roCommunity);
    DDV_MaxChars(dx, m_roCommunity, kFindCommunityLength);
}

bool CFindModulesDlg::OnInitDialog()
{
    CModuleDlg::OnInitDialog();
    int column = 0;
    for (const char* heading : kColumns)
        m_list->InsertColumn(column++, QString::fromLatin1(heading));
    return true;
}

void CFindModulesDlg::OnCancel()
{
    StopScan();
    CModuleDlg::OnCancel();
}

bool CFindModulesDlg::Scanning() const { return m_scan && m_scan->Running(); }

void CFindModulesDlg::OnScanOrStop() { Scanning() ? StopScan() : StartScan(); }

// A field that fails its check, or a range that is none, sends nothing.
void CFindModulesDlg::StartScan()
{
    if (!TakeFields())
        return;
    if (!IsLatin1(m_roCommunity)) {
        ShowStatusOnly(QString::fromLatin1(kStatusCommunityNot8Bit));
        return;
    }
    ScanRange range;
    std::string error;
    if (!ParseScanRange(m_range.trimmed().toStdString(), range, error)) {
        ShowStatusOnly(QString::fromLatin1(kBadRange).arg(QString::fromStdString(error)));
        GetDlgItem(IDC_FIND_RANGE)->setFocus();
        return;
    }
    m_scan.reset();
    m_list->DeleteAllItems();
    m_progress->setRange(0, int(range.Size()));
    m_progress->setValue(0);
    m_scan = std::make_unique<CModuleScan>(range, m_roCommunity.toStdString(), kAddressesAtOnce);
    ShowScanning(true);
    SetStatus(QString::fromLatin1(kScanning).arg(Count(range.Size(), "address", "addresses")));
    m_scan->Start({[this](const std::string& host, const ProbeResult& result) {
                       OnFound(QString::fromStdString(host), result);
                   },
        [this] { OnProgress(); }, [this] { OnOver(); }});
}

void CFindModulesDlg::StopScan()
{
    if (!Scanning())
        return;
    m_scan->Stop();
    ShowScanning(false);
    SetStatus(QString::fromLatin1(kStopped).arg(Counts()));
}

void CFindModulesDlg::OnFound(const QString& host, const ProbeResult& result)
{
    const int row = m_list->AppendItem(host);
    m_list->SetItemText(row, 1, result.firmware);
    m_list->SetItemText(row, 2, result.settingsRead ? result.mac : QString::fromLatin1(kUnknown));
    m_list->SetItemText(row, 3,
        QString::fromLatin1(result.settingsRead ? (result.switchBoard ? "yes" : "no") : kUnknown));
}

void CFindModulesDlg::OnProgress() { m_progress->setValue(int(m_scan->Done())); }

void CFindModulesDlg::OnOver()
{
    ShowScanning(false);
    SetStatus(QString::fromLatin1(kComplete).arg(Counts()));
}

QString CFindModulesDlg::Counts() const
{
    return QString::fromLatin1(kCounts).arg(
        Count(m_scan->Answered(), "module", "modules"), Count(m_scan->Asked(), "address", "addresses"));
}

void CFindModulesDlg::ShowScanning(bool scanning)
{
    SetCaption(IDC_FIND_SCAN, QString::fromLatin1(scanning ? kStop : kScan));
    SetReadOnly(IDC_FIND_RANGE, scanning);
    SetReadOnly(IDC_FIND_COMMUNITY, scanning);
}

void CFindModulesDlg::OnPick()
{
    const QTreeWidgetItem* item = m_list->currentItem();
    if (item && m_pick)
        m_pick(item->text(0));
}

void CFindModulesDlg::OnCopy() { Ui().SetClipboardText(m_list->Text()); }
