#pragma once
#include "platform/Dialog.h"

// The About box: application icon, one line of text and OK.
class CAboutDlg : public CDialog {
    Q_OBJECT
public:
    explicit CAboutDlg(QWidget* parent = nullptr);
    bool OnInitDialog() override;
};
