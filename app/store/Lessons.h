// The placed lessons of LessonListtb as pre-setting and hand editing read and write them.
//
// Each write is one user action: its statements run in one transaction on the connection given,
// so a refusal (a slot that is not as the action needs it) or a failing statement leaves the
// database exactly as it was, and the outcome says why. Days are 1 to 5, lessons 1 to N.
//
// SetFlag and fixed lessons are as BuildCount.h defines them, and every write keeps each plan
// row's BuildCount through it. A slot of an older file may hold two lessons of one class: a
// write that would take or change the lessons of such a slot is refused with SlotDoubled, as it
// cannot tell them apart.
#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include "BuildCount.h"
#include "Outcome.h"

namespace tw::db {
class Database;
}

namespace tw::store {

// One placed lesson as stored.
struct StoredLesson {
    QString courseCode;
    QString teacherCode;
    bool fixed = false;  // SetFlag is 0 (a Null flag is not fixed)
};

// One row of LessonListtb. day and lesson are as stored, inside the week or not.
struct PlacedLesson {
    long long day = 0;
    long long lesson = 0;
    QString classCode;
    QString courseCode;
    QString teacherCode;
};

// A plan row that still owes lessons: Count above or below BuildCount.
struct OwedLessons {
    QString classCode;
    QString courseCode;
    QString teacherCode;
    long long remain = 0;  // Count - BuildCount
};

// ---- Reads. A failing read gives DatabaseError; a list holds the rows read before it. ----

// Every lesson of the class, in the order stored.
Read<QList<PlacedLesson>> ReadClassLessons(tw::db::Database& db, const QString& classCode);

// Every lesson the teacher teaches, in the order stored.
Read<QList<PlacedLesson>> ReadTeacherLessons(tw::db::Database& db, const QString& teacherCode);

// The class's fixed lessons, in the order stored.
Read<QList<PlacedLesson>> ReadPresetLessons(tw::db::Database& db, const QString& classCode);

// The plan rows that owe lessons, by class (in the school's order, ClassOrder.h) and course.
Read<QList<OwedLessons>> ReadOwedLessons(tw::db::Database& db);

// The courses of the class's plan that may still be fixed, in the order offered: first those
// partly fixed that have lessons left to fix, by code; then those with no fixed lesson, by code.
Read<QStringList> ReadPresetCourses(tw::db::Database& db, const QString& classCode);

// The course of the class's fixed lesson in a slot; "" when the slot holds no fixed lesson.
Read<QString> ReadPresetCourse(tw::db::Database& db, const QString& classCode, int day, int lesson);

// Whether neither the class nor the teacher has any lesson in the slot (the teacher's slot is
// not read when the class's is taken).
Read<bool> SlotFree(tw::db::Database& db, const QString& classCode, const QString& teacherCode,
                    int day, int lesson);

// Whether neither the class nor the teacher has a fixed lesson in the slot.
Read<bool> SlotFreeOfPreset(tw::db::Database& db, const QString& classCode,
                            const QString& teacherCode, int day, int lesson);

// Whether the class, or the teacher, has no lesson (or no fixed lesson) in the slot.
Read<bool> ClassSlotFree(tw::db::Database& db, const QString& classCode, int day, int lesson);
Read<bool> ClassSlotFreeOfPreset(tw::db::Database& db, const QString& classCode, int day,
                                 int lesson);
Read<bool> TeacherSlotFree(tw::db::Database& db, const QString& teacherCode, int day, int lesson);
Read<bool> TeacherSlotFreeOfPreset(tw::db::Database& db, const QString& teacherCode, int day,
                                   int lesson);

// Whether the lesson of teacher `selTeacher` at (selDay, selLesson) and the slot (day, lesson)
// of the same class, taught by `teacher` ("" for an empty slot), may trade places: the selected
// teacher teaches no other class at (day, lesson), and the slot's teacher none at the selected
// slot.
Read<bool> CanTradeSlots(tw::db::Database& db, const QString& classCode, const QString& selTeacher,
                         int selDay, int selLesson, const QString& teacher, int day, int lesson);

// ---- Writes ----

// Fixes a lesson (course and its plan teacher) in a slot with SetFlag 0 and counts it into the
// plan row. A lesson of the builder or of hand editing already in the slot is turned into the
// fixed one in place and given back to its own plan row; such lessons of the teacher in other
// classes at that slot are removed and given back too, so the teacher stays in one class.
// NotFound for no course or a slot outside the week; FixedInTheWay when the class has a fixed
// lesson in the slot; TeacherBusy when the teacher has one in another class then.
Outcome WritePresetLesson(tw::db::Database& db, const QString& classCode, const QString& courseCode,
                          const QString& teacherCode, int day, int lesson);

// Removes the class's fixed lesson from a slot and lowers BuildCount of the plan row of the
// stored course and teacher. EmptySlot when the slot holds no fixed lesson.
Outcome RemovePresetLesson(tw::db::Database& db, const QString& classCode, int day, int lesson);

// Places a lesson by hand (SetFlag 2) and raises BuildCount of the plan row of that class,
// course and teacher. NotFound for no course or a slot outside the week; SlotTaken when the
// class has a lesson in the slot; TeacherBusy when the teacher teaches any class then.
Outcome PlaceHandLesson(tw::db::Database& db, const QString& classCode, const QString& courseCode,
                        const QString& teacherCode, int day, int lesson);

// Removes whatever lesson the class has in a slot and lowers BuildCount of the plan row of the
// stored course and teacher. EmptySlot when the slot is empty.
Outcome RemoveHandLesson(tw::db::Database& db, const QString& classCode, int day, int lesson);

// Swaps the class's lesson at (selDay, selLesson) with the one at (day, lesson): the courses and
// teachers change places. A fixed lesson stays fixed wherever it goes: when only one of the two
// is fixed the flags change places too (the other lesson becomes hand-placed), else each slot
// keeps its SetFlag. When (day, lesson) is empty the lesson moves there instead: written anew,
// with SetFlag 0 when it was fixed and 2 otherwise, its old row deleted. BuildCount is not
// touched. NotFound for a slot outside the week or the same slot twice; EmptySlot when the
// selected slot is empty; SameCourse when both slots hold the same course (as the database
// compares codes); TeacherBusy when the trade would give a teacher two classes at once.
Outcome SwapClassLessons(tw::db::Database& db, const QString& classCode, int selDay, int selLesson,
                         int day, int lesson);

}  // namespace tw::store
