// "Change R/W Pass" and "Change R/O Pass": the new string typed twice, the
// firmware's length rule, the write with the read-write string, and the pass
// fields updated once the module has confirmed.

#include "core/MainDlg.h"
#include "core/CommunityDlg.h"
#include "res/Strings.h"
#include "snmp/ModuleObjects.h"
#include "snmp/SnmpRequest.h"

namespace {
struct CommunityChange {
    const char* caption;
    const char* oid;
    const char* success;
};
const CommunityChange kReadWriteChange = {"Change R/W Community String", Oid::kRwCommunity,
    "Connection established! Read-Write Community string changed."};
const CommunityChange kReadOnlyChange = {"Change R/O Community String", Oid::kRoCommunity,
    "Connection established! Read-Only Community string changed."};
constexpr int kOldFirmwareLength = 12;
constexpr const char* kLengthError = "Error: Community string for this firmware version must be exactly 12 symbols";
}  // namespace

void CMainDlg::OnChangeRwPass() { ChangeCommunity(true); }

void CMainDlg::OnChangeRoPass() { ChangeCommunity(false); }

void CMainDlg::ChangeCommunity(bool readWrite)
{
    const CommunityChange& change = readWrite ? kReadWriteChange : kReadOnlyChange;
    if (!TakeAccessFieldsAndCheck())
        return;
    CCommunityDlg dialog(QString::fromLatin1(change.caption));
    if (dialog.DoModal() != IDOK)
        return;
    const QString newCommunity = dialog.m_newCommunity;
    // Firmware 4.000 to 4.066 keeps one string of exactly twelve characters.
    const bool oneSharedString = m_major == 4 && m_minor <= 66;
    if (oneSharedString && newCommunity.size() != kOldFirmwareLength) {
        SetStatus(QString::fromLatin1(kLengthError));
        return;
    }
    const auto request = NewRequest(Community::ReadWrite, 1);
    request->AddVar(change.oid, newCommunity.toLatin1().constData(), 's');
    if (RunSet(*request) < 0)
        return;
    SetStatus(QString::fromLatin1(change.success));
    if (readWrite)
        m_rwCommunity = newCommunity;
    if (!readWrite || oneSharedString)
        m_roCommunity = newCommunity;
    UpdateData(false);
}
