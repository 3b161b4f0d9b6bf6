#pragma once
// Dialog base of every window: built from a declarative template, controls
// found by numeric id, field exchange, handlers registered per control id and
// notification, and the status line (static 1005 bound to m_status).
//
// The controls lie on one page of the template's size inside a frameless
// scroll area that fills the window. A window that fits the screen's free area
// is exactly its page; a larger one shrinks to that area and scrolls, its
// controls keeping their places.

#include <QDialog>
#include <QMargins>
#include <QString>
#include <cstdint>
#include <functional>
#include <map>
#include <utility>

#include "platform/DialogTemplate.h"

class CDataExchange;
class CIPAddressCtrl;
class QScrollArea;

// Notifications a handler can be registered for.
enum class Notify {
    Clicked,  // push button, check box, radio button
    KillFocus,  // edit, IP address control, combo box lost the focus
    Change,  // edit text changed by the operator
    SelChange,  // combo box or list selection changed; tab changed
    SelChanging,  // tab about to change (before the new tab shows)
    DoubleClick,  // list item double-clicked
    Return,  // Enter on a list's current row (without a handler: the window's default button)
};

enum { IDC_STATUS = 1005 };

class CDialog : public QDialog {
    Q_OBJECT
public:
    explicit CDialog(const DialogTemplate& tpl, QWidget* parent = nullptr);
    ~CDialog() override;

    int TemplateId() const { return m_templateId; }

    // Runs OnInitDialog, then the modal loop; returns IDOK, IDCANCEL or the
    // value given to EndDialog.
    int DoModal();
    // Modeless: runs OnInitDialog; the caller shows the window.
    bool Create();
    void EndDialog(int result);

    QWidget* GetDlgItem(int id) const;
    template <class T> T* Item(int id) const { return qobject_cast<T*>(GetDlgItem(id)); }
    CIPAddressCtrl* IpCtrl(int id) const;
    // The widget the controls lie on, for anything placed among them.
    QWidget* Page() const { return m_page; }
    QScrollArea* ScrollArea() const { return m_scroll; }

    // Sizes the window to show its whole page, or as much as `area` (the free
    // part of a screen, frame included) holds, with scroll bars for the rest.
    // Done for the window's screen each time it is shown.
    void FitToArea(const QRect& area);
    void setVisible(bool visible) override;

    // true: take controls into members with validation (returns false when a
    // field failed); false: push members into controls.
    bool UpdateData(bool saveAndValidate = true);
    bool IsExchanging() const { return m_exchangeDepth > 0; }
    // True while one of the window's handlers runs (it may be waiting for
    // the module): the window must not be destroyed then.
    bool IsRunningHandler() const { return m_handlerDepth > 0; }
    // The field at which the last taking stopped (0: none failed), and whether
    // its value reached the member as typed (an out-of-range number, an
    // over-long text) rather than being left as it was.
    int FailedField() const { return m_failedField; }
    bool FailedFieldTaken() const { return m_failedFieldTaken; }

    // Status line helpers: replace (or append to) m_status, push all members,
    // and repaint the status line at once so it shows before a blocking call.
    void SetStatus(const QString& text);
    void AppendStatus(const QString& text);
    // Replaces the status line text without pushing the other members, so a
    // field that failed its check keeps what the operator typed.
    void ShowStatusOnly(const QString& text);
    QString StatusText() const { return m_status; }

    void SetButtonEnabled(int id, bool enable);
    void SetReadOnly(int id, bool readOnly);  // edits and IP address controls
    void SetCaption(int id, const QString& text);  // buttons, check boxes, statics
    void EnableControl(int id, bool enable);

    // "%d.%d.%d.%d" of the IP address control, blank fields as 0.
    QString GetIpText(int id) const;
    // Sets the control from an IpAddress result word (first octet in the least
    // significant byte).
    void SetIpFromResult(uint32_t value, int id);

    // Command handlers are dispatched only outside field exchange.
    void OnNotify(int id, Notify what, std::function<void()> handler);
    void OnCommand(int id, std::function<void()> handler) { OnNotify(id, Notify::Clicked, std::move(handler)); }
    // Tab "about to change" handler that may veto the change by returning false.
    void OnTabChanging(int id, std::function<bool()> handler);
    // Runs the handler registered for command `id` as a click would run it
    // (a menu entry's command): as the window's busy handler.
    void DispatchCommand(int id) { Dispatch(id, Notify::Clicked); }

    virtual bool OnInitDialog();
    virtual void OnOK();
    virtual void OnCancel();

protected:
    virtual void DoDataExchange(CDataExchange& dx);
    void reject() override;  // Esc and the close box go through OnCancel
    void accept() override;
    // Focus leaving an edit or combo box raises KillFocus.
    bool eventFilter(QObject* watched, QEvent* event) override;
    // Fits the window again once the window system reports another frame
    // than the one it was fitted with.
    void moveEvent(QMoveEvent* event) override;

    QString m_status;  // the status line text, for windows that have one

private:
    void IndexControls();
    void WireNotifications();
    // Each returns true when it recognised the control and connected it.
    bool WireButton(int id, QWidget* control);
    bool WireLineEdit(int id, QWidget* control);
    bool WireTextEdit(int id, QWidget* control);
    bool WireIpAddress(int id, QWidget* control);
    bool WireComboBox(int id, QWidget* control);
    bool WireReportList(int id, QWidget* control);
    bool WireTabBar(int id, QWidget* control);
    void WatchFocus(QWidget* widget);
    void NoticeFocusOut(QObject* watched, Qt::FocusReason reason);
    bool AskTabChanging(int id);
    void Dispatch(int id, Notify what);
    void RunDefaultCommand(int id);
    void FitToScreen();

    int m_templateId;
    QScrollArea* m_scroll;
    QWidget* m_page;
    QMargins m_fittedFrame;  // the frame the last fitting allowed for
    int m_exchangeDepth = 0;
    int m_handlerDepth = 0;
    int m_failedField = 0;
    bool m_failedFieldTaken = false;
    bool m_tearingDown = false;  // set by the destructor: nothing is dispatched any more
    bool m_endedBeforeLoop = false;
    int m_endValue = 0;
    std::map<int, QWidget*> m_items;  // first control of each id, in template order
    std::map<std::pair<int, Notify>, std::function<void()>> m_handlers;
    std::map<int, std::function<bool()>> m_tabChanging;
    friend class CDataExchange;
};
