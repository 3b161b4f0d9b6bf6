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

    bool SetItemText(int row, int column, const QString& text);
    QString GetItemText(int row, int column) const;
    int GetItemCount() const { return topLevelItemCount(); }
    bool DeleteItem(int row);
    void DeleteAllItems() { clear(); }

    // The headings, then one line per row; columns separated by TAB, every
    // line ending in CR LF.
    QString Text() const;

    // Enter or Return with a current row: `handler` says whether it took the
    // key; if not, the key goes on to the window (its default button).
    void SetReturnHandler(std::function<bool()> handler) { m_returnHandler = std::move(handler); }

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    int SortedPosition(const QString& text) const;

    QStringList m_headings;
    std::function<bool()> m_returnHandler;
};
