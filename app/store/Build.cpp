#include "Build.h"

#include <QStringBuilder>

#include "BuildCount.h"
#include "db/Database.h"

using tw::db::dbOpenSnapshot;
using tw::db::SqlQ;

namespace tw::store {

namespace {

QString Num(long long n) {
    return QString::number(n);
}

}  // namespace

// ---- sending ----

std::unique_ptr<tw::db::Recordset> BuildStatements::Open(const QString& sql, int type) {
    ++sent_;
    return db_.OpenRecordset(sql, type);
}

std::unique_ptr<tw::db::Recordset> BuildStatements::Open(const QString& sql) {
    return Open(sql, tw::db::dbOpenDynaset);
}

// The run's updates say "or fail": they change rows inside the run's one transaction, which a
// failure rolls back whole, so the database need not keep an undo copy of the pages of each
// statement (encrypted page by page) to take back that statement alone. Each of them writes
// values that meet the table's checks.
void BuildStatements::Exec(const QString& sql) {
    ++sent_;
    db_.Execute(sql);
}

long BuildStatements::RowCount(const QString& sql) {
    auto rs = Open(sql);
    long n = 0;
    if (!rs->Eof()) {
        rs->MoveLast();
        n = rs->RecordCount();
    }
    rs->Close();
    return n;
}

bool BuildStatements::HasRows(const QString& sql, int type) {
    auto rs = Open(sql, type);
    const bool has = !rs->Eof();
    rs->Close();
    return has;
}

bool BuildStatements::HasRows(const QString& sql) {
    return HasRows(sql, tw::db::dbOpenDynaset);
}

// ---- preparing a run ----

void BuildStatements::DeleteUnfixedLessons() {
    Exec(QString("delete from LessonListtb where ") + kNotFixedLesson);
}

void BuildStatements::ResetPlanProgress() {
    Exec(ResetPlanProgressStatement());
}

void BuildStatements::FinishRowsWithoutCodes() {
    Exec(
        "update ClassPlantb Set IsAutoBuild=1 where ClassCode is null or CourseCode is null "
        "or TeacherCode is null");
}

std::vector<PlanKey> BuildStatements::FixedLessons() {
    std::vector<PlanKey> fixed;
    auto rs = Open("select ClassCode,CourseCode,TeacherCode from LessonListtb where SetFlag=0");
    while (!rs->Eof()) {
        fixed.push_back({rs->Fields("ClassCode").Text(), rs->Fields("CourseCode").Text(),
                         rs->Fields("TeacherCode").Text()});
        rs->MoveNext();
    }
    rs->Close();
    return fixed;
}

void BuildStatements::CountFixedLesson(const PlanKey& lesson) {
    Exec(AddToBuildCountStatement(lesson, 1, InBuildRun::Yes));
}

// ---- choosing the next rows ----

std::vector<BuildStatements::TeacherClasses> BuildStatements::TeachersToBuild() {
    std::vector<TeacherClasses> teachers;
    auto rs = Open(
        "select count(TeacherCode) as ClassCount,TeacherCode from  (select "
        "ClassCode,TeacherCode from ClassPlantb where IsAutoBuild=0 Group by "
        "TeacherCode,ClassCode)  Group by TeacherCode");
    while (!rs->Eof()) {
        teachers.push_back({rs->Fields("TeacherCode").Text(), rs->Fields("ClassCount").Int()});
        rs->MoveNext();
    }
    rs->Close();
    return teachers;
}

std::vector<BuildStatements::CourseClasses> BuildStatements::CoursesToBuild(
    const QString& teacher) {
    std::vector<CourseClasses> courses;
    auto rs = Open(
        "SELECT Count(CourseCode) AS ClassCount, CourseCode, sum(SumCount) AS SumSumCount FROM "
        "[SELECT ClassCode, CourseCode, sum(Count) AS SumCount From ClassPlantb WHERE "
        "teachercode='" +
        SqlQ(teacher) +
        "' and IsAutoBuild=0  GROUP BY CourseCode, ClassCode]. AS Temptb  GROUP BY CourseCode");
    while (!rs->Eof()) {
        courses.push_back({rs->Fields("CourseCode").Text(), rs->Fields("ClassCount").Int(),
                           rs->Fields("SumSumCount").Int()});
        rs->MoveNext();
    }
    rs->Close();
    return courses;
}

namespace {

// The first row of a read of ClassCode and TeacherCode; nullopt when its record count right
// after opening is 0.
std::optional<PlanKey> FirstRow(tw::db::Recordset& rs, const QString& course) {
    std::optional<PlanKey> row;
    if (rs.RecordCount() != 0)
        row = PlanKey{rs.Fields("ClassCode").Text(), course, rs.Fields("TeacherCode").Text()};
    rs.Close();
    return row;
}

}  // namespace

std::optional<PlanKey> BuildStatements::FirstRowToBuild(const QString& course,
                                                        const QString& teacher) {
    auto rs = Open(
        "select ClassCode,TeacherCode from ClassPlantb where IsAutoBuild=0  and CourseCode = '" +
        SqlQ(course) + "' and TeacherCode = '" + SqlQ(teacher) + "'");
    return FirstRow(*rs, course);
}

std::optional<PlanKey> BuildStatements::FirstRowToBuild(const QString& course) {
    auto rs = Open(
        "select ClassCode,TeacherCode from ClassPlantb where IsAutoBuild=0  and CourseCode = "
        "'" +
        SqlQ(course) + "'");
    return FirstRow(*rs, course);
}

std::optional<BuildStatements::PlanTotals> BuildStatements::Totals() {
    auto rs =
        Open("select sum(Count) as SumCount, sum(BuildCount) as SumBuildCount from ClassPlantb");
    std::optional<PlanTotals> totals;
    if (!rs->Eof() && !rs->Fields("SumCount").IsNull())
        totals = PlanTotals{rs->Fields("SumCount").Int(), rs->Fields("SumBuildCount").Int()};
    rs->Close();
    return totals;
}

bool BuildStatements::PlanHasRows() {
    return HasRows("select ClassCode from ClassPlantb");
}

// ---- one row ----

std::optional<BuildStatements::RowCounts> BuildStatements::Row(const PlanKey& row) {
    auto rs = Open(OnPlanRow(QStringLiteral("Select Count,BuildCount from ClassPlantb"), row));
    std::optional<RowCounts> counts;
    if (!rs->Eof()) counts = RowCounts{rs->Fields("Count").Int(), rs->Fields("BuildCount").Int()};
    rs->Close();
    return counts;
}

long long BuildStatements::TeacherWeeklyTotal(const QString& teacher) {
    auto rs = Open("Select sum(Count) as SumCount from ClassPlantb where  TeacherCode = '" +
                   SqlQ(teacher) + "'");
    const long long total = rs->Eof() ? 0 : rs->Fields("SumCount").Int();
    rs->Close();
    return total;
}

void BuildStatements::InsertBuiltLesson(const PlanKey& row, int day, int lesson) {
    static_assert(kFlagBuilt == 1, "the statement writes SetFlag 1");
    Exec(u"insert into LessonListtb values( '" % SqlQ(row.classCode) % u"'," % Num(day) % u"," %
         Num(lesson) % u",'" % SqlQ(row.courseCode) % u"','" % SqlQ(row.teacherCode) % u"',1)");
}

void BuildStatements::SetBuildCount(const PlanKey& row, long long buildCount) {
    Exec(SetBuildCountStatement(row, buildCount));
}

void BuildStatements::MarkRowBuilt(const PlanKey& row) {
    Exec(u"update or fail ClassPlantb Set IsAutoBuild=1 Where ClassCode='" % SqlQ(row.classCode) %
         u"' and CourseCode='" % SqlQ(row.courseCode) % u"' and TeacherCode='" %
         SqlQ(row.teacherCode) % u"'");
}

// ---- slots ----

bool BuildStatements::ClassHasLesson(const QString& classCode, int day, int lesson) {
    return HasRows("Select LessonNo from LessonListtb where ClassCode ='" + SqlQ(classCode) +
                       "' and Day=" + Num(day) + " and LessonNo=" + Num(lesson),
                   dbOpenSnapshot);
}

bool BuildStatements::TeacherHasLesson(const QString& teacherCode, int day, int lesson) {
    return HasRows("select LessonNo from LessonListtb where  Day=" + Num(day) +
                   " and LessonNo=" + Num(lesson) + " and TeacherCode='" + SqlQ(teacherCode) + "'");
}

bool BuildStatements::SharedCourseAt(const QString& courseCode, int day, int lesson) {
    return HasRows("select LessonNo from LessonListtb where  Day=" + Num(day) +
                   " and LessonNo=" + Num(lesson) + " and CourseCode='" + SqlQ(courseCode) +
                   "' and CourseCode in(select CourseCode from CourseAttrtb)");
}

bool BuildStatements::IsSharedCourse(const QString& courseCode) {
    return HasRows("select CourseCode from CourseAttrtb where CourseCode='" + SqlQ(courseCode) +
                   "'");
}

long BuildStatements::TeacherLessons(const QString& teacherCode, int day) {
    return RowCount("select TeacherCode from LessonListtb where  TeacherCode='" +
                    SqlQ(teacherCode) + "' and Day=" + Num(day));
}

long BuildStatements::CourseLessons(const QString& classCode, const QString& courseCode, int day) {
    return RowCount("select CourseCode from LessonListtb where  CourseCode='" + SqlQ(courseCode) +
                    "' and ClassCode='" + SqlQ(classCode) + "' and Day=" + Num(day) +
                    " order by CourseCode");
}

namespace {

std::vector<long long> LessonNumbers(std::unique_ptr<tw::db::Recordset> rs) {
    std::vector<long long> lessons;
    while (!rs->Eof()) {
        lessons.push_back(rs->Fields("LessonNo").Int());
        rs->MoveNext();
    }
    rs->Close();
    return lessons;
}

}  // namespace

std::vector<long long> BuildStatements::LimitedLessons(const QString& courseCode, int day) {
    return LessonNumbers(Open(
        "Select tbA.LessonNo from Limittb tbA where tbA.Kind=1 and tbA.Code ='" + SqlQ(courseCode) +
            "' and tbA.Attr<>1 and tbA.day=" + Num(day) + " order by tbA.LessonNo",
        dbOpenSnapshot));
}

std::vector<long long> BuildStatements::PassLessons(const QString& classCode,
                                                    const QString& courseCode, int day, int pass) {
    const QString qd = Num(day);
    return LessonNumbers(
        Open("Select tbA.LessonNo from Limittb tbA where tbA.Kind=1 and tbA.Code ='" +
                 SqlQ(courseCode) + "' and tbA.Attr=" + Num(pass) + " and tbA.day=" + qd +
                 " and tbA.LessonNo not in (Select tbB.LessonNo from LessonListtb tbB "
                 "where tbB.ClassCode ='" +
                 SqlQ(classCode) + "' and tbB.Day=" + qd + ")",
             dbOpenSnapshot));
}

// ---- reads for the run's memory ----

std::unique_ptr<tw::db::Recordset> BuildStatements::OpenPlan() {
    // In storage order: the order in which the selection's statements return equal rows.
    return Open(
        "select ClassCode,CourseCode,TeacherCode,Count,BuildCount,IsAutoBuild from ClassPlantb "
        "order by rowid");
}

std::unique_ptr<tw::db::Recordset> BuildStatements::OpenWeek() {
    return Open("select ClassCode,Day,LessonNo,CourseCode,TeacherCode from LessonListtb");
}

std::unique_ptr<tw::db::Recordset> BuildStatements::OpenCourseLimits() {
    return Open("select Code,Day,LessonNo,Attr from Limittb where Kind=1");
}

std::unique_ptr<tw::db::Recordset> BuildStatements::OpenSharedCourses() {
    return Open("select CourseCode from CourseAttrtb");
}

}  // namespace tw::store
