// "Read Settings": the version, the settings batches chosen by it, and the
// window layout of the firmware's feature level.

#include <memory>

#include "core/MainDlg.h"
#include "settings/FeatureLevels.h"
#include "settings/MacText.h"
#include "settings/ModeBits.h"
#include "core/RememberedModule.h"
#include "settings/SettingsRead.h"
#include "platform/IpAddressCtrl.h"
#include "platform/UiSeam.h"
#include "res/MainDlgIds.h"
#include "res/Strings.h"
#include "snmp/ModuleObjects.h"
#include "snmp/SnmpRequest.h"

namespace {
constexpr const char* kConnectingForVersion = "Connecting to target host ... trying to get firmware version";
constexpr const char* kRefusedVersion = "Uncorrect firmware version. Use this tool for firmware version >= 4.050!";
constexpr const char* kNewerVersion
    = "Target IP module has newer version, than Kalvor supports!\nPlease, update Kalvor to the latest version!";
}  // namespace

void CMainDlg::OnReadSettings()
{
    if (!TakeAccessFieldsAndCheck())
        return;
    m_settingsRead = false;
    m_settingsReadAt.clear();
    m_modeWordsRead = false;
    {
        const auto request = NewRequest(Community::ReadOnly, 1);
        request->AddVar(Oid::kFirmwareVersion, "", 0);
        const int result = RunGet(*request, ExchangeTexts {kConnectingForVersion, kStatusSnmpError});
        if (result == CSnmpRequest::kCancelled)
            return;  // the operator stopped it before anything was read: nothing changes
        if (result < 0) {
            OnReadFailed();
            return;
        }
        SetStatus(QString::fromLatin1(kStatusDataReceived));
        OnVersionRead(request->GetInteger(0));
    }
    CloseSubWindows();

    const FirmwareVersion version {m_major, m_minor};
    if (!version.IsAccepted()) {
        SetStatus(QString::fromLatin1(kRefusedVersion));
        ApplyWindowButtons(false);
        return;
    }
    const ReadPlan plan = PlanRead(version);
    if (plan.copyRoToRw)
        m_rwCommunity = m_roCommunity;
    for (ReadBatch batch : plan.batches) {
        const int result = ReadSettingsBatch(batch);
        if (result == CSnmpRequest::kCancelled) {
            ApplyWindowButtons(false);  // the fields keep what they showed; the settings are not all read
            return;
        }
        if (result < 0) {
            OnReadFailed();
            return;
        }
    }
    m_settingsRead = true;
    m_settingsReadAt = ModuleAddress();
    RememberModuleAddress(ModuleAddress());
    ApplyFeatureLevel();
    ApplyWindowButtons(true);
}

void CMainDlg::OnVersionRead(int32_t word)
{
    const FirmwareVersion version = FirmwareVersion::FromWord(word);
    m_major = version.major;
    m_minor = version.minor;
    if (version.IsNewerThanSupported())
        AfxMessageBox(QString::fromLatin1(kNewerVersion), MB_OK | MB_ICONEXCLAMATION);
    m_version = version.Text();
    UpdateData(false);
}

int CMainDlg::ReadSettingsBatch(ReadBatch batch)
{
    const std::vector<SettingsObject> objects = BatchObjects(batch);
    const auto request = NewRequest(Community::ReadOnly, static_cast<uint32_t>(objects.size()));
    for (const SettingsObject& object : objects)
        request->AddVar(object.oid, "", 0);
    const int result = RunGet(*request);
    if (result < 0)
        return result;
    SetStatus(QString::fromLatin1(kStatusDataReceived));
    DecodeSettings(objects, *request);
    UpdateData(false);
    return result;
}

void CMainDlg::DecodeSettings(const std::vector<SettingsObject>& objects, const CSnmpRequest& request)
{
    bool hasModeWords = false;
    uint32_t words[2] = {0, 0};
    for (uint32_t slot = 0; slot < objects.size(); ++slot) {
        const SettingsObject& object = objects[slot];
        const int32_t integer = request.GetInteger(slot);
        switch (object.decode) {
        case SettingDecode::IpAddress: SetIpFromResult(static_cast<uint32_t>(integer), object.control); break;
        case SettingDecode::MacText: *TextMember(object.control) = MacTextFromPrinted(request.GetText(slot)); break;
        case SettingDecode::Integer:
        case SettingDecode::CountPlusOne: *NumberMember(object.control) = SettingNumber(object.decode, integer); break;
        case SettingDecode::ModeWord1:
            words[0] = static_cast<uint32_t>(integer);
            hasModeWords = true;
            break;
        case SettingDecode::ModeWord2: words[1] = static_cast<uint32_t>(integer); break;
        }
    }
    if (hasModeWords) {
        ApplyModeWords(words[0], words[1]);
        m_modeWordsRead = true;
    }
}

void CMainDlg::ApplyModeWords(uint32_t word1, uint32_t word2)
{
    m_modeWord1 = word1 & 0xFF;
    m_modeWord2 = word2 & 0xFF;
    for (const ModeBit& mode : kModeBits)
        *FlagMember(mode.control) = ModeBitSet(mode, m_modeWord1, m_modeWord2);
}

// A read that failed leaves none of the module's settings on show and no
// window of it to open.
void CMainDlg::OnReadFailed()
{
    ClearSettings();
    UpdateData(false);
    ApplyWindowButtons(false);
}

void CMainDlg::ClearSettings()
{
    for (const ModeBit& mode : kModeBits)
        if (mode.word == 1)
            *FlagMember(mode.control) = false;
    m_modeWordsRead = false;
    m_version.clear();
    m_major = 0;
    m_minor = 0;
    m_mac.clear();
    m_macLock1.clear();
    m_macLock2.clear();
    m_pingRestartMin = 6;
    m_vlanTag = 1;
    for (int id : {IDC_NETWORK_MASK, IDC_GATEWAY, IDC_TFTP_SERVER, IDC_MONITOR_IP})
        IpCtrl(id)->ClearAddress();
}

void CMainDlg::ApplyFeatureLevel()
{
    const Layout layout = LayoutFor(FirmwareVersion {m_major, m_minor});
    for (const ControlChange& change : layout.changes)
        ApplyControlChange(change);
    m_pulseWidthLabel = QString::fromLatin1(layout.pulseWidthLabel);
    UpdateData(false);
}

void CMainDlg::ApplyControlChange(const ControlChange& change)
{
    if (change.caption)
        SetCaption(change.id, QString::fromLatin1(change.caption));
    switch (change.state) {
    case ControlState::Keep: break;
    case ControlState::Enable: EnableControl(change.id, true); break;
    case ControlState::Disable: EnableControl(change.id, false); break;
    case ControlState::ReadOnly: SetReadOnly(change.id, true); break;
    case ControlState::Editable: SetReadOnly(change.id, false); break;
    case ControlState::ClearAndDisable:
        IpCtrl(change.id)->ClearAddress();
        EnableControl(change.id, false);
        break;
    }
}
