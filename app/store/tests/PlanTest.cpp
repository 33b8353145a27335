// The teaching plan's commands: the reason each gives, and a change the database refuses half
// way (a lesson that may not follow its row's new teacher) leaving the plan and its lessons as
// they were.
#include <QStringList>
#include <random>

#include "StoreTestSupport.h"
#include "store/Invariants.h"
#include "store/Plan.h"

using tw::store::Outcome;
using tw::store::PlanKey;
using tw::store::Reason;

namespace {

class PlanTest : public storetest::StoreTest {
  protected:
    QString Everything() {
        return Rows("select * from ClassPlantb order by ClassCode,CourseCode,TeacherCode") + "/" +
               Rows("select * from LessonListtb order by ClassCode,Day,LessonNo");
    }
};

// Random adds, changes and deletes of plan rows between lessons placed for them, where the
// database refuses any lesson given to teacher T4. Each command's reason is the one the stored
// rows call for; a command that is not done changes nothing, one the database refused gives its
// text, and after every command the timetable keeps its rules.
TEST_F(PlanTest, RandomCommandsGiveTheirReasonsAndKeepTheTimetableSound) {
    db_->Execute(
        "create trigger NoT4 before update on LessonListtb when new.TeacherCode='T4' "
        "begin select raise(abort, 'T4 refused'); end");
    std::mt19937 rng(3102);
    auto pick = [&rng](int n) { return static_cast<int>(rng() % static_cast<unsigned>(n)); };
    const QStringList classes = {"11", "12", "21"};
    const QStringList courses = {"C1", "c1", "C2", "C3"};
    const QStringList teachers = {"T1", "t1", "T2", "T3", "T4"};
    const QStringList counts = {"1", "2.5", " 3 ", "x", "40000", "30000"};
    auto some = [&](const QStringList& from) { return from[pick(from.size())]; };
    // Every code names its stored class, course or teacher ("c1" and "t1" are "C1" and "T1").
    for (const auto& [table, codes] :
         {std::pair{"Classtb", classes}, {"Coursetb", courses}, {"Teachertb", teachers}}) {
        for (const QString& code : codes) {
            db_->Execute(QString("insert or ignore into %1 (Code,Name) values ('%2','%2')")
                             .arg(table, code));
        }
    }
    auto stored = [&](const PlanKey& k) {
        return Rows("select Count from ClassPlantb where ClassCode='" + k.classCode +
                    "' and CourseCode='" + k.courseCode + "' and TeacherCode='" + k.teacherCode +
                    "'");
    };
    int done = 0, other = 0, bad = 0, notFound = 0, fixed = 0, refused = 0, changed = 0;
    for (int step = 0; step < 2000; ++step) {
        const PlanKey key{some(classes), some(courses), some(teachers)};
        const QString before = Everything();
        const QString sameCourse = "ClassCode='" + key.classCode + "' and CourseCode='" +
                                   key.courseCode + "' and TeacherCode";
        const bool otherTeacher =
            !Rows("select 1 from ClassPlantb where " + sameCourse + "<>'" + key.teacherCode + "'")
                 .isEmpty();
        const QString count = some(counts);
        const int action = pick(8);
        Outcome outcome;
        if (action <= 2) {
            const QString was = stored(key);
            outcome = tw::store::AddPlanRow(*db_, key, count);
            const auto n = tw::store::PlanCount(count);
            const Reason expected = otherTeacher                     ? Reason::OtherTeacher
                                    : !n || was.toInt() + *n > 32767 ? Reason::BadCount
                                                                     : Reason::Done;
            ASSERT_EQ(outcome.reason, expected) << "step " << step;
        } else if (action == 3) {
            const bool none = stored(key).isEmpty();
            outcome = tw::store::DeletePlanRow(*db_, key);
            ASSERT_EQ(outcome.reason, none ? Reason::NotFound : Reason::Done) << "step " << step;
        } else if (action <= 5) {
            // A change of a stored row (now and then with a count it no longer holds).
            const QStringList rows =
                RowList("select ClassCode,CourseCode,TeacherCode,Count from ClassPlantb");
            if (rows.isEmpty()) continue;
            const QStringList r = some(rows).split('|');
            const short was = static_cast<short>(r[3].toInt() + (pick(8) == 0 ? 1 : 0));
            const tw::store::PlanChange change{{r[0], r[1], r[2]},
                                               was,
                                               pick(10) == 0 ? some(courses) : r[1],
                                               some(teachers),
                                               count};
            outcome = tw::store::ModifyPlanRow(*db_, change);
            changed += outcome.Done();
            fixed += outcome.reason == Reason::FixedInTheWay;
            if (outcome.reason == Reason::CourseChanged) {
                ASSERT_NE(change.newCourseCode.toLower(), r[1].toLower()) << step;
            } else if (outcome.reason == Reason::BadCount) {
                ASSERT_FALSE(tw::store::PlanCount(count)) << step;
            } else if (outcome.reason == Reason::NotFound) {
                ASSERT_NE(was, r[3].toInt()) << step;
            }
        } else {
            // A lesson of a stored row where its class and teacher are free: fixed or built.
            const QStringList rows =
                RowList("select ClassCode,CourseCode,TeacherCode from ClassPlantb");
            if (rows.isEmpty()) continue;
            const QStringList r = some(rows).split('|');
            const int day = 1 + pick(2), lesson = 1 + pick(3);
            const QString slot = QString(" and Day=%1 and LessonNo=%2").arg(day).arg(lesson);
            if (Rows("select 1 from LessonListtb where (ClassCode='" + r[0] + "' or TeacherCode='" +
                     r[2] + "')" + slot)
                    .isEmpty()) {
                db_->Execute(QString("insert into LessonListtb values ('%1',%2,%3,'%4','%5',%6)")
                                 .arg(r[0])
                                 .arg(day)
                                 .arg(lesson)
                                 .arg(r[1], r[2])
                                 .arg(pick(3)));
                db_->Execute("update ClassPlantb set BuildCount=BuildCount+1 where ClassCode='" +
                             r[0] + "' and CourseCode='" + r[1] + "' and TeacherCode='" + r[2] +
                             "'");
            }
            continue;
        }
        done += outcome.Done();
        other += outcome.reason == Reason::OtherTeacher;
        bad += outcome.reason == Reason::BadCount;
        notFound += outcome.reason == Reason::NotFound;
        if (outcome.reason == Reason::DatabaseError) {
            ++refused;
            ASSERT_TRUE(outcome.detail.contains("T4 refused")) << outcome.detail.toStdString();
        }
        if (!outcome.Done()) {
            ASSERT_EQ(Everything(), before) << "step " << step;
        }
        ASSERT_EQ(tw::store::BrokenTimetableRule(*db_, {3, {}}), "") << "step " << step;
    }
    EXPECT_GT(done, 200);
    EXPECT_GT(changed, 50);
    EXPECT_GT(other, 50);
    EXPECT_GT(bad, 50);
    EXPECT_GT(notFound, 20);
    EXPECT_GT(fixed, 0);
    EXPECT_GT(refused, 5);
}

}  // namespace
