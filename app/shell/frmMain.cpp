#include "frmMain.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPixmap>
#include <QThread>
#include <QUrl>

#include "AppState.h"
#include "FailureText.h"
#include "ModalForm.h"
#include "OpenDatabase.h"
#include "OpenFailureText.h"
#include "ProgramFolder.h"
#include "Settings.h"
#include "ShellOpen.h"
#include "WebLinks.h"
#include "data/frmClassInput.h"
#include "data/frmClassLimitInput.h"
#include "data/frmClassPlanInput.h"
#include "data/frmClassRoomInput.h"
#include "data/frmClassRoomLimitInput.h"
#include "data/frmCourseInput.h"
#include "data/frmCourseLimitInput.h"
#include "data/frmTeacherInput.h"
#include "data/frmTeacherLimitInput.h"
#include "db/Database.h"
#include "frmAbout.h"
#include "frmConfirm.h"
#include "frmSetLessonOfDay.h"
#include "frmSimpleManual.h"
#include "output/frmExport.h"
#include "output/frmPrint.h"
#include "store/School.h"
#include "timetable/frmAutoBuild.h"
#include "timetable/frmManualSetLesson.h"
#include "timetable/frmSetLesson.h"
#include "ui/MsgBox.h"
#include "ui/Units.h"

namespace tw::shell {

using tw::ui::MsgBox;
using tw::ui::vbCritical;
using tw::ui::vbInformation;

namespace {

const char* const kDbFilter = "数据库(*.mdb)";

// One menu item: its name, caption, nesting depth, visibility and handler (none for a submenu).
// Field order follows the menu table's columns; the padding of this small static table is
// of no concern.
struct MenuItem {  // NOLINT(clang-analyzer-optin.performance.Padding)
    const char* name;
    const char* caption;
    int depth;
    bool visible;
    void (frmMain::*handler)();
    bool needsDb;
};

// The menu tree in order; the hidden items exist with their commands but are never shown.
const MenuItem kMenu[] = {
    {"mnuFile", "文件", 0, true, nullptr, false},
    {"mnuOpenDb", "打开数据库", 1, true, &frmMain::mnuOpenDb_Click, false},
    {"mnuDbSaveAs", "数据库另存为...", 1, true, &frmMain::mnuDbSaveAs_Click, false},
    {"mnuEnd", "退出", 1, true, &frmMain::mnuEnd_Click, false},
    {"mnuBasicData", "基础数据", 0, true, nullptr, false},
    {"mnuClassList", "班级名单", 1, true, &frmMain::mnuClassList_Click, true},
    {"mnuCourseList", "课程名单", 1, true, &frmMain::mnuCourseList_Click, true},
    {"mnuTeacherList", "老师名单", 1, true, &frmMain::mnuTeacherList_Click, true},
    {"mnuClassRoomList", "公共教室名单", 1, false, &frmMain::mnuClassRoomList_Click, true},
    {"mnuClassPlan", "各班教学计划", 1, true, &frmMain::mnuClassPlan_Click, true},
    {"mnuAuto", "自动排课", 0, true, nullptr, false},
    {"mnuLimit", "上课时间限制条件", 1, true, nullptr, false},
    {"mnuClassLimit", "班级上课时间限制", 2, false, &frmMain::mnuClassLimit_Click, true},
    {"mnuCourseLimit", "课程上课时间限制", 2, true, &frmMain::mnuCourseLimit_Click, true},
    {"mnuTeacherLimit", "老师上课时间限制", 2, false, &frmMain::mnuTeacherLimit_Click, true},
    {"mnuClassroomLimit", "教室上课时间限制", 2, false, &frmMain::mnuClassroomLimit_Click, true},
    {"mnuPrepairBuild", "预先安排固定课程", 1, true, &frmMain::mnuPrepairBuild_Click, true},
    {"mnuAutoBuild", "自动生成课表", 1, true, &frmMain::mnuAutoBuild_Click, true},
    {"mnuBuildKb", "课表操作", 0, true, nullptr, false},
    {"mnuManualBuild", "手工调整课表", 1, true, &frmMain::mnuManualBuild_Click, true},
    {"mnuPrint", "打印课表", 1, true, &frmMain::mnuPrint_Click, true},
    {"mnuExport", "导出课表到Excel", 1, true, &frmMain::mnuExport_Click, true},
    {"mnuUpgradeAll", "课表学年升级", 1, true, &frmMain::mnuUpgradeAll_Click, true},
    {"mnuDeleteLessonAll", "删除课表数据", 1, true, &frmMain::mnuDeleteLessonAll_Click, true},
    {"mnuManager", "系统管理", 0, true, nullptr, false},
    {"mnuSetLessonNum", "每天课时设置", 1, true, &frmMain::mnuSetLessonNum_Click, false},
    {"mnuDataMaintenance", "数据维护", 1, true, &frmMain::mnuDataMaintenance_Click, true},
    {"mnuHelp", "帮助", 0, true, nullptr, false},
    {"mnuSimpleManual", "简要使用说明", 1, true, &frmMain::mnuSimpleManual_Click, false},
    {"mnuManual", "使用手册", 1, true, &frmMain::mnuManual_Click, false},
    {"mnuToWebsite", "访问网站", 1, true, &frmMain::mnuToWebsite_Click, false},
    {"mnuForum", "使用交流", 1, false, &frmMain::mnuForum_Click, false},
    {"mnuAbout", "关于", 1, true, &frmMain::mnuAbout_Click, false},
};

}  // namespace

frmMain::frmMain(AppState& state, QWidget* parent) : QMainWindow(parent), state_(state) {
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(QStringLiteral("Korvel排课软件"));
    resize(tw::ui::TwipsToPixels(11400), tw::ui::TwipsToPixels(7920));
    imgBack = new QLabel(this);
    imgBack->setObjectName(QStringLiteral("imgBack"));
    imgBack->setScaledContents(true);
    imgBack->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Ignored);
    imgBack->setMinimumSize(1, 1);
    // Stretched over the whole window at every resize by the layout (Form_Resize).
    setCentralWidget(imgBack);
    BuildMenus();
    Form_Load();
}

void frmMain::BuildMenus() {
    QMenu* parents[3] = {nullptr, nullptr, nullptr};
    const int count = static_cast<int>(sizeof(kMenu) / sizeof(kMenu[0]));
    for (int i = 0; i < count; ++i) {
        const MenuItem& m = kMenu[i];
        const bool isSubmenu = m.handler == nullptr;
        QAction* action = nullptr;
        if (isSubmenu) {
            QMenu* menu = m.depth == 0
                              ? menuBar()->addMenu(QString::fromUtf8(m.caption))
                              : parents[m.depth - 1]->addMenu(QString::fromUtf8(m.caption));
            menu->setObjectName(QString::fromUtf8(m.name));
            parents[m.depth] = menu;
            action = menu->menuAction();
            if (m.depth == 0) {
                connect(menu, &QMenu::aboutToShow, this, &frmMain::UpdateMenuState);
            }
        } else {
            action = parents[m.depth - 1]->addAction(QString::fromUtf8(m.caption));
            connect(action, &QAction::triggered, this, m.handler);
            action->setProperty("needsDb", m.needsDb);
        }
        action->setObjectName(QString::fromUtf8(m.name));
        action->setVisible(m.visible);
    }
}

void frmMain::Form_Load() {
    // A missing or unreadable picture leaves a plain window.
    const QPixmap picture(ProgramFile(QStringLiteral("HomePage.jpg")));
    if (!picture.isNull()) imgBack->setPixmap(picture);
}

void frmMain::UpdateMenuState() {
    const bool open = state_.IsOpen();
    for (QAction* action : findChildren<QAction*>()) {
        if (action->property("needsDb").toBool()) action->setEnabled(open);
    }
}

QString frmMain::ConfirmationText(const QString& warning) {
    return warning + QStringLiteral("\r\n") + QStringLiteral("您最好先保存现在的课表数据。") +
           QStringLiteral("\r\n") + QStringLiteral("菜单“文件”->“数据库另存为”");
}

bool frmMain::TypedConfirmation(const QString& warning) {
    frmConfirm form;
    form.lblTitle->setText(ConfirmationText(warning));
    form.Text1->clear();
    ShowModal(form);
    return form.Confirmed;
}

void frmMain::ReopenDb(const QString& path) {
    tw::db::OpenFailure why;
    if (!state_.Open(path, &why)) {
        // The caption names a database only while one is open.
        setWindowTitle(QStringLiteral("Korvel排课软件"));
        ShowOpenFailure(path, why);
    }
    UpdateMenuState();
}

void frmMain::ShowOpenFailure(const QString& path, const tw::db::OpenFailure& why) {
    MsgBox(QStringLiteral("打开数据库失败！\n") + OpenDbFailureLine(path, why), vbCritical,
           state_.title);
}

// ---- 文件 ----

void frmMain::mnuOpenDb_Click() {
    // The database open now, not the settings file's, is the one to return to, and the
    // chooser starts in its folder.
    const QString previous = state_.IsOpen() ? state_.Path() : GetDbFileName();
    const QString chosen =
        tw::ui::GetOpenFileName(QStringLiteral("选择数据库文件"), QString::fromUtf8(kDbFilter),
                                QFileInfo(previous).absolutePath());
    if (chosen.isEmpty()) return;
    state_.Close();
    // A file that does not open comes back with its reason, which the message names.
    tw::db::OpenFailure why;
    if (state_.Open(chosen, &why)) {
        setWindowTitle(QStringLiteral("Korvel排课软件 -- ") + chosen);
        // A path the settings file cannot hold as it is stays unsaved, and is reported.
        if (!WriteDbFileName(chosen)) {
            MsgBox(QStringLiteral("保存新数据库文件名！"), vbCritical, windowTitle());
        }
        UpdateMenuState();
    } else {
        ShowOpenFailure(chosen, why);
        ReopenDb(previous);
    }
}

void frmMain::mnuDbSaveAs_Click() {
    // The database open now is the one copied, and the chooser starts in its folder, as the
    // open chooser does.
    const QString current = state_.IsOpen() ? state_.Path() : GetDbFileName();
    const QString chosen =
        tw::ui::GetSaveFileName(QStringLiteral("数据库另存为"), QString::fromUtf8(kDbFilter),
                                QFileInfo(current).absolutePath());
    if (chosen.isEmpty()) return;
    // Copying the file onto itself would destroy it.
    if (SameFile(chosen, current)) {
        MsgBox(QStringLiteral("保存数据库文件错误！\n不能另存为当前正在使用的文件本身。"),
               vbCritical, windowTitle());
        return;
    }
    state_.Close();
    // A file another program holds (another copy of this one working on it) is not replaced
    // under it, and none can open the file while the copy is written.
    const tw::db::Database::CopyResult copied = tw::db::Database::CopyFileOver(current, chosen);
    if (copied == tw::db::Database::CopyResult::TargetInUse) {
        MsgBox(QStringLiteral("保存数据库文件错误！\n") +
                   OpenFailureText({tw::db::OpenError::InUse, {}}),
               vbCritical, windowTitle());
    } else if (copied != tw::db::Database::CopyResult::Copied) {
        MsgBox(QStringLiteral("保存数据库文件错误！"), vbCritical, windowTitle());
    }
    ReopenDb(current);
}

void frmMain::mnuEnd_Click() {
    ending_ = true;
    state_.Close();
    close();
    if (QThread::currentThread()->loopLevel() > 0) QCoreApplication::exit(0);
}

void frmMain::closeEvent(QCloseEvent* event) {
    if (!ending_) {
        ending_ = true;
        state_.Close();
        if (QThread::currentThread()->loopLevel() > 0) QCoreApplication::exit(0);
    }
    event->accept();
}

// ---- 基础数据 ----
// Each handler shows its form through the one line marked FORM.

void frmMain::mnuClassList_Click() {
    if (!state_.IsOpen()) return;
    ShowFormModal<data::frmClassInput>(state_);  // FORM frmClassInput
}

void frmMain::mnuCourseList_Click() {
    if (!state_.IsOpen()) return;
    ShowFormModal<data::frmCourseInput>(state_);  // FORM frmCourseInput
}

void frmMain::mnuTeacherList_Click() {
    if (!state_.IsOpen()) return;
    ShowFormModal<data::frmTeacherInput>(state_);  // FORM frmTeacherInput
}

void frmMain::mnuClassRoomList_Click() {
    if (!state_.IsOpen()) return;
    ShowFormModal<data::frmClassRoomInput>(state_);  // FORM frmClassRoomInput
}

void frmMain::mnuClassPlan_Click() {
    if (!state_.IsOpen()) return;
    ShowFormModal<data::frmClassPlanInput>(state_);  // FORM frmClassPlanInput
}

// ---- 自动排课 ----

void frmMain::mnuClassLimit_Click() {
    if (!state_.IsOpen()) return;
    ShowFormModal<frmClassLimitInput>(state_);  // FORM frmClassLimitInput
}

void frmMain::mnuCourseLimit_Click() {
    if (!state_.IsOpen()) return;
    ShowFormModal<frmCourseLimitInput>(state_);  // FORM frmCourseLimitInput
}

void frmMain::mnuTeacherLimit_Click() {
    if (!state_.IsOpen()) return;
    ShowFormModal<frmTeacherLimitInput>(state_);  // FORM frmTeacherLimitInput
}

void frmMain::mnuClassroomLimit_Click() {
    if (!state_.IsOpen()) return;
    ShowFormModal<frmClassRoomLimitInput>(state_);  // FORM frmClassRoomLimitInput
}

void frmMain::mnuPrepairBuild_Click() {
    if (!state_.IsOpen()) return;
    ShowFormModal<timetable::frmSetLesson>(state_);  // FORM frmSetLesson
}

void frmMain::mnuAutoBuild_Click() {
    if (!state_.IsOpen()) return;
    if (!TypedConfirmation(QStringLiteral("自动生成课表将会清除您以前排好的课表！"))) return;
    ShowFormModal<timetable::frmAutoBuild>(state_);  // FORM frmAutoBuild
}

// ---- 课表操作 ----

void frmMain::mnuManualBuild_Click() {
    if (!state_.IsOpen()) return;
    ShowFormModal<timetable::frmManualSetLesson>(state_);  // FORM frmManualSetLesson
}

void frmMain::mnuPrint_Click() {
    if (!state_.IsOpen()) return;
    ShowFormModal<output::frmPrint>(state_);  // FORM frmPrint
}

void frmMain::mnuExport_Click() {
    if (!state_.IsOpen()) return;
    ShowFormModal<tw::output::frmExport>(state_);  // FORM frmExport
}

void frmMain::mnuUpgradeAll_Click() {
    if (!state_.IsOpen()) return;
    if (!TypedConfirmation(QStringLiteral("课表学年升级将会清除您以前排好的课表！"))) return;
    const tw::store::Outcome outcome = OnOpenDatabase(state_, tw::store::UpgradeSchoolYear);
    if (outcome.Done()) {
        MsgBox(QStringLiteral("课表学年升级完成。"), vbInformation, QStringLiteral("课表系统"));
    } else {
        MsgBox(FailureText(QStringLiteral("课表学年升级失败！"), outcome), vbCritical,
               QStringLiteral("课表系统"));
    }
}

void frmMain::mnuDeleteLessonAll_Click() {
    if (!state_.IsOpen()) return;
    if (!TypedConfirmation(QStringLiteral("删除课表数据将会清除您以前排好的课表！"))) return;
    const tw::store::Outcome outcome = OnOpenDatabase(state_, tw::store::DeleteAllLessons);
    if (outcome.Done()) {
        MsgBox(QStringLiteral("删除课表完成。"), vbInformation, QStringLiteral("课表系统"));
    } else {
        MsgBox(FailureText(QStringLiteral("删除课表失败！"), outcome), vbCritical,
               QStringLiteral("课表系统"));
    }
}

// ---- 系统管理 ----

void frmMain::mnuSetLessonNum_Click() {
    ShowFormModal<frmSetLessonOfDay>(state_);
}

void frmMain::mnuDataMaintenance_Click() {
    if (!state_.IsOpen()) return;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const tw::store::Outcome outcome = OnOpenDatabase(state_, tw::store::MaintainData);
    if (outcome.Done()) {
        MsgBox(QStringLiteral("数据维护完成"), vbInformation, windowTitle());
    } else {
        MsgBox(FailureText(QStringLiteral("数据维护失败！"), outcome), vbCritical, windowTitle());
    }
    QApplication::restoreOverrideCursor();
}

// ---- 帮助 ----

void frmMain::mnuSimpleManual_Click() {
    ShowFormModal<frmSimpleManual>();
}

void frmMain::mnuManual_Click() {
    OpenWithShell(
        QUrl::fromLocalFile(ProgramFile(QStringLiteral("使用手册/使用手册.html"))).toString());
}

void frmMain::mnuToWebsite_Click() {
    OpenWithShell(QString::fromUtf8(kWebsiteUrl));
}

void frmMain::mnuForum_Click() {
    OpenWithShell(QString::fromUtf8(kForumUrl));
}

void frmMain::mnuAbout_Click() {
    ShowFormModal<frmAbout>();
}

}  // namespace tw::shell
