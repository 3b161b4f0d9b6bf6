#include "platform/WindowPlaceKeeper.h"

#include <QEvent>
#include <QRegion>
#include <QSettings>
#include <QStyle>
#include <QWidget>
#include <algorithm>

#include "platform/AppSettings.h"
#include "platform/ScreenAreas.h"

namespace {

// The start of a span of `length` moved into [low, high] as little as it can,
// its low end first when it is longer.
int ClampSpan(int start, int length, int low, int high)
{
    return std::max(low, std::min(start, high - length + 1));
}

// The window system's title bar, or the style's idea of one while the frame
// is not known (no window system frame yet, or none at all).
int TitleBarHeight(const QWidget* window)
{
    const int frameTop = window->geometry().top() - window->frameGeometry().top();
    return std::max(frameTop, window->style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, window));
}

}  // namespace

QRect OntoNearestScreen(const QRect& frame, int titleBar, const QList<QRect>& areas)
{
    QRegion hidden(QRect(frame.topLeft(), QSize(frame.width(), std::min(titleBar, frame.height()))));
    for (const QRect& area : areas)
        hidden -= area;
    const QRect area = NearestScreenArea(areas, frame.center());
    if (hidden.isEmpty() || area.isEmpty())
        return frame;
    QRect placed = frame;
    placed.moveTo(ClampSpan(frame.left(), frame.width(), area.left(), area.right()),
        ClampSpan(frame.top(), frame.height(), area.top(), area.bottom()));
    return placed;
}

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

// Earlier versions stored only a position here: it reads as no geometry.
void CWindowPlaceKeeper::Restore()
{
    const QVariant stored = OpenSettings()->value(m_key);
    if (stored.typeId() != QMetaType::QByteArray || !m_window->restoreGeometry(stored.toByteArray()))
        return;
    const QRect frame = m_window->frameGeometry();
    const QRect placed = OntoNearestScreen(frame, TitleBarHeight(m_window), ScreenAreas());
    if (placed != frame)
        m_window->move(placed.topLeft());
}

void CWindowPlaceKeeper::Save() const { OpenSettings()->setValue(m_key, m_window->saveGeometry()); }
