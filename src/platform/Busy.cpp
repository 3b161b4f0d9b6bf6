#include "platform/Busy.h"

#include <QCoreApplication>
#include <QEvent>
#include <QEventLoop>
#include <QKeyEvent>
#include <QTimer>
#include <QWidget>
#include <vector>

#include "base/BusyHooks.h"

namespace {

struct HandlerState {
    QPointer<QWidget> window;
    bool cancelled = false;
    bool waited = false;  // the first wait started the Cancel timer and the busy cursor
    bool cancelShown = false;
    std::vector<QPointer<QWidget>> cancelControls;
    CBusy::CancelledBatch lastCancelled;
};

std::vector<HandlerState>& Handlers()
{
    static std::vector<HandlerState> handlers;
    return handlers;
}

HandlerState* Current() { return Handlers().empty() ? nullptr : &Handlers().back(); }

int g_waitDepth = 0;

bool IsUserInput(QEvent::Type type)
{
    switch (type) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::Wheel:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::ShortcutOverride:
    case QEvent::Shortcut:
    case QEvent::ContextMenu:
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate:
    case QEvent::TouchEnd:
    case QEvent::TabletPress:
    case QEvent::TabletRelease:
    case QEvent::Close: return true;
    default: return false;
    }
}

bool IsWithin(const QObject* watched, const QWidget* control)
{
    const auto* widget = qobject_cast<const QWidget*>(watched);
    return widget && control && (widget == control || control->isAncestorOf(widget));
}

// The Cancel button itself takes its clicks as usual; a named control is only
// watched for the click that stops the handler.
enum class Role { Blocked, CancelButton, CancelControl };

Role RoleOf(const QObject* watched)
{
    const HandlerState* state = Current();
    if (!state)
        return Role::Blocked;
    for (const QPointer<QWidget>& control : state->cancelControls) {
        if (IsWithin(watched, control))
            return Role::CancelControl;
    }
    const auto* widget = qobject_cast<const QWidget*>(watched);
    if (widget && widget->property("kalvorCancelButton").toBool() && widget->window() == state->window)
        return Role::CancelButton;
    return Role::Blocked;
}

bool IsBusyWindow(const QObject* watched)
{
    const HandlerState* state = Current();
    return state && state->window && watched == state->window.data();
}

// Keys in the busy window: Escape cancels wherever the focus is; Space and
// Enter cancel on a control that cancels; Tab and Shift+Tab move the focus
// between the controls that cancel (the Cancel button once it shows).
enum class KeyAction { Cancel, CancelOnControl, FocusNext, FocusPrevious };

struct KeyRule {
    int key;
    KeyAction action;
};

constexpr KeyRule kKeyRules[] = {
    {Qt::Key_Escape, KeyAction::Cancel},
    {Qt::Key_Space, KeyAction::CancelOnControl},
    {Qt::Key_Return, KeyAction::CancelOnControl},
    {Qt::Key_Enter, KeyAction::CancelOnControl},
    {Qt::Key_Tab, KeyAction::FocusNext},
    {Qt::Key_Backtab, KeyAction::FocusPrevious},
};

bool TakesCancelFocus(const QWidget* widget)
{
    return widget->isVisible() && widget->isEnabled() && (widget->focusPolicy() & Qt::TabFocus)
        && RoleOf(widget) != Role::Blocked;
}

// The next control that cancels in the window's focus chain, from `from` on.
void MoveCancelFocus(QWidget* from, bool forward)
{
    for (QWidget* next = forward ? from->nextInFocusChain() : from->previousInFocusChain(); next && next != from;
         next = forward ? next->nextInFocusChain() : next->previousInFocusChain()) {
        if (next->window() == from->window() && TakesCancelFocus(next)) {
            next->setFocus(forward ? Qt::TabFocusReason : Qt::BacktabFocusReason);
            return;
        }
    }
}

void OnKeyPress(QWidget* widget, int key)
{
    if (!IsBusyWindow(widget->window()))
        return;
    for (const KeyRule& rule : kKeyRules) {
        if (rule.key != key)
            continue;
        switch (rule.action) {
        case KeyAction::Cancel: CBusy::Cancel(); break;
        case KeyAction::CancelOnControl:
            if (RoleOf(widget) != Role::Blocked)
                CBusy::Cancel();
            break;
        case KeyAction::FocusNext: MoveCancelFocus(widget, true); break;
        case KeyAction::FocusPrevious: MoveCancelFocus(widget, false); break;
        }
    }
}

void StartWaitingLook(HandlerState& state)
{
    if (state.waited)
        return;
    state.waited = true;
    if (state.window)
        state.window->setCursor(Qt::BusyCursor);
    const QPointer<QWidget> window = state.window;
    const size_t depth = Handlers().size();
    QTimer::singleShot(CBusy::kCancelDelayMs, &CBusy::Instance(), [window, depth] {
        HandlerState* now = Current();
        if (!window || Handlers().size() != depth || now->window != window || now->cancelShown)
            return;
        now->cancelShown = true;
        emit CBusy::Instance().cancelShown(window, true);
    });
}

}  // namespace

CBusy& CBusy::Instance()
{
    static CBusy* instance = new CBusy;  // lives as long as the program
    return *instance;
}

CBusy::Scope::Scope(QWidget* window)
{
    HandlerState state;
    state.window = window;
    Handlers().push_back(state);
}

CBusy::Scope::~Scope()
{
    const HandlerState ended = Handlers().back();
    Handlers().pop_back();
    if (!ended.window)
        return;
    if (ended.waited)
        ended.window->unsetCursor();
    if (ended.cancelShown)
        emit Instance().cancelShown(ended.window, false);
}

bool CBusy::Cancelled() { return Current() && Current()->cancelled; }

void CBusy::Cancel()
{
    HandlerState* state = Current();
    if (!state || state->cancelled)
        return;
    state->cancelled = true;
    emit Instance().cancelRequested();
}

void CBusy::AddCancelControl(QWidget* control)
{
    if (HandlerState* state = Current())
        state->cancelControls.emplace_back(control);
}

void CBusy::Wait(QEventLoop& loop)
{
    if (HandlerState* state = Current())
        StartWaitingLook(*state);
    QCoreApplication* app = QCoreApplication::instance();
    if (g_waitDepth++ == 0 && app)
        app->installEventFilter(&Instance());
    const QMetaObject::Connection cancel = connect(&Instance(), &CBusy::cancelRequested, &loop, &QEventLoop::quit);
    loop.exec();
    disconnect(cancel);
    if (--g_waitDepth == 0 && app)
        app->removeEventFilter(&Instance());
}

void CBusy::NoteWaitingFor(const QString& host)
{
    if (const HandlerState* state = Current(); state && state->window)
        emit Instance().waitingFor(state->window, host);
}

void CBusy::NoteCancelled(const CancelledBatch& batch)
{
    if (HandlerState* state = Current())
        state->lastCancelled = batch;
}

CBusy::CancelledBatch CBusy::LastCancelled() { return Current() ? Current()->lastCancelled : CancelledBatch {}; }

// Input during a wait: dropped, except what cancels. Keys are handled on
// their way in (see OnKeyPress); the close box of the busy window cancels,
// that of any other window does nothing.
bool CBusy::eventFilter(QObject* watched, QEvent* event)
{
    if (!IsUserInput(event->type()) || !watched->isWidgetType())
        return false;
    auto* widget = static_cast<QWidget*>(watched);
    if (event->type() == QEvent::KeyPress) {
        OnKeyPress(widget, static_cast<QKeyEvent*>(event)->key());
        return true;
    }
    switch (RoleOf(watched)) {
    case Role::CancelButton: return false;
    case Role::CancelControl:
        if (event->type() == QEvent::MouseButtonRelease)
            Cancel();
        return true;
    case Role::Blocked: break;
    }
    if (event->type() == QEvent::Close) {
        event->ignore();
        if (IsBusyWindow(watched))
            Cancel();
    }
    return true;
}

// Every wait of the layers below the windows (a Get or Set, a pause) goes
// through this busy state in any program that has windows, that is, links
// this file.
namespace {
[[maybe_unused]] const bool g_hooksInstalled = [] {
    InstallBusyHooks({
        &CBusy::Cancelled,
        [](bool write, int done, int total) {
            CBusy::NoteCancelled({write, done, total});
        },
        &CBusy::NoteWaitingFor,
        &CBusy::Wait,
    });
    return true;
}();
}  // namespace
