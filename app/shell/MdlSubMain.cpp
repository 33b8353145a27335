#include "MdlSubMain.h"

#include "frmMain.h"
#include "ini/PrivateProfile.h"
#include "mdlPublic.h"
#include "ui/MsgBox.h"

namespace {
const QString kTitleSuffix = QStringLiteral("排课软件系统");
}

int RegisterControls() {
    return 0;
}

QString GetMainCaption() {
    AppTitle = GetSchoolName() + kTitleSuffix;
    return AppTitle + " -- " + GetDbFileName();
}

int LessonsOfDaySetting() {
    const int n = GetLessonsOfDay().toInt();
    return n == 7 ? 7 : 6;
}

short TrimLessonsToDay() {
    try {
        if (!KbDatabase) return -1;
        KbDatabase->Execute("Delete from LessonListtb where LessonNo>" +
                            QString::number(LessonOfDay));
        return 0;
    } catch (const tw::db::DbError&) {
        return -1;
    }
}

std::unique_ptr<frmMain> Main() {
    RegisterControls();
    AppTitle = GetSchoolName() + kTitleSuffix;

    QString path = GetDbFileName();
    if (!OpenDb(path)) {
        path = ProgramFile("kb.mdb");
        if (!OpenDb(path)) {
            tw::ui::MsgBox(QStringLiteral("打开数据库失败！"), tw::ui::vbCritical, AppTitle);
            return nullptr;
        }
        tw::ini::WriteString(SettingsFile(), "DB", "FILENAME", path);  // failure is ignored
    }

    LessonOfDay = LessonsOfDaySetting();
    TrimLessonsToDay();

    // Constructing the window runs its load handler before the caption is set.
    auto window = std::make_unique<frmMain>();
    window->setWindowTitle(GetMainCaption());
    window->show();
    return window;
}
