// The main window: its menu tree, the database file commands, the typed confirmations with
// their commands and messages, data maintenance, the lessons-per-day dialog, window closing.
#include <fcntl.h>
#include <sys/stat.h>

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <csignal>

#include "SchoolDbTestSupport.h"
#include "ini/PrivateProfile.h"
#include "shell/frmAbout.h"
#include "shell/frmConfirm.h"
#include "shell/frmMain.h"
#include "shell/frmSetLessonOfDay.h"
#include "shell/frmSimpleManual.h"
#include "text/Gbk.h"

using tw::shell::frmConfirm;
using tw::shell::frmMain;
using tw::shell::frmSetLessonOfDay;
using tw::shell::GetDbFileName;
using tw::shell::kDbPassword;
using tw::shell::ProgramFile;
using tw::shell::SetModalFormHandler;
using tw::shell::SetProgramFolder;
using tw::shell::SettingsFile;

using h2test::FileBytes;
using h2test::SchoolDbTest;

namespace {

struct Item {
    QString name;
    QString caption;
    int depth;
    bool visible;
};

// Walks the menu bar: every item with its nesting depth.
void Walk(const QList<QAction*>& actions, int depth, QList<Item>& out) {
    for (QAction* a : actions) {
        if (a->isSeparator()) continue;
        out.append({a->objectName(), a->text(), depth, a->isVisible()});
        if (a->menu()) Walk(a->menu()->actions(), depth + 1, out);
    }
}

bool WriteBytes(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

class frmMainTest : public SchoolDbTest {
  protected:
    void SetUp() override {
        SchoolDbTest::SetUp();
        ASSERT_TRUE(tw::ini::WriteString(SettingsFile(), "USERINFO", "USER", "实验小学"));
        ASSERT_TRUE(tw::ini::WriteString(SettingsFile(), "DB", "FILENAME", path_));
        ASSERT_TRUE(tw::ini::WriteString(SettingsFile(), "LESSON", "LESSON_OF_DAY", "6"));
        window_ = std::make_unique<frmMain>(twtest::State());
        window_->setWindowTitle("实验小学排课软件系统 -- " + path_);
    }
    void TearDown() override {
        window_.reset();
        SchoolDbTest::TearDown();
    }
    void Click(const char* name) {
        QAction* a = window_->findChild<QAction*>(name);
        ASSERT_NE(a, nullptr) << name;
        a->setEnabled(true);
        a->trigger();
    }
    // The next file chooser answers with path.
    void ChooseFile(const QString& path) {
        tw::ui::SetFileDialogHandler([path](bool, const QString&) { return path; });
    }
    // The typed confirmation answers with the given text and the given button.
    void AnswerConfirmation(const QString& typed, bool pressOk, QString* shownTitle = nullptr) {
        SetModalFormHandler([=](QWidget& form) {
            auto* confirm = qobject_cast<frmConfirm*>(&form);
            ASSERT_NE(confirm, nullptr);
            if (shownTitle) *shownTitle = confirm->lblTitle->text();
            EXPECT_FALSE(confirm->Confirmed);
            EXPECT_EQ(confirm->Text1->text(), "");
            confirm->show();
            confirm->Text1->setText(typed);
            (pressOk ? confirm->cmdOK : confirm->cmdCancel)->click();
            if (confirm->isVisible()) confirm->close();
        });
    }
    void AddPlacedLessons() {
        AddMaster("Classtb", "11", "一年级1班");
        AddMaster("Coursetb", "C1", "语文");
        AddMaster("Teachertb", "T1", "张老师");
        Exec(
            "insert into ClassPlantb(ClassCode,CourseCode,TeacherCode,Count,IsAutoBuild,"
            "BuildCount) values('11','C1','T1',4,1,2)");
        Exec("insert into LessonListtb values('11',1,1,'C1','T1',0)");
        Exec("insert into LessonListtb values('11',1,2,'C1','T1',1)");
    }

    std::unique_ptr<frmMain> window_;
};

}  // namespace

TEST_F(frmMainTest, MenuTreeHasTheCaptionsInOrderWithFourHiddenItems) {
    QList<Item> items;
    Walk(window_->menuBar()->actions(), 0, items);
    const QList<Item> expected = {
        {"mnuFile", "文件", 0, true},
        {"mnuOpenDb", "打开数据库", 1, true},
        {"mnuDbSaveAs", "数据库另存为...", 1, true},
        {"mnuEnd", "退出", 1, true},
        {"mnuBasicData", "基础数据", 0, true},
        {"mnuClassList", "班级名单", 1, true},
        {"mnuCourseList", "课程名单", 1, true},
        {"mnuTeacherList", "老师名单", 1, true},
        {"mnuClassRoomList", "公共教室名单", 1, false},
        {"mnuClassPlan", "各班教学计划", 1, true},
        {"mnuAuto", "自动排课", 0, true},
        {"mnuLimit", "上课时间限制条件", 1, true},
        {"mnuClassLimit", "班级上课时间限制", 2, false},
        {"mnuCourseLimit", "课程上课时间限制", 2, true},
        {"mnuTeacherLimit", "老师上课时间限制", 2, false},
        {"mnuClassroomLimit", "教室上课时间限制", 2, false},
        {"mnuPrepairBuild", "预先安排固定课程", 1, true},
        {"mnuAutoBuild", "自动生成课表", 1, true},
        {"mnuBuildKb", "课表操作", 0, true},
        {"mnuManualBuild", "手工调整课表", 1, true},
        {"mnuPrint", "打印课表", 1, true},
        {"mnuExport", "导出课表到Excel", 1, true},
        {"mnuUpgradeAll", "课表学年升级", 1, true},
        {"mnuDeleteLessonAll", "删除课表数据", 1, true},
        {"mnuManager", "系统管理", 0, true},
        {"mnuSetLessonNum", "每天课时设置", 1, true},
        {"mnuDataMaintenance", "数据维护", 1, true},
        {"mnuHelp", "帮助", 0, true},
        {"mnuSimpleManual", "简要使用说明", 1, true},
        {"mnuManual", "使用手册", 1, true},
        {"mnuToWebsite", "访问网站", 1, true},
        {"mnuForum", "使用交流", 1, false},
        {"mnuAbout", "关于", 1, true},
    };
    ASSERT_EQ(items.size(), expected.size());
    for (int i = 0; i < items.size(); ++i) {
        EXPECT_EQ(items[i].name, expected[i].name) << i;
        EXPECT_EQ(items[i].caption, expected[i].caption) << i;
        EXPECT_EQ(items[i].depth, expected[i].depth) << i;
        EXPECT_EQ(items[i].visible, expected[i].visible) << i;
        EXPECT_NE(window_->findChild<QAction*>(expected[i].name), nullptr) << i;
    }
    EXPECT_EQ(window_->findChildren<QLabel*>("imgBack").size(), 1);
}

TEST_F(frmMainTest, BackgroundPictureLoadsFromTheProgramFolderAndMayBeMissing) {
    EXPECT_TRUE(window_->imgBack->pixmap().isNull());  // no picture: a plain window
    ASSERT_TRUE(QFile::copy(TW_SOURCE_DIR "/app/shell/HomePage.jpg", ProgramFile("HomePage.jpg")));
    frmMain withPicture(twtest::State());
    EXPECT_FALSE(withPicture.imgBack->pixmap().isNull());
    withPicture.resize(900, 700);
    withPicture.show();
    EXPECT_EQ(withPicture.imgBack->size(), withPicture.centralWidget()->size());
}

TEST_F(frmMainTest, OpeningANonDatabaseFileChangesNothingAndReturnsToTheOpenDatabase) {
    // The settings name another file than the one open: the open one must come back.
    const QString other = dir_.filePath("other.mdb");
    ASSERT_TRUE(MakeDb(other));
    ASSERT_TRUE(tw::ini::WriteString(SettingsFile(), "DB", "FILENAME", other));
    const QString junk = dir_.filePath("junk.mdb");
    ASSERT_TRUE(WriteBytes(junk, "this is not a timetable database\r\n"));
    const QByteArray iniBefore = FileBytes(SettingsFile());
    const QString caption = window_->windowTitle();

    ChooseFile(junk);
    Click("mnuOpenDb");

    ASSERT_EQ(messages_.size(), 1u);
    EXPECT_EQ(messages_[0].text, "打开数据库失败！\n" + junk + "：文件太短，不是数据库");
    EXPECT_EQ(messages_[0].title, twtest::State().title);
    EXPECT_TRUE(messages_[0].style & tw::ui::vbCritical);
    EXPECT_EQ(FileBytes(junk), QByteArray("this is not a timetable database\r\n"));
    EXPECT_EQ(FileBytes(SettingsFile()), iniBefore);
    EXPECT_EQ(window_->windowTitle(), caption);
    ASSERT_TRUE(twtest::State().IsOpen());
    EXPECT_EQ(twtest::State().Path(), path_);
}

TEST_F(frmMainTest, OpeningAValidDatabaseSetsCaptionAndSettingsInGbk) {
    ASSERT_TRUE(QDir(dir_.path()).mkdir("第二学期"));
    const QString second = dir_.filePath("第二学期/课表.mdb");
    ASSERT_TRUE(MakeDb(second));
    const QString appTitle = twtest::State().title;
    {
        QFile ini(SettingsFile());
        ASSERT_TRUE(ini.open(QIODevice::Append));
        ini.write("; kept comment\r\n[Other]\r\nKey=1\r\n");
    }
    const QByteArray iniBefore = FileBytes(SettingsFile());

    ChooseFile(second);
    Click("mnuOpenDb");

    EXPECT_TRUE(messages_.empty());
    EXPECT_EQ(window_->windowTitle(), "Korvel排课软件 -- " + second);
    EXPECT_EQ(twtest::State().title, appTitle);
    EXPECT_EQ(twtest::State().Path(), second);
    EXPECT_EQ(GetDbFileName(), second);
    const QByteArray ini = FileBytes(SettingsFile());
    EXPECT_TRUE(ini.contains(QByteArray::fromStdString(tw::text::ToGbk("FILENAME=" + second))));
    EXPECT_TRUE(ini.contains(QByteArray::fromStdString(tw::text::ToGbk("USER=实验小学"))));
    EXPECT_TRUE(ini.contains("LESSON_OF_DAY=6"));
    // Every line but the database name is as it was.
    auto otherLines = [](const QByteArray& bytes) {
        QList<QByteArray> lines = bytes.split('\n');
        lines.removeIf([](const QByteArray& l) { return l.startsWith("FILENAME="); });
        return lines;
    };
    EXPECT_EQ(otherLines(ini), otherLines(iniBefore));
    // Work goes on in the new file.
    AddMaster("Coursetb", "C1", "语文");
    twtest::State().Close();
    auto db = tw::db::Database::Open(second, kDbPassword);
    ASSERT_TRUE(db);
    EXPECT_FALSE(db->OpenRecordset("select Code from Coursetb")->Eof());
}

TEST_F(frmMainTest, PathsTheSettingsCannotHoldOpenButAreNotSaved) {
    // Characters GBK lacks, and a path longer than FILENAME is read back: either would be
    // stored as another path, so the open reports the failed save and the setting stays.
    const QString accented = dir_.filePath(QStringLiteral("Björn-학교"));
    const QString deep = dir_.filePath(QString(120, 'd') + "/" + QString(120, 'e'));
    for (const QString& folder : {accented, deep}) {
        ASSERT_TRUE(QDir().mkpath(folder));
        const QString school = folder + "/school.mdb";
        ASSERT_TRUE(MakeDb(school));
        const QByteArray iniBefore = FileBytes(SettingsFile());
        messages_.clear();
        ChooseFile(school);
        Click("mnuOpenDb");
        ASSERT_EQ(MessageTexts(), QStringList{"保存新数据库文件名！"}) << school.toStdString();
        EXPECT_EQ(messages_[0].title, "Korvel排课软件 -- " + school);
        EXPECT_EQ(twtest::State().Path(), school);
        EXPECT_EQ(FileBytes(SettingsFile()), iniBefore);
        EXPECT_EQ(GetDbFileName(), path_);
    }
    // A path the reader would give back trimmed: the next start would open another file.
    const QString blank = dir_.filePath("school.mdb ");
    ASSERT_TRUE(MakeDb(blank));
    messages_.clear();
    ChooseFile(blank);
    Click("mnuOpenDb");
    EXPECT_EQ(MessageTexts(), QStringList{"保存新数据库文件名！"});
    EXPECT_EQ(twtest::State().Path(), blank);
    EXPECT_EQ(GetDbFileName(), path_);
    // A path of 254 bytes still fits.
    const QString fits = dir_.filePath("f");
    const QString name = QString(254 - (fits.size() + 1 + 4), 'k') + ".mdb";
    ASSERT_TRUE(QDir().mkpath(fits));
    ASSERT_TRUE(MakeDb(fits + "/" + name));
    messages_.clear();
    ChooseFile(fits + "/" + name);
    Click("mnuOpenDb");
    EXPECT_TRUE(messages_.empty());
    EXPECT_EQ(GetDbFileName(), fits + "/" + name);
}

TEST_F(frmMainTest, CancelledOpenChangesNothing) {
    const QString caption = window_->windowTitle();
    ChooseFile(QString());
    Click("mnuOpenDb");
    EXPECT_TRUE(messages_.empty());
    EXPECT_EQ(window_->windowTitle(), caption);
    EXPECT_EQ(twtest::State().Path(), path_);
}

TEST_F(frmMainTest, SaveAsWritesAByteCopyAndWorkContinuesOnTheOriginal) {
    AddMaster("Coursetb", "C1", "语文");
    // The settings name another file: the open one is what gets copied and reopened.
    const QString other = dir_.filePath("other.mdb");
    ASSERT_TRUE(MakeDb(other));
    ASSERT_TRUE(tw::ini::WriteString(SettingsFile(), "DB", "FILENAME", other));
    const QString copy = dir_.filePath("backup.mdb");
    ASSERT_TRUE(WriteBytes(copy, "an older file to be replaced"));
    const QByteArray iniBefore = FileBytes(SettingsFile());
    const QString caption = window_->windowTitle();

    ChooseFile(copy);
    Click("mnuDbSaveAs");

    EXPECT_TRUE(messages_.empty());
    EXPECT_EQ(twtest::State().Path(), path_);
    EXPECT_EQ(window_->windowTitle(), caption);
    EXPECT_EQ(FileBytes(SettingsFile()), iniBefore);
    twtest::State().Close();
    EXPECT_EQ(FileBytes(copy), FileBytes(path_));
    auto db = tw::db::Database::Open(copy, kDbPassword);
    ASSERT_TRUE(db);
    EXPECT_FALSE(db->OpenRecordset("select Code from Coursetb where Code='C1'")->Eof());
}

TEST_F(frmMainTest, SaveAsOntoTheOpenFileIsRefusedAndTheFileStaysIntact) {
    AddMaster("Coursetb", "C1", "语文");
    twtest::State().Close();
    const QByteArray before = FileBytes(path_);
    ASSERT_TRUE(twtest::State().Open(path_));

    ChooseFile(QDir(dir_.path()).filePath("./kb.mdb"));
    Click("mnuDbSaveAs");

    // The message says what the manual promises: the file in use cannot be its own copy.
    ASSERT_EQ(messages_.size(), 1u);
    EXPECT_EQ(messages_[0].text, "保存数据库文件错误！\n不能另存为当前正在使用的文件本身。");
    QFile manual(QStringLiteral(TW_SOURCE_DIR "/app/shell/manual/使用手册.html"));
    ASSERT_TRUE(manual.open(QIODevice::ReadOnly));
    EXPECT_TRUE(QString::fromUtf8(manual.readAll()).contains("不能另存为当前正在使用的文件本身"));
    EXPECT_EQ(messages_[0].title, window_->windowTitle());
    EXPECT_EQ(twtest::State().Path(), path_);
    twtest::State().Close();
    EXPECT_EQ(FileBytes(path_), before);
}

TEST_F(frmMainTest, SaveAsOntoAFileAnotherCopyHoldsIsRefused) {
    // Another copy of the program works on the target: replacing it under that copy would
    // lose everything it saves.
    const QString other = dir_.filePath("other.mdb");
    ASSERT_TRUE(MakeDb(other));
    const QByteArray before = FileBytes(other);
    h2test::OtherProcess secondCopy(other);
    ASSERT_TRUE(secondCopy.holding());
    ChooseFile(other);
    Click("mnuDbSaveAs");
    ASSERT_EQ(MessageTexts(), QStringList{"保存数据库文件错误！\n文件正被另一个程序使用"});
    EXPECT_EQ(messages_[0].title, window_->windowTitle());
    EXPECT_EQ(FileBytes(other), before);
    EXPECT_EQ(twtest::State().Path(), path_);
}

// The copy holds the target from the look at it to the end of the copy: a second copy of the
// program that comes to open the target meanwhile is refused, and one that opens it after finds
// the whole copy, not a file that the copy then replaces under it. The open database is read
// through a named pipe here, so the second copy acts while the copy is half written.
TEST_F(frmMainTest, ASecondCopyOpeningTheTargetWhileTheCopyIsWrittenIsRefused) {
    AddMaster("Coursetb", "C1", "语文");
    const QString target = dir_.filePath("backup.mdb");
    ASSERT_TRUE(MakeDb(target));  // last week's backup, to be replaced
    const QByteArray bytes = FileBytes(path_);
    // The open database's name leads to a pipe; the database waits beside it, still open.
    const QString real = dir_.filePath("real.mdb");
    ASSERT_TRUE(QFile::rename(path_, real));
    ASSERT_EQ(::mkfifo(QFile::encodeName(path_).constData(), 0600), 0);
    int report[2];
    ASSERT_EQ(::pipe(report), 0);
    const pid_t pid = ::fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
        ::alarm(60);
        ::signal(SIGPIPE, SIG_IGN);
        // The copy opens the pipe once it has looked at the target.
        int fd = -1;
        for (int tries = 0; fd < 0 && tries < 3000; ++tries) {
            fd = ::open(QFile::encodeName(path_).constData(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
            if (fd < 0) ::usleep(10000);
        }
        if (fd >= 0) ::fcntl(fd, F_SETFL, 0);
        tw::db::OpenFailure why;
        auto second = tw::db::Database::Open(target, kDbPassword, true, &why);
        char seen = 'x';
        if (second) {
            seen = 'o';
            second->Execute("insert into Coursetb values('C9','美术','','')");
            second.reset();
        } else if (why.error == tw::db::OpenError::InUse) {
            seen = 'r';
        }
        (void)!::write(report[1], &seen, 1);
        // The database goes back under its name, then the copy reads it to the end.
        ::rename(QFile::encodeName(real).constData(), QFile::encodeName(path_).constData());
        if (fd >= 0) {
            (void)!::write(fd, bytes.constData(), static_cast<size_t>(bytes.size()));
            ::close(fd);
        }
        ::_exit(0);
    }
    ChooseFile(target);
    Click("mnuDbSaveAs");
    char seen = 0;
    EXPECT_EQ(::read(report[0], &seen, 1), 1);
    ::waitpid(pid, nullptr, 0);
    ::close(report[0]);
    ::close(report[1]);
    EXPECT_EQ(seen, 'r') << "o: the second copy worked on the file the copy replaced";
    EXPECT_TRUE(messages_.empty());
    EXPECT_EQ(twtest::State().Path(), path_);
    twtest::State().Close();
    EXPECT_EQ(FileBytes(target), bytes);
    auto later = tw::db::Database::Open(target, kDbPassword);
    ASSERT_TRUE(later);
    EXPECT_EQ(twtest::Rows(*later, "select Code from Coursetb"), "C1");
}

// A program that ended in the middle of a change to the old backup left its journal beside it;
// the journal belongs to the file replaced, and is not played back into the copy.
TEST_F(frmMainTest, ACopyOverAFileLeftInTheMiddleOfAChangeIsNotUndoneByItsJournal) {
    AddMaster("Coursetb", "C1", "语文");
    const QString target = dir_.filePath("backup.mdb");
    ASSERT_TRUE(MakeDb(target));
    {
        auto old = tw::db::Database::Open(target, kDbPassword);
        ASSERT_TRUE(old);
        old->Execute("insert into Coursetb values('X1','旧课','','')");
    }
    const pid_t pid = ::fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
        auto old = tw::db::Database::Open(target, kDbPassword);
        if (old) {
            old->BeginTrans();
            old->Execute("delete from Coursetb");
        }
        ::_exit(0);  // no commit, no rollback: the journal stays
    }
    ::waitpid(pid, nullptr, 0);
    ASSERT_GT(QFileInfo(target + "-journal").size(), 0);
    const QByteArray bytes = FileBytes(path_);
    ChooseFile(target);
    Click("mnuDbSaveAs");
    EXPECT_TRUE(messages_.empty());
    EXPECT_FALSE(QFileInfo::exists(target + "-journal"));
    auto copy = tw::db::Database::Open(target, kDbPassword);
    ASSERT_TRUE(copy);
    EXPECT_EQ(twtest::Rows(*copy, "select Code from Coursetb"), "C1");
    copy.reset();
    EXPECT_EQ(FileBytes(target), bytes);
}

TEST_F(frmMainTest, TheBackupGetsTheExtensionAndTheOpenChooserStartsBesideTheDatabase) {
    // The backup the upgrade's warning asks for, typed without ".mdb" or named with dots of its
    // own, is one the open chooser lists; both choosers start in the open database's folder,
    // wherever the last was.
    QString startedIn;
    auto chooseFrom = [&startedIn](const QString& path) {
        tw::ui::SetFileDialogCallHandler([&startedIn, path](const tw::ui::FileDialogCall& call) {
            startedIn = call.dir;
            return path;
        });
    };
    ASSERT_TRUE(QDir(dir_.path()).mkdir("备份"));
    for (const char* name : {"学年升级前备份", "课表备份2024.9.1"}) {
        const QString backup = dir_.filePath(QStringLiteral("备份/") + QString::fromUtf8(name));
        chooseFrom(backup);
        Click("mnuDbSaveAs");
        EXPECT_EQ(startedIn, dir_.path());
        EXPECT_TRUE(messages_.empty());
        EXPECT_FALSE(QFileInfo::exists(backup));
        EXPECT_TRUE(QFileInfo::exists(backup + ".mdb")) << name;
        EXPECT_EQ(twtest::State().Path(), path_);
    }

    ASSERT_TRUE(QDir(dir_.path()).mkdir("第二学期"));
    const QString second = dir_.filePath("第二学期/课表.mdb");
    ASSERT_TRUE(MakeDb(second));
    chooseFrom(second);
    Click("mnuOpenDb");
    EXPECT_EQ(startedIn, dir_.path());
    chooseFrom(QString());
    Click("mnuOpenDb");
    EXPECT_EQ(startedIn, dir_.filePath("第二学期"));
    EXPECT_EQ(twtest::State().Path(), second);
    Click("mnuDbSaveAs");
    EXPECT_EQ(startedIn, dir_.filePath("第二学期"));
}

TEST_F(frmMainTest, SaveAsIntoAMissingFolderReportsAndReopens) {
    ChooseFile(dir_.filePath("no/such/folder/copy.mdb"));
    Click("mnuDbSaveAs");
    ASSERT_EQ(messages_.size(), 1u);
    EXPECT_EQ(messages_[0].text, "保存数据库文件错误！");
    EXPECT_EQ(twtest::State().Path(), path_);
}

TEST_F(frmMainTest, WithoutAnOpenDatabaseFileCommandsStillWorkAndOthersAreOff) {
    // The open database disappears, then a failed open cannot return to it.
    const QString moved = dir_.filePath("moved.mdb");
    twtest::State().Close();
    ASSERT_TRUE(QFile::rename(path_, moved));
    ASSERT_TRUE(tw::ini::WriteString(SettingsFile(), "DB", "FILENAME", path_));
    const QString junk = dir_.filePath("junk.mdb");
    ASSERT_TRUE(WriteBytes(junk, "junk"));
    ChooseFile(junk);
    Click("mnuOpenDb");
    EXPECT_FALSE(twtest::State().IsOpen());
    // Both failures are reported, and the caption names no database.
    EXPECT_EQ(MessageTexts(), (QStringList{"打开数据库失败！\n" + junk + "：文件太短，不是数据库",
                                           "打开数据库失败！\n" + path_ + "：文件不存在"}));
    EXPECT_EQ(window_->windowTitle(), "Korvel排课软件");

    QMenu* menu = window_->findChild<QMenu*>("mnuBuildKb");
    ASSERT_NE(menu, nullptr);
    emit menu->aboutToShow();
    EXPECT_FALSE(window_->findChild<QAction*>("mnuDeleteLessonAll")->isEnabled());
    EXPECT_TRUE(window_->findChild<QAction*>("mnuOpenDb")->isEnabled());
    // A command that needs the database does nothing.
    window_->mnuDeleteLessonAll_Click();
    window_->mnuDataMaintenance_Click();
    EXPECT_EQ(messages_.size(), 2u);

    // Open works again.
    ChooseFile(moved);
    Click("mnuOpenDb");
    EXPECT_EQ(twtest::State().Path(), moved);
    emit menu->aboutToShow();
    EXPECT_TRUE(window_->findChild<QAction*>("mnuDeleteLessonAll")->isEnabled());

    // And exit closes the window normally with no database open.
    twtest::State().Close();
    window_->show();
    Click("mnuEnd");
    EXPECT_FALSE(window_->isVisible());
    EXPECT_FALSE(twtest::State().IsOpen());
}

TEST_F(frmMainTest, ClosingTheWindowClosesTheDatabaseLikeExit) {
    window_->show();
    EXPECT_TRUE(window_->close());
    EXPECT_FALSE(twtest::State().IsOpen());
    EXPECT_TRUE(messages_.empty());
}

TEST_F(frmMainTest, DeleteAllAfterTypedOkEmptiesTheTimetable) {
    AddPlacedLessons();
    QString shown;
    AnswerConfirmation(" ok ", true, &shown);
    Click("mnuDeleteLessonAll");
    EXPECT_EQ(shown,
              "删除课表数据将会清除您以前排好的课表！\r\n您最好先保存现在的课表数据。\r\n"
              "菜单“文件”->“数据库另存为”");
    EXPECT_EQ(Count("select count(*) from LessonListtb"), 0);
    EXPECT_EQ(Rows("select IsAutoBuild,BuildCount from ClassPlantb"), "0|0");
    ASSERT_EQ(messages_.size(), 1u);
    EXPECT_EQ(messages_[0].text, "删除课表完成。");
    EXPECT_EQ(messages_[0].title, "课表系统");
    EXPECT_TRUE(messages_[0].style & tw::ui::vbInformation);

    // A statement the database refuses: the message says why in the program's words (the
    // engine's own text stays in the log), and nothing is deleted.
    Exec("insert into LessonListtb values('11',1,1,'C1','T1',0)");
    Exec(
        "CREATE TRIGGER no_reset BEFORE UPDATE ON ClassPlantb BEGIN "
        "SELECT RAISE(ABORT, 'refused'); END");
    const QString before = Everything();
    Click("mnuDeleteLessonAll");
    ASSERT_EQ(messages_.size(), 2u);
    EXPECT_EQ(messages_[1].text, "删除课表失败！\n数据库出错");
    EXPECT_EQ(messages_[1].title, "课表系统");
    EXPECT_TRUE(messages_[1].style & tw::ui::vbCritical);
    EXPECT_EQ(Everything(), before);
}

TEST_F(frmMainTest, WrongWordKeepsTheDialogAndCancelOrCloseChangesNothing) {
    AddPlacedLessons();
    const QString before = Everything();
    bool stayedOpen = false;
    SetModalFormHandler([&](QWidget& form) {
        auto& confirm = static_cast<frmConfirm&>(form);
        confirm.show();
        confirm.Text1->setText("yes");
        confirm.cmdOK->click();
        stayedOpen =
            confirm.isVisible() && !confirm.Confirmed && confirm.Text1->selectedText() == "yes";
        confirm.close();
    });
    Click("mnuDeleteLessonAll");
    EXPECT_TRUE(stayedOpen);
    AnswerConfirmation("OK", false);
    Click("mnuDeleteLessonAll");
    Click("mnuUpgradeAll");
    EXPECT_EQ(Everything(), before);
    EXPECT_TRUE(messages_.empty());
}

TEST_F(frmMainTest, UpgradeReportsSuccessAndFailure) {
    AddPlacedLessons();
    QString shown;
    AnswerConfirmation("OK", true, &shown);
    Click("mnuUpgradeAll");
    EXPECT_TRUE(shown.startsWith("课表学年升级将会清除您以前排好的课表！\r\n"));
    EXPECT_EQ(Rows("select Code from Classtb order by Code"), "11;21");
    ASSERT_EQ(messages_.size(), 1u);
    EXPECT_EQ(messages_[0].text, "课表学年升级完成。");
    EXPECT_EQ(messages_[0].title, "课表系统");

    AddMaster("Classtb", "B1", "乙班");
    const QString before = Everything();
    Click("mnuUpgradeAll");
    // The refusal names the class code that cannot move up.
    ASSERT_EQ(messages_.size(), 2u);
    EXPECT_EQ(messages_[1].text, "课表学年升级失败！\n班级代码“B1”的第一位不是年级数字，无法升级");
    EXPECT_TRUE(messages_[1].style & tw::ui::vbCritical);
    EXPECT_EQ(Everything(), before);

    // A statement the database refuses: the message says why, and nothing has moved.
    Exec("delete from Classtb where Code='B1'");
    Exec(
        "CREATE TRIGGER no_move BEFORE UPDATE ON Classtb BEGIN "
        "SELECT RAISE(ABORT, 'refused'); END");
    const QString unmoved = Everything();
    Click("mnuUpgradeAll");
    ASSERT_EQ(messages_.size(), 3u);
    EXPECT_EQ(messages_[2].text, "课表学年升级失败！\n数据库出错");
    EXPECT_EQ(messages_[2].title, "课表系统");
    EXPECT_EQ(Everything(), unmoved);
}

TEST_F(frmMainTest, AutoBuildIsOnlyReachedThroughTheConfirmation) {
    QStringList shown;
    SetModalFormHandler([&](QWidget& form) {
        shown << form.objectName();
        if (auto* confirm = qobject_cast<frmConfirm*>(&form)) {
            confirm->Text1->setText("no");
            confirm->cmdCancel->click();
        }
    });
    Click("mnuAutoBuild");
    EXPECT_EQ(shown, QStringList{"frmConfirm"});
}

TEST_F(frmMainTest, DataMaintenanceReportsDoneOrFailed) {
    AddPlacedLessons();
    Exec("insert into LessonListtb values('99',1,1,'C1','T1',1)");
    Click("mnuDataMaintenance");
    EXPECT_EQ(Count("select count(*) from LessonListtb where ClassCode='99'"), 0);
    EXPECT_EQ(Rows("select BuildCount from ClassPlantb"), "2");
    ASSERT_EQ(messages_.size(), 1u);
    EXPECT_EQ(messages_[0].text, "数据维护完成");
    EXPECT_EQ(messages_[0].title, window_->windowTitle());
    EXPECT_TRUE(messages_[0].style & tw::ui::vbInformation);

    Exec(
        "CREATE TRIGGER no_recount BEFORE UPDATE ON ClassPlantb BEGIN "
        "SELECT RAISE(ABORT, 'refused'); END");
    const QString before = Everything();
    Click("mnuDataMaintenance");
    ASSERT_EQ(messages_.size(), 2u);
    // The failure names the database's reason on the line after the message.
    EXPECT_EQ(messages_[1].text, "数据维护失败！\n数据库出错");
    EXPECT_TRUE(messages_[1].style & tw::ui::vbCritical);
    EXPECT_EQ(Everything(), before);
}

TEST_F(frmMainTest, LessonsPerDayDialogWritesTheSettingAndRereadsIt) {
    twtest::State().lessonOfDay = 7;
    bool showedSeven = false;
    SetModalFormHandler([&](QWidget& form) {
        auto& dialog = static_cast<frmSetLessonOfDay&>(form);
        showedSeven = dialog.Opt7->isChecked() && !dialog.Opt6->isChecked();
        dialog.Opt6->setChecked(true);
        dialog.cmdOK->click();
    });
    Click("mnuSetLessonNum");
    EXPECT_TRUE(showedSeven);
    EXPECT_EQ(twtest::State().lessonOfDay, 6);
    EXPECT_EQ(tw::ini::ReadString(SettingsFile(), "LESSON", "LESSON_OF_DAY", "", 50), "6");
    EXPECT_TRUE(messages_.empty());

    // Cancel leaves file and setting alone.
    SetModalFormHandler([&](QWidget& form) {
        auto& dialog = static_cast<frmSetLessonOfDay&>(form);
        EXPECT_TRUE(dialog.Opt6->isChecked());
        dialog.Opt7->setChecked(true);
        dialog.cmdCancel->click();
    });
    Click("mnuSetLessonNum");
    EXPECT_EQ(twtest::State().lessonOfDay, 6);
    EXPECT_EQ(tw::ini::ReadString(SettingsFile(), "LESSON", "LESSON_OF_DAY", "", 50), "6");
}

TEST_F(frmMainTest, LessonsPerDayDialogReportsAFailedWrite) {
    SetProgramFolder(dir_.filePath("readonly"));
    ASSERT_TRUE(QDir(dir_.path()).mkpath("readonly/kbxt.ini"));  // a folder: cannot be written
    twtest::State().lessonOfDay = 6;
    frmSetLessonOfDay dialog(twtest::State());
    dialog.show();
    dialog.Opt7->setChecked(true);
    dialog.cmdOK->click();
    EXPECT_EQ(MessageTexts(), QStringList{"存盘失败！"});
    EXPECT_EQ(messages_[0].title, "每天课时数设置");
    EXPECT_TRUE(messages_[0].style & tw::ui::vbCritical);
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_TRUE(dialog.Opt7->isChecked());
    EXPECT_EQ(twtest::State().lessonOfDay, 6);
}

TEST_F(frmMainTest, HelpFormsAreShownModally) {
    QStringList shown;
    SetModalFormHandler([&](QWidget& form) { shown << form.objectName(); });
    Click("mnuSimpleManual");
    Click("mnuAbout");
    EXPECT_EQ(shown, (QStringList{"frmSimpleManual", "frmAbout"}));
}

TEST_F(frmMainTest, LimitItemsOpenTheirGridsHiddenOnesIncluded) {
    QStringList shown;
    SetModalFormHandler([&](QWidget& form) { shown << form.objectName(); });
    for (const char* item :
         {"mnuClassLimit", "mnuCourseLimit", "mnuTeacherLimit", "mnuClassroomLimit"}) {
        window_->findChild<QAction*>(item)->trigger();
    }
    EXPECT_EQ(shown, (QStringList{"frmClassLimitInput", "frmCourseLimitInput",
                                  "frmTeacherLimitInput", "frmClassRoomLimitInput"}));
}

TEST_F(frmMainTest, FailedSettingsWriteAfterOpenIsReportedAndTheNewDatabaseStays) {
    const QString second = dir_.filePath("second.mdb");
    ASSERT_TRUE(MakeDb(second));
    SetProgramFolder(dir_.filePath("locked"));
    ASSERT_TRUE(QDir(dir_.path()).mkpath("locked/kbxt.ini"));  // a folder: cannot be written
    ChooseFile(second);
    Click("mnuOpenDb");
    ASSERT_EQ(MessageTexts(), QStringList{"保存新数据库文件名！"});
    EXPECT_EQ(messages_[0].title, "Korvel排课软件 -- " + second);
    EXPECT_TRUE(messages_[0].style & tw::ui::vbCritical);
    EXPECT_EQ(twtest::State().Path(), second);
}
