#include "MdlSubMain.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

#include "AppState.h"
#include "FailureText.h"
#include "OpenDatabase.h"
#include "OpenFailureText.h"
#include "ProgramFolder.h"
#include "Settings.h"
#include "db/Database.h"
#include "frmMain.h"
#include "ini/PrivateProfile.h"
#include "store/School.h"
#include "ui/MsgBox.h"

namespace tw::shell {

namespace {
const QString kTitleSuffix = QStringLiteral("排课软件系统");
}

int RegisterControls() {
    // The system's texts are Chinese whatever the machine's locale: the toolkit's dates and
    // file-type descriptions follow the program's default locale. (Numbers in files are
    // written in the C locale, which this does not change.)
    QLocale::setDefault(
        QLocale(QLocale::Chinese, QLocale::SimplifiedChineseScript, QLocale::China));
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

QString GetMainCaption(AppState& state) {
    state.title = GetSchoolName() + kTitleSuffix;
    // The database actually open: the setting names another one when its rewrite failed.
    return state.title + " -- " + (state.IsOpen() ? state.Path() : GetDbFileName());
}

std::optional<int> StoredLessonsOfDay() {
    // 0 stands for a missing key as for a value that does not begin with a digit.
    const unsigned n = tw::ini::ReadInt(SettingsFile(), "LESSON", "LESSON_OF_DAY", 0);
    if (n == 6 || n == 7) return static_cast<int>(n);
    return std::nullopt;
}

tw::store::Outcome TrimLessonsToDay(AppState& state) {
    return OnOpenDatabase(state, [&state](tw::db::Database& db) {
        return tw::store::DeleteLessonsBeyondDay(db, state.lessonOfDay);
    });
}

namespace {

// Opens the configured database, else the program folder's kb.mdb for this run. The setting
// is rewritten only when nothing is at the configured path: a file that exists but does not
// open now (held by another copy of the program, damaged, another password, in a folder that
// may not be entered or written) stays configured, and the user is told which file failed and
// why. False when nothing opened, after the message.
bool OpenStartupDatabase(AppState& state) {
    const QString configured = GetDbFileName();
    tw::db::OpenFailure why;
    if (state.Open(configured, &why)) return true;
    const bool missing = why.error == tw::db::OpenError::Missing;
    QString failures = OpenDbFailureLine(configured, why);
    const QString fallback = ProgramFile("kb.mdb");
    if (SameFile(configured, fallback) || !state.Open(fallback, &why)) {
        if (!SameFile(configured, fallback)) failures += "\n" + OpenDbFailureLine(fallback, why);
        tw::ui::MsgBox(QStringLiteral("打开数据库失败！\n") + failures, tw::ui::vbCritical,
                       state.title);
        return false;
    }
    if (missing) {
        WriteDbFileName(fallback);  // failure is ignored: the caption shows the open file
    } else {
        tw::ui::MsgBox(
            QStringLiteral("打不开设置的数据库文件，本次改用程序目录中的 kb.mdb。\n") + failures,
            tw::ui::vbCritical, state.title);
    }
    return true;
}

// Lessons beyond the day are not shown in any grid, but they are the school's: they are
// deleted only when the user says so, and the question's default keeps them.
void OfferLessonTrim(AppState& state) {
    const tw::store::Read<long long> counted =
        OnOpenDatabase(state, [&state](tw::db::Database& db) {
            return tw::store::CountLessonsBeyondDay(db, state.lessonOfDay);
        });
    if (!counted.Done()) {
        // Nothing counted, nothing offered; the user hears why.
        tw::ui::MsgBox(FailureText(QStringLiteral("读取课表失败！"), counted.outcome),
                       tw::ui::vbCritical, state.title);
        return;
    }
    const long long beyond = counted.value;
    if (beyond <= 0) return;
    const QString question =
        QStringLiteral(
            "课表中有%1节课排在每天第%2节以后，超出了每天课时数设置（%2节）。\n"
            "要删除这%1节课吗？选“否”则保留。")
            .arg(beyond)
            .arg(state.lessonOfDay);
    const int answer = tw::ui::MsgBox(
        question, tw::ui::vbYesNo | tw::ui::vbQuestion | tw::ui::vbDefaultButton2, state.title);
    if (answer != tw::ui::vbYes) return;
    const tw::store::Outcome trimmed = TrimLessonsToDay(state);
    if (!trimmed.Done()) {
        tw::ui::MsgBox(FailureText(QStringLiteral("删除课表失败！"), trimmed), tw::ui::vbCritical,
                       state.title);
    }
}

}  // namespace

std::unique_ptr<frmMain> Main(AppState& state) {
    RegisterControls();
    state.title = GetSchoolName() + kTitleSuffix;

    if (!OpenStartupDatabase(state)) return nullptr;

    // Lessons beyond the day are offered for deletion only on a setting that says 6 or 7: a
    // lost or unreadable settings file says nothing about the school's day.
    const std::optional<int> stored = StoredLessonsOfDay();
    state.lessonOfDay = stored.value_or(6);
    if (stored) OfferLessonTrim(state);

    // Constructing the window runs its load handler before the caption is set.
    auto window = std::make_unique<frmMain>(state);
    window->setWindowTitle(GetMainCaption(state));
    window->show();
    return window;
}

}  // namespace tw::shell
