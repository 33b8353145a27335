#include "Plan.h"

#include <QRegularExpression>
#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

#include "BuildCount.h"
#include "Command.h"
#include "db/CodeOrder.h"
#include "db/Database.h"

using tw::db::SqlQ;

namespace tw::store {

namespace {

QString RowOf(const QString& cls, const QString& course, const QString& teacher) {
    return "ClassCode='" + SqlQ(cls) + "' and CourseCode='" + SqlQ(course) + "' and TeacherCode='" +
           SqlQ(teacher) + "'";
}

// The text without its leading and trailing spaces (spaces only, as the forms trim).
QString WithoutSpaces(const QString& text) {
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && text.at(begin) == QLatin1Char(' ')) ++begin;
    while (end > begin && text.at(end - 1) == QLatin1Char(' ')) --end;
    return text.mid(begin, end - begin);
}

bool FitsCount(long long value) {
    return value >= std::numeric_limits<short>::min() && value <= std::numeric_limits<short>::max();
}

Read<QList<PlanRow>> ReadPlanRows(tw::db::Database& db, const QString& sql) {
    return ReadRows<PlanRow>(db, sql, [](tw::db::Recordset& rs) {
        return PlanRow{rs.Fields("ClassCode").Text(), rs.Fields("CourseCode").Text(),
                       rs.Fields("TeacherCode").Text(), rs.Fields("Count").Text(),
                       rs.Fields("Count").Int()};
    });
}

// What became of a row's lessons when they followed a new teacher.
struct FollowedLessons {
    long long removed = 0;  // built or hand-placed lessons the new teacher could not take
    // A fixed lesson that cannot follow: its slot (day 0 for none) and the class the new teacher
    // teaches then.
    WeekSlot blocked;
    QString blockingClass;
};

// Hands the lessons of class and course taught by oldTeacher to newTeacher. A lesson whose slot
// newTeacher already teaches elsewhere cannot follow: a built or hand-placed one is removed; a
// fixed one must stay, so the walk stops there and the caller rolls back.
FollowedLessons MovePlanLessons(tw::db::Database& db, const QString& cls, const QString& course,
                                const QString& oldTeacher, const QString& newTeacher) {
    struct Lesson {
        long long day;
        long long lesson;
        bool fixed;
    };
    const QString row = RowOf(cls, course, oldTeacher);
    std::vector<Lesson> lessons;
    auto rs = db.OpenRecordset("select Day,LessonNo,SetFlag from LessonListtb where " + row);
    for (; !rs->Eof(); rs->MoveNext()) {
        lessons.push_back({rs->Fields("Day").Int(), rs->Fields("LessonNo").Int(),
                           IsFixedLesson(rs->Fields("SetFlag"))});
    }
    rs->Close();
    FollowedLessons followed;
    for (const Lesson& l : lessons) {
        const QString slot =
            " and Day=" + QString::number(l.day) + " and LessonNo=" + QString::number(l.lesson);
        auto busy = db.OpenRecordset("select ClassCode from LessonListtb where TeacherCode='" +
                                     SqlQ(newTeacher) + "'" + slot);
        const bool free = busy->Eof();
        const QString busyClass = free ? QString() : busy->Fields("ClassCode").Text();
        busy->Close();
        if (free) {
            db.Execute("update LessonListtb set TeacherCode='" + SqlQ(newTeacher) + "' where " +
                       row + slot);
        } else if (l.fixed) {
            followed.blocked = {static_cast<int>(l.day), static_cast<int>(l.lesson)};
            followed.blockingClass = busyClass;
            return followed;
        } else {
            db.Execute("delete from LessonListtb where " + row + slot);
            ++followed.removed;
        }
    }
    return followed;
}

// BadCount with the counts a row holding `stored` lessons can take on top: the sum must fit a
// 16-bit count.
Outcome BadCountOver(long long stored) {
    Outcome outcome = Outcome::Failed(Reason::BadCount);
    outcome.lowest = std::numeric_limits<short>::min() - std::min(stored, 0LL);
    outcome.highest = std::numeric_limits<short>::max() - std::max(stored, 0LL);
    return outcome;
}

}  // namespace

bool IsPlanCountNumber(const QString& trimmed) {
    static const QRegularExpression number(R"(^[+-]?(\d+(\.\d*)?|\.\d+)$)");
    return number.match(trimmed).hasMatch();
}

std::optional<short> PlanCount(const QString& text) {
    const QString trimmed = WithoutSpaces(text);
    if (!IsPlanCountNumber(trimmed)) return std::nullopt;
    // The default rounding mode rounds halves to even.
    const double value = std::nearbyint(trimmed.toDouble());
    if (value < std::numeric_limits<short>::min() || value > std::numeric_limits<short>::max()) {
        return std::nullopt;
    }
    return static_cast<short>(value);
}

Read<QList<PlanRow>> ReadClassPlan(tw::db::Database& db, const QString& classCode) {
    return ReadPlanRows(db,
                        "select * from ClassPlantb where ClassCode = '" + SqlQ(classCode) + "'");
}

Read<QList<PlanRow>> ReadTeacherPlan(tw::db::Database& db, const QString& teacherCode) {
    return ReadPlanRows(
        db, "select * from ClassPlantb where TeacherCode = '" + SqlQ(teacherCode) + "'");
}

Outcome AddPlanRow(tw::db::Database& db, const PlanKey& key, const QString& countText) {
    const std::optional<short> count = PlanCount(countText);
    return RunInTransaction(db, [&] {
        const QString where = " ClassCode='" + SqlQ(key.classCode) + "'" + " and CourseCode='" +
                              SqlQ(key.courseCode) + "'";
        auto other = db.OpenRecordset("Select CourseCode from ClassPlantb where " + where +
                                      " and TeacherCode<>'" + SqlQ(key.teacherCode) + "'");
        const bool otherTeacher = !other->Eof();
        other->Close();
        if (otherTeacher) return Outcome::Failed(Reason::OtherTeacher);
        if (!count) return BadCountOver(0);
        const QString sameRow = where + " and TeacherCode='" + SqlQ(key.teacherCode) + "'";
        auto rs = db.OpenRecordset("Select Count from ClassPlantb where " + sameRow);
        QString statement;
        if (rs->Eof()) {
            statement =
                "Insert Into ClassPlantb ( ClassCode,CourseCode,TeacherCode,Count) Values ('" +
                SqlQ(key.classCode) + "','" + SqlQ(key.courseCode) + "','" + SqlQ(key.teacherCode) +
                "'," + QString::number(*count) + ")";
        } else {
            const long long stored = rs->Fields("Count").Int();
            const long long sum = stored + *count;
            if (!FitsCount(sum)) {
                rs->Close();
                return BadCountOver(stored);
            }
            statement =
                "Update ClassPlantb set Count=" + QString::number(sum) + " where " + sameRow;
        }
        rs->Close();
        db.Execute(statement, 0);
        return Outcome::Ok(db.RecordsAffected());
    });
}

Outcome DeletePlanRow(tw::db::Database& db, const PlanKey& key) {
    return RunInTransaction(db, [&] {
        const QString match = "ClassCode='" + SqlQ(key.classCode) + "'" + " and CourseCode = '" +
                              SqlQ(key.courseCode) + "'" + " and TeacherCode = '" +
                              SqlQ(key.teacherCode) + "'";
        db.Execute("Delete From LessonListtb Where  " + match, 0);
        db.Execute("Delete From ClassPlantb Where " + match, 0);
        // A delete that finds no plan row deleted nothing, its lessons included.
        const long long deleted = db.RecordsAffected();
        return deleted > 0 ? Outcome::Ok(deleted) : Outcome::Failed(Reason::NotFound);
    });
}

Outcome ModifyPlanRow(tw::db::Database& db, const PlanChange& change) {
    const PlanKey& row = change.row;
    if (!tw::db::SameCode(change.newCourseCode, row.courseCode)) {
        return Outcome::Failed(Reason::CourseChanged);
    }
    const std::optional<short> count = PlanCount(change.newCountText);
    if (!count) return BadCountOver(0);
    const QString& course = change.newCourseCode;
    const QString& teacher = change.newTeacherCode;
    const bool newTeacher = !tw::db::SameCode(teacher, row.teacherCode);
    return RunInTransaction(db, [&] {
        // Where an older file holds a second row of this class and course, the teacher of
        // neither may change, or the two rows could become one row twice with their lessons
        // counted in both.
        if (newTeacher) {
            auto other =
                db.OpenRecordset("Select CourseCode from ClassPlantb where  ClassCode='" +
                                 SqlQ(row.classCode) + "' and CourseCode='" + SqlQ(course) +
                                 "' and TeacherCode<>'" + SqlQ(row.teacherCode) + "'");
            const bool otherRow = !other->Eof();
            other->Close();
            if (otherRow) return Outcome::Failed(Reason::OtherTeacher);
        }
        db.Execute("Update ClassPlantb Set  CourseCode = '" + SqlQ(course) + "'" +
                       ",TeacherCode = '" + SqlQ(teacher) + "'" +
                       ",Count = " + QString::number(*count) + " Where " + "ClassCode='" +
                       SqlQ(row.classCode) + "'" + " and CourseCode = '" + SqlQ(row.courseCode) +
                       "'" + " and TeacherCode = '" + SqlQ(row.teacherCode) + "'" +
                       " and Count = " + QString::number(change.count),
                   0);
        // The stored row no longer matches what the caller read: nothing is changed.
        const long long changed = db.RecordsAffected();
        if (changed == 0) return Outcome::Failed(Reason::NotFound);
        // The lessons follow the row to its new teacher, and BuildCount is counted anew from
        // the lessons it keeps.
        FollowedLessons followed;
        if (newTeacher) {
            followed = MovePlanLessons(db, row.classCode, course, row.teacherCode, teacher);
            if (followed.blocked.day != 0) {
                Outcome blocked = Outcome::Failed(Reason::FixedInTheWay, followed.blockingClass);
                blocked.slot = followed.blocked;
                return blocked;
            }
        }
        RecountBuildCount(db, {row.classCode, course, teacher});
        Outcome done = Outcome::Ok(changed);
        done.removed = followed.removed;
        return done;
    });
}

}  // namespace tw::store
