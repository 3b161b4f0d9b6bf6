#pragma once
#include <QObject>
#include <QString>

class QWidget;

// Remembers where the operator left a window: its position is stored in the
// settings when it hides and restored when it shows again. A stored position
// that would put the window off every screen is dropped and the window opens
// centred on the primary screen.
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
