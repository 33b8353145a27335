// A generated school for the print and export commands: the generator's classes, courses,
// teachers and plan, with lessons placed at random from the plan rows (some sharing a slot, some
// outside the week of six or seven lessons), two classes and two teachers that share a name, and
// names with a single or a double quote; a teacher without lessons and a class with a lesson
// beyond the sixth alone.
#pragma once

#include <QString>
#include <random>
#include <vector>

#include "SchoolGen.h"
#include "db/Database.h"

namespace twtest {

// Fills an empty database; throws tw::db::DbError.
inline void WriteOutputSchool(tw::db::Database& db) {
    tw::timetable::demo::SchoolParams params;
    params.classes = 6;
    params.lessonsPerWeek = 30;
    params.lessonsPerDay = 7;
    params.teacherLoad = 12;
    params.seed = 7101;
    tw::timetable::demo::WriteSchool(db, params);

    struct PlanRow {
        QString cls, course, teacher;
    };
    std::vector<PlanRow> plan;
    auto rs = db.OpenRecordset(
        "select ClassCode,CourseCode,TeacherCode from ClassPlantb order by ClassCode,CourseCode");
    for (; !rs->Eof(); rs->MoveNext()) {
        plan.push_back({rs->Fields("ClassCode").Text(), rs->Fields("CourseCode").Text(),
                        rs->Fields("TeacherCode").Text()});
    }
    rs->Close();
    auto codes = [&db](const QString& table) {
        QStringList list;
        auto r = db.OpenRecordset("select Code from " + table + " order by Code");
        for (; !r->Eof(); r->MoveNext()) list << r->Fields("Code").Text();
        r->Close();
        return list;
    };
    const QStringList classes = codes("Classtb");
    const QStringList teachers = codes("Teachertb");

    std::mt19937 rng(7110);
    auto pick = [&rng](int n) { return static_cast<int>(rng() % static_cast<unsigned>(n)); };
    for (int i = 0; i < 160; ++i) {
        const PlanRow& row = plan[static_cast<size_t>(pick(static_cast<int>(plan.size())))];
        // Now and then a slot outside the week: day 0 or 6, lesson 0 or 8.
        const int day = pick(20) == 0 ? 6 * pick(2) : 1 + pick(5);
        const int lesson = pick(20) == 0 ? 8 * pick(2) : 1 + pick(7);
        db.Execute("insert into LessonListtb values ('" + tw::db::SqlQ(row.cls) + "'," +
                   QString::number(day) + "," + QString::number(lesson) + ",'" +
                   tw::db::SqlQ(row.course) + "','" + tw::db::SqlQ(row.teacher) + "',1)");
    }
    auto rename = [&db](const QString& table, const QString& code, const QString& name) {
        db.Execute("update " + table + " set Name='" + tw::db::SqlQ(name) + "' where Code='" +
                   tw::db::SqlQ(code) + "'");
    };
    rename("Classtb", classes[1], "一(1)班");
    rename("Classtb", classes[2], "一(1)班");
    rename("Classtb", classes[3], "O'Neil班");
    rename("Teachertb", teachers[0], "张伟");
    rename("Teachertb", teachers[2], "张伟");
    rename("Teachertb", teachers[1], "O'Brien");
    rename("Teachertb", teachers[3], "\"小\"李");
    // A teacher without lessons, and a class whose one lesson lies beyond the sixth.
    db.Execute("insert into Teachertb values ('T99','无课','','')");
    db.Execute("insert into Classtb values ('99','七(9)班','七年级九班','七9')");
    db.Execute("insert into LessonListtb values ('99',2,7,'" + tw::db::SqlQ(plan[0].course) +
               "','T99',1)");
}

}  // namespace twtest
