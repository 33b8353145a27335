#include "timetable/mdlBuildKb.h"

#include <QCoreApplication>
#include <QTime>
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <set>
#include <tuple>
#include <vector>

#include "db/CodeOrder.h"
#include "shell/mdlPublic.h"

using tw::db::CodeLess;
using tw::db::dbOpenSnapshot;
using tw::db::SqlQ;

namespace tw::timetable {

namespace {

// Whole part of a day cursor (days are small positive numbers, so this is the floor).
int DayOf(double cursor) {
    return static_cast<int>(std::floor(cursor));
}

QString Num(long long n) {
    return QString::number(n);
}

// The teacher's daily maximum: the weekly total divided by 5, raised to the next whole number
// when a fraction remains (truncation toward zero already raises a negative total).
int DailyMaximum(long long weeklyTotal) {
    long long q = weeklyTotal / 5;
    if (weeklyTotal > 0 && weeklyTotal % 5 != 0) ++q;
    return static_cast<int>(q);
}

}  // namespace

float ProgramRnd(int arg) {
    // A linear congruential sequence with a fixed start state; the top 24 bits of each state
    // make the single-precision number.
    static std::uint32_t state = 0x0050000u;
    static float last = static_cast<float>(state >> 8) / 16777216.0f;
    if (arg != 0) {
        state = state * 1664525u + 1013904223u;
        last = static_cast<float>(state >> 8) / 16777216.0f;
    }
    return last;
}

double ClockSecondsRnd() {
    return ProgramRnd(QTime::currentTime().second());
}

Builder::Builder(tw::db::Database& db, int lessonOfDay, RandomSource rnd, EventPump doEvents)
    : db_(db),
      lessonOfDay_(std::max(0, lessonOfDay)),
      rnd_(std::move(rnd)),
      doEvents_(std::move(doEvents)) {
    if (!rnd_) rnd_ = [] { return 0.0; };
}

// ---- statement helpers ----

std::unique_ptr<tw::db::Recordset> Builder::Open(const QString& sql, int type) {
    ++statements_;
    return db_.OpenRecordset(sql, type);
}

// The run's updates say "or fail": they change rows inside the run's one transaction, which a
// failure rolls back whole, so the database need not keep an undo copy of the pages of each
// statement (encrypted page by page) to take back that statement alone. Each of them writes
// values that meet the table's checks.
void Builder::Exec(const QString& sql) {
    // A write by anyone else since the run's last own write reaches the memo first; counted
    // after this one, it would pass for the run's own.
    const bool memo = MemoStands();
    ++statements_;
    db_.Execute(sql);
    if (memo) changesByRun_ = db_.TotalChanges();
}

long Builder::RowCount(const QString& sql, int type) {
    auto rs = Open(sql, type);
    long n = 0;
    if (!rs->Eof()) {
        rs->MoveLast();
        n = rs->RecordCount();
    }
    rs->Close();
    return n;
}

bool Builder::HasRows(const QString& sql, int type) {
    auto rs = Open(sql, type);
    bool has = !rs->Eof();
    rs->Close();
    return has;
}

double Builder::Draw() {
    double r = rnd_();
    if (!(r >= 0.0)) r = 0.0;  // also NaN
    if (r >= 1.0) r = std::nextafter(1.0, 0.0);
    return r;
}

// ---- the run ----

int Builder::AutoBuildLessons() {
    struct MemoScope {
        std::optional<RunMemo>& memo;
        ~MemoScope() { memo.reset(); }
    } scope{memo_};
    try {
        tw::db::Transaction transaction(db_);
        PrepareBuild();
        if (useMemo_) ReadMemo();
        RunSelection();
        const int percent = GetBuildPercent();
        // A run reported as failed keeps the timetable it found; only a plan without rows,
        // which can have no percentage, still leaves the earlier lessons cleared.
        if (percent < 0 && HasRows("select ClassCode from ClassPlantb")) return -1;
        transaction.Commit();
        return percent;
    } catch (const std::exception&) {
        // A failed statement ends the build; the transaction's rollback leaves the timetable
        // of the previous build.
        return -1;
    }
}

void Builder::PrepareBuild() {
    // Every lesson that is not fixed goes, one of a Null flag too.
    Exec(QString("delete from LessonListtb where ") + kNotFixedLesson);
    Exec("update ClassPlantb Set IsAutoBuild=0,BuildCount=0");
    // Rows that name no class, course or teacher can never be placed nor found again by the
    // selection; they count as finished from the start.
    Exec(
        "update ClassPlantb Set IsAutoBuild=1 where ClassCode is null or CourseCode is null "
        "or TeacherCode is null");
    struct Preset {
        QString cls, course, teacher;
    };
    std::vector<Preset> presets;
    auto rs = Open("select ClassCode,CourseCode,TeacherCode from LessonListtb where SetFlag=0");
    while (!rs->Eof()) {
        presets.push_back({rs->Fields("ClassCode").Text(), rs->Fields("CourseCode").Text(),
                           rs->Fields("TeacherCode").Text()});
        rs->MoveNext();
    }
    rs->Close();
    for (const Preset& p : presets) {
        Exec("Update or fail ClassPlantb Set BuildCount=BuildCount+1 where  ClassCode = '" +
             SqlQ(p.cls) + "' and CourseCode = '" + SqlQ(p.course) + "' and TeacherCode = '" +
             SqlQ(p.teacher) + "'");
    }
}

void Builder::RunSelection() {
    // Every plan row is handed to the placement once; a row that comes back (it could not be
    // marked finished) or a course that yields no row would repeat forever, so either ends the run.
    std::set<std::tuple<QString, QString, QString>> handled;
    QString teacher;
    for (;;) {
        if (doEvents_) doEvents_();
        std::optional<QString> course = PickTeacherAndCourse(teacher);
        if (!course) return;
        int built = 0;
        for (;;) {
            if (doEvents_) doEvents_();
            std::optional<QString> cls = PickClass(*course, teacher);
            if (!cls) break;
            if (!handled.insert({*cls, *course, teacher}).second) return;
            BuildPlanLessons(*cls, *course, teacher);
            ++built;
        }
        if (built == 0) return;
    }
}

std::optional<QString> Builder::PickTeacherAndCourse(QString& teacher) {
    if (MemoKnowsPlan()) return memo_->PickTeacherAndCourse(teacher);
    // The teacher with the most classes still to build; among equals the smaller code (the
    // grouping's key order), decided here so the result does not depend on the row order.
    QString chosenTeacher;
    long long bestClasses = 0;
    {
        auto rs = Open(
            "select count(TeacherCode) as ClassCount,TeacherCode from  (select "
            "ClassCode,TeacherCode from ClassPlantb where IsAutoBuild=0 Group by "
            "TeacherCode,ClassCode)  Group by TeacherCode");
        while (!rs->Eof()) {
            long long n = rs->Fields("ClassCount").Int();
            QString code = rs->Fields("TeacherCode").Text();
            if (n > bestClasses || (n == bestClasses && n > 0 && CodeLess(code, chosenTeacher))) {
                bestClasses = n;
                chosenTeacher = code;
            }
            rs->MoveNext();
        }
        rs->Close();
    }

    std::optional<QString> chosenCourse;
    long long bestCourseClasses = 0;
    long long bestTotal = 0;
    auto rs = Open(
        "SELECT Count(CourseCode) AS ClassCount, CourseCode, sum(SumCount) AS SumSumCount FROM "
        "[SELECT ClassCode, CourseCode, sum(Count) AS SumCount From ClassPlantb WHERE "
        "teachercode='" +
        SqlQ(chosenTeacher) +
        "' and IsAutoBuild=0  GROUP BY CourseCode, ClassCode]. AS Temptb  GROUP BY CourseCode");
    while (!rs->Eof()) {
        long long classes = rs->Fields("ClassCount").Int();
        long long total = rs->Fields("SumSumCount").Int();
        QString code = rs->Fields("CourseCode").Text();
        bool better = false;
        if (classes > bestCourseClasses) {
            better = true;
        } else if (classes == bestCourseClasses && classes > 0) {
            better = total > bestTotal ||
                     (total == bestTotal && chosenCourse && CodeLess(code, *chosenCourse));
        }
        if (better) {
            chosenCourse = code;
            bestCourseClasses = classes;
            bestTotal = total;
        }
        rs->MoveNext();
    }
    rs->Close();
    teacher = chosenTeacher;
    return chosenCourse;
}

std::optional<QString> Builder::PickClass(const QString& course, QString& teacher) {
    if (MemoKnowsPlan()) return memo_->PickClass(course, teacher);
    auto rs = Open(
        "select ClassCode,TeacherCode from ClassPlantb where IsAutoBuild=0  and CourseCode = '" +
        SqlQ(course) + "' and TeacherCode = '" + SqlQ(teacher) + "'");
    if (rs->RecordCount() == 0) {
        rs->Close();
        rs = Open(
            "select ClassCode,TeacherCode from ClassPlantb where IsAutoBuild=0  and CourseCode = "
            "'" +
            SqlQ(course) + "'");
        if (rs->RecordCount() == 0) {
            rs->Close();
            return std::nullopt;
        }
    }
    teacher = rs->Fields("TeacherCode").Text();
    QString cls = rs->Fields("ClassCode").Text();
    rs->Close();
    return cls;
}

int Builder::GetBuildPercent() {
    auto rs =
        Open("select sum(Count) as SumCount, sum(BuildCount) as SumBuildCount from ClassPlantb");
    if (rs->Eof() || rs->Fields("SumCount").IsNull()) {
        rs->Close();
        return -1;
    }
    long long total = rs->Fields("SumCount").Int();
    long long built = rs->Fields("SumBuildCount").Int();
    rs->Close();
    if (total == 0) return -1;
    // Nearest whole number, a half to the even neighbour (the default rounding mode).
    return static_cast<int>(std::nearbyint(static_cast<double>(built * 100) / total));
}

// ---- placing one plan row ----

int Builder::BuildPlanLessons(const QString& cls, const QString& course, const QString& teacher) {
    const QString qc = SqlQ(cls), qk = SqlQ(course), qt = SqlQ(teacher);
    long long count = 0, buildCount = 0;
    if (MemoKnowsPlan()) {
        std::optional<RunMemo::RowCounts> row = memo_->Row(cls, course);
        if (!row) {
            MarkPlanBuilt(cls, course, teacher);
            return -1;
        }
        count = row->count;
        buildCount = row->buildCount;
    } else {
        // The row of this teacher: an older file may hold a second row of the class and course
        // with another teacher, and each row counts only its own lessons.
        auto rs = Open("Select Count,BuildCount from ClassPlantb where  ClassCode = '" + qc +
                       "' and CourseCode = '" + qk + "' and TeacherCode = '" + qt + "'");
        if (rs->Eof()) {
            rs->Close();
            MarkPlanBuilt(cls, course, teacher);
            return -1;
        }
        count = rs->Fields("Count").Int();
        buildCount = rs->Fields("BuildCount").Int();
        rs->Close();
    }
    int maximum = 0;
    if (MemoKnowsPlan()) {
        maximum = DailyMaximum(memo_->TeacherTotal(teacher));
    } else {
        auto rs = Open("Select sum(Count) as SumCount from ClassPlantb where  TeacherCode = '" +
                       qt + "'");
        if (!rs->Eof()) maximum = DailyMaximum(rs->Fields("SumCount").Int());
        rs->Close();
    }
    if (count <= buildCount) {
        MarkPlanBuilt(cls, course, teacher);
        return 0;
    }
    sharedCourse_.reset();

    const double spacing = 5.0 / static_cast<double>(count);
    const double share = 1.0 / spacing;
    double cursor = 1.0;
    for (;;) {
        while (DayOf(cursor) <= 5 && IsTeacherDayFull(teacher, cursor, maximum))
            cursor = std::floor(cursor) + 1.0;
        int lesson = FindLessonSlot(cls, course, teacher, cursor, share);
        if (lesson < 0) {
            MarkPlanBuilt(cls, course, teacher);
            return -1;
        }
        Exec("insert into LessonListtb values( '" + qc + "'," + Num(DayOf(cursor)) + "," +
             Num(lesson) + ",'" + qk + "','" + qt + "',1)");
        if (MemoStands()) memo_->Placed(cls, course, teacher, DayOf(cursor), lesson);
        ++buildCount;
        Exec("Update or fail ClassPlantb Set BuildCount=" + Num(buildCount) +
             " where  ClassCode = '" + qc + "' and CourseCode = '" + qk + "' and TeacherCode = '" +
             qt + "'");
        if (MemoKnowsPlan()) memo_->SetBuildCount(cls, course, buildCount);
        if (buildCount == count) {
            MarkPlanBuilt(cls, course, teacher);
            return 0;
        }
        cursor += spacing;
    }
}

int Builder::FindLessonSlot(const QString& cls, const QString& course, const QString& teacher,
                            double& cursor, double share) {
    const double entry = cursor;
    // The database does not change while a slot is searched, so a day that offered nothing on
    // the forward walk offers nothing on the backward walk either, and a day that already has
    // the course's daily bound offers nothing in any pass.
    bool tried[6] = {};
    auto tryDay = [&](int d) {
        if (d < 1 || d > 5 || tried[d]) return -1;
        tried[d] = true;
        if (IsCourseDayFull(cls, course, d, share)) return -1;
        for (int pass = 0; pass <= 2; ++pass) {
            int lesson = SlotOnDay(cls, course, teacher, d, pass);
            if (lesson > 0) return lesson;
        }
        return -1;
    };
    // Forward from the due day to Friday.
    while (cursor < 6.0) {
        int d = DayOf(cursor);
        if (cursor - d >= 0.5 && d < 5) {
            // Due in the second half of a day: half of the time the lesson moves to the next day.
            if (static_cast<int>(std::floor(2.0 * Draw())) == 1) {
                d = d + 1;
                cursor = d;
            }
        }
        int lesson = tryDay(d);
        if (lesson > 0) return lesson;
        d = d + 1;
        cursor = d;
    }
    // Backward from Friday to Monday, without the teacher's daily maximum.
    while (cursor > 0.0) {
        cursor = std::floor(cursor);
        while (cursor > 5.0) cursor -= 1.0;
        int lesson = tryDay(DayOf(cursor));
        if (lesson > 0) return lesson;
        cursor -= 1.0;
    }
    cursor = entry;
    return -1;
}

int Builder::FindSlotOnDay(const QString& cls, const QString& course, const QString& teacher,
                           int day, double share, int pass) {
    if (IsCourseDayFull(cls, course, day, share)) return -1;
    return SlotOnDay(cls, course, teacher, day, pass);
}

int Builder::SlotOnDay(const QString& cls, const QString& course, const QString& teacher, int day,
                       int pass) {
    std::vector<int> candidates;
    if (pass == 1) {
        // Normal slots: every lesson of the day without a course limit other than normal, where
        // the class is free.
        const std::vector<bool> limited = LimitedLessons(course, day);
        for (int l = 1; l <= lessonOfDay_; ++l) {
            if (!limited[l] && IsClassFree(cls, day, l)) candidates.push_back(l);
        }
    } else {
        // Best (0) or avoid-if-possible (2) slots where the class is free, in lesson order; a
        // limit row for a lesson the day does not have is passed over. A day on which the
        // course has no limit other than normal has none of either kind.
        const std::vector<bool> limited = LimitedLessons(course, day);
        if (std::find(limited.begin(), limited.end(), true) == limited.end()) return -1;
        if (MemoKnows(day)) {
            candidates = memo_->PassLessons(cls, course, day, pass);
        } else {
            const QString qd = Num(day);
            auto rs =
                Open("Select tbA.LessonNo from Limittb tbA where tbA.Kind=1 and tbA.Code ='" +
                         SqlQ(course) + "' and tbA.Attr=" + Num(pass) + " and tbA.day=" + qd +
                         " and tbA.LessonNo not in (Select tbB.LessonNo from LessonListtb tbB "
                         "where tbB.ClassCode ='" +
                         SqlQ(cls) + "' and tbB.Day=" + qd + ")",
                     dbOpenSnapshot);
            while (!rs->Eof()) {
                long long l = rs->Fields("LessonNo").Int();
                if (l >= 1 && l <= lessonOfDay_) candidates.push_back(static_cast<int>(l));
                rs->MoveNext();
            }
            rs->Close();
            std::sort(candidates.begin(), candidates.end());
            candidates.erase(std::unique(candidates.begin(), candidates.end()), candidates.end());
        }
    }

    std::vector<int> qualified;
    for (int l : candidates) {
        if (!IsTeacherFree(teacher, day, l)) continue;
        // Only a shared-resource course can find another class's lesson here.
        if (IsSharedCourseAt(course, day, l)) continue;
        qualified.push_back(l);
    }
    if (qualified.empty()) return -1;
    const auto k = static_cast<long long>(qualified.size());
    long long pos = static_cast<long long>(std::floor(Draw() * static_cast<double>(k)));
    pos = std::clamp(pos, 0LL, k - 1);
    return qualified[static_cast<size_t>(pos)];
}

void Builder::ReadMemo() {
    memo_.emplace([this](const QString& sql) { return Open(sql); }, lessonOfDay_);
    changesByRun_ = db_.TotalChanges();
}

bool Builder::MemoStands() {
    if (!memo_) return false;
    // The run's changes are all or nothing only inside its transaction; without it the run
    // ends as failed and takes back what it can.
    if (!db_.InTransaction()) throw tw::db::DbError("The build run's transaction has ended.");
    // Whatever was written while the run let window messages through (or by anyone else) is
    // read again, so that every answer stays the one the database would give.
    if (db_.TotalChanges() != changesByRun_) ReadMemo();
    return true;
}

bool Builder::MemoKnows(int day, int lesson) {
    return MemoStands() && day >= 1 && day <= 5 && lesson >= 1 && lesson <= lessonOfDay_;
}

std::vector<bool> Builder::LimitedLessons(const QString& course, int day) {
    if (MemoKnows(day)) return memo_->Limited(course, day);
    std::vector<bool> limited(static_cast<size_t>(lessonOfDay_) + 1, false);
    auto rs = Open("Select tbA.LessonNo from Limittb tbA where tbA.Kind=1 and tbA.Code ='" +
                       SqlQ(course) + "' and tbA.Attr<>1 and tbA.day=" + Num(day) +
                       " order by tbA.LessonNo",
                   dbOpenSnapshot);
    while (!rs->Eof()) {
        long long l = rs->Fields("LessonNo").Int();
        if (l >= 1 && l <= lessonOfDay_) limited[static_cast<size_t>(l)] = true;
        rs->MoveNext();
    }
    rs->Close();
    return limited;
}

bool Builder::IsClassFree(const QString& cls, int day, int lesson) {
    if (MemoKnows(day, lesson)) return memo_->ClassFree(cls, day, lesson);
    return !HasRows("Select LessonNo from LessonListtb where ClassCode ='" + SqlQ(cls) +
                        "' and Day=" + Num(day) + " and LessonNo=" + Num(lesson),
                    dbOpenSnapshot);
}

bool Builder::IsTeacherFree(const QString& teacher, int day, int lesson) {
    if (MemoKnows(day, lesson)) return memo_->TeacherFree(teacher, day, lesson);
    return !HasRows("select LessonNo from LessonListtb where  Day=" + Num(day) +
                    " and LessonNo=" + Num(lesson) + " and TeacherCode='" + SqlQ(teacher) + "'");
}

bool Builder::IsSharedCourseAt(const QString& course, int day, int lesson) {
    if (!IsSharedCourse(course)) return false;
    if (MemoKnows(day, lesson)) return memo_->CourseAt(course, day, lesson);
    return HasRows("select LessonNo from LessonListtb where  Day=" + Num(day) +
                   " and LessonNo=" + Num(lesson) + " and CourseCode='" + SqlQ(course) +
                   "' and CourseCode in(select CourseCode from CourseAttrtb)");
}

bool Builder::IsSharedCourse(const QString& course) {
    if (MemoStands()) return memo_->IsShared(course);
    if (!sharedCourse_ || sharedCourse_->first != course) {
        sharedCourse_.emplace(course, HasRows("select CourseCode from CourseAttrtb where "
                                              "CourseCode='" +
                                              SqlQ(course) + "'"));
    }
    return sharedCourse_->second;
}

bool Builder::IsTeacherDayFull(const QString& teacher, double cursor, int maximum) {
    const int day = DayOf(cursor);
    if (MemoKnows(day)) return memo_->TeacherLessons(teacher, day) >= maximum;
    return RowCount("select TeacherCode from LessonListtb where  TeacherCode='" + SqlQ(teacher) +
                    "' and Day=" + Num(day)) >= maximum;
}

bool Builder::IsCourseDayFull(const QString& cls, const QString& course, int day, double share) {
    const long bound = static_cast<long>(std::floor(share)) + 1;
    if (MemoKnows(day)) return memo_->CourseLessons(cls, course, day) >= bound;
    return RowCount("select CourseCode from LessonListtb where  CourseCode='" + SqlQ(course) +
                    "' and ClassCode='" + SqlQ(cls) + "' and Day=" + Num(day) +
                    " order by CourseCode") >= bound;
}

void Builder::MarkPlanBuilt(const QString& cls, const QString& course, const QString& teacher) {
    Exec("update or fail ClassPlantb Set IsAutoBuild=1 Where ClassCode='" + SqlQ(cls) +
         "' and CourseCode='" + SqlQ(course) + "' and TeacherCode='" + SqlQ(teacher) + "'");
    if (MemoKnowsPlan()) memo_->MarkBuilt(cls, course, teacher);
}

int AutoBuildLessons() {
    if (!KbDatabase || !KbDatabase->IsOpen()) return -1;
    Builder builder(KbDb(), LessonOfDay, ClockSecondsRnd,
                    [] { QCoreApplication::processEvents(); });
    return builder.AutoBuildLessons();
}

}  // namespace tw::timetable
