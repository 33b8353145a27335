// Placed lessons inside the week grid: days 1 to 5 and lessons 1 to the lessons per day. A row
// outside it (left behind after the lessons per day were lowered, or stored by other software)
// belongs to no timetable: the writers leave it out, and a print or export command whose
// selection has no row inside the grid shows its no-data text instead of an empty timetable.
#pragma once

#include <QString>

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

// The rows of one timetable follow each other. A selection of many timetables carries the class
// or teacher code as GroupCode, since two classes or teachers may share a name: its rows belong
// together when their codes are the same code as the database compares them, which also joins
// and sorts a lesson that stores its code in another case with the others. A selection without
// GroupCode (one class or teacher) groups by Name.
class TimetableGroups {
  public:
    explicit TimetableGroups(const tw::db::Recordset& rows);
    // The group of the current row.
    QString Of(const tw::db::Recordset& rows) const;
    // Whether the current row belongs to group.
    bool In(const tw::db::Recordset& rows, const QString& group) const;

  private:
    bool byCode_ = false;
};

}  // namespace tw::output
