// The "Set" buttons of the "IP Core Settings" area: one table-driven family.

#include "core/MainDlg.h"
#include "platform/IpAddressCtrl.h"
#include "res/MainDlgIds.h"
#include "res/Strings.h"
#include "settings/SetterTable.h"
#include "settings/SettingVars.h"
#include "snmp/SnmpRequest.h"

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
    SnmpVarSpec var;
    if (!SetterValueText(setter, var))
        return;
    const auto request = NewRequest(Community::ReadWrite, 1);
    AddWrites(*request, {var});
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
    if (SetterAccepts(setter, value))
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
    if (const char* refusal = SetterAddressRefusal(setter, address)) {
        SetStatus(QString::fromLatin1(refusal));
        return false;
    }
    return true;
}

bool CMainDlg::SetterValueText(const SetterSpec& setter, SnmpVarSpec& var)
{
    QString text;
    uint32_t number = 0;
    switch (setter.kind) {
    case SetterField::IpAddress: text = GetIpText(setter.field); break;
    case SetterField::MacLock: text = *TextMember(setter.field); break;
    case SetterField::Number: number = *NumberMember(setter.field); break;
    }
    const char* refusal = nullptr;
    if (SetterWrite(setter, text, number, var, &refusal))
        return true;
    SetStatus(QString::fromLatin1(refusal));
    return false;
}
