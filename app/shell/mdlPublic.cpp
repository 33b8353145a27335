// The program folder.
#include "mdlPublic.h"

#include <QCoreApplication>

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

}  // namespace tw::shell
