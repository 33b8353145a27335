// The rules the timetable tables keep, checked in one place over the stored data: the random
// tests of the plan form, pre-setting and hand editing ask after every step whether one broke.
#pragma once

#include <QString>
#include <QStringList>

#include "QueryTestSupport.h"
#include "db/CodeOrder.h"
#include "db/Database.h"

namespace twtest {

struct TimetableRules {
    // When above 0, every lesson lies in days 1 to 5 and lessons 1 to lessonsPerDay.
    int lessonsPerDay = 0;
    // "class|course" of plans that may hold more than one row (two teachers of one course, from
    // an older file); every other class and course has at most one plan row.
    QStringList sharedCourses;
};

// The first rule the timetable tables break, as a short text naming the rows; "" when all hold.
// Codes are grouped and matched as the database compares them.
inline QString BrokenTimetableRule(tw::db::Database& db, const TimetableRules& rules = {}) {
    const auto rows = [&db](const QString& sql) { return RowList(db, sql).join(','); };
    QString found = rows(
        "select ClassCode, Day, LessonNo from LessonListtb group by ClassCode, Day, LessonNo "
        "having count(*) > 1");
    if (!found.isEmpty()) return "a class twice in one slot: " + found;
    found = rows(
        "select TeacherCode, Day, LessonNo from LessonListtb group by TeacherCode, Day, LessonNo "
        "having count(*) > 1");
    if (!found.isEmpty()) return "a teacher twice in one slot: " + found;
    if (rules.lessonsPerDay > 0) {
        found = rows(
            "select ClassCode, Day, LessonNo from LessonListtb where Day is null or Day < 1 or "
            "Day > 5 or LessonNo is null or LessonNo < 1 or LessonNo > " +
            QString::number(rules.lessonsPerDay));
        if (!found.isEmpty()) return "a lesson outside the week: " + found;
    }
    found = rows(
        "select ClassCode, CourseCode, TeacherCode, Day, LessonNo from LessonListtb l where not "
        "exists (select 1 from ClassPlantb p where p.ClassCode = l.ClassCode and p.CourseCode = "
        "l.CourseCode and p.TeacherCode = l.TeacherCode)");
    if (!found.isEmpty()) return "a lesson without its plan row: " + found;
    found = rows(
        "select ClassCode, CourseCode, TeacherCode, BuildCount from ClassPlantb p where "
        "BuildCount is null or BuildCount <> (select count(*) from LessonListtb l where "
        "l.ClassCode = p.ClassCode and l.CourseCode = p.CourseCode and l.TeacherCode = "
        "p.TeacherCode)");
    if (!found.isEmpty()) return "BuildCount is not the row's placed lessons: " + found;
    found = rows(
        "select ClassCode, CourseCode, TeacherCode from ClassPlantb group by ClassCode, "
        "CourseCode, TeacherCode having count(*) > 1");
    if (!found.isEmpty()) return "one plan row twice: " + found;
    for (const QString& shared : RowList(db,
                                         "select ClassCode, CourseCode from ClassPlantb group by "
                                         "ClassCode, CourseCode having count(*) > 1")) {
        bool allowed = false;
        for (const QString& key : rules.sharedCourses) allowed |= tw::db::SameCode(key, shared);
        if (!allowed) return "a second plan row of one class and course: " + shared;
    }
    return {};
}

}  // namespace twtest
