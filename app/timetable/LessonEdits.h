// The database side of pre-setting fixed lessons and of hand editing a class week.
//
// Each function is one user action: its statements run in one transaction on KbDb(), so a
// failure (a statement error, or a slot that is not as the action expects) leaves the database
// exactly as it was and the function returns false. Days are 1 to 5, lessons 1 to N.
//
// SetFlag of LessonListtb: 0 fixed beforehand (kept by the automatic build), 1 placed by the
// automatic build, 2 placed by hand; any other value, Null included, is not fixed. BuildCount
// of a plan row counts its placed lessons.
#pragma once

#include <QString>

namespace tw::timetable {

inline constexpr int kFlagPreset = 0;
inline constexpr int kFlagBuilt = 1;
inline constexpr int kFlagByHand = 2;

// One placed lesson as stored.
struct StoredLesson {
    QString courseCode;
    QString teacherCode;
    bool fixed = false;  // SetFlag is 0 (a Null flag is not fixed)
};

// The class's lesson in a slot (the first one stored); false when the slot is empty or on any
// failure.
bool ReadClassLesson(const QString& classCode, int day, int lesson, StoredLesson& out);

// Fixes a lesson (course and its plan teacher) in a slot with SetFlag 0 and counts it into the
// plan row. A lesson of the builder or of hand editing already in the slot is turned into the
// fixed one in place and given back to its own plan row; such lessons of the teacher in other
// classes at that slot are removed and given back too, so the teacher stays in one class.
// Refused when the class or the teacher already has a fixed lesson in that slot.
bool WritePresetLesson(const QString& classCode, const QString& courseCode,
                       const QString& teacherCode, int day, int lesson);

// Removes the class's fixed lesson from a slot and lowers BuildCount of the plan row of the
// stored course and teacher. Refused when the slot holds no fixed lesson.
bool RemovePresetLesson(const QString& classCode, int day, int lesson);

// Places a lesson by hand (SetFlag 2) and raises BuildCount of the plan row of that class,
// course and teacher. Refused when the class has a lesson in the slot or the teacher teaches
// any class then.
bool PlaceHandLesson(const QString& classCode, const QString& courseCode,
                     const QString& teacherCode, int day, int lesson);

// Removes whatever lesson the class has in a slot and lowers BuildCount of the plan row of the
// stored course and teacher. Refused when the slot is empty.
bool RemoveHandLesson(const QString& classCode, int day, int lesson);

// Whether the lesson of teacher `selTeacher` at (selDay, selLesson) and the slot (day, lesson)
// of the same class, taught by `teacher` ("" for an empty slot), may trade places: the selected
// teacher teaches no other class at (day, lesson), and the slot's teacher none at the selected
// slot. False on any failure.
bool CanTradeSlots(const QString& classCode, const QString& selTeacher, int selDay, int selLesson,
                   const QString& teacher, int day, int lesson);

// Swaps the class's lesson at (selDay, selLesson) with the one at (day, lesson): the courses and
// teachers change places. A fixed lesson stays fixed wherever it goes: when only one of the two
// is fixed the flags change places too (the other lesson becomes hand-placed), else each slot
// keeps its SetFlag. When (day, lesson) is empty the lesson moves there instead: written anew,
// with SetFlag 0 when it was fixed and 2 otherwise, its old row deleted. BuildCount is not
// touched. Refused when the selected slot is empty, both slots hold the same course (as the
// database compares codes), or the trade would give a teacher two classes at once.
bool SwapClassLessons(const QString& classCode, int selDay, int selLesson, int day, int lesson);

}  // namespace tw::timetable
