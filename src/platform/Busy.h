#pragma once
// The busy state of the one handler that is talking to the module.
//
// Handlers read as if they blocked: a Get, a Set or a pause waits in a local
// event loop (Busy::Wait) until it is done. While such a wait runs every
// window repaints and can be moved, but user input to every window is
// dropped, except the busy window's cancel controls: its Cancel button (shown
// once the handler has waited 400 ms), its close box, and any control the
// handler names (AddCancelControl). Escape anywhere in the busy window
// cancels, and so do Space and Enter on a cancel control; Tab and Shift+Tab
// move the focus between its cancel controls. A cancel ends the running wait
// at once, and every later exchange or pause of the same handler returns at
// once without sending anything.
//
// CDialog opens a scope around every handler it dispatches; the innermost
// open scope is the busy one.

#include <QObject>
#include <QPointer>
#include <QString>

class QEventLoop;
class QWidget;

class CBusy : public QObject {
    Q_OBJECT
public:
    static CBusy& Instance();

    // What a cancelled batch had done, for the window's status line.
    struct CancelledBatch {
        bool write = false;
        int done = 0;  // variables answered before the cancel
        int total = 0;
    };

    // A handler of `window` runs for as long as the scope lives.
    class Scope {
    public:
        explicit Scope(QWidget* window);
        ~Scope();
        Scope(const Scope&) = delete;
        Scope& operator=(const Scope&) = delete;
    };

    static bool Cancelled();
    // Cancels the busy handler's exchanges; nothing when no handler waits.
    static void Cancel();
    // A control that stops the busy handler when clicked (the button that
    // started a long walk, say); forgotten when the handler ends.
    static void AddCancelControl(QWidget* control);
    // Runs `loop` until it quits, with input blocked as described above.
    static void Wait(QEventLoop& loop);

    // The busy batch has had no answer for a while (empty host: the answer
    // came at last).
    static void NoteWaitingFor(const QString& host);
    static void NoteCancelled(const CancelledBatch& batch);
    static CancelledBatch LastCancelled();

    static constexpr int kCancelDelayMs = 400;

signals:
    // Every wait of the busy handler ends at once.
    void cancelRequested();
    // The Cancel control of `window` shows (after kCancelDelayMs of waiting)
    // or hides (when the handler ends).
    void cancelShown(QWidget* window, bool shown);
    void waitingFor(QWidget* window, const QString& host);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    CBusy() = default;
};
