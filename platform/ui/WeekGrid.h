// The week grid shared by every form that shows a school week (hand editing, pre-setting and the
// four slot-limit grids).
//
// Layout (row 0 and column 0 are ordinary cells used as the fixed heading row and label column):
//   row 0      "※", "星期一" .. "星期五"           (blue text on the button face colour)
//   rows 1-4   lessons 1 to 4, labels "一" .. "四"
//   row 5      separator, 100 twips high, no label, stands for no lesson
//   rows 6..   lessons 5 onward, labels "五", "六" (and "七")
//   columns 1-5 are the days Monday to Friday.
// A grid has lessonsPerDay + 2 rows: 8 for 6 lessons a day, 9 for 7.
//
// The grid never moves its current cell by itself on a mouse click: it reports the released
// button with the cell under the mouse through MouseUp, and the form decides what that means.
// Cells are never shown selected: the current cell has a focus frame, so its colour stays visible.
// A cell's text is laid out by tw::ui::FitBoxText: in the grid's font where it fits, else smaller
// (never below 8 pt), and cut with "…" only when even that does not fit; a cut cell shows its
// whole text as the tooltip. In a cell of two lines (a course over its class) the second line
// stays whole and the first gives way.
#pragma once

#include <QColor>
#include <QMenu>
#include <QPoint>
#include <QString>
#include <QTableWidget>
#include <functional>

#include "FitText.h"
#include "Units.h"

namespace tw::ui {

// ---- Colours ----

// Colours are colour numbers of the form runtime (&HBBGGRR or a system colour).

// The colours the week grids use.
inline constexpr unsigned int kVbWhite = 0xFFFFFF;
inline constexpr unsigned int kVbCyan = 0xFFFF80;     // an empty slot where the lesson may go
inline constexpr unsigned int kVbYellow = 0x80FFFF;   // hand editing: a lesson that may swap
inline constexpr unsigned int kVbDarkRed = 0x0000C0;  // hand editing
inline constexpr unsigned int kVbBlue = 0xFF0000;     // heading text

// ---- Lesson <-> row mapping ----

inline constexpr int kWeekGridSeparatorRow = 5;
inline constexpr int kWeekGridColumns = 6;  // label column + five days

// Row of a lesson (1-based): lessons 1-4 in their own row, lesson 5 onward one row lower.
constexpr int WeekGridRowOfLesson(int lesson) {
    return lesson < kWeekGridSeparatorRow ? lesson : lesson + 1;
}
// Lesson of a row: the row itself below the separator, the row less one beyond it; 0 for the
// heading row and the separator (no lesson).
constexpr int WeekGridLessonOfRow(int row) {
    if (row <= 0 || row == kWeekGridSeparatorRow) return 0;
    return row < kWeekGridSeparatorRow ? row : row - 1;
}
// Number of grid rows for a number of lessons a day.
constexpr int WeekGridRowCount(int lessonsPerDay) {
    return lessonsPerDay + 2;
}

// Label of a lesson in column 0: "一" .. "七" ("" outside 1..7).
QString WeekGridLessonLabel(int lesson);
// Heading of a column in row 0: "※", "星期一" .. "星期五".
QString WeekGridHeading(int column);

// ---- The grid ----

class WeekGrid : public QTableWidget {
    Q_OBJECT
  public:
    explicit WeekGrid(QWidget* parent = nullptr);

    // Lays the grid out for lessonsPerDay lessons (6 or 7): row and column counts, column widths,
    // row heights (the separator is always 100 twips), centred alignment, headings and labels.
    // Slot cells keep their text and colour. Sizes are in twips.
    void LayOut(int lessonsPerDay, int labelColumnTwips, int dayColumnTwips, int headingRowTwips,
                int lessonRowTwips);

    // Lessons a day of the last layout.
    int LessonsPerDay() const { return rowCount() - 2; }

    // Empties every cell: text and formatting (colours) alike. Counts and sizes stay.
    void ClearCells();

    // True for a cell that is a slot: day column 1-5 and a lesson row (not heading, separator).
    bool IsSlotCell(int row, int column) const;
    int DayOfColumn(int column) const { return column; }
    int LessonOfRow(int row) const { return WeekGridLessonOfRow(row); }
    int RowOfLesson(int lesson) const { return WeekGridRowOfLesson(lesson); }

    // Cell access; every cell always exists after LayOut.
    QString TextMatrix(int row, int column) const;
    void SetTextMatrix(int row, int column, const QString& text);
    // The explicit background of a cell, or the grid's own background when none was set.
    QColor CellBackColor(int row, int column) const;
    bool HasCellBackColor(int row, int column) const;
    void SetCellBackColor(int row, int column, const QColor& color);
    void SetCellForeColor(int row, int column, const QColor& color);

    // Centre of a cell in viewport coordinates (for scripted mouse events).
    QPoint CellCenter(int row, int column) const;

    // The text of a cell as drawn: its font and lines.
    tw::ui::FittedText ShownCell(int row, int column) const;
    // The tooltip of a cell: its whole text when the cell draws it cut, else empty.
    QString CellToolTip(int row, int column) const;

  signals:
    // A mouse button was released over the grid: row and column under the mouse (-1 when the
    // mouse is outside the cells) and the global position for a popup menu.
    void MouseUp(Qt::MouseButton button, int row, int column, const QPoint& globalPos);

  protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

  private:
    QTableWidgetItem* Cell(int row, int column);
    void EnsureItems();
};

// ---- Popup menus over grids ----

// Opens a popup menu at a global position and returns the chosen action (nullptr when none);
// the chosen action is triggered. Tests install a handler that picks the action instead, so no
// test ever blocks on the menu.
QAction* PopupMenu(QMenu& menu, const QPoint& globalPos);
using PopupMenuHandler = std::function<QAction*(QMenu& menu)>;
void SetPopupMenuHandler(PopupMenuHandler handler);

}  // namespace tw::ui
