// How the main window and start-up word the outcome of the commands that work on the whole
// timetable database (store/School.h).
#pragma once

#include <QString>

#include "store/Outcome.h"

namespace tw::shell {

// The command's failure text, followed on a line of its own by the reason when the outcome
// carries one beyond the text: the database's own words, or that no database is open. A refusal
// the text already says (an upgrade of a class code without its grade digit) is the text alone.
QString FailureText(const QString& text, const tw::store::Outcome& outcome);

}  // namespace tw::shell
