#include "io/IoPortsDlg.h"

#include "io/IoLevels.h"
#include "platform/DataExchange.h"
#include "res/IoPortsDlgIds.h"
#include "res/IoPortsDlgTemplate.h"
#include "res/Strings.h"
#include "snmp/FirmwareVersion.h"
#include "snmp/ModuleObjects.h"

namespace {
constexpr const char* kNotCompatible = "Not compatible firmware version!";
constexpr const char* kNoAnalog = "(No analog channels for this firmware)";
// %1: the port number.
constexpr const char* kPortChanged = "Connection established! P%1 state changed. ";
constexpr const char* kDataRefreshed = "Data refreshed.";
}  // namespace

uint8_t PackBits(const std::array<int, 8>& flags)
{
    uint8_t value = 0;
    for (int bit = 0; bit < kPortBits; ++bit) {
        if (flags[bit] != 0)
            value |= uint8_t(1u << bit);
    }
    return value;
}

CIoPortsDlg::CIoPortsDlg(const SubWindowArgs& args, QWidget* parent) : CModuleDlg(IoPortsDlgTemplate(), args, parent)
{
    OnCommand(IDC_CHANGE_P3, [this] { OnChangeP3(); });
    OnCommand(IDC_CHANGE_P5, [this] { OnChangeP5(); });
    OnCommand(IDC_READ_REFRESH, [this] { OnReadRefresh(); });
    OnCommand(IDC_RESTART_TARGET, [this] { OnRestartTarget(); });
}

bool CIoPortsDlg::OnInitDialog()
{
    CModuleDlg::OnInitDialog();
    OnReadRefresh();
    return true;
}

void CIoPortsDlg::DoDataExchange(CDataExchange& dx)
{
    for (int bit = 0; bit < kPortBits; ++bit)
        DDX_Check(dx, P3Box(bit), m_p3[bit]);
    for (int bit = 0; bit < kPortBits; ++bit)
        DDX_Check(dx, P5Box(bit), m_p5[bit]);
    for (int bit = 0; bit < kPortBits; ++bit)
        DDX_Check(dx, P6Box(bit), m_p6[bit]);
    for (int channel = 0; channel < kAnalogChannels; ++channel)
        DDX_Text(dx, kAnalogEdits[channel], m_analog[channel]);
    DDX_Text(dx, IDC_STATUS, m_status);
}

// The check boxes are never taken in first: ticks not yet sent give way to
// what the module holds, and on every path the members are pushed again.
CIoPortsDlg::Refreshed CIoPortsDlg::Refresh()
{
    int32_t word = 0;
    {
        const auto request = NewRequest(Community::ReadOnly, 1);
        request->AddVar(Oid::kFirmwareVersion, "", 0);
        const int result = request->Get();
        if (result < 0) {
            ShowSnmpError(result);
            return Refreshed::Failed;
        }
        word = request->GetInteger(0);
    }
    const FirmwareVersion version = FirmwareVersion::FromWord(word);
    m_major = version.major;
    m_minor = version.minor;
    if (m_major < 4) {
        SetStatus(QString::fromLatin1(kNotCompatible));
        return Refreshed::Failed;
    }
    UpdateCheckBoxStates();
    const IoLevel& level = IoLevelFor(version);
    if (!level.dataSet) {
        UpdateData(false);
        return Refreshed::NothingToRead;
    }
    const bool read = ReadDataSet(*level.dataSet);
    UpdateData(false);
    return read ? Refreshed::Data : Refreshed::Failed;
}

bool CIoPortsDlg::ReadDataSet(const IoDataSet& set)
{
    const auto request = NewRequest(Community::ReadOnly, static_cast<uint32_t>(set.objects.size()));
    for (const std::string& oid : set.objects)
        request->AddVar(oid, "", 0);
    if (RunGet(*request) < 0)
        return false;
    SetStatus(QString::fromLatin1(kStatusDataReceived));
    UnpackPorts(request->GetInteger(0), request->GetInteger(1), request->GetInteger(2));
    for (size_t i = 0; i < set.channels.size(); ++i) {
        const double raw = request->GetInteger(static_cast<uint32_t>(kPortObjects + i));
        m_analog[set.channels[i]] = static_cast<float>(raw * set.scale);
    }
    if (set.digitalOnly) {
        m_analog.fill(0.0f);
        AppendStatus(QString::fromLatin1(kNoAnalog));
    }
    return true;
}

void CIoPortsDlg::UpdateCheckBoxStates()
{
    const IoLevel& level = IoLevelFor(FirmwareVersion {uint8_t(m_major), uint8_t(m_minor)});
    if (level.boxes) {
        for (int bit = 0; bit < kPortBits; ++bit) {
            SetButtonEnabled(P3Box(bit), (level.boxes->p3 >> bit) & 1u);
            SetButtonEnabled(P5Box(bit), (level.boxes->p5 >> bit) & 1u);
        }
    }
    UpdateData(false);
}

void CIoPortsDlg::UnpackPorts(int32_t p3, int32_t p5, int32_t p6)
{
    for (int bit = 0; bit < kPortBits; ++bit) {
        m_p3[bit] = (p3 >> bit) & 1;
        m_p5[bit] = (p5 >> bit) & 1;
        m_p6[bit] = (p6 >> bit) & 1;
    }
}

// All eight flags are written, those of disabled boxes too (they hold what
// was read). The write object is the same at every level.
void CIoPortsDlg::ChangePort(int port)
{
    if (!TakeFields())
        return;
    const uint8_t value = PackBits(port == 3 ? m_p3 : m_p5);
    {
        const auto request = NewRequest(Community::ReadWrite, 1);
        request->AddVar(port == 3 ? Oid::kPortP3 : Oid::kPortP5, QByteArray::number(value).constData(), 'i');
        if (RunSet(*request) < 0)
            return;
    }
    const QString changed = QString::fromLatin1(kPortChanged).arg(port);
    // "Data refreshed." only when the refresh really read the ports; a failed
    // refresh has its own message follow the confirmation of the write.
    switch (Refresh()) {
    case Refreshed::Data: SetStatus(changed + QString::fromLatin1(kDataRefreshed)); break;
    case Refreshed::Failed: SetStatus(changed + m_status); break;
    case Refreshed::NothingToRead: SetStatus(changed.trimmed()); break;
    }
}

void CIoPortsDlg::OnRestartTarget()
{
    if (!TakeFields())
        return;
    const auto request = NewRequest(Community::ReadOnly, 1);
    request->AddVar(Oid::kRestartTarget, "", 0);
    if (RunGet(*request) < 0)
        return;
    SetStatus(QString::fromLatin1(kStatusTargetRestarted));
}
