#pragma once
#include <QList>
#include <QObject>
#include <QRect>
#include <QString>

class QWidget;

// Remembers where the operator left a window: its geometry (frame and
// contents alike) is stored in the settings when it hides and restored when
// it shows again. A restored window that would show less than its title bar
// is brought onto the nearest screen. A stored place the keeper cannot read
// is ignored and the window opens where the window system puts it.
class CWindowPlaceKeeper : public QObject {
    Q_OBJECT
public:
    // `key`: the window kind (its template number); the keeper is a child of
    // `window`.
    CWindowPlaceKeeper(QWidget* window, int key);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Restore();
    void Save() const;

    QWidget* m_window;
    QString m_key;
};

// Where a window with frame `frame` goes on screens whose free areas are
// `areas` (the primary first): unchanged when the top `titleBar` rows of the
// frame lie on the screens; else moved, the least way, into the area nearest
// its centre, as far as it fits there (its top-left corner first).
QRect OntoNearestScreen(const QRect& frame, int titleBar, const QList<QRect>& areas);
