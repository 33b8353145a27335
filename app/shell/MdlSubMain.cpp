#include "MdlSubMain.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

#include "frmMain.h"
#include "ini/PrivateProfile.h"
#include "mdlPublic.h"
#include "ui/MsgBox.h"

namespace {
const QString kTitleSuffix = QStringLiteral("排课软件系统");
}

int RegisterControls() {
    // The toolkit's own texts (message box buttons, file chooser) in Chinese, like the rest of
    // the program: installed once per run; without the translation file they stay as they are.
    static QTranslator* toolkitTexts = nullptr;
    if (!toolkitTexts && QCoreApplication::instance()) {
        auto* t = new QTranslator(QCoreApplication::instance());
        if (t->load(QStringLiteral("qtbase_zh_CN"),
                    QLibraryInfo::path(QLibraryInfo::TranslationsPath)) &&
            QCoreApplication::installTranslator(t)) {
            toolkitTexts = t;
        } else {
            delete t;
        }
    }
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
