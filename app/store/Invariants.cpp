#include "Invariants.h"

#include <algorithm>
#include <cassert>
#include <cstdio>

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

// A plan row's or a lesson's codes that name no stored class, course or teacher.
QString OrphanCodes(const char* table) {
    return QStringLiteral("select '") + table + "', ClassCode, CourseCode, TeacherCode from " +
           table +
           " t where not exists (select 1 from Classtb m where m.Code = t.ClassCode) or not "
           "exists (select 1 from Coursetb m where m.Code = t.CourseCode) or not exists (select "
           "1 from Teachertb m where m.Code = t.TeacherCode)";
}

// Whether a row "code|..." is one of the allowed ones, its codes compared as the database
// compares them.
bool Allowed(const QString& row, const QStringList& allowed) {
    return std::any_of(allowed.begin(), allowed.end(),
                       [&row](const QString& key) { return tw::db::SameCode(key, row); });
}

QString FirstBrokenRule(tw::db::Database& db, const TimetableRules& rules) {
    const auto named = [](int number, const char* broken, const QString& rows) {
        return QStringLiteral("rule %1: %2: %3").arg(number).arg(broken, rows);
    };
    // Rule 1 is asked first and rule 7 last, by the program, since they allow the caller's
    // doubled slots and shared courses; each other rule by its number, with the query of the
    // rows that break it, asked in this order (rule 3 only when the week's lessons a day are
    // given).
    QStringList doubled;
    for (const QString& slot : RowList(db,
                                       "select ClassCode, Day, LessonNo from LessonListtb group "
                                       "by ClassCode, Day, LessonNo having count(*) > 1")) {
        if (!Allowed(slot, rules.doubledSlots)) doubled << slot;
    }
    if (!doubled.isEmpty()) return named(1, "a class twice in one slot", doubled.join(','));
    struct Rule {
        int number;
        bool asked;
        const char* broken;
        QString rows;
    };
    const Rule checks[] = {
        {2, true, "a teacher twice in one slot",
         "select TeacherCode, Day, LessonNo from LessonListtb group by TeacherCode, Day, LessonNo "
         "having count(*) > 1"},
        {3, rules.lessonsPerDay > 0, "a lesson outside the week",
         "select ClassCode, Day, LessonNo from LessonListtb where Day is null or Day < 1 or "
         "Day > 5 or LessonNo is null or LessonNo < 1 or LessonNo > " +
             QString::number(rules.lessonsPerDay)},
        {4, true, "a lesson without its plan row",
         "select ClassCode, CourseCode, TeacherCode, Day, LessonNo from LessonListtb l where not "
         "exists (select 1 from ClassPlantb p where p.ClassCode = l.ClassCode and p.CourseCode = "
         "l.CourseCode and p.TeacherCode = l.TeacherCode)"},
        {5, true, "BuildCount is not the row's placed lessons",
         "select ClassCode, CourseCode, TeacherCode, BuildCount from ClassPlantb p where "
         "BuildCount is null or BuildCount <> (select count(*) from LessonListtb l where "
         "l.ClassCode = p.ClassCode and l.CourseCode = p.CourseCode and l.TeacherCode = "
         "p.TeacherCode)"},
        {6, true, "one plan row twice",
         "select ClassCode, CourseCode, TeacherCode from ClassPlantb group by ClassCode, "
         "CourseCode, TeacherCode having count(*) > 1"},
        {8, true, "one slot limit twice",
         "select Kind, Code, Day, LessonNo from Limittb group by Kind, Code, Day, LessonNo "
         "having count(*) > 1"},
        {9, true, "a code that names no stored class, course or teacher",
         OrphanCodes("ClassPlantb") + " union all " + OrphanCodes("LessonListtb") +
             " union all select 'Limittb', Kind, Code, Day from Limittb l where (Kind = 1 and "
             "not exists (select 1 from Coursetb m where m.Code = l.Code)) or (Kind = 2 and not "
             "exists (select 1 from Teachertb m where m.Code = l.Code))"},
    };
    for (const Rule& rule : checks) {
        if (!rule.asked) continue;
        const QString found = RowList(db, rule.rows).join(',');
        if (!found.isEmpty()) return named(rule.number, rule.broken, found);
    }
    for (const QString& shared : RowList(db,
                                         "select ClassCode, CourseCode from ClassPlantb group by "
                                         "ClassCode, CourseCode having count(*) > 1")) {
        if (!Allowed(shared, rules.sharedCourses))
            return named(7, "a second plan row of one class and course", shared);
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

#ifndef NDEBUG
namespace {
// The checker's reads stay out of the statement log: what a command sends is the same in every
// build type.
QString UnloggedBrokenRule(tw::db::Database& db) {
    auto log = db.SetStatementLog({});
    QString broken = BrokenTimetableRule(db);
    db.SetStatementLog(std::move(log));
    return broken;
}
}  // namespace
#endif

bool TimetableSound(tw::db::Database& db) {
#ifdef NDEBUG
    (void)db;
    return true;
#else
    return UnloggedBrokenRule(db).isEmpty();
#endif
}

void AssertTimetableRulesKept(tw::db::Database& db, bool keptBefore) {
#ifdef NDEBUG
    (void)db;
    (void)keptBefore;
#else
    if (!keptBefore) return;
    const QString broken = UnloggedBrokenRule(db);
    if (broken.isEmpty()) return;
    std::fprintf(stderr, "A committed command broke the timetable tables' %s\n",
                 broken.toUtf8().constData());
    assert(!"a committed command broke a rule of the timetable tables");
#endif
}

}  // namespace tw::store
