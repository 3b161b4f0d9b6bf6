#include "core/CommunityDlg.h"

#include "platform/DataExchange.h"
#include "platform/UiSeam.h"
#include "res/CommunityDlgTemplate.h"
#include "res/MainDlgIds.h"

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
    UpdateData(true);
    if (m_newCommunity != m_retypedCommunity) {
        AfxMessageBox(QStringLiteral("Values don't match!"), MB_OK | MB_ICONSTOP);
        return;
    }
    CDialog::OnOK();
}
