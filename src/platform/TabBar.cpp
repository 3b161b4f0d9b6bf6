#include "platform/TabBar.h"

#include <QSignalBlocker>
#include <utility>

CTabBar::CTabBar(QWidget* parent) : QTabBar(parent)
{
    setExpanding(false);
    setDrawBase(true);
    connect(this, &QTabBar::currentChanged, this, &CTabBar::OnCurrentChanged);
}

void CTabBar::SelectAsUser(int index)
{
    AsUser([&] { setCurrentIndex(index); });
}

void CTabBar::mousePressEvent(QMouseEvent* event)
{
    AsUser([&] { QTabBar::mousePressEvent(event); });
}

void CTabBar::keyPressEvent(QKeyEvent* event)
{
    AsUser([&] { QTabBar::keyPressEvent(event); });
}

void CTabBar::wheelEvent(QWheelEvent* event)
{
    AsUser([&] { QTabBar::wheelEvent(event); });
}

void CTabBar::SetQuietly(int index)
{
    const QSignalBlocker blocker(this);
    setCurrentIndex(index);
}

// An operator's change has already happened inside QTabBar: put the old tab
// back while the check is asked, then make the change for good (or not).
void CTabBar::OnCurrentChanged(int index)
{
    if (m_userDepth == 0 || m_shown < 0) {
        m_shown = index;
        return;
    }
    // Whatever the handlers do to the tabs is the program's doing.
    const int userDepth = std::exchange(m_userDepth, 0);
    SetQuietly(m_shown);
    if (!m_changingCheck || m_changingCheck()) {
        SetQuietly(index);
        m_shown = index;
        emit userSelChanged(index);
    }
    m_userDepth = userDepth;
}
