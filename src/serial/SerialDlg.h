#pragma once
// The operator's console for the module's RS-232 bridge: reads and writes
// the port's line settings, sends a typed message, fetches what the module
// has received and shows it as text or as a hexadecimal dump.

#include <QByteArray>
#include <QString>
#include <cstdint>

#include "module/ModuleDlg.h"

class QComboBox;
class QPushButton;

class CSerialDlg : public CModuleDlg {
    Q_OBJECT
public:
    explicit CSerialDlg(const SubWindowArgs& args, QWidget* parent = nullptr);

    bool OnInitDialog() override;

    void OnGetSettings();
    void OnSetSettings();
    void OnSendMessage();
    void OnGetMessage();
    void OnFlushPort();
    void OnHexView();

    // Everything received since the last "Self Clear", byte for byte.
    const QByteArray& ReceivedBytes() const { return m_rxBytes; }

protected:
    void DoDataExchange(CDataExchange& dx) override;

private:
    // m_rxText from the received bytes, as text or as a dump.
    void ShowReceiveAs(int hexView);
    // The selected list index of a combo box, or -1.
    static int SelectedIndex(const QComboBox* combo);
    bool RefuseMessageText();

    QPushButton* m_getMessageButton = nullptr;
    QComboBox* m_parityCombo = nullptr;
    QComboBox* m_flowCombo = nullptr;
    QComboBox* m_baudCombo = nullptr;
    uint32_t m_rxTimeout = 0;
    QString m_txText;
    QString m_rxText;
    int m_hexView = 0;
    int m_selfClear = 0;
    int m_autoGet = 0;
    QByteArray m_rxBytes;
};
