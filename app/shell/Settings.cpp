// Readers of the settings file kbxt.ini in the program folder. The file is read anew at every
// call; a missing file gives every default.
#include <QDesktopServices>
#include <QFileInfo>
#include <QUrl>

#include "ini/PrivateProfile.h"
#include "mdlPublic.h"

QString SettingsFile() {
    return ProgramFile("kbxt.ini");
}

QString GetDbFileName() {
    const QString path = tw::ini::ReadString(SettingsFile(), "DB", "FILENAME", "", 255);
    return path.isEmpty() ? ProgramFile("kb.mdb") : path;
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
