// What a command of the data layer tells its caller: done, or why not. A command never throws: a
// failing statement is caught where its transaction ends (Command.h) and comes back as
// Reason::DatabaseError with the database's own text in `detail`. Only the single statements of
// the automatic build (Build.h) throw, inside the build run's one command, which catches them the
// same way. The forms word each reason in the user's language.
#pragma once

#include <QString>
#include <utility>

namespace tw::store {

enum class Reason {
    Done,
    NoDatabase,     // no database is open
    DatabaseError,  // a statement failed; detail holds the database's text
    NotFound,       // the command matched no stored row (or not the row the caller read)
    CodeTaken,      // a record of that code is stored already
    TooLong,        // a value is longer than its column takes from the forms
    BadCount,       // a lesson count is no whole number the column can hold
    OtherTeacher,   // the class has the course with another teacher (one teacher a course)
    CourseChanged,  // a plan row's course cannot change, only its teacher and count
    FixedInTheWay,  // a fixed lesson stands where the command would have to move or remove it
    SlotTaken,      // the class already has a lesson in the slot
    TeacherBusy,    // the teacher teaches another class in the slot
    EmptySlot,      // the slot holds no lesson (or no fixed lesson) to take
    SameCourse,     // both slots hold the same course
    NotGraded,      // a class code that does not start with its grade digit
    BadLimit,       // a slot limit for no entry, outside the week or of none of the levels
};

struct Outcome {
    Reason reason = Reason::Done;
    QString detail;      // the database's error text after DatabaseError, else empty
    long long rows = 0;  // rows the command changed, where the caller reports them

    bool Done() const { return reason == Reason::Done; }
    static Outcome Ok(long long rows = 0) { return {Reason::Done, {}, rows}; }
    static Outcome Failed(Reason why, QString text = {}) { return {why, std::move(text), 0}; }
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
