// The teaching plan (ClassPlantb): which courses each class has, who teaches each and how many
// lessons a week (Count). A class has one teacher per course (an older file may hold two rows
// of one class and course; they are kept, but never merged). Each row's BuildCount equals its
// placed lessons in LessonListtb, and the row's lessons go with it when it is deleted and follow
// it to a new teacher; fixed lessons (SetFlag 0) are never moved away or removed by a change of
// the plan.
#pragma once

#include <QList>
#include <QString>
#include <optional>

#include "Outcome.h"

namespace tw::db {
class Database;
}

namespace tw::store {

// One plan row as stored: Count as its text (a Null count reads as empty).
struct PlanRow {
    QString classCode;
    QString courseCode;
    QString teacherCode;
    QString count;
    long long countValue = 0;  // Count as a number; Null or no number -> 0
};

// A plan row named by its class, course and teacher.
struct PlanKey {
    QString classCode;
    QString courseCode;
    QString teacherCode;
};

// Whether a count text (already trimmed) is a plain decimal number: optional sign, digits,
// optional fraction.
bool IsPlanCountNumber(const QString& trimmed);

// The whole lessons of a count text, rounded as the database rounds a number it stores in a
// whole-number column: to the nearest, an exact half to the even neighbour (3.5 -> 4, 2.5 -> 2,
// -1.5 -> -2), leading and trailing spaces ignored. Empty when the text is no number or the result
// does not fit a 16-bit count.
std::optional<short> PlanCount(const QString& text);

// The plan rows of a class, or of a teacher over every class, in the order the database gives
// them. When the read fails, value holds the rows read before the failure.
Read<QList<PlanRow>> ReadClassPlan(tw::db::Database& db, const QString& classCode);
Read<QList<PlanRow>> ReadTeacherPlan(tw::db::Database& db, const QString& teacherCode);

// Adds countText's lessons (see PlanCount) to the plan row of key, storing a new row when there
// is none. OtherTeacher, with nothing changed, when the class has the course with another
// teacher; BadCount, with the counts that would fit, when the count is no whole number a 16-bit
// count holds, or the row's count with it would not fit.
Outcome AddPlanRow(tw::db::Database& db, const PlanKey& key, const QString& countText);

// Deletes the plan row of key together with its placed lessons, all or nothing. NotFound, with
// nothing deleted, when no such row is stored.
Outcome DeletePlanRow(tw::db::Database& db, const PlanKey& key);

// A change of one stored plan row: its teacher and its count. `row` and `count` are what the
// caller read; the course cannot change.
struct PlanChange {
    PlanKey row;
    short count = 0;
    QString newCourseCode;
    QString newTeacherCode;
    QString newCountText;
};

// Gives the row a new teacher and count, all or nothing. The row's lessons follow it to the new
// teacher where the teacher is free in their slot; a built or hand-placed lesson that cannot
// follow is removed (the outcome's `removed` counts them), and BuildCount is counted anew from
// the lessons the row keeps. CourseChanged when the course is another one (checked first,
// before anything is read); BadCount when the count is no whole number (see PlanCount);
// OtherTeacher when the teacher changes while the class has another row of the course (which
// would merge the two rows); NotFound when the stored row does not hold the course, teacher and
// count the caller read; FixedInTheWay, with the fixed lesson's slot and the code of the class
// the new teacher teaches then, when a fixed lesson of the row cannot follow the new teacher.
Outcome ModifyPlanRow(tw::db::Database& db, const PlanChange& change);

}  // namespace tw::store
