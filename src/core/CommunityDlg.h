#pragma once
#include "platform/Dialog.h"

// Asks for a new community string twice; closes with OK only when both
// entries match.
class CCommunityDlg : public CDialog {
    Q_OBJECT
public:
    explicit CCommunityDlg(const QString& caption, QWidget* parent = nullptr);

    bool OnInitDialog() override;
    void OnOK() override;

    QString m_newCommunity;
    QString m_retypedCommunity;
    QString m_caption;

protected:
    void DoDataExchange(CDataExchange& dx) override;
};
