// Placed lessons inside the week grid: days 1 to 5 and lessons 1 to the lessons per day. A row
// outside it (left behind after the lessons per day were lowered, or stored by other software)
// belongs to no timetable: the writers leave it out, and a print or export command whose
// selection has no row inside the grid shows its no-data text instead of an empty timetable.
#pragma once

#include <QString>
#include <initializer_list>

namespace tw::db {
class Recordset;
}

namespace tw::output {

// Whether rows has every column of names, found as Recordset::Fields finds them (in any case).
// A writer checks the columns it reads before it reads a row, so that no lookup of a missing
// column fails halfway; false, with the text that names the first missing column in *error
// when error is given, otherwise.
bool HasColumns(const tw::db::Recordset& rows, std::initializer_list<const char*> names,
                QString* error = nullptr);

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
