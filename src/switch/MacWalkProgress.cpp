#include "switch/MacWalkProgress.h"

#include <QProgressBar>

namespace {
// The bar's place relative to the status line (left, top, right, bottom).
constexpr int kTopAbove = 20;
constexpr int kRightInset = 5;
constexpr int kBottomAbove = 24;
}  // namespace

CMacWalkProgress::CMacWalkProgress(QWidget* dialog, QWidget* statusLine, int id, int range)
    : m_statusLine(statusLine), m_range(range > 0 ? range : 1)
{
    m_bar = new QProgressBar(dialog);
    m_bar->setObjectName(QString::number(id));
    m_bar->setOrientation(Qt::Horizontal);
    m_bar->setTextVisible(false);
    m_bar->setRange(0, m_range);
    m_bar->setValue(0);
    if (statusLine) {
        const QRect line = statusLine->geometry();
        m_bar->setGeometry(QRect(QPoint(line.left(), line.top() - kTopAbove),
            QPoint(line.right() - kRightInset, line.bottom() - kBottomAbove)));
    }
    m_bar->show();
    m_bar->repaint();
}

CMacWalkProgress::~CMacWalkProgress()
{
    delete m_bar.data();
    if (m_statusLine)
        m_statusLine->repaint();
}

int CMacWalkProgress::FilledPixels(int position) const
{
    return m_bar ? int(qint64(position) * m_bar->width() / m_range) : 0;
}

void CMacWalkProgress::SetPos(int position)
{
    if (!m_bar)
        return;
    m_bar->setValue(position);
    const int filled = FilledPixels(position);
    if (filled == m_painted)
        return;
    m_painted = filled;
    m_bar->repaint();
    if (m_statusLine)
        m_statusLine->repaint();
}
