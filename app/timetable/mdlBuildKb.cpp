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
#include "db/Database.h"
#include "store/Command.h"

using tw::db::CodeLess;
using tw::store::PlanKey;

namespace tw::timetable {

namespace {

// Whole part of a day cursor (days are small positive numbers, so this is the floor).
int DayOf(double cursor) {
    return static_cast<int>(std::floor(cursor));
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
      statements_(db),
      lessonOfDay_(std::max(0, lessonOfDay)),
      rnd_(std::move(rnd)),
      doEvents_(std::move(doEvents)) {
    if (!rnd_) rnd_ = [] { return 0.0; };
}

// ---- statement helpers ----

template <class Statement>
void Builder::Write(Statement&& statement) {
    // A write by anyone else since the run's last own write reaches the memo first; counted
    // after this one, it would pass for the run's own.
    const bool memo = MemoStands();
    std::forward<Statement>(statement)();
    if (memo) changesByRun_ = db_.TotalChanges();
}

double Builder::Draw() {
    double r = rnd_();
    if (!(r >= 0.0)) r = 0.0;  // also NaN
    if (r >= 1.0) r = std::nextafter(1.0, 0.0);
    return r;
}

// ---- the run ----

tw::store::Read<int> Builder::Run() {
    using tw::store::Outcome;
    using tw::store::Reason;
    struct MemoScope {
        std::optional<RunMemo>& memo;
        ~MemoScope() { memo.reset(); }
    } scope{memo_};
    // One transaction for the whole run, run like every other command of the data layer: a
    // failed statement rolls it back and leaves the timetable of the previous build, and the
    // engine's reason goes to whoever shows the failure.
    int percent = -1;
    Outcome outcome;
    // Anything else that ends the run (a memo that does not hold what it should) ends it the
    // same way: rolled back, reported as failed.
    try {
        outcome = tw::store::RunInTransaction(db_, [&] {
            PrepareBuild();
            if (useMemo_) ReadMemo();
            RunSelection();
            percent = GetBuildPercent();
            // A run reported as failed keeps the timetable it found; only a plan without rows,
            // which can have no percentage, still leaves the earlier lessons cleared.
            if (percent < 0 && statements_.PlanHasRows()) return Outcome::Failed(Reason::EmptyPlan);
            return Outcome::Ok();
        });
    } catch (const std::exception& e) {
        return {Outcome::Failed(Reason::DatabaseError, QString::fromUtf8(e.what())), -1};
    }
    if (outcome.Done() && percent < 0) outcome = Outcome::Failed(Reason::EmptyPlan);
    return {outcome, outcome.Done() ? percent : -1};
}

void Builder::PrepareBuild() {
    statements_.DeleteUnfixedLessons();
    statements_.ResetPlanProgress();
    // Rows that name no class, course or teacher can never be placed nor found again by the
    // selection; they count as finished from the start.
    statements_.FinishRowsWithoutCodes();
    for (const PlanKey& fixed : statements_.FixedLessons()) statements_.CountFixedLesson(fixed);
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
    for (const auto& [code, n] : statements_.TeachersToBuild()) {
        if (n > bestClasses || (n == bestClasses && n > 0 && CodeLess(code, chosenTeacher))) {
            bestClasses = n;
            chosenTeacher = code;
        }
    }

    std::optional<QString> chosenCourse;
    long long bestCourseClasses = 0;
    long long bestTotal = 0;
    for (const auto& [code, classes, total] : statements_.CoursesToBuild(chosenTeacher)) {
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
    }
    teacher = chosenTeacher;
    return chosenCourse;
}

std::optional<QString> Builder::PickClass(const QString& course, QString& teacher) {
    if (MemoKnowsPlan()) return memo_->PickClass(course, teacher);
    std::optional<PlanKey> row = statements_.FirstRowToBuild(course, teacher);
    if (!row) row = statements_.FirstRowToBuild(course);
    if (!row) return std::nullopt;
    teacher = row->teacherCode;
    return row->classCode;
}

int Builder::GetBuildPercent() {
    const std::optional<tw::store::BuildStatements::PlanTotals> totals = statements_.Totals();
    if (!totals) return -1;
    const long long total = totals->count;
    const long long built = totals->built;
    if (total == 0) return -1;
    // Nearest whole number, a half to the even neighbour (the default rounding mode).
    return static_cast<int>(std::nearbyint(static_cast<double>(built * 100) / total));
}

// ---- placing one plan row ----

int Builder::BuildPlanLessons(const QString& cls, const QString& course, const QString& teacher) {
    const PlanKey key{cls, course, teacher};
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
        const std::optional<tw::store::BuildStatements::RowCounts> row = statements_.Row(key);
        if (!row) {
            MarkPlanBuilt(cls, course, teacher);
            return -1;
        }
        count = row->count;
        buildCount = row->buildCount;
    }
    int maximum = 0;
    if (MemoKnowsPlan()) {
        maximum = DailyMaximum(memo_->TeacherTotal(teacher));
    } else {
        maximum = DailyMaximum(statements_.TeacherWeeklyTotal(teacher));
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
        Write([&] { statements_.InsertBuiltLesson(key, DayOf(cursor), lesson); });
        if (MemoStands()) memo_->Placed(cls, course, teacher, DayOf(cursor), lesson);
        ++buildCount;
        Write([&] { statements_.SetBuildCount(key, buildCount); });
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
            int lesson = FindSlotOnDay(cls, course, teacher, d, pass);
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
                           int day, int pass) {
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
            for (long long l : statements_.PassLessons(cls, course, day, pass))
                if (l >= 1 && l <= lessonOfDay_) candidates.push_back(static_cast<int>(l));
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
    memo_.emplace(statements_, lessonOfDay_);
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
    for (long long l : statements_.LimitedLessons(course, day))
        if (l >= 1 && l <= lessonOfDay_) limited[static_cast<size_t>(l)] = true;
    return limited;
}

bool Builder::IsClassFree(const QString& cls, int day, int lesson) {
    if (MemoKnows(day, lesson)) return memo_->ClassFree(cls, day, lesson);
    return !statements_.ClassHasLesson(cls, day, lesson);
}

bool Builder::IsTeacherFree(const QString& teacher, int day, int lesson) {
    if (MemoKnows(day, lesson)) return memo_->TeacherFree(teacher, day, lesson);
    return !statements_.TeacherHasLesson(teacher, day, lesson);
}

bool Builder::IsSharedCourseAt(const QString& course, int day, int lesson) {
    if (!IsSharedCourse(course)) return false;
    if (MemoKnows(day, lesson)) return memo_->CourseAt(course, day, lesson);
    return statements_.SharedCourseAt(course, day, lesson);
}

bool Builder::IsSharedCourse(const QString& course) {
    if (MemoStands()) return memo_->IsShared(course);
    if (!sharedCourse_ || sharedCourse_->first != course) {
        sharedCourse_.emplace(course, statements_.IsSharedCourse(course));
    }
    return sharedCourse_->second;
}

bool Builder::IsTeacherDayFull(const QString& teacher, double cursor, int maximum) {
    const int day = DayOf(cursor);
    if (MemoKnows(day)) return memo_->TeacherLessons(teacher, day) >= maximum;
    return statements_.TeacherLessons(teacher, day) >= maximum;
}

bool Builder::IsCourseDayFull(const QString& cls, const QString& course, int day, double share) {
    const long bound = static_cast<long>(std::floor(share)) + 1;
    if (MemoKnows(day)) return memo_->CourseLessons(cls, course, day) >= bound;
    return statements_.CourseLessons(cls, course, day) >= bound;
}

void Builder::MarkPlanBuilt(const QString& cls, const QString& course, const QString& teacher) {
    Write([&] { statements_.MarkRowBuilt({cls, course, teacher}); });
    if (MemoKnowsPlan()) memo_->MarkBuilt(cls, course, teacher);
}

tw::store::Read<int> AutoBuildLessons(tw::db::Database* db, int lessonOfDay) {
    if (!db || !db->IsOpen())
        return {tw::store::Outcome::Failed(tw::store::Reason::NoDatabase), -1};
    Builder builder(*db, lessonOfDay, ClockSecondsRnd, [] { QCoreApplication::processEvents(); });
    return builder.Run();
}

}  // namespace tw::timetable
