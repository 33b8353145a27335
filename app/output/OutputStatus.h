// Statuses of the print and export commands besides 0 (done) and the library's own codes.
#pragma once

namespace tw::output {

// The data file could not be written (the writers' failure).
inline constexpr short kDataFileNotWritten = -1;
// The selection found no placed lesson: the command's no-data message is shown.
inline constexpr short kNoTimetableData = -102;
// The workbook script ended without making the workbook.
inline constexpr short kNoWorkbookMade = -105;

}  // namespace tw::output
