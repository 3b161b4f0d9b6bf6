#pragma once
// What applying a module settings file would change, before anything is
// written: one row per setting that differs, with its key, the module's
// value, the file's and its label, each with a check box (all checked at
// first).
// "Write" closes it with the checked settings; "Cancel" with none.

#include <QString>
#include <string>
#include <vector>

#include "platform/Dialog.h"
#include "settings/SettingsSnapshot.h"

class CReportList;

class CApplySettingsDlg : public CDialog {
    Q_OBJECT
public:
    // `differences`: from the module's values to the file's, in file order.
    CApplySettingsDlg(const QString& fileName, std::vector<SettingDifference> differences, QWidget* parent = nullptr);

    bool OnInitDialog() override;
    void OnOK() override;

    // The keys checked when "Write" closed the window, in file order.
    const std::vector<std::string>& CheckedKeys() const { return m_checked; }

private:
    QString m_fileName;
    std::vector<SettingDifference> m_differences;
    std::vector<std::string> m_checked;
    CReportList* m_list = nullptr;
};
