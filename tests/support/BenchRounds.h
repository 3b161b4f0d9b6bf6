#pragma once
// What the benchmarks share: the subject and its references timed in
// interleaved rounds, so that a machine busy with other work slows them
// alike, and the best time of each kept; one action timed on its own with
// the longest stall of the event loop while it ran; and the application's
// start-up before a window of it is timed.

#include <QApplication>
#include <QElapsedTimer>
#include <algorithm>
#include <functional>
#include <memory>
#include <vector>

#include "support/MainWindowFixture.h"
#include "support/StallProbe.h"

namespace bench {

// A run returns the seconds it took.
using Timed = std::function<double()>;

// Each of `runs` once per round, in order, for `rounds` rounds; the best
// seconds of each, in the order of `runs`.
inline std::vector<double> BestOfInterleaved(int rounds, const std::vector<Timed>& runs)
{
    std::vector<double> best(runs.size(), 1e9);
    for (int round = 0; round < rounds; ++round)
        for (size_t i = 0; i < runs.size(); ++i)
            best[i] = std::min(best[i], runs[i]());
    return best;
}

// The time an action took and the longest stall of the event loop while it
// ran (the events it left behind included).
struct Action {
    double seconds = 0;
    qint64 stallMs = 0;
};

inline Action Measure(const std::function<void()>& action)
{
    const StallProbe probe;
    QElapsedTimer timer;
    timer.start();
    action();
    QCoreApplication::processEvents();
    return Action {timer.nsecsElapsed() / 1e9, probe.LongestMs()};
}

// What the application does before its event loop first runs: the main
// window made and shown, which loads the fonts and the style every later
// window uses. Returns the window; `seconds` is how long it took.
inline std::unique_ptr<CMainDlg> StartUp(const SimModule& sim, double& seconds)
{
    QElapsedTimer timer;
    timer.start();
    auto window = fixture::OpenMainWindow(sim);
    window->show();
    QApplication::processEvents();
    seconds = timer.nsecsElapsed() / 1e9;
    return window;
}

}  // namespace bench
