#include "core/CommunityDlg.h"

#include "module/ModuleDlg.h"
#include "platform/DataExchange.h"
#include "platform/UiSeam.h"
#include "res/CommunityDlgTemplate.h"
#include "res/CommunityDlgIds.h"

namespace {
constexpr int kMinLength = 4;
constexpr const char* kTooShort = "The community string must have 4 to 12 characters.";
constexpr const char* kNot8Bit = "The community string can only hold 8-bit (Latin-1) characters.";
}  // namespace

CCommunityDlg::CCommunityDlg(const QString& caption, QWidget* parent)
    : CDialog(CommunityDlgTemplate(), parent), m_caption(caption)
{
}

void CCommunityDlg::DoDataExchange(CDataExchange& dx)
{
    DDX_Text(dx, IDC_NEW_COMMUNITY, m_newCommunity);
    DDV_MaxChars(dx, m_newCommunity, 12);
    DDX_Text(dx, IDC_RETYPED_COMMUNITY, m_retypedCommunity);
    DDV_MaxChars(dx, m_retypedCommunity, 12);
}

bool CCommunityDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    setWindowTitle(m_caption);
    return true;
}

void CCommunityDlg::OnOK()
{
    if (!UpdateData(true))
        return;
    if (m_newCommunity != m_retypedCommunity) {
        AfxMessageBox(QStringLiteral("Values don't match!"), MB_OK | MB_ICONSTOP);
        return;
    }
    // Every later write of the tool goes out with this string: an empty or
    // very short one would lock the operator out.
    if (m_newCommunity.size() < kMinLength) {
        AfxMessageBox(QString::fromLatin1(kTooShort), MB_OK | MB_ICONSTOP);
        return;
    }
    if (!IsLatin1(m_newCommunity)) {
        AfxMessageBox(QString::fromLatin1(kNot8Bit), MB_OK | MB_ICONSTOP);
        return;
    }
    CDialog::OnOK();
}
