// The program folder, and whether two paths name one file.
#include "ProgramFolder.h"

#include <sys/stat.h>

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>

namespace tw::shell {

namespace {
QString& Folder() {
    static QString folder;
    return folder;
}
}  // namespace

QString ProgramFolder() {
    if (Folder().isEmpty() && QCoreApplication::instance())
        return QCoreApplication::applicationDirPath();
    return Folder();
}

void SetProgramFolder(const QString& folder) {
    Folder() = folder;
}

QString ProgramFile(const QString& name) {
    return ProgramFolder() + "/" + name;
}

bool SameFile(const QString& a, const QString& b) {
    // Two names of one file (a link, another spelling of the path) are the same file.
    struct stat sa {};
    struct stat sb {};
    if (::stat(QFile::encodeName(a).constData(), &sa) == 0 &&
        ::stat(QFile::encodeName(b).constData(), &sb) == 0)
        return sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
    return QFileInfo(a).absoluteFilePath() == QFileInfo(b).absoluteFilePath();
}

}  // namespace tw::shell
