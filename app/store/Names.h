// The names of the master records as the forms look them up and list them: a class's, course's
// or teacher's name by code, a record's code by name, the teacher a class's plan gives a
// course, and the Code, Name and FullName of every class, course, teacher or classroom for the
// lists the forms fill. Codes and names are quoted into the statements and compared as the
// database compares them.
#pragma once

#include <QList>
#include <QString>

#include "MasterData.h"
#include "Outcome.h"

namespace tw::db {
class Database;
}

namespace tw::store {

// ---- Lookups: the field of the first matching row in the order the database gives them; ""
// when no row matches or the field is Null, and "" with the reason when the read fails ----
Read<QString> GetClassName(tw::db::Database& db, const QString& classCode);
Read<QString> GetClassShortName(tw::db::Database& db, const QString& classCode);
Read<QString> GetCourseName(tw::db::Database& db, const QString& courseCode);
Read<QString> GetTeacherName(tw::db::Database& db, const QString& teacherCode);
Read<QString> GetClassCode(tw::db::Database& db, const QString& className);
Read<QString> GetCourseCode(tw::db::Database& db, const QString& courseName);
Read<QString> GetTeacherCode(tw::db::Database& db, const QString& teacherName);
Read<QString> GetClassRoomCode(tw::db::Database& db, const QString& classRoomName);
// The teacher of the plan row of the class and the course.
Read<QString> GetPlanTeacher(tw::db::Database& db, const QString& classCode,
                             const QString& courseCode);

// ---- Lists: Code, Name and FullName of every record (shortName stays empty). When the read
// fails, value holds the records read before the failure ----

// Every class in the order the database gives them.
Read<QList<MasterRecord>> ReadClassList(tw::db::Database& db);
// Every course in the order the database gives them.
Read<QList<MasterRecord>> ReadCourseList(tw::db::Database& db);
// Every teacher: in the order the database gives them, or by code as the teacher lists show
// them.
enum class TeacherOrder { AsStored, ByCode };
Read<QList<MasterRecord>> ReadTeacherList(tw::db::Database& db, TeacherOrder order);
// Every classroom in the order the database gives them.
Read<QList<MasterRecord>> ReadClassRoomList(tw::db::Database& db);

}  // namespace tw::store
