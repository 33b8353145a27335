// Commands that work on the whole timetable database at once: clearing the timetable, the data
// maintenance, the school-year upgrade, and the placed lessons beyond the day's last lesson.
// Each change is all or nothing; a failure comes back with its reason, never as a throw.
#pragma once

#include <QString>

#include "Outcome.h"

namespace tw::db {
class Database;
}

namespace tw::store {

// Clears the whole timetable (fixed lessons included) and resets every plan row's progress
// (IsAutoBuild and BuildCount 0), in one transaction.
Outcome DeleteAllLessons(tw::db::Database& db);

// Removes lessons and plan rows that name a class, course or teacher no longer stored, and
// limits whose owner is no longer stored, and counts every plan row's BuildCount again from its
// placed lessons (whatever their SetFlag), in one transaction.
Outcome MaintainData(tw::db::Database& db);

// Moves every class up one grade, in one transaction: grades 6 and 9 leave the school with
// their plans and lessons, grades 1-5, 7 and 8 move up with theirs, and each former grade-one
// class leaves an empty successor under its old code and names. Preschool (grade 0) and the
// limits stay. NotGraded, with nothing changed and the code in its detail, when a class code in
// Classtb, LessonListtb or ClassPlantb does not start with a digit.
Outcome UpgradeSchoolYear(tw::db::Database& db);

// A class name moved up one grade: its leading numeral "一".."五", "七", "八" becomes the next one;
// any other name comes back unchanged.
QString NextGradeName(const QString& name);

// How many placed lessons lie beyond lesson lessonsOfDay of their day.
Read<long long> CountLessonsBeyondDay(tw::db::Database& db, int lessonsOfDay);

// Deletes the placed lessons beyond lesson lessonsOfDay of their day and gives each plan row
// its own ones back (BuildCount), in one transaction. The outcome's rows are the lessons deleted.
Outcome DeleteLessonsBeyondDay(tw::db::Database& db, int lessonsOfDay);

}  // namespace tw::store
