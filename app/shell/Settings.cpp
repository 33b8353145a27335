// Readers of the settings file kbxt.ini in the program folder. The file is read anew at every
// call; a missing file gives every default.
#include <QDesktopServices>
#include <QFileInfo>
#include <QUrl>

#include "ini/PrivateProfile.h"
#include "mdlPublic.h"
#include "text/Gbk.h"

QString SettingsFile() {
    return ProgramFile("kbxt.ini");
}

namespace {
// FILENAME is read into a buffer of this many bytes, its terminator included.
constexpr size_t kDbFileNameBuffer = 255;
}  // namespace

QString GetDbFileName() {
    const QString path =
        tw::ini::ReadString(SettingsFile(), "DB", "FILENAME", "", kDbFileNameBuffer);
    return path.isEmpty() ? ProgramFile("kb.mdb") : path;
}

bool WriteDbFileName(const QString& path) {
    // A path the reader would cut is refused rather than stored to be read back as another.
    if (tw::text::ToGbk(path).size() >= kDbFileNameBuffer) return false;
    return tw::ini::WriteString(SettingsFile(), "DB", "FILENAME", path);
}

QString GetSchoolName() {
    return tw::ini::ReadString(SettingsFile(), "USERINFO", "USER", "", 101);
}

QString GetLessonsOfDay() {
    return QString::number(tw::ini::ReadInt(SettingsFile(), "LESSON", "LESSON_OF_DAY", 6));
}

void OpenWithShell(const QString& target) {
    const QUrl url = target.contains("://") ? QUrl(target) : QUrl::fromLocalFile(target);
    QDesktopServices::openUrl(url);
}
