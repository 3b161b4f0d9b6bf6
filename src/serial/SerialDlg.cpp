#include "serial/SerialDlg.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QPushButton>

#include "platform/ControlText.h"
#include "platform/DataExchange.h"
#include "platform/UiSeam.h"
#include "res/SerialDlgIds.h"
#include "res/SerialDlgTemplate.h"
#include "serial/SerialText.h"
#include "settings/SerialSettings.h"
#include "settings/SettingVars.h"
#include "snmp/ModuleObjects.h"

namespace {

constexpr const char* kSettingsRead = "Connection established! SNMP data received. Port settings updated.";
constexpr const char* kSettingsWritten = "Connection established! RS-232 parameters changed.";
constexpr const char* kMessageSent = "Connection established! Message has been send sucessfully.";
constexpr const char* kBufferRead = "Connection established! Message buffer retrieved.";
constexpr const char* kBufferEmpty = "Receive buffer is empty!";
constexpr const char* kNoOctetString = "The module's receive buffer holds no octet string: nothing received.";
constexpr const char* kFlushed = "Connection established! Serial port re-initialized; buffers flushed!";
constexpr const char* kNotLatin1
    = "The message holds characters that the serial port cannot carry. Use Latin-1 characters only.";
constexpr int kMessageLimit = 64;

void Fill(QComboBox* combo, const QStringList& items)
{
    combo->clear();
    combo->addItems(items);
    combo->setCurrentIndex(-1);
}

void Select(QComboBox* combo, int index) { combo->setCurrentIndex(index >= 0 && index < combo->count() ? index : -1); }

}  // namespace

CSerialDlg::CSerialDlg(const SubWindowArgs& args, QWidget* parent) : CModuleDlg(SerialDlgTemplate(), args, parent)
{
    m_getMessageButton = Item<QPushButton>(IDC_SERIAL_GET_MESSAGE);
    m_parityCombo = Item<QComboBox>(IDC_SERIAL_PARITY);
    m_flowCombo = Item<QComboBox>(IDC_SERIAL_FLOW);
    m_baudCombo = Item<QComboBox>(IDC_SERIAL_BAUD);
    OnCommand(IDC_SERIAL_GET_SETTINGS, [this] { OnGetSettings(); });
    OnCommand(IDC_SERIAL_SET_SETTINGS, [this] { OnSetSettings(); });
    OnCommand(IDC_SERIAL_SEND, [this] { OnSendMessage(); });
    OnCommand(IDC_SERIAL_GET_MESSAGE, [this] { OnGetMessage(); });
    OnCommand(IDC_SERIAL_FLUSH, [this] { OnFlushPort(); });
    OnCommand(IDC_SERIAL_HEX_VIEW, [this] { OnHexView(); });
}

void CSerialDlg::DoDataExchange(CDataExchange& dx)
{
    DDX_Text(dx, IDC_SERIAL_TIMEOUT, m_rxTimeout);
    DDV_MinMaxUInt(dx, m_rxTimeout, 0, SerialSettings::kMaxTimeout);
    DDX_Text(dx, IDC_STATUS, m_status);
    DDX_Text(dx, IDC_SERIAL_MESSAGE, m_txText);
    DDV_MaxChars(dx, m_txText, kMessageLimit);
    DDX_Text(dx, IDC_SERIAL_RECEIVED, m_rxText);
    DDX_Check(dx, IDC_SERIAL_HEX_VIEW, m_hexView);
    DDX_Check(dx, IDC_SERIAL_SELF_CLEAR, m_selfClear);
    DDX_Check(dx, IDC_SERIAL_AUTO_GET, m_autoGet);
}

bool CSerialDlg::OnInitDialog()
{
    CModuleDlg::OnInitDialog();
    Fill(m_baudCombo, BaudRateItems());
    Fill(m_parityCombo, ParityItems());
    Fill(m_flowCombo, FlowControlItems());
    OnGetSettings();
    return true;
}

int CSerialDlg::SelectedIndex(const QComboBox* combo)
{
    // What the field shows decides: a text typed over the list that is no
    // item of it is no selection.
    const int index = combo->findText(combo->currentText(), Qt::MatchExactly);
    return index;
}

void CSerialDlg::ShowReceiveAs(int hexView)
{
    m_rxText = hexView == 1 ? ToHexDump(m_rxBytes) : ReceiveViewText(m_rxBytes);
}

void CSerialDlg::OnGetSettings()
{
    const std::vector<std::string>& objects = SerialSettings::ReadObjects();
    auto request = NewRequest(Community::ReadOnly, static_cast<uint32_t>(objects.size()));
    AddReads(*request, objects);
    if (RunGet(*request) < 0)
        return;
    m_status = QString::fromLatin1(kSettingsRead);
    const SerialLine line = SerialSettings::FromReads(*request);
    Select(m_baudCombo, line.baud);
    Select(m_parityCombo, line.parity);
    Select(m_flowCombo, line.flow);
    m_rxTimeout = line.timeout;
    SetStatus(m_status);
}

void CSerialDlg::OnSetSettings()
{
    if (!TakeFields())
        return;
    ShowReceiveAs(m_hexView);
    const std::vector<SnmpVarSpec> writes
        = SerialSettings::Writes(SelectedIndex(m_baudCombo), SelectedIndex(m_parityCombo), m_rxTimeout);
    auto request = NewRequest(Community::ReadWrite, static_cast<uint32_t>(writes.size()));
    AddWrites(*request, writes);
    if (RunSet(*request) < 0)
        return;
    SetStatus(QString::fromLatin1(kSettingsWritten));
}

bool CSerialDlg::RefuseMessageText()
{
    AfxMessageBox(QString::fromLatin1(kNotLatin1), MB_OK | MB_ICONSTOP);
    FocusForCorrection(GetDlgItem(IDC_SERIAL_MESSAGE));
    RefuseBadField();
    return false;
}

void CSerialDlg::OnSendMessage()
{
    if (!TakeFields())
        return;
    ShowReceiveAs(m_hexView);
    QByteArray message;
    if (!MessageBytes(m_txText, message)) {
        RefuseMessageText();
        return;
    }
    auto request = NewRequest(Community::ReadWrite, 1);
    request->AddVar(Oid::kSerialTransmit, message.constData(), 's');
    if (RunSet(*request) < 0)
        return;
    SetStatus(QString::fromLatin1(kMessageSent));
    if (m_autoGet == 1)
        OnGetMessage();
}

void CSerialDlg::OnGetMessage()
{
    if (!TakeFields())
        return;
    ShowReceiveAs(m_hexView);
    auto request = NewRequest(Community::ReadOnly, 1);
    request->AddVar(Oid::kSerialReceive, "", 0);
    if (RunGet(*request) >= 0) {
        SetStatus(QString::fromLatin1(kBufferRead));
        const ReceivedData data = DecodeReceived(QByteArray(request->GetText(0)));
        switch (data.form) {
        case ReceivedData::Bytes:
            if (m_selfClear == 1)
                m_rxBytes = data.bytes;
            else
                m_rxBytes += data.bytes;
            break;
        case ReceivedData::BadHexDump: break;
        case ReceivedData::Empty: m_status = QString::fromLatin1(kBufferEmpty); break;
        case ReceivedData::NoOctetString: m_status = QString::fromLatin1(kNoOctetString); break;
        }
    }
    ShowReceiveAs(m_hexView);
    UpdateData(false);
    if (QWidget* statusLine = GetDlgItem(IDC_STATUS))
        statusLine->repaint();
}

void CSerialDlg::OnFlushPort()
{
    auto request = NewRequest(Community::ReadOnly, 1);
    request->AddVar(Oid::kSerialFlush, "", 0);
    if (RunGet(*request) < 0)
        return;
    SetStatus(QString::fromLatin1(kFlushed));
}

// The conversion follows the check box whatever the other fields hold; only
// the receive area changes, so text typed elsewhere stays as it is.
void CSerialDlg::OnHexView()
{
    if (auto* box = Item<QAbstractButton>(IDC_SERIAL_HEX_VIEW))
        m_hexView = box->isChecked() ? 1 : 0;
    ShowReceiveAs(m_hexView);
    SetControlText(GetDlgItem(IDC_SERIAL_RECEIVED), m_rxText);
}
