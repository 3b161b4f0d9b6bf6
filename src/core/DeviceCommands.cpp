// "Restart", "Target restart" and "Firmware Update": each is a read of a
// command object; a good answer is the module's confirmation.

#include "core/MainDlg.h"
#include "platform/UiSeam.h"
#include "res/MainDlgIds.h"
#include "res/Strings.h"
#include "snmp/ModuleObjects.h"
#include "snmp/SnmpRequest.h"

namespace {
constexpr uint32_t kTftpEnabledBit = 1u << 3;  // of mode word 2

constexpr const char* kCommandAborted = "Command aborted!";
constexpr const char* kTftpRequired = "You must first check and set \"TFTP enabled\" option for this device!";
constexpr const char* kUpdateWarning = "WARNING: You are going to start firmware update from remote TFTP Server.\n"
                                       "Power failure during update can permanently damage device!\n\nAre you sure?";
}  // namespace

void CMainDlg::OnRestart()
{
    if (!TakeAccessFieldsAndCheck())
        return;
    if (RunCommand(Oid::kRestartModule, "Connection established! Restart command confirmed.") < 0)
        return;
    ApplyWindowButtons(m_settingsRead);
}

void CMainDlg::OnTargetRestart()
{
    if (!TakeAccessFieldsAndCheck())
        return;
    RunCommand(Oid::kRestartTarget, kStatusTargetRestarted);
}

void CMainDlg::OnFirmwareUpdate()
{
    if (!TakeAccessFieldsAndCheck())
        return;
    if (!(m_modeWord2 & kTftpEnabledBit)) {
        AfxMessageBox(QString::fromLatin1(kTftpRequired), MB_OK | MB_ICONEXCLAMATION);
        SetStatus(QString::fromLatin1(kCommandAborted));
        return;
    }
    if (AfxMessageBox(QString::fromLatin1(kUpdateWarning), MB_OKCANCEL | MB_ICONEXCLAMATION) != IDOK) {
        SetStatus(QString::fromLatin1(kCommandAborted));
        return;
    }
    RunCommand(Oid::kFirmwareUpdate, "Connection established! Firmware Update process started.");
}

int CMainDlg::RunCommand(const char* oid, const char* confirmation)
{
    const auto request = NewRequest(Community::ReadOnly, 1);
    request->AddVar(oid, "", 0);
    const int result = RunGet(*request);
    if (result >= 0)
        SetStatus(QString::fromLatin1(confirmation));
    return result;
}
