// How the data layer runs a command: one user action, one transaction, and every database error
// turned into an outcome where the transaction ends.
#pragma once

#include <QList>
#include <QString>
#include <utility>

#include "Outcome.h"
#include "db/Database.h"

namespace tw::store {

// In builds with assertions: whether the timetable tables keep their rules now (see
// Invariants.h; the check sends no statement to the connection's statement log). Always true
// in builds without assertions, where it reads nothing.
bool TimetableSound(tw::db::Database& db);
// In builds with assertions, when the tables kept their rules before a command: writes the rule
// the committed command broke, by its number, to the error output and fails an assertion. Reads
// nothing in builds without assertions.
void AssertTimetableRulesKept(tw::db::Database& db, bool keptBefore);

// The outcome of a statement that failed: DatabaseError with the engine's reason code, and its
// text with the statement written to the log (standard error), never shown to the user.
Outcome FailedStatement(const tw::db::DbError& error);

// Runs body(), which sends its statements to db and returns an Outcome, inside one
// transaction: committed when the outcome is done, rolled back otherwise and whenever a
// statement fails, which gives FailedStatement's outcome. Where the tables kept
// their rules before, an assertion checks they still do after a commit.
template <class Body>
Outcome RunInTransaction(tw::db::Database& db, Body&& body) {
    try {
        const bool soundBefore = TimetableSound(db);
        tw::db::Transaction transaction(db);
        Outcome outcome = std::forward<Body>(body)();
        if (!outcome.Done()) return outcome;
        transaction.Commit();
        AssertTimetableRulesKept(db, soundBefore);
        return outcome;
    } catch (const tw::db::DbError& e) {
        return FailedStatement(e);
    }
}

// Runs body() (a read, or a single statement that needs no transaction of its own), turning a
// failing statement into FailedStatement's outcome.
template <class Body>
Outcome RunGuarded(Body&& body) {
    try {
        return std::forward<Body>(body)();
    } catch (const tw::db::DbError& e) {
        return FailedStatement(e);
    }
}

// Reads every row sql gives, each made into a T by rowOf(recordset); a failing statement gives
// FailedStatement's outcome, and the rows read before it stay.
template <class T, class RowOf>
Read<QList<T>> ReadRows(tw::db::Database& db, const QString& sql, RowOf&& rowOf) {
    Read<QList<T>> read;
    read.outcome = RunGuarded([&] {
        auto rs = db.OpenRecordset(sql);
        for (; !rs->Eof(); rs->MoveNext()) read.value.append(rowOf(*rs));
        rs->Close();
        return Outcome::Ok();
    });
    return read;
}

}  // namespace tw::store
