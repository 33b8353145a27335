// The placed lessons of one plan row (class, course, teacher) when the row changes teacher, and
// the row's progress counter BuildCount, which always equals the lessons the row has placed.
#pragma once

#include <QString>

namespace tw::db {
class Database;
}

namespace tw::data {

// Hands the lessons of class and course taught by oldTeacher to newTeacher. A lesson whose slot
// newTeacher already teaches elsewhere cannot follow: a built or hand-placed one is removed; a
// fixed one (SetFlag 0) must stay, so the result is false and the caller rolls back. Runs inside
// the caller's transaction; a failing statement throws DbError.
bool MovePlanLessons(tw::db::Database& db, const QString& cls, const QString& course,
                     const QString& oldTeacher, const QString& newTeacher);

// Sets BuildCount of the plan row to the number of its placed lessons. Throws DbError.
void RecountBuildCount(tw::db::Database& db, const QString& cls, const QString& course,
                       const QString& teacher);

}  // namespace tw::data
