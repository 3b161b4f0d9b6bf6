#pragma once
// How a waiting form (a Get or Set that reads as if it blocked, a pause)
// reaches the busy state of the program without knowing about windows.
//
// The windows' busy state (platform/Busy.h) installs its own table, which
// blocks input while a wait runs and lets the operator cancel. Without it a
// wait simply runs its loop, nothing is ever cancelled and nothing is noted:
// what a program without windows needs.

class QEventLoop;
class QString;

struct BusyHooks {
    // Whether the waiting handler was cancelled: it sends nothing more.
    bool (*cancelled)();
    // A batch ended by a cancel after `done` of its `total` variables
    // (`write`: a SET).
    void (*noteCancelled)(bool write, int done, int total);
    // The batch has had no answer from `host` for a while (empty: the answer
    // came at last).
    void (*noteWaitingFor)(const QString& host);
    // Runs `loop` until it quits (or the handler is cancelled).
    void (*wait)(QEventLoop& loop);
};

const BusyHooks& CurrentBusyHooks();
// Every entry must be set.
void InstallBusyHooks(const BusyHooks& hooks);
