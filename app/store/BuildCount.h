// The one keeper of the plan's progress counter BuildCount, and the one definition of a fixed
// lesson.
//
// Each plan row's BuildCount is the number of placed lessons (LessonListtb) of its class, course
// and teacher. Every statement that writes BuildCount is made here, and every command that
// places, removes or re-assigns placed lessons keeps the counts through the calls below, in its
// own transaction: lessons a command selects for removal go through DeleteLessons, which gives
// each plan row its own ones back in the same commit; the one lesson a command read and removed
// is given back with GiveLessonBack; a command that clears the timetable resets every row
// (ResetPlanProgress) and counts back what it keeps, and one that moves lessons between rows
// counts the row again (RecountBuildCount). Commands that delete plan rows together with their
// lessons (a plan row; a course, teacher or class; the classes that leave the school) leave no
// count behind to keep.
#pragma once

#include <QString>

#include "Plan.h"

namespace tw::db {
class Database;
class Field;
}  // namespace tw::db

namespace tw::store {

// ---- fixed lessons ----

// SetFlag of LessonListtb: 0 fixed beforehand (the automatic build keeps it), 1 placed by the
// automatic build, 2 placed by hand. Any other value, Null included, is not fixed.
inline constexpr int kFlagPreset = 0;
inline constexpr int kFlagBuilt = 1;
inline constexpr int kFlagByHand = 2;

// The condition on LessonListtb that takes every lesson that is not fixed, one of a Null flag
// too.
inline constexpr const char* kNotFixedLesson = "(SetFlag<>0 or SetFlag is null)";

// Whether a lesson with this stored SetFlag is fixed.
bool IsFixedLesson(const tw::db::Field& setFlag);

// ---- the statements ----

// head + " where  ClassCode = '{class}' and CourseCode = '{course}' and TeacherCode = '{teacher}'":
// the plan row of a lesson.
QString OnPlanRow(const QString& head, const PlanKey& row);

// How the updates are sent: as a command of the forms writes them, or "or fail" inside a build
// run, whose one transaction takes back a failure whole (see Build.h).
enum class InBuildRun : bool { No, Yes };

// "Update ClassPlantb Set BuildCount=BuildCount+1 where  ClassCode = ..." of the row, with the
// number of lessons added (below 0: given back).
QString AddToBuildCountStatement(const PlanKey& row, long long lessons,
                                 InBuildRun inRun = InBuildRun::No);
// "Update or fail ClassPlantb Set BuildCount={n} where  ClassCode = ...": the build's count of
// the row after it placed a lesson.
QString SetBuildCountStatement(const PlanKey& row, long long n);
// "update ClassPlantb Set IsAutoBuild=0,BuildCount=0": every row unfinished and without lessons.
QString ResetPlanProgressStatement();

// ---- keeping the counts (each throws tw::db::DbError when a statement fails) ----

// One placed lesson counted into its plan row.
void CountLessonIn(tw::db::Database& db, const PlanKey& lesson);
// One removed lesson given back to its plan row.
void GiveLessonBack(tw::db::Database& db, const PlanKey& lesson);

// Removes the lessons that `where` (" where ...") selects with the statement deleteHead + where,
// and gives each plan row back its own ones. Returns how many lessons went.
long long DeleteLessons(tw::db::Database& db, const QString& deleteHead, const QString& where);

// The row's BuildCount counted again from its placed lessons, whatever their SetFlag.
void RecountBuildCount(tw::db::Database& db, const PlanKey& row);

// Every plan row unfinished and without lessons, for a timetable cleared whole.
void ResetPlanProgress(tw::db::Database& db);

}  // namespace tw::store
