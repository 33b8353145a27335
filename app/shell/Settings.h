// Readers and the one writer of the settings file kbxt.ini in the program folder.
#pragma once

#include <QString>

namespace tw::shell {

QString SettingsFile();  // ProgramFile("kbxt.ini")
// DB/FILENAME; empty gives the program folder's kb.mdb, and a relative path is taken inside the
// program folder.
QString GetDbFileName();
// Writes DB/FILENAME; false, with the file untouched, when the write fails or when the path
// would not read back as it is (GBK lacks one of its characters, or the reader would cut it).
bool WriteDbFileName(const QString& path);
QString GetSchoolName();
QString GetLessonsOfDay();

}  // namespace tw::shell
