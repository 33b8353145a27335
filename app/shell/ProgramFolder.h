// The program folder, which holds the program, its libraries and files, and the settings file,
// and whether two paths name one file.
#pragma once

#include <QString>

namespace tw::shell {

// The folder that holds the program file (tests may point it elsewhere).
QString ProgramFolder();
void SetProgramFolder(const QString& folder);
// Program folder + "/" + name.
QString ProgramFile(const QString& name);
// True when both paths name the same file, through links too (or, for missing files, the same
// absolute path).
bool SameFile(const QString& a, const QString& b);

}  // namespace tw::shell
