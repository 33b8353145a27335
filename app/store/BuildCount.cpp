#include "BuildCount.h"

#include <QByteArray>
#include <QStringBuilder>
#include <algorithm>
#include <vector>

#include "db/CodeOrder.h"
#include "db/Database.h"

using tw::db::SqlQ;

namespace tw::store {

bool IsFixedLesson(const tw::db::Field& setFlag) {
    return !setFlag.IsNull() && setFlag.Int() == kFlagPreset;
}

namespace {

// " ClassCode = '{class}' and CourseCode = '{course}' and TeacherCode = '{teacher}'", made in
// one piece: the build sends it for every lesson it places.
QString PlanRowCondition(const PlanKey& row) {
    return u" ClassCode = '" % SqlQ(row.classCode) % u"' and CourseCode = '" %
           SqlQ(row.courseCode) % u"' and TeacherCode = '" % SqlQ(row.teacherCode) % u"'";
}

}  // namespace

QString OnPlanRow(const QString& head, const PlanKey& row) {
    return head % u" where " % PlanRowCondition(row);
}

QString AddToBuildCountStatement(const PlanKey& row, long long lessons, InBuildRun inRun) {
    const QString update =
        inRun == InBuildRun::Yes ? QStringLiteral("Update or fail") : QStringLiteral("Update");
    const QString change =
        lessons < 0 ? "-" + QString::number(-lessons) : "+" + QString::number(lessons);
    return OnPlanRow(update + " ClassPlantb Set BuildCount=BuildCount" + change, row);
}

QString SetBuildCountStatement(const PlanKey& row, long long n) {
    return OnPlanRow(u"Update or fail ClassPlantb Set BuildCount=" % QString::number(n), row);
}

QString ResetPlanProgressStatement() {
    return QStringLiteral("update ClassPlantb Set IsAutoBuild=0,BuildCount=0");
}

void CountLessonIn(tw::db::Database& db, const PlanKey& lesson) {
    db.Execute(AddToBuildCountStatement(lesson, 1));
}

void GiveLessonBack(tw::db::Database& db, const PlanKey& lesson) {
    db.Execute(AddToBuildCountStatement(lesson, -1));
}

long long DeleteLessons(tw::db::Database& db, const QString& deleteHead, const QString& where) {
    // The lessons' rows, each once (as the database compares codes), in the order first read,
    // with how many of their lessons go.
    struct Given {
        PlanKey row;
        QByteArray key;
        long long lessons = 0;
    };
    std::vector<Given> given;
    auto rs = db.OpenRecordset("select ClassCode,CourseCode,TeacherCode from Lessonlisttb" + where);
    for (; !rs->Eof(); rs->MoveNext()) {
        const PlanKey row{rs->Fields("ClassCode").Text(), rs->Fields("CourseCode").Text(),
                          rs->Fields("TeacherCode").Text()};
        const QByteArray key = tw::db::CodeKey(row.classCode) + '\0' +
                               tw::db::CodeKey(row.courseCode) + '\0' +
                               tw::db::CodeKey(row.teacherCode);
        auto same = std::find_if(given.begin(), given.end(),
                                 [&key](const Given& g) { return g.key == key; });
        if (same == given.end()) same = given.insert(given.end(), {row, key, 0});
        ++same->lessons;
    }
    rs->Close();
    if (given.empty()) return 0;
    db.Execute(deleteHead + where);
    const long long deleted = db.RecordsAffected();
    for (const Given& g : given) db.Execute(AddToBuildCountStatement(g.row, -g.lessons));
    return deleted;
}

void RecountBuildCount(tw::db::Database& db, const PlanKey& row) {
    auto rs = db.OpenRecordset(OnPlanRow(" Select Count(*) AS Count from LessonListtb", row));
    const long long n = rs->Eof() ? 0 : rs->Fields("Count").Int();
    rs->Close();
    db.Execute("Update ClassPlantb set BuildCount = " + QString::number(n) + " Where " +
               PlanRowCondition(row));
}

void ResetPlanProgress(tw::db::Database& db) {
    db.Execute(ResetPlanProgressStatement());
}

}  // namespace tw::store
