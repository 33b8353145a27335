// What a command of the data layer tells its caller: done, or why not. The data layer never
// throws: a failing statement is caught where its transaction ends and comes back as
// Reason::DatabaseError with the database's own text in `detail`. The forms word each reason in
// the user's language.
#pragma once

#include <QString>

namespace tw::store {

enum class Reason {
    Done,
    NoDatabase,     // no database is open
    DatabaseError,  // a statement failed; detail holds the database's text
    NotFound,       // the command matched no stored row
    Refused,        // the stored data forbids the command (each command says which rule)
};

struct Outcome {
    Reason reason = Reason::Done;
    QString detail;      // the database's error text after DatabaseError, else empty
    long long rows = 0;  // rows the command changed, where the caller reports them

    bool Done() const { return reason == Reason::Done; }
    static Outcome Failed(Reason why, QString text = {}) { return {why, std::move(text), 0}; }
};

// A read that can fail: the value read, and the outcome (value is default-made unless done).
template <class T>
struct Read {
    Outcome outcome;
    T value{};
    bool Done() const { return outcome.Done(); }
};

}  // namespace tw::store
