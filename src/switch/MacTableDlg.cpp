#include "switch/MacTableDlg.h"

#include <QAbstractButton>
#include <QElapsedTimer>
#include <QPointer>
#include <vector>

#include "base/Pause.h"
#include "platform/Busy.h"
#include "platform/DataExchange.h"
#include "platform/ReportList.h"
#include "platform/UiSeam.h"
#include "res/MacTableDlgIds.h"
#include "res/MacTableDlgTemplate.h"
#include "snmp/ModuleObjects.h"
#include "switch/MacTableText.h"
#include "switch/MacWalkProgress.h"

namespace {

constexpr const char* kSearching = "Searching for MAC address ...";
constexpr const char* kFound = "MAC address found!";
constexpr const char* kNotFound = "Unable to find MAC address in switch's MAC table.";
constexpr const char* kBadMac = "ERROR in MAC address. Enter six hexadecimal bytes, e.g. 00-1A-2B-3C-4D-5E";
constexpr const char* kWalkQuestion = "This command can take long time to complete!\r\nAre you sure?";
constexpr const char* kDownloading = "Downloading entire MAC table ... please, be patient!";
constexpr const char* kDownloadComplete = "Downloading complete.";
constexpr const char* kStop = "Stop";
constexpr const char* kStartOperation = "65535";
constexpr unsigned kResultDelayMs = 1;  // the switch's answer is readable 1 ms after the start
constexpr int kRowsIntervalMs = 250;

const char* const kColumns[] = {"MAC found", "Port", "Age"};

QByteArray Decimal(int value) { return QByteArray::number(value); }

MacWords WordsOf(const CSnmpRequest& request, uint32_t first)
{
    return MacWords {request.GetInteger(first), request.GetInteger(first + 1), request.GetInteger(first + 2)};
}

// The three MAC words, in the order the switch is read.
void AddMacWordReads(CSnmpRequest& request)
{
    request.AddVar(Oid::kMacTableWord12, "", 0);
    request.AddVar(Oid::kMacTableWord34, "", 0);
    request.AddVar(Oid::kMacTableWord56, "", 0);
}

// While the walk runs its button reads "Stop" and stops it.
class StopButton {
public:
    explicit StopButton(QAbstractButton* button) : m_button(button)
    {
        if (!m_button)
            return;
        m_caption = m_button->text();
        m_button->setText(QString::fromLatin1(kStop));
        CBusy::AddCancelControl(m_button);
    }
    ~StopButton()
    {
        if (m_button)
            m_button->setText(m_caption);
    }
    StopButton(const StopButton&) = delete;
    StopButton& operator=(const StopButton&) = delete;

private:
    QPointer<QAbstractButton> m_button;
    QString m_caption;
};

}  // namespace

// Rows the walk found, put into the list (on top, in the order found) at
// most every kRowsIntervalMs, so that the list lays itself out and paints
// once for all of them, and every one of them when the walk ends, however
// it ends. At the module's pace (three pauses of 150 ms for a valid entry)
// each row goes in as it comes; the progress bar shows that the walk goes
// on in between.
class CMacTableDlg::WalkRows {
public:
    explicit WalkRows(CMacTableDlg& window) : m_window(window) {}
    ~WalkRows() { Show(); }
    WalkRows(const WalkRows&) = delete;
    WalkRows& operator=(const WalkRows&) = delete;

    void Add(const QString& mac, int port, int age) { m_rows.push_back({mac, port, age}); }
    // The rows found since the last ones went in, when that was long enough ago.
    void ShowWhenDue()
    {
        if (!m_shown.isValid() || m_shown.elapsed() >= kRowsIntervalMs)
            Show();
    }

private:
    struct Row {
        QString mac;
        int port;
        int age;
    };
    void Show()
    {
        if (m_rows.empty())
            return;
        for (const Row& row : m_rows)
            m_window.AddRow(row.mac, row.port, row.age);
        m_rows.clear();
        m_shown.start();
    }

    CMacTableDlg& m_window;
    std::vector<Row> m_rows;
    QElapsedTimer m_shown;
};

CMacTableDlg::CMacTableDlg(const SubWindowArgs& args, QWidget* parent)
    : CModuleDlg(MacTableDlgTemplate(), args, parent), m_macText(QStringLiteral("001122334455"))
{
    m_resultList = Item<CReportList>(IDC_MAC_RESULTS);
    OnCommand(IDC_MAC_SEARCH_BUTTON, [this] { OnSearch(); });
    OnCommand(IDC_MAC_LIST_TABLE, [this] { OnListTable(); });
    OnCommand(IDC_MAC_CLEAR, [this] { OnClear(); });
    OnCommand(IDC_MAC_COPY, [this] { OnCopy(); });
}

void CMacTableDlg::DoDataExchange(CDataExchange& dx)
{
    DDX_Text(dx, IDC_STATUS, m_status);
    DDX_Text(dx, IDC_MAC_SEARCH_TEXT, m_macText);
}

bool CMacTableDlg::OnInitDialog()
{
    CModuleDlg::OnInitDialog();
    int column = 0;
    for (const char* heading : kColumns)
        m_resultList->InsertColumn(column++, QString::fromLatin1(heading));
    return true;
}

void CMacTableDlg::AddRow(const QString& mac, int port, int age)
{
    const int row = m_resultList->InsertItem(0, QString());
    if (row < 0)
        return;
    m_resultList->SetItemText(0, 0, mac);
    m_resultList->SetItemText(0, 1, QString::number(port));
    m_resultList->SetItemText(0, 2, QString::number(age));
}

void CMacTableDlg::OnSearch()
{
    if (!TakeFields())
        return;
    const std::optional<MacSearchKey> key = ParseMacSearch(m_macText);
    if (!key) {
        SetStatus(QString::fromLatin1(kBadMac));
        return;
    }
    SetStatus(QString::fromLatin1(kSearching));

    const MacWords searched = WordsOfMac(key->bytes);
    auto start = NewRequest(Community::ReadWrite, 4);
    start->AddVar(Oid::kMacTableWord12, Decimal(searched.w244).constData(), 'i');
    start->AddVar(Oid::kMacTableWord34, Decimal(searched.w243).constData(), 'i');
    start->AddVar(Oid::kMacTableWord56, Decimal(searched.w242).constData(), 'i');
    start->AddVar(Oid::kMacTableStart, kStartOperation, 'i');
    int result = start->Set();
    if (result < 0) {
        ShowSnmpError(result);
        return;
    }
    Sleep(kResultDelayMs);

    auto answer = NewRequest(Community::ReadWrite, 4);
    answer->AddVar(Oid::kMacTableStatus, "", 0);
    AddMacWordReads(*answer);
    result = answer->Get();
    if (result < 0) {
        ShowSnmpError(result);
        return;
    }
    const int status = answer->GetInteger(0);
    if (!IsValidMacEntry(status)) {
        SetStatus(QString::fromLatin1(kNotFound));
        return;
    }
    m_resultList->DeleteAllItems();
    AddRow(FormatMacWords(WordsOf(*answer, 1), key->style), EntryPort(status), EntryAge(status));
    SetStatus(QString::fromLatin1(kFound));
}

int CMacTableDlg::ReadWalkEntry(int entry, CSnmpRequest& statusBatch, WalkRows& rows)
{
    auto select = NewRequest(Community::ReadWrite, 2);
    select->AddVar(Oid::kMacTableWord56, Decimal(WalkIndexWord(entry)).constData(), 'i');
    select->AddVar(Oid::kMacTableStart, kStartOperation, 'i');
    int result = select->Set();
    if (result < 0)
        return result;
    result = statusBatch.Get();
    if (result < 0)
        return result;
    const int status = statusBatch.GetInteger(0);
    if (!IsValidMacEntry(status))
        return kNoEntry;
    auto address = NewRequest(Community::ReadWrite, 3);
    AddMacWordReads(*address);
    result = address->Get();
    if (result < 0)
        return result;
    rows.Add(FormatMacWords(WordsOf(*address, 0), MacStyle::Dash), EntryPort(status), EntryAge(status));
    return kEntryFound;
}

void CMacTableDlg::OnListTable()
{
    auto statusBatch = NewRequest(Community::ReadWrite, 1);
    statusBatch->AddVar(Oid::kMacTableStatus, "", 0);
    if (AfxMessageBox(QString::fromLatin1(kWalkQuestion), MB_YESNO | MB_ICONEXCLAMATION) != IDYES)
        return;

    CMacWalkProgress progress(Page(), GetDlgItem(IDC_STATUS), m_resultList->viewport(), IDC_MAC_WALK_PROGRESS,
        kMacTableEntries);
    m_resultList->DeleteAllItems();
    progress.ListChanged();
    SetStatus(QString::fromLatin1(kDownloading));
    const StopButton stop(Item<QAbstractButton>(IDC_MAC_LIST_TABLE));
    WalkRows rows(*this);
    int found = 0;
    for (int entry = 0; entry < kMacTableEntries; ++entry) {
        rows.ShowWhenDue();
        progress.SetPos(entry);
        const int result = ReadWalkEntry(entry, *statusBatch, rows);
        if (result == CSnmpRequest::kCancelled) {
            SetStatus(CMacWalkProgress::StoppedText(found, entry));
            return;
        }
        if (result < 0) {
            ShowSnmpError(result);
            return;
        }
        found += result == kEntryFound ? 1 : 0;
    }
    SetStatus(QString::fromLatin1(kDownloadComplete));
}

void CMacTableDlg::OnClear() { m_resultList->DeleteAllItems(); }

void CMacTableDlg::OnCopy()
{
    std::vector<QStringList> rows;
    for (int row = 0; row < m_resultList->GetItemCount(); ++row) {
        rows.push_back({m_resultList->GetItemText(row, 0), m_resultList->GetItemText(row, 1),
            m_resultList->GetItemText(row, 2)});
    }
    Ui().SetClipboardText(MacTableClipboardText(m_moduleIp, rows));
}
