#pragma once
#include <QStringList>
#include <QTreeWidget>
#include <functional>

// Report-style list that keeps its rows sorted ascending by the first column
// (case-insensitive) as they are inserted. Changing a row's text later does
// not move it, so a row inserted with an empty first column lands on top and
// stays there once its texts are set.
class CReportList : public QTreeWidget {
    Q_OBJECT
public:
    explicit CReportList(QWidget* parent = nullptr);

    // Adds a left-aligned column, always as wide as its heading and its
    // widest text; returns its index. Create columns first.
    int InsertColumn(int column, const QString& heading);
    int GetColumnCount() const { return m_headings.size(); }
    QString ColumnHeading(int column) const { return m_headings.value(column); }

    // Inserts a row at the place its first-column text sorts to (before any
    // row whose text is equal or greater); returns that row. The requested
    // `row` of the second form does not matter in a sorted list.
    int InsertItem(const QString& text);
    int InsertItem(int row, const QString& text)
    {
        Q_UNUSED(row)
        return InsertItem(text);
    }

    // Adds a row at the end, for a list whose rows come in an order of their
    // own (not to be mixed with InsertItem); returns that row.
    int AppendItem(const QString& text);
    // The same with a check box before the first column's text.
    int AppendCheckItem(const QString& text, bool checked);
    // Whether the row's check box is checked (false: none, or no such row).
    bool GetCheck(int row) const;
    bool SetCheck(int row, bool checked);

    bool SetItemText(int row, int column, const QString& text);
    QString GetItemText(int row, int column) const;
    int GetItemCount() const { return topLevelItemCount(); }
    bool DeleteItem(int row);
    void DeleteAllItems();

    // The headings, then one line per row; columns separated by TAB, every
    // line ending in CR LF.
    QString Text() const;

    // Enter or Return with a current row: `handler` says whether it took the
    // key; if not, the key goes on to the window (its default button).
    void SetReturnHandler(std::function<bool()> handler) { m_returnHandler = std::move(handler); }

protected:
    void changeEvent(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    int SortedPosition(const QString& text) const;
    // Column widths are kept as texts come (a row measured once, not every
    // row at every layout): a column grows to a new text, and is measured
    // again whole when rows go or the font or style changes.
    int TextWidth(QTreeWidgetItem* item, int column) const;
    void Widen(QTreeWidgetItem* item, int column);
    void FitColumns();

    QStringList m_headings;
    std::function<bool()> m_returnHandler;
};
