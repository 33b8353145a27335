// The report-style list of the data-entry forms: fixed column widths in twips, rows of texts,
// sorting by a heading click the way the form runtime's list view does it, and the two user
// events the forms react to (a row chosen by mouse or arrow keys, the Delete key).
#pragma once

#include <QStringList>
#include <QTreeWidget>
#include <functional>
#include <map>

namespace tw::ui {

class DataListView : public QTreeWidget {
    Q_OBJECT
  public:
    explicit DataListView(QWidget* parent = nullptr);

    // Sets the headings and the column widths (in twips).
    void SetColumns(const QStringList& headings, const QList<int>& widthsTwips);
    // Adds a row: texts[0] is the row's own text, the rest its sub-items. Keeps the sort order
    // when sorting is on.
    QTreeWidgetItem* AddRow(const QStringList& texts);
    // The first row (in display order) whose own text equals text as the database compares
    // codes and names (ASCII letters without regard to case); nullptr when none.
    QTreeWidgetItem* FindRow(const QString& text) const;
    // The selected row, or nullptr when no row is selected.
    QTreeWidgetItem* SelectedRow() const;
    // Makes item the selected (and current) row without raising rowClicked.
    void SelectRow(QTreeWidgetItem* item);
    // Heading click: sorting off; the sort column's direction is reversed, another column
    // becomes the sort column with the direction kept; sorting on.
    void HeadingClick(int column);
    // Re-applies the sort order in force (after a reload).
    void ApplySort();
    // Whether a heading click sorts the list (on by default).
    void SetSortOnHeadingClick(bool on) { sortOnHeadingClick_ = on; }
    // The order of a column's texts when it is the sort column, in place of the text order.
    using TextLess = std::function<bool(const QString&, const QString&)>;
    void SetColumnOrder(int column, TextLess less) { columnOrders_[column] = std::move(less); }
    const TextLess* ColumnOrder(int column) const {
        const auto it = columnOrders_.find(column);
        return it == columnOrders_.end() ? nullptr : &it->second;
    }

    bool IsSorted() const { return sorted_; }
    int SortKey() const { return sortKey_; }
    Qt::SortOrder SortOrder() const { return sortOrder_; }

  signals:
    // A row was clicked, or the arrow keys moved the selection to another row.
    void rowClicked();
    // The Delete key was pressed in the list.
    void deleteKeyPressed();

  protected:
    void keyPressEvent(QKeyEvent* event) override;

  private:
    bool sortOnHeadingClick_ = true;
    std::map<int, TextLess> columnOrders_;
    bool sorted_ = false;
    int sortKey_ = 0;
    Qt::SortOrder sortOrder_ = Qt::AscendingOrder;
};

}  // namespace tw::ui
