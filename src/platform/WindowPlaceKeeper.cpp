#include "platform/WindowPlaceKeeper.h"

#include <QEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QSettings>
#include <QWidget>

#include "platform/AppSettings.h"

namespace {
// At least this much of the window's top-left corner (the title bar) must be
// on a screen for a stored position to count.
constexpr int kVisibleCorner = 40;

bool OnSomeScreen(const QRect& window)
{
    const QRect corner(window.topLeft(), QSize(kVisibleCorner, kVisibleCorner));
    for (const QScreen* screen : QGuiApplication::screens())
        if (screen->availableGeometry().contains(corner))
            return true;
    return false;
}
}  // namespace

CWindowPlaceKeeper::CWindowPlaceKeeper(QWidget* window, int key)
    : QObject(window), m_window(window), m_key(QStringLiteral("Windows/%1").arg(key))
{
    window->installEventFilter(this);
}

bool CWindowPlaceKeeper::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_window && m_window->isWindow()) {
        if (event->type() == QEvent::Show)
            Restore();
        else if (event->type() == QEvent::Hide)
            Save();
    }
    return QObject::eventFilter(watched, event);
}

void CWindowPlaceKeeper::Restore()
{
    const QVariant stored = OpenSettings()->value(m_key);
    if (!stored.canConvert<QPoint>())
        return;
    const QPoint place = stored.toPoint();
    if (OnSomeScreen(QRect(place, m_window->frameGeometry().size()))) {
        m_window->move(place);
        return;
    }
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        QRect centred(QPoint(), m_window->frameGeometry().size());
        centred.moveCenter(screen->availableGeometry().center());
        m_window->move(centred.topLeft());
    }
}

void CWindowPlaceKeeper::Save() const { OpenSettings()->setValue(m_key, m_window->pos()); }
