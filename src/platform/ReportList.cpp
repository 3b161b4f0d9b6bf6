#include "platform/ReportList.h"

#include <QEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <algorithm>

CReportList::CReportList(QWidget* parent) : QTreeWidget(parent)
{
    setColumnCount(0);
    setRootIsDecorated(false);
    setItemsExpandable(false);
    setUniformRowHeights(true);
    setAllColumnsShowFocus(true);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSortingEnabled(false);  // rows are placed on insertion, never re-sorted
    header()->setSectionsClickable(false);
    header()->setStretchLastSection(false);
    header()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
}

int CReportList::InsertColumn(int column, const QString& heading)
{
    column = qBound(0, column, int(m_headings.size()));
    m_headings.insert(column, heading);
    setColumnCount(m_headings.size());
    setHeaderLabels(m_headings);
    header()->setSectionResizeMode(QHeaderView::Fixed);
    FitColumns();
    return column;
}

int CReportList::TextWidth(QTreeWidgetItem* item, int column) const
{
    return sizeHintForIndex(indexFromItem(item, column)).width();
}

void CReportList::Widen(QTreeWidgetItem* item, int column)
{
    const int width = TextWidth(item, column);
    if (width > columnWidth(column))
        setColumnWidth(column, width);
}

// Each column as wide as its heading and its widest text.
void CReportList::FitColumns()
{
    for (int column = 0; column < columnCount(); ++column) {
        int width = header()->sectionSizeHint(column);
        for (int row = 0; row < topLevelItemCount(); ++row)
            width = std::max(width, TextWidth(topLevelItem(row), column));
        setColumnWidth(column, width);
    }
}

void CReportList::changeEvent(QEvent* event)
{
    QTreeWidget::changeEvent(event);
    if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange)
        FitColumns();
}

int CReportList::SortedPosition(const QString& text) const
{
    int low = 0;
    int high = topLevelItemCount();
    while (low < high) {
        const int middle = (low + high) / 2;
        if (QString::compare(topLevelItem(middle)->text(0), text, Qt::CaseInsensitive) < 0) {
            low = middle + 1;
        } else {
            high = middle;
        }
    }
    return low;
}

int CReportList::InsertItem(const QString& text)
{
    const int row = SortedPosition(text);
    auto* item = new QTreeWidgetItem;
    item->setText(0, text);
    insertTopLevelItem(row, item);
    Widen(item, 0);
    return row;
}

int CReportList::AppendItem(const QString& text)
{
    auto* item = new QTreeWidgetItem;
    item->setText(0, text);
    addTopLevelItem(item);
    Widen(item, 0);
    return topLevelItemCount() - 1;
}

int CReportList::AppendCheckItem(const QString& text, bool checked)
{
    const int row = AppendItem(text);
    QTreeWidgetItem* item = topLevelItem(row);
    item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
    item->setCheckState(0, checked ? Qt::Checked : Qt::Unchecked);
    Widen(item, 0);  // with the box
    return row;
}

bool CReportList::GetCheck(int row) const
{
    const QTreeWidgetItem* item = topLevelItem(row);
    return item && (item->flags() & Qt::ItemIsUserCheckable) && item->checkState(0) == Qt::Checked;
}

bool CReportList::SetCheck(int row, bool checked)
{
    QTreeWidgetItem* item = topLevelItem(row);
    if (!item || !(item->flags() & Qt::ItemIsUserCheckable))
        return false;
    item->setCheckState(0, checked ? Qt::Checked : Qt::Unchecked);
    return true;
}

bool CReportList::SetItemText(int row, int column, const QString& text)
{
    QTreeWidgetItem* item = topLevelItem(row);
    if (!item || column < 0 || column >= columnCount())
        return false;
    item->setText(column, text);
    Widen(item, column);
    return true;
}

QString CReportList::GetItemText(int row, int column) const
{
    const QTreeWidgetItem* item = topLevelItem(row);
    return item ? item->text(column) : QString();
}

bool CReportList::DeleteItem(int row)
{
    QTreeWidgetItem* item = takeTopLevelItem(row);
    delete item;
    FitColumns();
    return item != nullptr;
}

void CReportList::DeleteAllItems()
{
    clear();
    FitColumns();
}

QString CReportList::Text() const
{
    const QString lineEnd = QStringLiteral("\r\n");
    QString text = m_headings.join('\t') + lineEnd;
    for (int row = 0; row < topLevelItemCount(); ++row) {
        QStringList cells;
        for (int column = 0; column < columnCount(); ++column)
            cells << topLevelItem(row)->text(column);
        text += cells.join('\t') + lineEnd;
    }
    return text;
}

void CReportList::keyPressEvent(QKeyEvent* event)
{
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (enter && currentItem() && m_returnHandler && m_returnHandler()) {
        event->accept();
        return;
    }
    QTreeWidget::keyPressEvent(event);
}
