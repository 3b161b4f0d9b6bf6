#include "platform/Dialog.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QFocusEvent>
#include <QLineEdit>
#include <QScrollArea>
#include <QScrollBar>
#include <QStyle>
#include <QVBoxLayout>
#include <QWindow>
#include <algorithm>

#include "platform/Busy.h"
#include "platform/ControlText.h"
#include "platform/DataExchange.h"
#include "platform/DialogBuilder.h"
#include "platform/IpAddressCtrl.h"
#include "platform/LimitedTextEdit.h"
#include "platform/ReportList.h"
#include "platform/ScreenAreas.h"
#include "platform/TabBar.h"
#include "platform/WindowPlaceKeeper.h"

namespace {

Qt::WindowFlags FrameFlags(const DialogTemplate& tpl)
{
    Qt::WindowFlags flags = Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
        | Qt::WindowCloseButtonHint;
    if (tpl.minimizeBox)
        flags |= Qt::WindowMinimizeButtonHint;
    return flags;
}

int ControlId(const QWidget* control) { return control->objectName().toInt(); }

// The window's contents size for a page in `room`: the whole page when it
// fits, else the room, each scroll bar taking its width from the other
// direction (so a bar one way can make the other one needed too).
QSize FittedSize(const QSize& page, const QSize& room, int bar)
{
    bool across = false;
    bool down = false;
    for (;;) {
        const bool needAcross = page.width() + (down ? bar : 0) > room.width();
        const bool needDown = page.height() + (needAcross ? bar : 0) > room.height();
        if (needAcross == across && needDown == down)
            break;
        across = needAcross;
        down = needDown;
    }
    return QSize(std::min(page.width() + (down ? bar : 0), room.width()),
        std::min(page.height() + (across ? bar : 0), room.height()));
}

// Counts a field exchange for as long as it runs.
class ExchangeScope {
public:
    explicit ExchangeScope(int& depth) : m_depth(depth) { ++m_depth; }
    ~ExchangeScope() { --m_depth; }
    ExchangeScope(const ExchangeScope&) = delete;
    ExchangeScope& operator=(const ExchangeScope&) = delete;

private:
    int& m_depth;
};

}  // namespace

CDialog::CDialog(const DialogTemplate& tpl, QWidget* parent)
    : QDialog(parent, FrameFlags(tpl)), m_templateId(tpl.id), m_scroll(new QScrollArea(this)), m_page(new QWidget(this))
{
    setWindowTitle(QString::fromLatin1(tpl.caption ? tpl.caption : ""));
    BuildDialog(m_page, tpl);
    m_scroll->setFrameShape(QFrame::NoFrame);
    m_scroll->setFocusPolicy(Qt::NoFocus);
    m_scroll->setWidget(m_page);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_scroll);
    setFixedSize(m_page->size());
    new CWindowPlaceKeeper(this, tpl.id);
    IndexControls();
    WireNotifications();
}

// The controls go first, while the handler tables still exist, and without
// dispatching what their destruction raises (focus leaving them).
CDialog::~CDialog()
{
    m_tearingDown = true;
    const QList<QWidget*> controls = findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly);
    qDeleteAll(controls);
}

void CDialog::IndexControls()
{
    for (QWidget* control : m_page->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly)) {
        bool numeric = false;
        const int id = control->objectName().toInt(&numeric);
        if (numeric)
            m_items.emplace(id, control);  // keeps the first of equal ids
    }
}

// The modal run blocks only the dialog's owner: its parent, or else the window
// that was active when the run began. Other windows, such as the modeless
// windows opened beside the main window, stay usable.
int CDialog::DoModal()
{
    m_endedBeforeLoop = false;
    OnInitDialog();
    if (m_endedBeforeLoop)
        return m_endValue;
    setWindowModality(Qt::WindowModal);
    QWidget* owner = parentWidget() ? nullptr : QApplication::activeWindow();
    if (owner == this)
        owner = nullptr;
    if (owner) {
        // Window-modal to its transient parent: the owner takes no input and
        // the dialog stays above it.
        create();
        windowHandle()->setTransientParent(owner->windowHandle());
    }
    return exec();
}

bool CDialog::Create()
{
    setModal(false);
    OnInitDialog();
    return true;
}

void CDialog::EndDialog(int result)
{
    m_endValue = result;
    m_endedBeforeLoop = !isVisible();
    done(result);
}

QWidget* CDialog::GetDlgItem(int id) const
{
    const auto found = m_items.find(id);
    return found != m_items.end() ? found->second : nullptr;
}

CIPAddressCtrl* CDialog::IpCtrl(int id) const { return Item<CIPAddressCtrl>(id); }

// Until the window system reports the frame, it is taken as a title bar and a
// thin border.
void CDialog::FitToArea(const QRect& area)
{
    QMargins frame = windowHandle() ? windowHandle()->frameMargins() : QMargins();
    if (frame.isNull()) {
        const int border = style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, this);
        const int titleBar = style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, this);
        frame = QMargins(border, titleBar + border, border, border);
    }
    m_fittedFrame = frame;
    const int bar = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, m_scroll);
    setFixedSize(FittedSize(m_page->size(), area.size().shrunkBy(frame), bar));
}

void CDialog::FitToScreen()
{
    const QRect area = NearestScreenArea(ScreenAreas(), frameGeometry().center());
    if (!area.isEmpty())
        FitToArea(area);
}

void CDialog::setVisible(bool visible)
{
    if (visible && !isVisible()) {
        create();  // some window systems tell the frame from here on
        FitToScreen();
    }
    QDialog::setVisible(visible);
}

void CDialog::moveEvent(QMoveEvent* event)
{
    QDialog::moveEvent(event);
    const QWindow* window = windowHandle();
    if (isVisible() && window && !window->frameMargins().isNull() && window->frameMargins() != m_fittedFrame)
        FitToScreen();
}

bool CDialog::UpdateData(bool saveAndValidate)
{
    CDataExchange dx(this, saveAndValidate);
    const ExchangeScope scope(m_exchangeDepth);
    DoDataExchange(dx);
    if (saveAndValidate) {
        m_failedField = dx.FailedId();
        m_failedFieldTaken = dx.FailedValueTaken();
    }
    return !dx.Failed();
}

void CDialog::DoDataExchange(CDataExchange&) { }

bool CDialog::OnInitDialog()
{
    UpdateData(false);
    return true;
}

void CDialog::OnOK()
{
    if (UpdateData(true))
        EndDialog(IDOK);
}

void CDialog::OnCancel() { EndDialog(IDCANCEL); }

void CDialog::reject() { Dispatch(IDCANCEL, Notify::Clicked); }

void CDialog::accept() { Dispatch(IDOK, Notify::Clicked); }

void CDialog::SetStatus(const QString& text)
{
    m_status = text;
    UpdateData(false);
    if (QWidget* statusLine = GetDlgItem(IDC_STATUS))
        statusLine->repaint();
}

void CDialog::AppendStatus(const QString& text) { SetStatus(m_status + text); }

void CDialog::ShowStatusOnly(const QString& text)
{
    m_status = text;
    if (QWidget* statusLine = GetDlgItem(IDC_STATUS)) {
        SetControlText(statusLine, text);
        statusLine->repaint();
    }
}

void CDialog::SetButtonEnabled(int id, bool enable)
{
    if (QWidget* button = GetDlgItem(id)) {
        button->setEnabled(enable);
        button->update();
    }
}

void CDialog::SetReadOnly(int id, bool readOnly)
{
    QWidget* control = GetDlgItem(id);
    if (auto* edit = qobject_cast<QLineEdit*>(control))
        edit->setReadOnly(readOnly);
    if (auto* textEdit = qobject_cast<QPlainTextEdit*>(control))
        textEdit->setReadOnly(readOnly);
    if (auto* address = qobject_cast<CIPAddressCtrl*>(control))
        address->SetReadOnly(readOnly);
}

void CDialog::SetCaption(int id, const QString& text) { SetControlText(GetDlgItem(id), text); }

void CDialog::EnableControl(int id, bool enable)
{
    if (QWidget* control = GetDlgItem(id))
        control->setEnabled(enable);
}

QString CDialog::GetIpText(int id) const
{
    uint32_t address = 0;
    if (const CIPAddressCtrl* control = IpCtrl(id))
        control->GetAddress(address);
    return QString::asprintf("%d.%d.%d.%d", int(address >> 24), int((address >> 16) & 0xFF), int((address >> 8) & 0xFF),
        int(address & 0xFF));
}

void CDialog::SetIpFromResult(uint32_t value, int id)
{
    if (CIPAddressCtrl* control = IpCtrl(id)) {
        control->SetAddress(int(value & 0xFF), int((value >> 8) & 0xFF), int((value >> 16) & 0xFF), int(value >> 24));
    }
}

void CDialog::OnNotify(int id, Notify what, std::function<void()> handler)
{
    m_handlers[{id, what}] = std::move(handler);
}

void CDialog::OnTabChanging(int id, std::function<bool()> handler) { m_tabChanging[id] = std::move(handler); }

void CDialog::Dispatch(int id, Notify what)
{
    if (IsExchanging() || m_tearingDown)
        return;
    const CBusy::Scope busy(this);
    ++m_handlerDepth;
    const auto found = m_handlers.find({id, what});
    if (found != m_handlers.end()) {
        const std::function<void()> handler = found->second;  // the handler may replace itself
        handler();
    } else if (what == Notify::Clicked) {
        RunDefaultCommand(id);
    }
    --m_handlerDepth;
}

void CDialog::RunDefaultCommand(int id)
{
    static const std::map<int, void (CDialog::*)()> kDefaultCommands = {
        {IDOK, &CDialog::OnOK},
        {IDCANCEL, &CDialog::OnCancel},
    };
    const auto found = kDefaultCommands.find(id);
    if (found != kDefaultCommands.end())
        (this->*found->second)();
}

bool CDialog::AskTabChanging(int id)
{
    if (IsExchanging() || m_tearingDown)
        return true;
    Dispatch(id, Notify::SelChanging);
    const auto found = m_tabChanging.find(id);
    if (found == m_tabChanging.end())
        return true;
    const std::function<bool()> handler = found->second;
    return handler();
}

// Control signals become notifications. Signals that only the operator
// raises (clicked, textEdited, activated) are used wherever Qt has them.
void CDialog::WireNotifications()
{
    using Wiring = bool (CDialog::*)(int, QWidget*);
    static const Wiring kWirings[] = {
        &CDialog::WireButton,
        &CDialog::WireLineEdit,
        &CDialog::WireTextEdit,
        &CDialog::WireIpAddress,
        &CDialog::WireComboBox,
        &CDialog::WireReportList,
        &CDialog::WireTabBar,
    };
    for (const auto& [id, control] : m_items) {
        for (Wiring wire : kWirings) {
            if ((this->*wire)(id, control))
                break;
        }
    }
}

bool CDialog::WireButton(int id, QWidget* control)
{
    auto* button = qobject_cast<QAbstractButton*>(control);
    if (!button)
        return false;
    connect(button, &QAbstractButton::clicked, this, [this, id] { Dispatch(id, Notify::Clicked); });
    return true;
}

bool CDialog::WireLineEdit(int id, QWidget* control)
{
    auto* edit = qobject_cast<QLineEdit*>(control);
    if (!edit)
        return false;
    connect(edit, &QLineEdit::textEdited, this, [this, id] { Dispatch(id, Notify::Change); });
    WatchFocus(edit);
    return true;
}

bool CDialog::WireTextEdit(int id, QWidget* control)
{
    auto* edit = qobject_cast<CLimitedTextEdit*>(control);
    if (!edit)
        return false;
    connect(edit, &CLimitedTextEdit::userEdited, this, [this, id] { Dispatch(id, Notify::Change); });
    WatchFocus(edit);
    return true;
}

bool CDialog::WireIpAddress(int id, QWidget* control)
{
    auto* address = qobject_cast<CIPAddressCtrl*>(control);
    if (!address)
        return false;
    connect(address, &CIPAddressCtrl::fieldChanged, this, [this, id] { Dispatch(id, Notify::Change); });
    connect(address, &CIPAddressCtrl::focusLost, this, [this, id] { Dispatch(id, Notify::KillFocus); });
    return true;
}

bool CDialog::WireComboBox(int id, QWidget* control)
{
    auto* combo = qobject_cast<QComboBox*>(control);
    if (!combo)
        return false;
    connect(combo, &QComboBox::activated, this, [this, id] { Dispatch(id, Notify::SelChange); });
    WatchFocus(combo);
    if (QLineEdit* field = combo->lineEdit()) {
        connect(field, &QLineEdit::textEdited, this, [this, id] { Dispatch(id, Notify::Change); });
        WatchFocus(field);
    }
    return true;
}

bool CDialog::WireReportList(int id, QWidget* control)
{
    auto* list = qobject_cast<CReportList*>(control);
    if (!list)
        return false;
    connect(list, &QTreeWidget::itemSelectionChanged, this, [this, id] { Dispatch(id, Notify::SelChange); });
    connect(list, &QTreeWidget::itemDoubleClicked, this, [this, id] { Dispatch(id, Notify::DoubleClick); });
    list->SetReturnHandler([this, id] {
        if (m_handlers.count({id, Notify::Return}) == 0)
            return false;
        Dispatch(id, Notify::Return);
        return true;
    });
    return true;
}

bool CDialog::WireTabBar(int id, QWidget* control)
{
    auto* tabs = qobject_cast<CTabBar*>(control);
    if (!tabs)
        return false;
    tabs->SetChangingCheck([this, id] { return AskTabChanging(id); });
    connect(tabs, &CTabBar::userSelChanged, this, [this, id] { Dispatch(id, Notify::SelChange); });
    return true;
}

void CDialog::WatchFocus(QWidget* widget) { widget->installEventFilter(this); }

bool CDialog::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::FocusOut)
        NoticeFocusOut(watched, static_cast<QFocusEvent*>(event)->reason());
    return QDialog::eventFilter(watched, event);
}

// KillFocus when the focus leaves the control for good: not for a popup (the
// combo's list, a context menu) and not to another part of the same control.
void CDialog::NoticeFocusOut(QObject* watched, Qt::FocusReason reason)
{
    if (reason == Qt::PopupFocusReason || m_tearingDown)
        return;
    QWidget* control = qobject_cast<QWidget*>(watched);
    while (control && control->parentWidget() != m_page)
        control = control->parentWidget();
    if (!control)
        return;
    const QWidget* now = QApplication::focusWidget();
    if (now && (now == control || control->isAncestorOf(now)))
        return;
    Dispatch(ControlId(control), Notify::KillFocus);
}
