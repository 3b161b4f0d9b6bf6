#include "core/ApplySettingsDlg.h"

#include <QFileInfo>
#include <algorithm>

#include "platform/ControlText.h"
#include "platform/ReportList.h"
#include "res/ApplySettingsDlgIds.h"
#include "res/ApplySettingsDlgTemplate.h"

namespace {
constexpr const char* kIntro = "These settings of %1 differ from the module's.\nThe checked ones are written:";
constexpr const char* kNone = "(none)";
// The label last: a switch register's names make a long one.
const char* const kColumns[] = {"Setting", "Module", "File", "Label"};

QString Shown(const QString& value) { return value.isEmpty() ? QString::fromLatin1(kNone) : value; }
}  // namespace

CApplySettingsDlg::CApplySettingsDlg(
    const QString& fileName, std::vector<SettingDifference> differences, QWidget* parent)
    : CDialog(ApplySettingsDlgTemplate(), parent), m_fileName(fileName), m_differences(std::move(differences))
{
    m_list = Item<CReportList>(IDC_APPLY_LIST);
}

bool CApplySettingsDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    SetControlText(GetDlgItem(IDC_APPLY_INTRO), QString::fromLatin1(kIntro).arg(QFileInfo(m_fileName).fileName()));
    int column = 0;
    for (const char* heading : kColumns)
        m_list->InsertColumn(column++, QString::fromLatin1(heading));
    for (const SettingDifference& difference : m_differences) {
        const int row = m_list->AppendCheckItem(QString::fromStdString(difference.key), true);
        m_list->SetItemText(row, 1, Shown(difference.from));
        m_list->SetItemText(row, 2, Shown(difference.to));
        m_list->SetItemText(row, 3, difference.label);
    }
    const bool address = std::any_of(m_differences.begin(), m_differences.end(),
        [](const SettingDifference& difference) { return difference.key == "ip"; });
    GetDlgItem(IDC_APPLY_ADDRESS_NOTE)->setVisible(address);
    return true;
}

void CApplySettingsDlg::OnOK()
{
    m_checked.clear();
    for (size_t row = 0; row < m_differences.size(); ++row)
        if (m_list->GetCheck(int(row)))
            m_checked.push_back(m_differences[row].key);
    CDialog::OnOK();
}
