#include "timetable/GridMarks.h"

#include <QPalette>

#include "ui/Units.h"

namespace tw::timetable {

unsigned int CellMark(const tw::ui::WeekGrid& grid, int row, int column) {
    if (!grid.HasCellBackColor(row, column)) return tw::ui::kVbWhite;
    return tw::ui::ToVbColor(grid.CellBackColor(row, column));
}

void PaintCurrent(tw::ui::WeekGrid& grid, int row, int column, unsigned int vbColor) {
    grid.setCurrentCell(row, column);
    grid.SetCellBackColor(row, column, tw::ui::VbColor(vbColor));
}

void LayOutLessonGrid(tw::ui::WeekGrid& grid, int lessonsPerDay, int dayTwips) {
    const int rowTwips = lessonsPerDay == 7 ? 700 : 800;
    grid.LayOut(lessonsPerDay == 7 ? 7 : 6, 500, dayTwips, rowTwips, rowTwips);
}

int GridLessonsOfDay(int lessonOfDay) {
    return lessonOfDay == 7 ? 7 : 6;
}

bool InShownWeek(long long day, long long lesson, int lessonsPerDay) {
    return day >= 1 && day <= 5 && lesson >= 1 && lesson <= lessonsPerDay;
}

void StyleLessonGrid(tw::ui::WeekGrid& grid) {
    QPalette pal = grid.palette();
    pal.setColor(QPalette::Base, tw::ui::VbColor(tw::ui::kVbWhite));
    grid.setPalette(pal);
    grid.setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    grid.setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
}

}  // namespace tw::timetable
