// Appending timestamped lines to a failure log file, and the program folder. Build failures reach
// the caller only as status codes; the library itself writes no log file.
#pragma once

#include <string>

namespace TVostrin {

// Appends "yyyymmdd-hhnnss(zzz): text" and CR LF to the file (created when missing), in local
// time. Nothing is written and nothing reported when the file cannot be opened.
void AppendErrorLog(const std::string& path, const std::string& text);

// The folder of the running program's executable, with a trailing "/".
std::string ProgramFolder();

}  // namespace TVostrin
