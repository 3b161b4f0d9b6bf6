#include "res/SerialDlgTemplate.h"

#include "platform/Dialog.h"
#include "res/SerialDlgIds.h"

// "Send/Receive serial data" on the left: the message, its send row, the
// receive area and its fetch row. "Port Settings" on the right: three lists,
// the receive timeout and the three port buttons. The status line below.

namespace {

constexpr int kWidth = 312;
constexpr int kHeight = 156 + kStatusLineCy + 5;

// Left group.
constexpr int kDataGroupX = 6;
constexpr int kDataGroupCx = 184;
constexpr int kDataX = 12;
constexpr int kDataCx = 172;
constexpr int kMessageY = 17;
constexpr int kMessageCy = 30;
constexpr int kSendRow = 50;
constexpr int kReceiveY = 68;
constexpr int kReceiveCy = 62;
constexpr int kGetRow = 133;
constexpr int kDataButtonCx = 60;
constexpr int kDataButtonX = kDataX + kDataCx - kDataButtonCx;

// Right group.
constexpr int kPortGroupX = 196;
constexpr int kPortGroupCx = kWidth - 6 - kPortGroupX;
constexpr int kLabelX = 202;
constexpr int kLabelCx = 40;
constexpr int kFieldX = 244;
constexpr int kFieldCx = 56;
constexpr int Row(int line) { return 17 + 16 * line; }
constexpr int kPortButtonX = kLabelX;
constexpr int kPortButtonCx = kFieldX + kFieldCx - kLabelX;

constexpr int kGroupY = 4;
constexpr int kGroupCy = 148;
constexpr int kButtonCy = 14;
constexpr int kCheckCy = 10;
constexpr int kListHeight = 88;  // a combo's drop-down list
constexpr int kStatusY = 156;

constexpr unsigned kMessageStyle = ES_MULTILINE | ES_WANTRETURN | WS_VSCROLL;
constexpr unsigned kReceiveStyle = ES_MULTILINE | ES_READONLY | WS_VSCROLL;

const DialogTemplate kSerialDlg {
    IDD_SERIAL,
    "RS-232 serial port bridge",
    kWidth,
    kHeight,
    {
        {IDC_STATIC, ControlKind::GroupBox, "Send/Receive serial data", kDataGroupX, kGroupY, kDataGroupCx, kGroupCy},
        {IDC_SERIAL_MESSAGE, ControlKind::Edit, "", kDataX, kMessageY, kDataCx, kMessageCy, kMessageStyle, 64},
        {IDC_SERIAL_AUTO_GET, ControlKind::CheckBox, "Auto Get after Send", kDataX, kSendRow + 2, 90, kCheckCy},
        {IDC_SERIAL_SEND, ControlKind::PushButton, "Send Message", kDataButtonX, kSendRow, kDataButtonCx, kButtonCy},
        {IDC_SERIAL_RECEIVED, ControlKind::Edit, "", kDataX, kReceiveY, kDataCx, kReceiveCy, kReceiveStyle},
        {IDC_SERIAL_SELF_CLEAR, ControlKind::CheckBox, "Self Clear", kDataX, kGetRow + 2, 56, kCheckCy},
        {IDC_SERIAL_HEX_VIEW, ControlKind::CheckBox, "HEX view", kDataX + 58, kGetRow + 2, 54, kCheckCy},
        {IDC_SERIAL_GET_MESSAGE, ControlKind::PushButton, "Get Message", kDataButtonX, kGetRow, kDataButtonCx,
            kButtonCy},

        {IDC_STATIC, ControlKind::GroupBox, "Port Settings", kPortGroupX, kGroupY, kPortGroupCx, kGroupCy},
        {IDC_STATIC, ControlKind::Static, "Baud rate", kLabelX, Row(0) + 2, kLabelCx, 9},
        {IDC_SERIAL_BAUD, ControlKind::ComboDropDown, "", kFieldX, Row(0), kFieldCx, 12, WS_NONE, kListHeight},
        {IDC_STATIC, ControlKind::Static, "Parity", kLabelX, Row(1) + 2, kLabelCx, 9},
        {IDC_SERIAL_PARITY, ControlKind::ComboDropDown, "", kFieldX, Row(1), kFieldCx, 12, WS_NONE, kListHeight},
        {IDC_STATIC, ControlKind::Static, "Flow Ctrl", kLabelX, Row(2) + 2, kLabelCx, 9},
        {IDC_SERIAL_FLOW, ControlKind::ComboDropDown, "", kFieldX, Row(2), kFieldCx, 12, WS_DISABLED, kListHeight},
        {IDC_STATIC, ControlKind::Static, "Receive Timeout", kLabelX, Row(3) + 2, 72, 9},
        {IDC_SERIAL_TIMEOUT, ControlKind::Edit, "", kLabelX + 4, Row(4), 22, 12},
        {IDC_STATIC, ControlKind::Static, " x250ms", kLabelX + 28, Row(4) + 2, 32, 9},
        {IDC_SERIAL_GET_SETTINGS, ControlKind::PushButton, "Get Settings", kPortButtonX, Row(5) + 3, kPortButtonCx,
            kButtonCy},
        {IDC_SERIAL_SET_SETTINGS, ControlKind::PushButton, "Set Settings", kPortButtonX, Row(6) + 3, kPortButtonCx,
            kButtonCy},
        {IDC_SERIAL_FLUSH, ControlKind::PushButton, "Re-initialize Port (Flush)", kPortButtonX, Row(7) + 3,
            kPortButtonCx, kButtonCy},

        {IDC_STATUS, ControlKind::StatusLine, "", kDataGroupX, kStatusY, kWidth - 2 * kDataGroupX, kStatusLineCy},
    },
};

}  // namespace

const DialogTemplate& SerialDlgTemplate() { return kSerialDlg; }
