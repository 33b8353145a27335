#include "DataListView.h"

#include <QHeaderView>
#include <QKeyEvent>

#include "FitText.h"
#include "FormStyle.h"
#include "db/CodeOrder.h"
#include "text/Gbk.h"

namespace tw::ui {

namespace {

// Rows compare by the text of the sort column, without regard to the case of Latin letters,
// in the order of the GBK code page (Chinese names thus sort by their reading), or in the order
// the list gives that column.
class DataListItem : public QTreeWidgetItem {
  public:
    using QTreeWidgetItem::QTreeWidgetItem;
    bool operator<(const QTreeWidgetItem& other) const override {
        const auto* list = qobject_cast<const DataListView*>(treeWidget());
        const int column = list ? list->SortKey() : 0;
        if (const DataListView::TextLess* less = list ? list->ColumnOrder(column) : nullptr) {
            return (*less)(text(column), other.text(column));
        }
        const std::string a = tw::text::ToGbk(text(column).toLower());
        const std::string b = tw::text::ToGbk(other.text(column).toLower());
        return a < b;
    }
};

}  // namespace

DataListView::DataListView(QWidget* parent) : QTreeWidget(parent) {
    setRootIsDecorated(false);
    setUniformRowHeights(true);
    setItemsExpandable(false);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setAllColumnsShowFocus(true);
    ShowCutItemsAsTips(this);
    header()->setSectionsClickable(true);
    header()->setSortIndicatorShown(false);
    header()->setStretchLastSection(false);
    connect(header(), &QHeaderView::sectionClicked, this, [this](int column) {
        if (sortOnHeadingClick_) {
            HeadingClick(column);
        }
    });
    connect(this, &QTreeWidget::itemClicked, this, [this] { emit rowClicked(); });
}

void DataListView::SetColumns(const QStringList& headings, const QList<int>& widthsTwips) {
    setColumnCount(static_cast<int>(headings.size()));
    setHeaderLabels(headings);
    for (int i = 0; i < widthsTwips.size(); ++i) {
        setColumnWidth(i, TwipsToPixels(widthsTwips[i]));
    }
}

QTreeWidgetItem* DataListView::AddRow(const QStringList& texts) {
    auto* item = new DataListItem(texts);
    addTopLevelItem(item);
    if (sorted_) {
        ApplySort();
    }
    return item;
}

QTreeWidgetItem* DataListView::FindRow(const QString& text) const {
    for (int i = 0; i < topLevelItemCount(); ++i) {
        QTreeWidgetItem* item = topLevelItem(i);
        if (tw::db::SameCode(item->text(0), text)) {
            return item;
        }
    }
    return nullptr;
}

QTreeWidgetItem* DataListView::SelectedRow() const {
    QTreeWidgetItem* item = currentItem();
    return item && item->isSelected() ? item : nullptr;
}

void DataListView::SelectRow(QTreeWidgetItem* item) {
    if (!item) {
        return;
    }
    setCurrentItem(item);
    item->setSelected(true);
    scrollToItem(item);
}

void DataListView::HeadingClick(int column) {
    sorted_ = false;
    if (column == sortKey_) {
        sortOrder_ = sortOrder_ == Qt::AscendingOrder ? Qt::DescendingOrder : Qt::AscendingOrder;
    } else {
        sortKey_ = column;
    }
    sorted_ = true;
    ApplySort();
}

void DataListView::ApplySort() {
    if (sorted_) {
        sortItems(sortKey_, sortOrder_);
    }
}

void DataListView::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Delete) {
        emit deleteKeyPressed();
        return;
    }
    QTreeWidgetItem* before = currentItem();
    QTreeWidget::keyPressEvent(event);
    if (currentItem() && currentItem() != before) {
        emit rowClicked();
    }
}

}  // namespace tw::ui
