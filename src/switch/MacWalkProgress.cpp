#include "switch/MacWalkProgress.h"

#include <QProgressBar>

namespace {
// The bar fills the middle half of the strip between the list and the
// status line (a strip this high when there is no list), short of the right
// edge.
constexpr int kStripWithoutList = 26;
constexpr int kRightInset = 5;
constexpr const char* kStoppedOne = "Walk stopped: %1 entry found up to index %2.";
constexpr const char* kStopped = "Walk stopped: %1 entries found up to index %2.";

// The control of `dialog` that `widget` is part of (a list for its viewport).
QWidget* ControlOf(QWidget* dialog, QWidget* widget)
{
    while (widget->parentWidget() && widget->parentWidget() != dialog)
        widget = widget->parentWidget();
    return widget;
}
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
        const int stripTop = list ? ControlOf(dialog, list)->geometry().bottom() + 1 : line.top() - kStripWithoutList;
        const int quarter = (line.top() - stripTop) / 4;
        m_bar->setGeometry(QRect(
            QPoint(line.left(), stripTop + quarter), QPoint(line.right() - kRightInset, line.top() - quarter - 1)));
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
// The status line keeps its text while the walk runs (a text set on it
// paints at once).
void CMacWalkProgress::Paint()
{
    m_sincePaint.start();
    if (m_bar) {
        m_bar->setUpdatesEnabled(true);
        m_bar->repaint();
        m_bar->setUpdatesEnabled(false);
    }
    if (m_list && m_listChanged)
        m_list->repaint();
    m_listChanged = false;
}

QString CMacWalkProgress::StoppedText(int found, int index)
{
    return QString::fromLatin1(found == 1 ? kStoppedOne : kStopped).arg(found).arg(index);
}
