#include "core/AboutDlg.h"

#include "res/AboutDlgTemplate.h"
#include "res/Strings.h"

CAboutDlg::CAboutDlg(QWidget* parent) : CDialog(AboutDlgTemplate(), parent) { }

bool CAboutDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    setWindowTitle(QString::fromLatin1(IDS_APP_TITLE));
    return true;
}
