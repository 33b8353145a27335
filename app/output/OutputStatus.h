// Statuses of the print and export commands besides 0 (done) and the library's own codes.
#pragma once

#include <QString>

#include "store/Outcome.h"

namespace tw::output {

// The data file could not be written (the writers' failure).
inline constexpr short kDataFileNotWritten = -1;
// The selection found no placed lesson: the command's no-data message is shown.
inline constexpr short kNoTimetableData = -102;
// The workbook script ended without making the workbook.
inline constexpr short kNoWorkbookMade = -105;

// Why the rows of a print or export command could not be read, as the text that follows the
// command's failure text.
inline QString ReadFailureText(const tw::store::Outcome& outcome) {
    return outcome.reason == tw::store::Reason::NoDatabase ? QStringLiteral("没有打开的数据库")
                                                           : outcome.detail;
}

}  // namespace tw::output
