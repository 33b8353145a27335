// The library's failure log: one timestamped line per failure, appended to "Errlog.txt" in the
// program folder.
#pragma once

#include <string>

namespace TVostrin {

// Appends "yyyymmdd-hhnnss(zzz): text" and CR LF to the file (created when missing), in local
// time. Nothing is written and nothing reported when the file cannot be opened.
void AppendErrorLog(const std::string& path, const std::string& text);

// The folder of the running program's executable, with a trailing "/".
std::string ProgramFolder();

// "Errlog.txt" in the program folder.
std::string ErrorLogPath();

// Appends text to the program's failure log.
void LogBuildFailure(const std::string& text);

}  // namespace TVostrin
