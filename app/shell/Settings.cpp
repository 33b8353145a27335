// Readers of the settings file kbxt.ini in the program folder. The file is read anew at every
// call; a missing file gives every default.
#include "Settings.h"

#include <QDir>
#include <QFileInfo>

#include "ProgramFolder.h"
#include "ini/PrivateProfile.h"

namespace tw::shell {

QString SettingsFile() {
    return ProgramFile("kbxt.ini");
}

namespace {
// FILENAME is read into a buffer of this many bytes, its terminator included.
constexpr size_t kDbFileNameBuffer = 255;
// USER is read into a buffer of this many bytes.
constexpr size_t kSchoolNameBuffer = 101;
}  // namespace

QString GetDbFileName() {
    const QString path =
        tw::ini::ReadString(SettingsFile(), "DB", "FILENAME", "", kDbFileNameBuffer);
    if (path.isEmpty()) return ProgramFile("kb.mdb");
    // A relative path names a file of the program folder, where every other file of the
    // settings lives, whatever folder the program was started from.
    if (QFileInfo(path).isRelative()) return QDir::cleanPath(ProgramFile(path));
    return path;
}

bool WriteDbFileName(const QString& path) {
    // A path the reader would give back otherwise (cut, trimmed, unquoted) is refused rather
    // than stored to be read back as another.
    return tw::ini::WriteString(SettingsFile(), "DB", "FILENAME", path, kDbFileNameBuffer);
}

QString GetSchoolName() {
    return tw::ini::ReadString(SettingsFile(), "USERINFO", "USER", "", kSchoolNameBuffer);
}

QString GetLessonsOfDay() {
    return QString::number(tw::ini::ReadInt(SettingsFile(), "LESSON", "LESSON_OF_DAY", 6));
}

}  // namespace tw::shell
