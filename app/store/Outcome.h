// What a command of the data layer tells its caller: done, or why not. A command never throws: a
// failing statement is caught where its transaction ends (Command.h) and comes back as
// Reason::DatabaseError with the engine's reason code in `engine` (its own text, with the
// statement, goes to the log). Only the single statements of the automatic build (Build.h)
// throw, inside the build run's one command, which catches them the same way. The shell words
// each reason in the user's language (shell/FailureText.h).
#pragma once

#include <QString>
#include <utility>

namespace tw::db {
enum class OpenError;  // db/Database.h: why the engine refused; 0 is None
}

namespace tw::store {

enum class Reason {
    Done,
    NoDatabase,     // no database is open
    DatabaseError,  // a statement failed; engine holds the engine's reason
    NotFound,       // the command matched no stored row (or not the row the caller read)
    CodeTaken,      // a record of that code is stored already
    TooLong,        // a value is longer than its column takes from the forms
    BadCount,       // a lesson count is no whole number the column can hold (see lowest, highest)
    OtherTeacher,   // the class has the course with another teacher (one teacher a course)
    CourseChanged,  // a plan row's course cannot change, only its teacher and count
    FixedInTheWay,  // a fixed lesson stands where the command would have to move or remove it
    SlotTaken,      // the class already has a lesson in the slot
    TeacherBusy,    // the teacher teaches another class in the slot
    EmptySlot,      // the slot holds no lesson (or no fixed lesson) to take
    SameCourse,     // both slots hold the same course
    NotGraded,      // a class code that does not start with its grade digit (detail: the code)
    BadLimit,       // a slot limit for no entry, outside the week or of none of the levels
    EmptyPlan,      // the teaching plan holds no lessons to place
    SlotDoubled,    // the slot holds two lessons of the class (an older file): they cannot be
                    // told apart, so the command would take or change both
};

// A slot of the week: day 1 to 5 (Monday to Friday) and lesson of the day; 0 and 0 for none.
struct WeekSlot {
    int day = 0;
    int lesson = 0;
};

struct Outcome {
    Reason reason = Reason::Done;
    // DatabaseError: the engine's own text with the statement, for the log only; NotGraded: the
    // class code that cannot move up; FixedInTheWay of a plan change: the code of the class the
    // new teacher teaches in `slot` (the form puts its shown name in its place).
    QString detail;
    long long rows = 0;          // rows the command changed, where the caller reports them
    tw::db::OpenError engine{};  // DatabaseError: why the engine refused the statement
    WeekSlot slot;               // FixedInTheWay of a plan change: the fixed lesson's slot
    long long lowest = 0;        // BadCount: the lowest and highest count the row can take
    long long highest = 0;
    long long removed = 0;  // done: placed lessons the command had to remove

    bool Done() const { return reason == Reason::Done; }
    static Outcome Ok(long long rows = 0) {
        Outcome done;
        done.rows = rows;
        return done;
    }
    static Outcome Failed(Reason why, QString text = {}) {
        Outcome failed;
        failed.reason = why;
        failed.detail = std::move(text);
        return failed;
    }
};

// A read that can fail: the value read and the outcome (the value stays default-made, or holds
// what was read before the failure where the read says so).
template <class T>
struct Read {
    Outcome outcome;
    T value{};
    bool Done() const { return outcome.Done(); }
};

}  // namespace tw::store
