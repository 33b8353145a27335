// Placed lessons inside the week grid: days 1 to 5 and lessons 1 to the lessons per day. A row
// outside it (left behind after the lessons per day were lowered, or stored by other software)
// belongs to no timetable: the writers leave it out, and a print or export command whose
// selection has no row inside the grid shows its no-data text instead of an empty timetable.
#pragma once

namespace tw::db {
class Recordset;
}

namespace tw::output {

// Whether the current row (columns Day and LessonNo) lies inside the grid of `lessons` a day.
bool InGrid(const tw::db::Recordset& rows, int lessons);
// Moves from the current row to the first one at or after it that lies inside the grid (or to
// the end).
void SkipOutsideGrid(tw::db::Recordset& rows, int lessons);
// Whether any row lies inside the grid; leaves the set on its first row.
bool AnyRowInGrid(tw::db::Recordset& rows, int lessons);

}  // namespace tw::output
