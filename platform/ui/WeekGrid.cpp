#include "WeekGrid.h"

#include <QApplication>
#include <QHeaderView>
#include <QHelpEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPalette>
#include <QStyledItemDelegate>
#include <QToolTip>

namespace tw::ui {

namespace {

// Pixels kept free left and right of a cell's text.
constexpr int kCellTextMargin = 2;

QRect CellTextBox(const QRect& cell) {
    return cell.adjusted(kCellTextMargin, 0, -kCellTextMargin, 0);
}

// Draws a cell's text as FitBoxText lays it out, centred, over the cell's own background and
// focus frame.
class FittedCellDelegate : public QStyledItemDelegate {
  public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        QStyleOptionViewItem opt = option;
        initStyleOption(&opt, index);
        // The text itself: the option's text has its line feeds turned into line separators.
        const QString text = index.data(Qt::DisplayRole).toString();
        opt.text.clear();
        const QWidget* widget = opt.widget;
        QStyle* style = widget ? widget->style() : QApplication::style();
        style->drawControl(QStyle::CE_ItemViewItem, &opt, painter, widget);
        if (text.isEmpty()) return;
        const QRect box = CellTextBox(opt.rect);
        const FittedText fitted = FitBoxText(opt.font, text, box.size());
        const QFontMetrics metrics(fitted.font);
        const int lineHeight = metrics.lineSpacing();
        const int blockHeight = lineHeight * static_cast<int>(fitted.lines.size());
        int top = box.top() + (box.height() - blockHeight) / 2;
        const QPalette::ColorGroup group =
            (opt.state & QStyle::State_Enabled) ? QPalette::Normal : QPalette::Disabled;
        painter->save();
        painter->setFont(fitted.font);
        painter->setPen(opt.palette.color(group, QPalette::Text));
        painter->setClipRect(opt.rect);
        for (const QString& line : fitted.lines) {
            painter->drawText(QRect(box.left(), top, box.width(), lineHeight), Qt::AlignCenter,
                              line);
            top += lineHeight;
        }
        painter->restore();
    }

    bool helpEvent(QHelpEvent* event, QAbstractItemView* view, const QStyleOptionViewItem& option,
                   const QModelIndex& index) override {
        if (event && event->type() == QEvent::ToolTip) {
            const auto* grid = qobject_cast<const WeekGrid*>(view);
            const QString tip = grid ? grid->CellToolTip(index.row(), index.column()) : QString();
            if (tip.isEmpty()) {
                QToolTip::hideText();
            } else {
                QToolTip::showText(event->globalPos(), tip, view, option.rect);
            }
            return true;
        }
        return QStyledItemDelegate::helpEvent(event, view, option, index);
    }
};

}  // namespace

QString WeekGridLessonLabel(int lesson) {
    static const char* const labels[] = {"一", "二", "三", "四", "五", "六", "七"};
    if (lesson < 1 || lesson > 7) return QString();
    return QString::fromUtf8(labels[lesson - 1]);
}

QString WeekGridHeading(int column) {
    static const char* const headings[] = {"※", "星期一", "星期二", "星期三", "星期四", "星期五"};
    if (column < 0 || column >= kWeekGridColumns) return QString();
    return QString::fromUtf8(headings[column]);
}

WeekGrid::WeekGrid(QWidget* parent) : QTableWidget(parent) {
    horizontalHeader()->hide();
    verticalHeader()->hide();
    verticalHeader()->setMinimumSectionSize(0);
    horizontalHeader()->setMinimumSectionSize(0);
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    // The current cell shows by its focus frame only, so a cell's own colour always shows.
    setSelectionMode(QAbstractItemView::NoSelection);
    setSelectionBehavior(QAbstractItemView::SelectItems);
    setWordWrap(true);
    setItemDelegate(new FittedCellDelegate(this));
    // Area beyond the cells and grid lines as the grids are designed.
    QPalette pal = palette();
    pal.setColor(QPalette::Window, VbColor(0x808080));
    setPalette(pal);
    setStyleSheet(QStringLiteral("QTableWidget { gridline-color: #c0c0c0; }"));
}

bool WeekGrid::IsSlotCell(int row, int column) const {
    return column >= 1 && column < kWeekGridColumns && column < columnCount() && row >= 1 &&
           row < rowCount() && row != kWeekGridSeparatorRow;
}

QTableWidgetItem* WeekGrid::Cell(int row, int column) {
    if (row < 0 || column < 0 || row >= rowCount() || column >= columnCount()) return nullptr;
    QTableWidgetItem* it = item(row, column);
    if (!it) {
        it = new QTableWidgetItem;
        it->setTextAlignment(Qt::AlignCenter);
        setItem(row, column, it);
    }
    return it;
}

void WeekGrid::EnsureItems() {
    for (int r = 0; r < rowCount(); ++r) {
        for (int c = 0; c < columnCount(); ++c) {
            QTableWidgetItem* it = Cell(r, c);
            const bool fixed = r == 0 || c == 0;
            if (fixed || r == kWeekGridSeparatorRow) {
                it->setFlags(Qt::ItemIsEnabled);
            } else {
                it->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
            }
            if (fixed) {
                // The fixed cells' colours belong to the grid, not to the cell's formatting.
                it->setBackground(VbColor(kVbButtonFace));
                it->setForeground(VbColor(kVbBlue));
            }
        }
    }
}

void WeekGrid::LayOut(int lessonsPerDay, int labelColumnTwips, int dayColumnTwips,
                      int headingRowTwips, int lessonRowTwips) {
    setColumnCount(kWeekGridColumns);
    setRowCount(WeekGridRowCount(lessonsPerDay));
    setColumnWidth(0, TwipsToPixels(labelColumnTwips));
    for (int c = 1; c < kWeekGridColumns; ++c) setColumnWidth(c, TwipsToPixels(dayColumnTwips));
    setRowHeight(0, TwipsToPixels(headingRowTwips));
    for (int r = 1; r < rowCount(); ++r) {
        setRowHeight(r, TwipsToPixels(r == kWeekGridSeparatorRow ? 100 : lessonRowTwips));
    }
    EnsureItems();
    for (int r = 0; r < rowCount(); ++r) {
        for (int c = 0; c < columnCount(); ++c) {
            Cell(r, c)->setTextAlignment(Qt::AlignCenter);
        }
    }
    for (int c = 0; c < kWeekGridColumns; ++c) Cell(0, c)->setText(WeekGridHeading(c));
    for (int r = 1; r < rowCount(); ++r) {
        Cell(r, 0)->setText(WeekGridLessonLabel(WeekGridLessonOfRow(r)));
    }
}

void WeekGrid::ClearCells() {
    for (int r = 0; r < rowCount(); ++r) {
        for (int c = 0; c < columnCount(); ++c) {
            QTableWidgetItem* it = Cell(r, c);
            it->setText(QString());
            it->setData(Qt::BackgroundRole, QVariant());
            it->setData(Qt::ForegroundRole, QVariant());
        }
    }
    EnsureItems();
}

QString WeekGrid::TextMatrix(int row, int column) const {
    const QTableWidgetItem* it = item(row, column);
    return it ? it->text() : QString();
}

void WeekGrid::SetTextMatrix(int row, int column, const QString& text) {
    if (QTableWidgetItem* it = Cell(row, column)) it->setText(text);
}

bool WeekGrid::HasCellBackColor(int row, int column) const {
    const QTableWidgetItem* it = item(row, column);
    return it && it->data(Qt::BackgroundRole).isValid();
}

QColor WeekGrid::CellBackColor(int row, int column) const {
    const QTableWidgetItem* it = item(row, column);
    if (it && it->data(Qt::BackgroundRole).isValid()) return it->background().color();
    return VbColor(row == 0 || column == 0 ? kVbButtonFace : kVbWindowBackground);
}

void WeekGrid::SetCellBackColor(int row, int column, const QColor& color) {
    if (QTableWidgetItem* it = Cell(row, column)) it->setBackground(color);
}

void WeekGrid::SetCellForeColor(int row, int column, const QColor& color) {
    if (QTableWidgetItem* it = Cell(row, column)) it->setForeground(color);
}

QPoint WeekGrid::CellCenter(int row, int column) const {
    return QPoint(columnViewportPosition(column) + columnWidth(column) / 2,
                  rowViewportPosition(row) + rowHeight(row) / 2);
}

FittedText WeekGrid::ShownCell(int row, int column) const {
    const QModelIndex index = model()->index(row, column);
    if (!index.isValid()) return {};
    const QVariant cellFont = index.data(Qt::FontRole);
    const QFont base = cellFont.isValid() ? cellFont.value<QFont>() : font();
    return FitBoxText(base, index.data(Qt::DisplayRole).toString(),
                      CellTextBox(visualRect(index)).size());
}

QString WeekGrid::CellToolTip(int row, int column) const {
    const QString text = TextMatrix(row, column);
    if (text.isEmpty() || ShownCell(row, column).whole) return QString();
    return text;
}

void WeekGrid::mousePressEvent(QMouseEvent* event) {
    // The current cell moves only where the form's MouseUp handler says so.
    setFocus(Qt::MouseFocusReason);
    event->accept();
}

void WeekGrid::mouseMoveEvent(QMouseEvent* event) {
    event->accept();
}

void WeekGrid::mouseDoubleClickEvent(QMouseEvent* event) {
    event->accept();
}

void WeekGrid::mouseReleaseEvent(QMouseEvent* event) {
    const QPoint pos = event->position().toPoint();
    const int row = rowAt(pos.y());
    const int column = columnAt(pos.x());
    event->accept();
    emit MouseUp(event->button(), row, column, event->globalPosition().toPoint());
}

namespace {
PopupMenuHandler& PopupHandler() {
    static PopupMenuHandler handler;
    return handler;
}
}  // namespace

void SetPopupMenuHandler(PopupMenuHandler handler) {
    PopupHandler() = std::move(handler);
}

QAction* PopupMenu(QMenu& menu, const QPoint& globalPos) {
    if (PopupHandler()) {
        QAction* chosen = PopupHandler()(menu);
        if (chosen) chosen->trigger();
        return chosen;
    }
    return menu.exec(globalPos);
}

}  // namespace tw::ui
