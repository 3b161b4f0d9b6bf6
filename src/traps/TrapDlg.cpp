#include "traps/TrapDlg.h"

#include <QByteArray>
#include <QList>
#include <vector>

#include "platform/DataExchange.h"
#include "platform/IpAddressCtrl.h"
#include "res/Strings.h"
#include "res/TrapDlgIds.h"
#include "res/TrapDlgTemplate.h"
#include "snmp/ModuleObjects.h"

namespace {
constexpr const char* kNothingChanged = "Nothing changed ...";
constexpr const char* kParametersChanged = "Connection established! Parameters changed.";

// The module keeps its thresholds as 16-bit quantities.
constexpr int32_t kThresholdMask = 0xFFFF;
constexpr int32_t kThresholdMax = 0xFFFF;

constexpr uint32_t kObjectsRead = 2 * kTrapChannels + 2;
constexpr uint32_t kServerResult = 2 * kTrapChannels;
constexpr uint32_t kCommunityResult = kServerResult + 1;

// Threshold object n: 2k+1 the low, 2k+2 the high threshold of channel k+1.
std::string LowObject(int channel) { return Oid::TrapThreshold(2 * channel + 1); }
std::string HighObject(int channel) { return Oid::TrapThreshold(2 * channel + 2); }

QByteArray Number(int32_t value) { return QByteArray::number(value); }

}  // namespace

QString TrapCommunityFromPrinted(const char* printed)
{
    static const QByteArray kQuoted = "STRING: \"";
    static const QByteArray kHex = "Hex-STRING: ";
    const QByteArray text(printed ? printed : "");
    QByteArray bytes;
    if (text.startsWith(kQuoted)) {
        // Net-SNMP puts a backslash before a quotation mark or backslash of
        // the value; the value ends at the first quotation mark without one.
        for (int i = kQuoted.size(); i < text.size() && text[i] != '"'; ++i) {
            if (text[i] == '\\' && i + 1 < text.size())
                ++i;
            bytes.append(text[i]);
        }
        bytes.truncate(kTrapCommunityLength);
    } else if (text.startsWith(kHex)) {
        // Net-SNMP dumps an octet string in hex when it holds bytes that do
        // not print: take the bytes themselves, up to a terminating zero.
        const QList<QByteArray> pairs = text.mid(kHex.size()).simplified().split(' ');
        for (const QByteArray& pair : pairs) {
            bool ok = false;
            const int byte = pair.toInt(&ok, 16);
            if (!ok || byte == 0 || bytes.size() == kTrapCommunityLength)
                break;
            bytes.append(char(byte));
        }
    }
    return QString::fromLatin1(bytes);
}

CTrapDlg::CTrapDlg(const SubWindowArgs& args, QWidget* parent) : CModuleDlg(TrapDlgTemplate(), args, parent)
{
    m_trapServerCtrl = IpCtrl(IDC_TRAP_SERVER);
    OnCommand(IDC_READ_TRAP_SETTINGS, [this] { OnReadTrapSettings(); });
    OnCommand(IDC_WRITE_TRAP_SETTINGS, [this] { OnWriteTrapSettings(); });
}

bool CTrapDlg::OnInitDialog()
{
    CModuleDlg::OnInitDialog();
    OnReadTrapSettings();
    return true;
}

// Exchange order: status line, community, the lows of channels 1 to 8, the
// highs. A threshold outside the module's 16 bits would not come back as
// typed, so it is refused like text that is no number.
void CTrapDlg::DoDataExchange(CDataExchange& dx)
{
    DDX_Text(dx, IDC_STATUS, m_status);
    DDX_Text(dx, IDC_TRAP_COMMUNITY, m_trapCommunity);
    DDV_MaxChars(dx, m_trapCommunity, kTrapCommunityLength);
    for (int channel = 0; channel < kTrapChannels; ++channel) {
        DDX_Text(dx, kLowThresholdEdits[channel], m_low[channel]);
        DDV_MinMaxInt(dx, m_low[channel], 0, kThresholdMax);
    }
    for (int channel = 0; channel < kTrapChannels; ++channel) {
        DDX_Text(dx, kHighThresholdEdits[channel], m_high[channel]);
        DDV_MinMaxInt(dx, m_high[channel], 0, kThresholdMax);
    }
}

// Discards edits not yet written: the fields are not taken first.
void CTrapDlg::OnReadTrapSettings()
{
    const auto request = NewRequest(Community::ReadOnly, kObjectsRead);
    for (int channel = 0; channel < kTrapChannels; ++channel) {
        request->AddVar(LowObject(channel), "", 0);
        request->AddVar(HighObject(channel), "", 0);
    }
    request->AddVar(Oid::kTrapServer, "", 0);
    request->AddVar(Oid::kTrapCommunity, "", 0);
    if (RunGet(*request) < 0)
        return;
    SetStatus(QString::fromLatin1(kStatusDataReceived));
    for (int channel = 0; channel < kTrapChannels; ++channel) {
        m_low[channel] = m_lowRead[channel] = request->GetInteger(2 * channel) & kThresholdMask;
        m_high[channel] = m_highRead[channel] = request->GetInteger(2 * channel + 1) & kThresholdMask;
    }
    SetIpFromResult(static_cast<uint32_t>(request->GetInteger(kServerResult)), IDC_TRAP_SERVER);
    m_trapServerCtrl->GetAddress(m_trapServerRead);
    m_trapCommunity = m_trapCommunityRead = TrapCommunityFromPrinted(request->GetText(kCommunityResult));
    UpdateData(false);
    SetButtonEnabled(IDC_WRITE_TRAP_SETTINGS, true);
}

bool CTrapDlg::CheckServerFields()
{
    if (!CheckIpComplete(IDC_TRAP_SERVER))
        return false;
    if (!IsLatin1(m_trapCommunity)) {
        ShowStatusOnly(QString::fromLatin1(kStatusCommunityNot8Bit));
        return false;
    }
    return true;
}

void CTrapDlg::OnWriteTrapSettings()
{
    if (!TakeFields() || !CheckServerFields())
        return;
    uint32_t address = 0;
    m_trapServerCtrl->GetAddress(address);
    const QByteArray community = m_trapCommunity.toLatin1();

    struct Change {
        std::string oid;
        QByteArray value;
        char type;
    };
    std::vector<Change> changes;
    for (int channel = 0; channel < kTrapChannels; ++channel) {
        if (m_low[channel] != m_lowRead[channel])
            changes.push_back({LowObject(channel), Number(m_low[channel]), 'i'});
    }
    for (int channel = 0; channel < kTrapChannels; ++channel) {
        if (m_high[channel] != m_highRead[channel])
            changes.push_back({HighObject(channel), Number(m_high[channel]), 'i'});
    }
    if (address != m_trapServerRead)
        changes.push_back({Oid::kTrapServer, GetIpText(IDC_TRAP_SERVER).toLatin1(), 'a'});
    if (community != m_trapCommunityRead.toLatin1())
        changes.push_back({Oid::kTrapCommunity, community, 's'});
    if (changes.empty()) {
        SetStatus(QString::fromLatin1(kNothingChanged));
        return;
    }
    {
        const auto request = NewRequest(Community::ReadWrite, static_cast<uint32_t>(changes.size()));
        for (const Change& change : changes)
            request->AddVar(change.oid, change.value.constData(), change.type);
        if (RunSet(*request) < 0)
            return;
    }
    SetStatus(QString::fromLatin1(kParametersChanged));
    OnReadTrapSettings();
}
