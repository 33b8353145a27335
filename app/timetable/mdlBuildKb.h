// The automatic timetable builder: clears the lessons of an earlier build, then picks teacher,
// course and class cycle after cycle and places each plan row's missing lessons into the week.
// GUI-free: the random source and the "let window messages through" callback are injected.
#pragma once

#include <QString>
#include <functional>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

#include "db/Database.h"
#include "store/Build.h"
#include "store/Outcome.h"
#include "timetable/RunMemo.h"

namespace tw::timetable {

// A number in [0, 1) per call.
using RandomSource = std::function<double()>;
// Lets pending window messages be processed (timer ticks, repaints) between rows.
using EventPump = std::function<void()>;

// The program-wide random sequence: a fixed start state at every start of the program, so the
// first build on the same data gives the same timetable. A positive argument advances the
// sequence, 0 repeats the previous number.
float ProgramRnd(int arg);

// ProgramRnd called with the seconds (0-59) of the current clock time.
double ClockSecondsRnd();

class Builder {
  public:
    // lessonOfDay: lessons per day (N); lesson numbers are only ever taken from 1 to N.
    Builder(tw::db::Database& db, int lessonOfDay, RandomSource rnd, EventPump doEvents = {});

    // One whole build run in one transaction: preparation, selection and placement. value is the
    // percentage of planned lessons placed, or -1 when there is none (EmptyPlan: the planned
    // lessons add up to 0 or less) or a statement failed (DatabaseError, with the engine's
    // reason). After -1 the database is as it was before the run, except that a plan without rows
    // still has the lessons of earlier builds and of hand editing cleared.
    tw::store::Read<int> Run();
    // Run's percentage, or -1.
    int AutoBuildLessons() { return Run().value; }

    // The steps of a run. They throw tw::db::DbError when a statement fails; Run's one command
    // (RunInTransaction) turns that into its outcome and rolls back.
    void PrepareBuild();
    // Chooses the teacher with the most classes still to build and that teacher's course with
    // the most classes (then the most lessons); nullopt when no unfinished row is left (the
    // teacher is then emptied). An empty code is a course like any other.
    std::optional<QString> PickTeacherAndCourse(QString& teacher);
    // The first unfinished row of the course, the given teacher's rows first; nullopt when the
    // course has none left. Writes the row's teacher to `teacher`.
    std::optional<QString> PickClass(const QString& course, QString& teacher);
    int GetBuildPercent();

    // Places the missing lessons of one plan row; 0 when all are placed, -1 when some stay
    // unplaced. The row is marked finished either way.
    int BuildPlanLessons(const QString& cls, const QString& course, const QString& teacher);
    int FindLessonSlot(const QString& cls, const QString& course, const QString& teacher,
                       double& cursor, double share);
    // A lesson of the day in the pass (0 best, 1 normal, 2 avoid) where class and teacher are
    // free and a shared-resource course is in no other class; -1 when there is none.
    // FindLessonSlot asks it only on a day where the course's daily bound (IsCourseDayFull) is
    // not reached, once for the day rather than once a pass.
    int FindSlotOnDay(const QString& cls, const QString& course, const QString& teacher, int day,
                      int pass);
    bool IsTeacherDayFull(const QString& teacher, double cursor, int maximum);
    bool IsCourseDayFull(const QString& cls, const QString& course, int day, double share);
    void MarkPlanBuilt(const QString& cls, const QString& course, const QString& teacher);

    // Statements sent to the database since construction.
    long long StatementCount() const { return statements_.Sent(); }
    // Whether a run answers its questions from its memo (the default) or asks the database each
    // one as it is written; both give the same timetable.
    void UseRunMemo(bool use) { useMemo_ = use; }

  private:
    // Runs one of the run's own writes.
    template <class Statement>
    void Write(Statement&& statement);
    void RunSelection();
    double Draw();
    // A course listed in CourseAttrtb: no two classes have it in the same slot.
    bool IsSharedCourse(const QString& course);
    // Whether a shared-resource course is in any class at the slot.
    bool IsSharedCourseAt(const QString& course, int day, int lesson);
    // Lessons of the day with a course limit other than normal (index 1 to N).
    std::vector<bool> LimitedLessons(const QString& course, int day);
    bool IsClassFree(const QString& cls, int day, int lesson);
    bool IsTeacherFree(const QString& teacher, int day, int lesson);

    // Reads the memo from the database.
    void ReadMemo();
    // Whether the run has its memo, which is read again when anything but the run's own
    // statements wrote since it was read; throws tw::db::DbError when the run no longer holds
    // its transaction.
    bool MemoStands();
    // Whether the run's memo may answer a question about this day (and lesson).
    bool MemoKnows(int day, int lesson = 1);
    bool MemoKnowsPlan() { return MemoStands() && memo_->PlanKnown(); }

    // What the run knows of the database; present only while a run lasts.
    std::optional<RunMemo> memo_;
    // The connection's change count after the run's last own write (or after the memo was read).
    long long changesByRun_ = 0;

    tw::db::Database& db_;
    tw::store::BuildStatements statements_;
    int lessonOfDay_;
    RandomSource rnd_;
    EventPump doEvents_;
    bool useMemo_ = true;
    // Whether the current row's course is a shared-resource course (read once per row).
    std::optional<std::pair<QString, bool>> sharedCourse_;
};

// The program's build: runs on db with lessonOfDay lessons a day, the program-wide random
// sequence and QCoreApplication::processEvents, as Builder::Run; NoDatabase (and -1) when db is
// null or not open.
tw::store::Read<int> AutoBuildLessons(tw::db::Database* db, int lessonOfDay);

}  // namespace tw::timetable
