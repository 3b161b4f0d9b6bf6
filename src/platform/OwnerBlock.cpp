#include "platform/OwnerBlock.h"

#include <QApplication>
#include <QEvent>
#include <QWidget>
#include <QWindow>
#include <algorithm>
#include <iterator>

namespace {
const QEvent::Type kBlockedInput[] = {
    QEvent::MouseButtonPress, QEvent::MouseButtonRelease, QEvent::MouseButtonDblClick, QEvent::Wheel,
    QEvent::KeyPress,         QEvent::KeyRelease,         QEvent::Shortcut,            QEvent::ContextMenu,
    QEvent::TouchBegin,       QEvent::TouchUpdate,        QEvent::TouchEnd,            QEvent::Drop,
    QEvent::Close,
};

bool IsBlockedInput(QEvent::Type type) {
    return std::find(std::begin(kBlockedInput), std::end(kBlockedInput), type) != std::end(kBlockedInput);
}
}  // namespace

COwnerBlock::COwnerBlock(QWidget* owner) : m_owner(owner) {
    if (owner) qApp->installEventFilter(this);
}

COwnerBlock::~COwnerBlock() { qApp->removeEventFilter(this); }

bool COwnerBlock::Targets(QObject* watched) const {
    if (!m_owner) return false;
    if (watched->isWidgetType()) return static_cast<QWidget*>(watched)->window() == m_owner;
    return watched == m_owner->windowHandle();
}

bool COwnerBlock::eventFilter(QObject* watched, QEvent* event) {
    if (!IsBlockedInput(event->type()) || !Targets(watched)) return false;
    event->ignore();  // a close event ignored keeps the window open
    return true;
}
