#pragma once
// Base of every window that talks to the module. It holds the module address
// and the two community strings the window was given, and runs a batch with
// the status steps every handler shares:
//   "Connecting to target host ..." (or a variant) before the exchange, and
//   "SNMP Error: Unable to connect to target host! (Error code %d)" (or a
//   variant) when the exchange fails.
// It also carries the rule that a handler stops when a field it needs failed
// its check: nothing is sent, and the status line says so.
//
// While one of its handlers waits for the module the window shows a "Cancel"
// button beside the status line (after 400 ms) and, when an answer is slow in
// coming, "Waiting for HOST ... (Cancel to stop)"; a cancelled batch shows
// what it did ("Cancelled: nothing was read.", "Cancelled: 3 of 7 values were
// written.").

#include <QByteArray>
#include <QString>
#include <cstdint>
#include <functional>
#include <memory>

#include "module/SubWindows.h"
#include "platform/Dialog.h"
#include "snmp/SnmpRequest.h"

class QPushButton;

enum class Community { ReadOnly, ReadWrite };

// Status texts of one exchange; `error` holds %1 for the code.
struct ExchangeTexts {
    const char* connecting;
    const char* error;
};
extern const ExchangeTexts kPlainExchange;  // "Connecting to target host ...", "SNMP Error: ... (Error code %1)"

class CModuleDlg : public CDialog {
    Q_OBJECT
public:
    CModuleDlg(const DialogTemplate& tpl, const SubWindowArgs& access, QWidget* parent = nullptr);

    // What the window was given.
    const QString& ModuleIp() const { return m_moduleIp; }
    const QString& RwCommunity() const { return m_rwCommunity; }
    const QString& RoCommunity() const { return m_roCommunity; }

protected:
    // A batch for the module address and one community string.
    std::unique_ptr<CSnmpRequest> NewRequest(Community community, uint32_t capacity) const;
    // Status "connecting", the exchange, and on a negative code the error
    // text; returns the code.
    int RunGet(CSnmpRequest& request, const ExchangeTexts& texts = kPlainExchange);
    int RunSet(CSnmpRequest& request, const ExchangeTexts& texts = kPlainExchange);
    void ShowSnmpError(int code, const ExchangeTexts& texts = kPlainExchange);
    // The status text of the batch that the operator cancelled last.
    static QString CancelledText();
    // Runs a chain of batches in callback form (src/fleet) as if it blocked:
    // `start` starts it and hands its end to the call it is given; meanwhile
    // the window is busy with Cancel. A cancel stops the chain at once with
    // `cancel`, which may still end it from within. A handler cancelled
    // before starts nothing and returns false.
    static bool RunChain(
        const std::function<void(std::function<void()> ended)>& start, const std::function<void()>& cancel);

    // Takes the fields. When one fails (its message was shown) the handler
    // must stop: the status line says "Nothing sent: correct the marked field
    // first." and the typed text stays for correction. Returns true when
    // every field was taken.
    bool TakeFields();
    // Says that nothing was sent because of the failed field.
    void RefuseBadField();

    // False (and the status line says why) when a field of the IP address
    // control `id` is blank.
    bool CheckIpComplete(int id);

    // The module address to talk to (a window's own, or the main window's
    // control) and whether it is a complete address.
    virtual QString ModuleAddress() const { return m_moduleIp; }

    QString m_moduleIp;
    QString m_rwCommunity;
    QString m_roCommunity;

private:
    int Run(CSnmpRequest& request, bool set, const ExchangeTexts& texts);
    void ShowCancelButton(bool shown);
    void ShowWaitingFor(const QString& host);

    QPushButton* m_cancelButton = nullptr;
    int m_statusWidth = -1;  // of the status line while the Cancel button sits beside it
    QString m_statusBeforeWaiting;
};

// Text sent to the module must be 8-bit: true when every character of
// `text` is Latin-1.
bool IsLatin1(const QString& text);
