// Program-wide variables and the program folder.
#include "mdlPublic.h"

#include <QCoreApplication>

tw::shell::AppState& ProgramState() {
    static tw::shell::AppState state;
    return state;
}

QString& AppTitle = ProgramState().title;
int& LessonOfDay = ProgramState().lessonOfDay;

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
