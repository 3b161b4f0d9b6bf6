#include "switch/MacWalkProgress.h"

#include <QProgressBar>

namespace {
// The bar's place relative to the status line (left, top, right, bottom).
constexpr int kTopAbove = 20;
constexpr int kRightInset = 5;
constexpr int kBottomAbove = 24;
}  // namespace

CMacWalkProgress::CMacWalkProgress(QWidget* dialog, QWidget* statusLine, QWidget* list, int id, int range)
    : m_statusLine(statusLine), m_list(list), m_range(range > 0 ? range : 1)
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
    Paint();
}

CMacWalkProgress::~CMacWalkProgress()
{
    delete m_bar.data();
    if (m_list)
        m_list->repaint();
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
    if (filled == m_painted && !m_listChanged)
        return;
    if (m_sincePaint.isValid() && m_sincePaint.elapsed() < kPaintIntervalMs)
        return;
    m_painted = filled;
    Paint();
}

// The bar paints only here: left to itself it would paint at every step.
void CMacWalkProgress::Paint()
{
    m_sincePaint.start();
    if (m_bar) {
        m_bar->setUpdatesEnabled(true);
        m_bar->repaint();
        m_bar->setUpdatesEnabled(false);
    }
    if (m_statusLine)
        m_statusLine->repaint();
    if (m_list && m_listChanged)
        m_list->repaint();
    m_listChanged = false;
}
