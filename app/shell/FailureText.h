// How the forms, the main window and start-up word a command's failure: the form's own text,
// followed by the reason the data layer handed back when the text does not already say it.
#pragma once

#include <QString>

#include "store/Outcome.h"

namespace tw::shell {

// The failure text for a message box, followed on a line of its own by the reason when the
// outcome carries one beyond the text: the database's own words, or that no database is open.
// A refusal the text already says (an upgrade of a class code without its grade digit, a code
// taken) is the text alone.
QString FailureText(const QString& text, const tw::store::Outcome& outcome);

// The same for a status panel, on one line: the text, "：" and the reason. The panel cuts a
// reason too long for it with "…" and shows it whole as its tooltip.
QString PanelFailureText(const QString& text, const tw::store::Outcome& outcome);

}  // namespace tw::shell
