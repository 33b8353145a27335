// The rows that printing and export read: the placed lessons (LessonListtb) joined with the
// courses, classes and teachers they name, for one class, all classes, one teacher, all teachers
// or the whole school. Each selection gives the columns its data file writer reads by name:
// Name, CourseName, Day and LessonNo, with ClassShortName and TeacherName (print) or
// TeacherShortName (export) where the timetable shows them, and GroupCode (the class or teacher
// code) where the rows hold more than one timetable, as classes and teachers may share a name.
// Names and codes are quoted into the statements, so any text is found as it is stored.
#pragma once

#include <QString>
#include <memory>

#include "Outcome.h"

namespace tw::db {
class Database;
class Recordset;
}  // namespace tw::db

namespace tw::store {

enum class OutputTimetable { OneClass, AllClasses, OneTeacher, AllTeachers, WholeSchool };

// The data file the rows go into: the print data file or the export data file, whose writers
// read some columns under other names.
enum class OutputFile { Print, Export };

struct OutputChoice {
    OutputTimetable timetable = OutputTimetable::WholeSchool;
    // One class or one teacher: the stored name the timetable is headed with, and the code
    // whose lessons it shows.
    QString name;
    QString code;
};

// The rows of the choice, ordered by group (classes in the school's order of ClassOrder.h,
// teachers by code), lesson and day; a teacher's lessons of one slot by class in that order,
// a class's in the order the database gives them. Each writer walks them from the first row; on a failing
// statement value is null and the outcome DatabaseError.
Read<std::unique_ptr<tw::db::Recordset>> ReadOutputRows(tw::db::Database& db, OutputFile file,
                                                        const OutputChoice& choice);

}  // namespace tw::store
