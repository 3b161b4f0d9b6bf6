#pragma once
// The progress bar of a MAC table walk: made over the strip just above the
// status line when the walk starts, removed when it ends (on every path).
// The walk runs inside one handler without the event loop, so the bar and
// the status line are painted at once whenever the bar's fill moves.

#include <QPointer>

class QProgressBar;
class QWidget;

class CMacWalkProgress {
public:
    CMacWalkProgress(QWidget* dialog, QWidget* statusLine, int id, int range);
    ~CMacWalkProgress();
    CMacWalkProgress(const CMacWalkProgress&) = delete;
    CMacWalkProgress& operator=(const CMacWalkProgress&) = delete;

    void SetPos(int position);

private:
    int FilledPixels(int position) const;

    QPointer<QProgressBar> m_bar;
    QPointer<QWidget> m_statusLine;
    int m_range;
    int m_painted = -1;  // filled width last painted
};
