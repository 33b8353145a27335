// Fixture of the builder tests: a fresh timetable database in a temporary program folder, with
// small helpers to write rows and read results.
#pragma once

#include <gtest/gtest.h>

#include <QByteArray>
#include <QCryptographicHash>
#include <QString>
#include <QStringList>
#include <memory>
#include <string>
#include <utility>

#include "AppTestSupport.h"
#include "QueryTestSupport.h"
#include "StatementLogTestSupport.h"
#include "db/Database.h"
#include "timetable/mdlBuildKb.h"

// The statements a connection is given during some runs, one run after the other: how many in
// all, and one digest of the runs' own digests in turn.
class RunStatements {
  public:
    template <class Run>
    auto Record(tw::db::Database& db, Run&& run) {
        twtest::StatementRecorder recorder(db);
        auto result = std::forward<Run>(run)();
        count_ += recorder.Count();
        hash_.addData(recorder.Digest().toLatin1());
        return result;
    }
    long long Count() const { return count_; }
    std::string Digest() const { return hash_.result().toHex().left(16).toStdString(); }

  private:
    QCryptographicHash hash_{QCryptographicHash::Sha1};
    long long count_ = 0;
};

class BuildTest : public ::testing::Test {
  public:
    void SetUp() override {
        env_ = std::make_unique<twtest::AppTestEnv>();
        twtest::State().lessonOfDay = 6;
    }
    void TearDown() override { env_.reset(); }

    tw::db::Database& db() { return twtest::State().Db(); }
    void Exec(const QString& sql) { db().Execute(sql); }
    // First column of the first row as a number (0 when there is no row).
    long long Int(const QString& sql) {
        auto rs = db().OpenRecordset(sql);
        long long v = rs->Eof() ? 0 : rs->Fields(0).Int();
        rs->Close();
        return v;
    }
    // Every row, its columns joined by "|", rows in the statement's order.
    QStringList Rows(const QString& sql) { return twtest::RowList(db(), sql); }

    void AddClass(const QString& code) {
        Exec("insert into Classtb (Code,Name,FullName,ShortName) values ('" + tw::db::SqlQ(code) +
             "','" + tw::db::SqlQ(code) + "','','')");
    }
    void AddPlan(const QString& cls, const QString& course, const QString& teacher, int count) {
        Exec("insert into ClassPlantb (ClassCode,CourseCode,TeacherCode,Count) values ('" +
             tw::db::SqlQ(cls) + "','" + tw::db::SqlQ(course) + "','" + tw::db::SqlQ(teacher) +
             "'," + QString::number(count) + ")");
    }
    void AddLesson(const QString& cls, int day, int lesson, const QString& course,
                   const QString& teacher, int flag) {
        Exec("insert into LessonListtb values('" + tw::db::SqlQ(cls) + "'," + QString::number(day) +
             "," + QString::number(lesson) + ",'" + tw::db::SqlQ(course) + "','" +
             tw::db::SqlQ(teacher) + "'," + QString::number(flag) + ")");
    }
    void AddCourseLimit(const QString& course, int day, int lesson, int attr) {
        Exec("insert into Limittb values(1,'" + tw::db::SqlQ(course) + "'," + QString::number(day) +
             "," + QString::number(lesson) + "," + QString::number(attr) + ")");
    }
    // Placed lessons of a class and course as "day.lesson", in day and lesson order.
    QStringList Slots(const QString& cls, const QString& course) {
        QStringList out;
        for (const QString& r :
             Rows("select Day, LessonNo from LessonListtb where ClassCode='" + tw::db::SqlQ(cls) +
                  "' and CourseCode='" + tw::db::SqlQ(course) + "' order by Day, LessonNo"))
            out << QString(r).replace('|', '.');
        return out;
    }
    // Empties the tables a build reads and writes, then runs the statements; one transaction.
    void Refill(const QStringList& fill) {
        tw::db::Transaction transaction(db());
        for (const char* table : {"ClassPlantb", "LessonListtb", "Limittb", "CourseAttrtb"})
            Exec(QString("delete from ") + table);
        for (const QString& sql : fill) Exec(sql);
        transaction.Commit();
    }
    // A build's percentage and what it wrote: the lessons and the plan rows in storage order.
    QStringList Outcome(int percent) {
        return QStringList{QString::number(percent)} +
               Rows("select * from LessonListtb order by rowid") +
               Rows("select * from ClassPlantb order by rowid");
    }
    int Build(tw::timetable::RandomSource rnd) {
        tw::timetable::Builder builder(db(), twtest::State().lessonOfDay, std::move(rnd));
        return builder.AutoBuildLessons();
    }

    std::unique_ptr<twtest::AppTestEnv> env_;
};
