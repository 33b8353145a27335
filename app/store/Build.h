// The placed lessons, the plan and the course limits as the automatic build reads and writes
// them: every statement a build run sends, one statement a call, on the connection given.
//
// These are not commands: a build run (tw::timetable::Builder::Run) sends them inside one
// command of its own, run by RunInTransaction (Command.h) like every other, which makes the run
// all or nothing. So these calls throw tw::db::DbError when their statement fails, and
// RunInTransaction turns that into the run's outcome where its transaction ends. The rules of the
// timetable tables (Invariants.h) hold for what a whole run writes: fixed lessons (SetFlag 0; a
// Null flag is not fixed, see kNotFixedLesson) stay where they are, a lesson goes only where its
// class and its teacher are free, and each row's BuildCount is counted again from its own lessons.
#pragma once

#include <QString>
#include <memory>
#include <optional>
#include <vector>

#include "Plan.h"

namespace tw::db {
class Database;
class Recordset;
}  // namespace tw::db

namespace tw::store {

class BuildStatements {
  public:
    explicit BuildStatements(tw::db::Database& db) : db_(db) {}

    // Statements sent so far.
    long long Sent() const { return sent_; }

    // ---- preparing a run ----

    // Every lesson that is not fixed goes, one of a Null flag too.
    void DeleteUnfixedLessons();
    // Every plan row unfinished and without placed lessons.
    void ResetPlanProgress();
    // Rows that name no class, course or teacher count as finished.
    void FinishRowsWithoutCodes();
    // The fixed lessons' class, course and teacher, in the order stored.
    std::vector<PlanKey> FixedLessons();
    // Counts one fixed lesson into the plan row of its class, course and teacher (none when the
    // plan has no such row).
    void CountFixedLesson(const PlanKey& lesson);

    // ---- choosing the next rows ----

    struct TeacherClasses {
        QString teacher;
        long long classes = 0;  // classes with unfinished rows of the teacher
    };
    // Per teacher with unfinished rows, in the grouping's order.
    std::vector<TeacherClasses> TeachersToBuild();

    struct CourseClasses {
        QString course;
        long long classes = 0;  // classes with unfinished rows of the teacher's course
        long long lessons = 0;  // their lessons a week
    };
    // Per course of the teacher's unfinished rows, in the grouping's order.
    std::vector<CourseClasses> CoursesToBuild(const QString& teacher);

    // The first unfinished row of the course and teacher; nullopt when there is none.
    std::optional<PlanKey> FirstRowToBuild(const QString& course, const QString& teacher);
    // The first unfinished row of the course, whoever teaches it.
    std::optional<PlanKey> FirstRowToBuild(const QString& course);

    struct PlanTotals {
        long long count = 0;  // lessons planned
        long long built = 0;  // lessons placed
    };
    // nullopt when the plan has no rows (or its sums are empty).
    std::optional<PlanTotals> Totals();
    bool PlanHasRows();

    // ---- one row ----

    struct RowCounts {
        long long count = 0, buildCount = 0;
    };
    // The row of this teacher: an older file may hold a second row of the class and course with
    // another teacher, and each row counts only its own lessons.
    std::optional<RowCounts> Row(const PlanKey& row);
    // Sum of Count over the teacher's rows; 0 when none.
    long long TeacherWeeklyTotal(const QString& teacher);
    // Writes a lesson placed by the build (SetFlag 1).
    void InsertBuiltLesson(const PlanKey& row, int day, int lesson);
    void SetBuildCount(const PlanKey& row, long long buildCount);
    void MarkRowBuilt(const PlanKey& row);

    // ---- slots, days 1 to 5 ----

    // Whether the class, or the teacher in any class, has a lesson in the slot.
    bool ClassHasLesson(const QString& classCode, int day, int lesson);
    bool TeacherHasLesson(const QString& teacherCode, int day, int lesson);
    // Whether a course listed in CourseAttrtb is in any class at the slot.
    bool SharedCourseAt(const QString& courseCode, int day, int lesson);
    bool IsSharedCourse(const QString& courseCode);
    // The teacher's lessons on the day, and the class's lessons of the course.
    long TeacherLessons(const QString& teacherCode, int day);
    long CourseLessons(const QString& classCode, const QString& courseCode, int day);
    // Lesson numbers of the day with a course limit other than normal, in lesson order.
    std::vector<long long> LimitedLessons(const QString& courseCode, int day);
    // Lesson numbers of the day with a course limit of the pass (0 best, 2 avoid) where the class
    // has no lesson, in the order the database gives them.
    std::vector<long long> PassLessons(const QString& classCode, const QString& courseCode, int day,
                                       int pass);

    // ---- what a run reads at once to answer from memory ----

    // ClassCode, CourseCode, TeacherCode, Count, BuildCount and IsAutoBuild of every plan row
    // in storage order.
    std::unique_ptr<tw::db::Recordset> OpenPlan();
    // ClassCode, Day, LessonNo, CourseCode and TeacherCode of every lesson.
    std::unique_ptr<tw::db::Recordset> OpenWeek();
    // Code, Day, LessonNo and Attr of every course limit.
    std::unique_ptr<tw::db::Recordset> OpenCourseLimits();
    // CourseCode of every shared-resource course.
    std::unique_ptr<tw::db::Recordset> OpenSharedCourses();

  private:
    std::unique_ptr<tw::db::Recordset> Open(const QString& sql, int type);
    std::unique_ptr<tw::db::Recordset> Open(const QString& sql);
    void Exec(const QString& sql);
    long RowCount(const QString& sql);
    bool HasRows(const QString& sql, int type);
    bool HasRows(const QString& sql);

    tw::db::Database& db_;
    long long sent_ = 0;
};

}  // namespace tw::store
