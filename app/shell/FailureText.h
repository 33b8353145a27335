// How the forms, the main window and start-up word a command's failure: the form's own text,
// followed by the reason the data layer handed back, in words of its own for every reason.
#pragma once

#include <QString>

#include "store/Outcome.h"

namespace tw::shell {

// The reason of an outcome in short Chinese words: for every Reason, with what the outcome
// names (a slot, a class, the counts allowed, a class code); a failed statement by the engine's
// reason code, in the words of a failed open (disk full, the file or its folder cannot be
// written, a disk failure, a damaged file, another program holds it) or else one catch-all.
// No statement and no text of the engine is ever part of it.
QString ReasonText(const tw::store::Outcome& outcome);

// A slot of the week in words: "星期三第2节".
QString SlotText(const tw::store::WeekSlot& slot);

// The failure text for a message box, followed on a line of its own by the outcome's reason.
QString FailureText(const QString& text, const tw::store::Outcome& outcome);

// The same for a status panel, on one line: the text, "：" and the reason. The panel cuts a
// reason too long for it with "…" and shows it whole as its tooltip.
QString PanelFailureText(const QString& text, const tw::store::Outcome& outcome);

}  // namespace tw::shell
