// The master tables' commands: the reason each gives, all-or-nothing deletes with the rows that
// name a code, and codes matched as the database compares them.
#include <QStringList>
#include <iterator>
#include <map>
#include <random>

#include "StoreTestSupport.h"
#include "db/CodeOrder.h"
#include "store/Invariants.h"
#include "store/MasterData.h"

using tw::store::MasterRecord;
using tw::store::MasterTable;
using tw::store::Outcome;
using tw::store::Reason;

namespace {

class MasterDataTest : public storetest::StoreTest {};

const char* const kTables[4] = {"Coursetb", "Teachertb", "ClassRoomtb", "Classtb"};

// Random adds, renames and deletes on the four tables, between lessons placed for the stored
// classes, courses and teachers and limits of every kind. Each command's reason is the one a
// model of the tables (codes keyed as the database compares them) expects; after every command
// the timetable keeps its rules, each table holds the model's rows, no lesson, plan row or
// class, course or teacher limit names a code that is gone, and classroom limits stay. Writes
// the database refuses give its text and change nothing.
TEST_F(MasterDataTest, RandomCommandsGiveTheirReasonsAndKeepTheTablesSound) {
    db_->Execute(
        "create trigger KeepC2 before delete on Coursetb when old.Code='C2' "
        "begin select raise(abort, 'course kept'); end");
    db_->Execute(
        "create trigger NoBadName before insert on Teachertb when new.Name='坏' "
        "begin select raise(abort, 'name refused'); end");
    std::map<QByteArray, MasterRecord> model[4];
    std::mt19937 rng(3103);
    auto pick = [&rng](int n) { return static_cast<int>(rng() % static_cast<unsigned>(n)); };
    // Codes equal as the database compares them (ASCII letters in either case) and codes that
    // are not (full-width letters, a character above U+FFFF), a quote, one too long.
    const QStringList codes = {"C1",
                               "c1",
                               "C2",
                               "Ｃ3",
                               "ｃ3",
                               "T1",
                               "t1",
                               "R1",
                               "11",
                               "12",
                               "O'K",
                               "\U00020000"
                               "1",
                               "1A",
                               "T2x",
                               "602",
                               "21",
                               "T1234567890"};
    const QStringList names = {
        "语文", "O'Brien", "", "一二三四五六七八九十", "一二三四五六七八九十一", "坏"};
    auto some = [&](const QStringList& from) { return from[pick(from.size())]; };
    auto anyCode = [&](int t) -> QString {
        if (model[t].empty()) return {};
        auto it = model[t].begin();
        std::advance(it, pick(static_cast<int>(model[t].size())));
        return it->second.code;
    };
    int done = 0, taken = 0, notFound = 0, tooLong = 0, refused = 0, placed = 0;
    for (int step = 0; step < 3000; ++step) {
        const int t = pick(4);
        const auto table = static_cast<MasterTable>(t);
        const MasterRecord record{some(codes), some(names), some(names), some(names)};
        const auto key = tw::db::CodeKey(record.code);
        const bool stored = model[t].count(key) > 0;
        const long long roomLimits = Count("select count(*) from Limittb where Kind=3");
        const int action = pick(8);
        Outcome outcome;
        Reason expected = Reason::Done;
        if (action <= 2) {
            outcome = tw::store::AddMasterRecord(*db_, table, record);
            if (!tw::store::TooLongColumns(record).isEmpty()) {
                expected = Reason::TooLong;
            } else if (stored) {
                expected = Reason::CodeTaken;
            } else if (t == 1 && record.name == "坏") {
                expected = Reason::DatabaseError;
            } else {
                model[t][key] = record;
                EXPECT_EQ(outcome.rows, 1) << step;
            }
        } else if (action <= 4) {
            outcome = tw::store::RenameMasterRecord(*db_, table, record);
            if (stored) {
                MasterRecord& kept = model[t][key];
                kept = {kept.code, record.name, record.fullName, record.shortName};
            } else {
                expected = Reason::NotFound;
            }
        } else if (action <= 5) {
            outcome = tw::store::DeleteMasterRecord(*db_, table, record.code);
            if (!stored) {
                expected = Reason::NotFound;
            } else if (t == 0 && tw::db::SameCode(record.code, "C2")) {
                expected = Reason::DatabaseError;
            } else {
                model[t].erase(key);
            }
        } else {
            // A lesson of a stored class, course and teacher in a slot both have free, with its
            // plan row counted; a limit for a stored code.
            const QString cls = anyCode(3), course = anyCode(0);
            QString teacher = anyCode(1);
            if (cls.isEmpty() || course.isEmpty() || teacher.isEmpty()) continue;
            const QString plan = "ClassCode='" + tw::db::SqlQ(cls) + "' and CourseCode='" +
                                 tw::db::SqlQ(course) + "'";
            const QStringList planTeacher =
                Column("select TeacherCode from ClassPlantb where " + plan);
            if (planTeacher.isEmpty()) {
                db_->Execute("insert into ClassPlantb values ('" + tw::db::SqlQ(cls) + "','" +
                             tw::db::SqlQ(course) + "','" + tw::db::SqlQ(teacher) + "',5,0,0)");
            } else {
                teacher = planTeacher[0];
            }
            const int day = 1 + pick(5), lesson = 1 + pick(6);
            const QString slot = QString(" and Day=%1 and LessonNo=%2").arg(day).arg(lesson);
            if (Count("select count(*) from LessonListtb where (ClassCode='" + tw::db::SqlQ(cls) +
                      "' or TeacherCode='" + tw::db::SqlQ(teacher) + "')" + slot) == 0) {
                db_->Execute(QString("insert into LessonListtb values ('%1',%2,%3,'%4','%5',0)")
                                 .arg(tw::db::SqlQ(cls))
                                 .arg(day)
                                 .arg(lesson)
                                 .arg(tw::db::SqlQ(course), tw::db::SqlQ(teacher)));
                db_->Execute("update ClassPlantb set BuildCount=BuildCount+1 where " + plan);
                ++placed;
            }
            const int kind = pick(4);
            const QString limited = anyCode(kind == 0 ? 3 : kind - 1);
            if (!limited.isEmpty()) {
                const QString limit = QString("%1,'%2',%3,%4")
                                          .arg(kind)
                                          .arg(tw::db::SqlQ(limited))
                                          .arg(day)
                                          .arg(lesson);
                db_->Execute("insert into Limittb select " + limit +
                             ",0 where not exists (select 1 from Limittb where "
                             "(Kind,Code,Day,LessonNo) = (" +
                             limit + "))");
            }
            continue;
        }
        ASSERT_EQ(outcome.reason, expected) << "step " << step << ", table " << t << ", action "
                                            << action << ", code " << record.code.toStdString();
        done += outcome.Done();
        taken += expected == Reason::CodeTaken;
        notFound += expected == Reason::NotFound;
        tooLong += expected == Reason::TooLong;
        if (expected == Reason::DatabaseError) {
            ++refused;
            EXPECT_TRUE(outcome.detail.contains("kept") || outcome.detail.contains("refused"))
                << outcome.detail.toStdString();
        }
        ASSERT_EQ(tw::store::BrokenTimetableRule(*db_, {6, {}}), "") << "step " << step;
        for (int m = 0; m < 4; ++m) {
            QStringList want;
            for (const auto& [k, r] : model[m]) {
                want << QStringList{r.code, r.name, r.fullName, r.shortName}.join('|');
            }
            want.sort();
            const auto read = tw::store::ReadMasterRecords(*db_, static_cast<MasterTable>(m));
            ASSERT_TRUE(read.Done());
            QStringList got;
            for (const MasterRecord& r : read.value) {
                got << QStringList{r.code, r.name, r.fullName, r.shortName}.join('|');
            }
            got.sort();
            ASSERT_EQ(got.join(';').toStdString(), want.join(';').toStdString())
                << "step " << step << ", table " << kTables[m];
        }
        const QString orphans =
            " not in (select Code from Classtb) or CourseCode not in (select Code from "
            "Coursetb) or TeacherCode not in (select Code from Teachertb)";
        ASSERT_EQ(Count("select count(*) from LessonListtb where ClassCode" + orphans), 0) << step;
        ASSERT_EQ(Count("select count(*) from ClassPlantb where ClassCode" + orphans), 0) << step;
        ASSERT_EQ(Count("select count(*) from Limittb where (Kind=0 and Code not in (select Code "
                        "from Classtb)) or (Kind=1 and Code not in (select Code from Coursetb)) "
                        "or (Kind=2 and Code not in (select Code from Teachertb))"),
                  0)
            << step;
        ASSERT_EQ(Count("select count(*) from Limittb where Kind=3"), roomLimits) << step;
    }
    EXPECT_GT(done, 300);
    EXPECT_GT(taken, 50);
    EXPECT_GT(notFound, 50);
    EXPECT_GT(tooLong, 50);
    EXPECT_GT(refused, 5);
    EXPECT_GT(placed, 100);
}

// A read that fails gives the database's text.
TEST_F(MasterDataTest, AFailingReadGivesTheDatabasesText) {
    db_->Execute("insert into Coursetb values ('C1','语文','语文课','语')");
    const auto read = tw::store::ReadMasterRecords(*db_, MasterTable::Courses);
    ASSERT_TRUE(read.Done());
    ASSERT_EQ(read.value.size(), 1);
    EXPECT_EQ(read.value[0].fullName, "语文课");
    db_->Execute("drop table Coursetb");
    const auto failed = tw::store::ReadMasterRecords(*db_, MasterTable::Courses);
    EXPECT_EQ(failed.outcome.reason, Reason::DatabaseError);
    EXPECT_TRUE(failed.outcome.detail.contains("Coursetb")) << failed.outcome.detail.toStdString();
    EXPECT_TRUE(failed.value.isEmpty());
}

}  // namespace
