// The program's main window: a stretched background picture and the menu bar through which
// every function of the system is reached. Every menu item is a QAction whose object name is the
// item's name (mnuOpenDb, ...), handled by a slot named after it (mnuOpenDb_Click).
//
// While no database is open (a reopen failed) only the file and help commands and the lessons-
// per-day setting are offered; the other commands are disabled and do nothing.
#pragma once

#include <QMainWindow>

#include "db/Database.h"
#include "shell/AppState.h"

class QAction;
class QLabel;
class QMenu;

namespace tw::shell {

class frmMain : public QMainWindow {
    Q_OBJECT
  public:
    explicit frmMain(AppState& state, QWidget* parent = nullptr);

    // The three lines shown in the typed confirmation above the box.
    static QString ConfirmationText(const QString& warning);

    QLabel* imgBack;

  public slots:
    // 文件
    void mnuOpenDb_Click();
    void mnuDbSaveAs_Click();
    void mnuEnd_Click();
    // 基础数据
    void mnuClassList_Click();
    void mnuCourseList_Click();
    void mnuTeacherList_Click();
    void mnuClassRoomList_Click();
    void mnuClassPlan_Click();
    // 自动排课
    void mnuClassLimit_Click();
    void mnuCourseLimit_Click();
    void mnuTeacherLimit_Click();
    void mnuClassroomLimit_Click();
    void mnuPrepairBuild_Click();
    void mnuAutoBuild_Click();
    // 课表操作
    void mnuManualBuild_Click();
    void mnuPrint_Click();
    void mnuExport_Click();
    void mnuUpgradeAll_Click();
    void mnuDeleteLessonAll_Click();
    // 系统管理
    void mnuSetLessonNum_Click();
    void mnuDataMaintenance_Click();
    // 帮助
    void mnuSimpleManual_Click();
    void mnuManual_Click();
    void mnuToWebsite_Click();
    void mnuForum_Click();
    void mnuAbout_Click();

  protected:
    // Form_Unload: closing the window closes the database and ends the program.
    void closeEvent(QCloseEvent* event) override;

  private:
    void BuildMenus();
    void Form_Load();
    // Enables the commands that need an open database only while one is open.
    void UpdateMenuState();
    // Runs the typed confirmation with the command's warning line; true when confirmed.
    bool TypedConfirmation(const QString& warning);
    // Reopens a database after a failed open or a copy; reports a failure, and the caption
    // then names no database.
    void ReopenDb(const QString& path);
    // "打开数据库失败！" with the file and the reason it did not open.
    void ShowOpenFailure(const QString& path, const tw::db::OpenFailure& why);

    AppState& state_;
    bool ending_ = false;
};

}  // namespace tw::shell
