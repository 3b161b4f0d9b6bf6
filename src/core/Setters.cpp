// The "Set" buttons of the "IP Core Settings" area: one table-driven family.

#include "core/MainDlg.h"
#include "settings/FeatureLevels.h"
#include "settings/MacText.h"
#include "settings/SetterTable.h"
#include "platform/IpAddressCtrl.h"
#include "res/MainDlgIds.h"
#include "res/Strings.h"
#include "snmp/SnmpRequest.h"

namespace {
constexpr const char* kUnreachableModuleIp
    = "ERROR in IP address. 0.0.0.0 and 255.255.255.255 would cut the module off the network.";
constexpr const char* kBadMacLock = "ERROR in MAC Lock value. Enter six hexadecimal bytes, e.g. 00 0A 1B 2C 3D 4E";

char TypeLetter(SetterField kind)
{
    switch (kind) {
    case SetterField::IpAddress: return 'a';
    case SetterField::MacLock: return 'x';
    case SetterField::Number: return 'i';
    }
    return 0;
}
}  // namespace

void CMainDlg::RegisterSetters()
{
    for (const SetterSpec& setter : kSetters)
        OnCommand(setter.button, [this, &setter] { OnSetter(setter); });
}

void CMainDlg::OnSetter(const SetterSpec& setter)
{
    if (!UpdateData(true)) {
        // Only a number of this setter's own field taken as typed gets its own
        // check (which refuses it); any other failed field stops the action.
        const bool ownNumberTaken
            = setter.kind == SetterField::Number && FailedField() == setter.field && FailedFieldTaken();
        if (!ownNumberTaken || CheckSetterValue(setter))
            RefuseBadField();
        return;
    }
    if (!ReadyToSend() || !CheckSetterValue(setter) || !CheckSetterAddress(setter))
        return;
    QByteArray value;
    if (!SetterValueText(setter, value))
        return;
    const auto request = NewRequest(Community::ReadWrite, 1);
    request->AddVar(SettingOidFor(setter.field), value.constData(), TypeLetter(setter.kind));
    if (RunSet(*request) < 0)
        return;
    SetStatus(QString::fromLatin1(setter.success));
    if (setter.button == IDC_SET_IP) {
        uint32_t address = 0;
        IpCtrl(IDC_IP)->GetAddress(address);
        IpCtrl(IDC_MODULE_ADDRESS)->SetAddress(address);
    }
}

bool CMainDlg::CheckSetterValue(const SetterSpec& setter)
{
    if (setter.kind != SetterField::Number)
        return true;
    uint32_t& value = *NumberMember(setter.field);
    if (value >= setter.check.min && value <= setter.check.max)
        return true;
    value = setter.check.reset;
    SetStatus(QString::fromLatin1(setter.check.message));
    return false;
}

bool CMainDlg::CheckSetterAddress(const SetterSpec& setter)
{
    if (setter.kind != SetterField::IpAddress)
        return true;
    if (!CheckIpComplete(setter.field))
        return false;
    uint32_t address = 0;
    IpCtrl(setter.field)->GetAddress(address);
    if (setter.button == IDC_SET_IP && (address == 0 || address == 0xFFFFFFFFu)) {
        SetStatus(QString::fromLatin1(kUnreachableModuleIp));
        return false;
    }
    return true;
}

bool CMainDlg::SetterValueText(const SetterSpec& setter, QByteArray& value)
{
    switch (setter.kind) {
    case SetterField::IpAddress: value = GetIpText(setter.field).toLatin1(); return true;
    case SetterField::MacLock:
        if (MacLockToHex(*TextMember(setter.field), value))
            return true;
        SetStatus(QString::fromLatin1(kBadMacLock));
        return false;
    case SetterField::Number: {
        const uint32_t number = *NumberMember(setter.field);
        const auto sent = static_cast<uint32_t>(static_cast<int64_t>(number) + setter.offset) & setter.mask;
        value = QByteArray::number(static_cast<int>(sent));
        return true;
    }
    }
    return false;
}
