#pragma once
// The progress bar of a MAC table walk: made over the strip just above the
// status line when the walk starts, removed when it ends (on every path).
// The walk runs inside one handler and waits for the module in the event
// loop; the bar and the result list are also painted at once whenever the
// bar's fill has moved or a row came in, at most every kPaintIntervalMs, so
// that they keep step with the walk.

#include <QElapsedTimer>
#include <QPointer>
#include <QString>

class QProgressBar;
class QWidget;

class CMacWalkProgress {
public:
    // `watched`: the status line, placed below the bar, and the list.
    CMacWalkProgress(QWidget* dialog, QWidget* statusLine, QWidget* list, int id, int range);
    ~CMacWalkProgress();
    CMacWalkProgress(const CMacWalkProgress&) = delete;
    CMacWalkProgress& operator=(const CMacWalkProgress&) = delete;

    void SetPos(int position);
    // The list changed: paint it with the next step.
    void ListChanged() { m_listChanged = true; }

    // The status line of a walk stopped at table index `index`.
    static QString StoppedText(int found, int index);

    static constexpr int kPaintIntervalMs = 40;

private:
    int FilledPixels(int position) const;
    void Paint();

    QPointer<QProgressBar> m_bar;
    QPointer<QWidget> m_statusLine;
    QPointer<QWidget> m_list;
    int m_range;
    int m_painted = -1;  // filled width last painted
    bool m_listChanged = false;
    QElapsedTimer m_sincePaint;
};
