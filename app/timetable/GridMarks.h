// Cell marks of the week grids of pre-setting and hand editing: the cell's background colour as
// an &HBBGGRR number. A cell without a colour of its own shows the grid's white background.
#pragma once

#include "ui/WeekGrid.h"

namespace tw::timetable {

// The colour a cell shows: its own, else the grid's white.
unsigned int CellMark(const tw::ui::WeekGrid& grid, int row, int column);
// Makes the cell current and paints it, as the form runtime sets the colour of the current cell.
void PaintCurrent(tw::ui::WeekGrid& grid, int row, int column, unsigned int vbColor);
// Lays a grid out for lessons a day (6 or 7): 500-twip label column, day columns dayTwips wide,
// rows of 800 twips for 6 lessons and 700 for 7.
void LayOutLessonGrid(tw::ui::WeekGrid& grid, int lessonsPerDay, int dayTwips);
// The grids show 7 lessons when lessonOfDay is 7, else 6.
int GridLessonsOfDay(int lessonOfDay);
// Whether a stored day and lesson lie in the week a grid shows (days 1 to 5, lessons 1 to
// lessonsPerDay); a lesson stored outside is skipped.
bool InShownWeek(long long day, long long lesson, int lessonsPerDay);
// White grid background and blue text in the heading row and label column.
void StyleLessonGrid(tw::ui::WeekGrid& grid);

}  // namespace tw::timetable
