#include "switch/PortStatusDlg.h"

#include "platform/DataExchange.h"
#include "platform/UiSeam.h"
#include "res/PortStatusDlgIds.h"
#include "res/PortStatusDlgTemplate.h"

namespace {
const char* const kReceived = "Trellim status received!";
const char* const kImplausible
    = "Data received from Trellim seems not to be correct.\nPlease, check data cable between IP module and Trellim";
}  // namespace

CPortStatusDlg::CPortStatusDlg(const SubWindowArgs& args, QWidget* parent)
    : CModuleDlg(PortStatusDlgTemplate(), args, parent)
{
    OnCommand(IDC_PS_REFRESH, [this] { OnRefresh(); });
}

// Push only: the controls are indicators.
void CPortStatusDlg::DoDataExchange(CDataExchange& dx)
{
    if (dx.m_bSaveAndValidate)
        return;
    DDX_Text(dx, IDC_STATUS, m_status);
    for (int p = 0; p < SwitchMap::kPorts; ++p) {
        QString quality = QString::number(m_linkQuality[size_t(p)]);
        DDX_Text(dx, StatusControl(p, kColQuality), quality);
    }
    for (int p = 0; p < SwitchMap::kPorts; ++p)
        for (int k = 0; k < kStatusFlags; ++k)
            DDX_Check(dx, StatusControl(p, k), m_portState[size_t(p)][size_t(k)]);
}

bool CPortStatusDlg::OnInitDialog()
{
    CModuleDlg::OnInitDialog();
    OnRefresh();
    return true;
}

void CPortStatusDlg::OnRefresh()
{
    const auto request = NewRequest(Community::ReadOnly, PortStatus::kWords);
    PortStatus::AddStatusReads(*request);
    if (RunGet(*request) < 0)
        return;  // the indicators keep what they showed
    for (int i = 0; i < PortStatus::kWords; ++i)
        m_phyWords[size_t(i)] = PortStatus::WordOf(*request, i);
    DecodeStatus();
    SetStatus(QString::fromLatin1(kReceived));
    if (PortStatus::LooksDisconnected(m_phyWords))
        AfxMessageBox(QString::fromLatin1(kImplausible), MB_OK | MB_ICONEXCLAMATION);
}

void CPortStatusDlg::DecodeStatus()
{
    for (int p = 0; p < SwitchMap::kPorts; ++p) {
        const PortStatus::PortState state = PortStatus::Decode(m_phyWords, p);
        m_portState[size_t(p)] = state.flags;
        m_linkQuality[size_t(p)] = state.quality;
    }
    UpdateData(false);
}
