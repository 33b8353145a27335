#include "WeekGrid.h"

#include <QHeaderView>
#include <QMouseEvent>
#include <QPalette>

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
    setColumnWidth(0, tw::ui::TwipsToPixels(labelColumnTwips));
    for (int c = 1; c < kWeekGridColumns; ++c)
        setColumnWidth(c, tw::ui::TwipsToPixels(dayColumnTwips));
    setRowHeight(0, tw::ui::TwipsToPixels(headingRowTwips));
    for (int r = 1; r < rowCount(); ++r) {
        setRowHeight(r, tw::ui::TwipsToPixels(r == kWeekGridSeparatorRow ? 100 : lessonRowTwips));
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
