#include "Invariants.h"

#include <cassert>

#include "Command.h"
#include "db/CodeOrder.h"
#include "db/Database.h"

namespace tw::store {

namespace {

// Every row of a query, its fields joined by '|'.
QStringList RowList(tw::db::Database& db, const QString& sql) {
    auto rs = db.OpenRecordset(sql);
    QStringList rows;
    for (; !rs->Eof(); rs->MoveNext()) {
        QStringList fields;
        for (int i = 0; i < rs->FieldCount(); ++i) fields << rs->Fields(i).Text();
        rows << fields.join('|');
    }
    return rows;
}

QString FirstBrokenRule(tw::db::Database& db, const TimetableRules& rules) {
    // Each rule with the query of the rows that break it, asked in this order (the week only
    // when its lessons a day are given).
    struct Rule {
        const char* broken;
        QString rows;
        bool asked;
    };
    const Rule checks[] = {
        {"a class twice in one slot",
         "select ClassCode, Day, LessonNo from LessonListtb group by ClassCode, Day, LessonNo "
         "having count(*) > 1",
         true},
        {"a teacher twice in one slot",
         "select TeacherCode, Day, LessonNo from LessonListtb group by TeacherCode, Day, LessonNo "
         "having count(*) > 1",
         true},
        {"a lesson outside the week",
         "select ClassCode, Day, LessonNo from LessonListtb where Day is null or Day < 1 or "
         "Day > 5 or LessonNo is null or LessonNo < 1 or LessonNo > " +
             QString::number(rules.lessonsPerDay),
         rules.lessonsPerDay > 0},
        {"a lesson without its plan row",
         "select ClassCode, CourseCode, TeacherCode, Day, LessonNo from LessonListtb l where not "
         "exists (select 1 from ClassPlantb p where p.ClassCode = l.ClassCode and p.CourseCode = "
         "l.CourseCode and p.TeacherCode = l.TeacherCode)",
         true},
        {"BuildCount is not the row's placed lessons",
         "select ClassCode, CourseCode, TeacherCode, BuildCount from ClassPlantb p where "
         "BuildCount is null or BuildCount <> (select count(*) from LessonListtb l where "
         "l.ClassCode = p.ClassCode and l.CourseCode = p.CourseCode and l.TeacherCode = "
         "p.TeacherCode)",
         true},
        {"one plan row twice",
         "select ClassCode, CourseCode, TeacherCode from ClassPlantb group by ClassCode, "
         "CourseCode, TeacherCode having count(*) > 1",
         true},
    };
    for (const Rule& rule : checks) {
        if (!rule.asked) continue;
        const QString found = RowList(db, rule.rows).join(',');
        if (!found.isEmpty()) return QString(rule.broken) + ": " + found;
    }
    for (const QString& shared : RowList(db,
                                         "select ClassCode, CourseCode from ClassPlantb group by "
                                         "ClassCode, CourseCode having count(*) > 1")) {
        bool allowed = false;
        for (const QString& key : rules.sharedCourses) allowed |= tw::db::SameCode(key, shared);
        if (!allowed) return "a second plan row of one class and course: " + shared;
    }
    return {};
}

}  // namespace

QString BrokenTimetableRule(tw::db::Database& db, const TimetableRules& rules) {
    try {
        return FirstBrokenRule(db, rules);
    } catch (const tw::db::DbError& e) {
        return QStringLiteral("the timetable tables cannot be read: ") + e.what();
    }
}

bool TimetableSound(tw::db::Database& db) {
#ifdef NDEBUG
    (void)db;
    return true;
#else
    // The check's own reads stay out of the statement log: what a command sends is the same in
    // every build type.
    auto log = db.SetStatementLog({});
    const bool sound = BrokenTimetableRule(db).isEmpty();
    db.SetStatementLog(std::move(log));
    return sound;
#endif
}

}  // namespace tw::store
