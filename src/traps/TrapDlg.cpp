#include "traps/TrapDlg.h"

#include "platform/DataExchange.h"
#include "res/Strings.h"
#include "res/TrapDlgIds.h"
#include "res/TrapDlgTemplate.h"
#include "settings/SettingVars.h"
#include "settings/TrapSettings.h"

namespace {
constexpr const char* kNothingChanged = "Nothing changed ...";
constexpr const char* kParametersChanged = "Connection established! Parameters changed.";
}  // namespace

CTrapDlg::CTrapDlg(const SubWindowArgs& args, QWidget* parent) : CModuleDlg(TrapDlgTemplate(), args, parent)
{
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
        DDV_MinMaxInt(dx, m_low[channel], 0, TrapSettings::kThresholdMax);
    }
    for (int channel = 0; channel < kTrapChannels; ++channel) {
        DDX_Text(dx, kHighThresholdEdits[channel], m_high[channel]);
        DDV_MinMaxInt(dx, m_high[channel], 0, TrapSettings::kThresholdMax);
    }
}

// Discards edits not yet written: the fields are not taken first.
void CTrapDlg::OnReadTrapSettings()
{
    const std::vector<std::string>& objects = TrapSettings::ReadObjects();
    const auto request = NewRequest(Community::ReadOnly, static_cast<uint32_t>(objects.size()));
    AddReads(*request, objects);
    if (RunGet(*request) < 0)
        return;
    SetStatus(QString::fromLatin1(kStatusDataReceived));
    m_read = TrapSettings::FromReads(*request);
    m_low = m_read.low;
    m_high = m_read.high;
    m_trapCommunity = m_read.community;
    SetIpFromResult(static_cast<uint32_t>(request->GetInteger(TrapSettings::kServerSlot)), IDC_TRAP_SERVER);
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
    const TrapValues wanted {m_low, m_high, GetIpText(IDC_TRAP_SERVER), m_trapCommunity};
    const std::vector<SnmpVarSpec> changes = TrapSettings::Changes(m_read, wanted);
    if (changes.empty()) {
        SetStatus(QString::fromLatin1(kNothingChanged));
        return;
    }
    {
        const auto request = NewRequest(Community::ReadWrite, static_cast<uint32_t>(changes.size()));
        AddWrites(*request, changes);
        if (RunSet(*request) < 0)
            return;
    }
    SetStatus(QString::fromLatin1(kParametersChanged));
    OnReadTrapSettings();
}
