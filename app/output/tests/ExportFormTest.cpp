// The export dialog: its lists, the file choice, the data file of each command, the command line
// of the script run and the messages, with a stand-in for the Node.js runtime.
#include <QComboBox>
#include <QCryptographicHash>
#include <QFileInfo>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <cstdlib>

#include "ExportTestSupport.h"
#include "OutputSchoolTestSupport.h"
#include "ReadOnlyInstallTestSupport.h"
#include "output/ExportTarget.h"
#include "output/frmExport.h"
#include "text/Gbk.h"

namespace {

using tw::output::frmExport;

class ExportFormTest : public ExportTest {
  protected:
    void AddSmallSchool() {
        AddClass("101", "初一(1)班", "一1");
        AddClass("102", "初一(2)班", "一2");
        AddCourse("01", "语文", "语");
        AddCourse("02", "数学", "数");
        AddTeacher("T2", "王老师");
        AddTeacher("T1", "张老师");
        AddLesson("101", 1, 1, "01", "T1");
        AddLesson("102", 1, 1, "02", "T2");
    }
    static QComboBox* Combo(frmExport& form, const char* name) {
        return form.findChild<QComboBox*>(QString::fromLatin1(name));
    }
    static void Click(frmExport& form, const char* name) {
        auto* button = form.findChild<QPushButton*>(QString::fromLatin1(name));
        ASSERT_NE(button, nullptr) << name;
        button->click();
    }
    QString DataLine() const {
        const QByteArray bytes = ReadFile(DataFile());
        EXPECT_TRUE(bytes.endsWith("\r\n"));
        return tw::text::FromGbk(bytes.chopped(2).toStdString());
    }
    // The one message shown, checked for the form's caption as its title.
    tw::ui::MsgBoxCall OnlyMessage() const {
        EXPECT_EQ(messages_.size(), 1u);
        if (messages_.empty()) {
            return {};
        }
        EXPECT_EQ(messages_.back().title, QStringLiteral("导出课表到Excel"));
        return messages_.back();
    }
    QString Target(const QString& name) const { return out_ + QLatin1Char('/') + name; }
    // Runs an export command onto target, answering Yes when asked to overwrite it.
    void ExportOver(frmExport& form, const char* button, const QString& target) {
        messages_.clear();
        savePaths_ = {target};
        answers_ = {tw::ui::vbYes};
        Click(form, button);
    }
};

TEST_F(ExportFormTest, ControlsCarryTheirNamesAndCaptions) {
    frmExport form(twtest::State());
    EXPECT_EQ(form.windowTitle(), QStringLiteral("导出课表到Excel"));
    const std::vector<std::pair<const char*, const char*>> buttons = {
        {"CmdPrevClass", "上一班级"},         {"CmdNextClass", "下一班级"},
        {"cmdExportClass", "导出选定班级"},   {"cmdExportAllClass", "导出全部班级"},
        {"CmdPrevTeacher", "上一教师"},       {"CmdNextTeacher", "下一教师"},
        {"cmdExportTeacher", "导出选定教师"}, {"cmdExportAllTeacher", "导出全部教师"},
        {"CmdExportTotal", "导出总表"},       {"cmdOK", "退出(&Q)"}};
    for (const auto& [name, caption] : buttons) {
        auto* button = form.findChild<QPushButton*>(QString::fromLatin1(name));
        ASSERT_NE(button, nullptr) << name;
        EXPECT_EQ(button->text(), QString::fromUtf8(caption));
    }
    EXPECT_NE(Combo(form, "CmbClass"), nullptr);
    EXPECT_NE(Combo(form, "CmbTeacher"), nullptr);
}

TEST_F(ExportFormTest, ListsFillAtLoadAndStepWithoutWrapping) {
    AddSmallSchool();
    frmExport form(twtest::State());
    QComboBox* classes = Combo(form, "CmbClass");
    QComboBox* teachers = Combo(form, "CmbTeacher");
    ASSERT_EQ(classes->count(), 2);
    EXPECT_EQ(classes->currentText(), QStringLiteral("初一(1)班"));
    ASSERT_EQ(teachers->count(), 2);
    EXPECT_EQ(teachers->itemText(0), QStringLiteral("张老师")) << "teachers come by code";
    twtest::ExpectListsStepWithoutWrapping(form);
    EXPECT_TRUE(messages_.empty());
}

// Lists that cannot be read say so once, with the reason; before, they stayed empty without a
// word.
TEST_F(ExportFormTest, ListsThatCannotBeReadSayWhy) {
    Exec("alter table Teachertb rename to Gone");
    frmExport form(twtest::State());
    const tw::ui::MsgBoxCall message = OnlyMessage();
    EXPECT_EQ(message.text, QStringLiteral("读取失败\n数据库出错"));
    EXPECT_EQ(Combo(form, "CmbTeacher")->count(), 0);
}

TEST_F(ExportFormTest, EmptyListsMakeTheSingleExportsDoNothing) {
    frmExport form(twtest::State());
    EXPECT_EQ(Combo(form, "CmbClass")->count(), 0);
    EXPECT_EQ(Combo(form, "CmbClass")->currentIndex(), -1);
    Click(form, "CmdNextClass");
    EXPECT_EQ(Combo(form, "CmbClass")->currentIndex(), -1);
    Click(form, "cmdExportClass");
    Click(form, "cmdExportTeacher");
    EXPECT_TRUE(dialogTitles_.isEmpty()) << "no save dialog without a chosen name";
    EXPECT_TRUE(messages_.empty());
}

TEST_F(ExportFormTest, CancellingTheSaveDialogDoesNothing) {
    AddSmallSchool();
    LoggingNode("touch \"$4\"");
    frmExport form(twtest::State());
    Click(form, "cmdExportAllClass");
    ASSERT_EQ(dialogTitles_, QStringList{QStringLiteral("保存为Excel文件")});
    EXPECT_TRUE(messages_.empty());
    EXPECT_FALSE(QFileInfo::exists(DataFile()));
    EXPECT_TRUE(LoggedLines().isEmpty());
}

TEST_F(ExportFormTest, AnExistingTargetIsReplacedOnlyAfterYes) {
    AddSmallSchool();
    LoggingNode("");  // a script that writes nothing
    const QString target = Target("old.xlsx");
    WriteFile(target, "old workbook");
    frmExport form(twtest::State());

    savePaths_ = {target};
    answers_ = {tw::ui::vbNo};
    Click(form, "cmdExportAllClass");
    ASSERT_EQ(messages_.size(), 1u);
    EXPECT_EQ(messages_[0].text, QStringLiteral("文件已存在,是否覆盖?"));
    EXPECT_EQ(messages_[0].title, QStringLiteral("保存提示"));
    EXPECT_EQ(messages_[0].style, tw::ui::vbYesNo | tw::ui::vbQuestion);
    EXPECT_EQ(ReadFile(target), QByteArray("old workbook"));
    EXPECT_TRUE(LoggedLines().isEmpty());

    ExportOver(form, "cmdExportAllClass", target);
    ASSERT_EQ(messages_.size(), 2u);
    EXPECT_EQ(messages_[1].text, QStringLiteral("课表导出失败！(ret = -105)"));
    EXPECT_EQ(messages_[1].style, tw::ui::vbCritical);
    EXPECT_EQ(messages_[1].title, QStringLiteral("导出课表到Excel"));
    EXPECT_EQ(ReadFile(target), QByteArray("old workbook")) << "a failed export keeps the old file";
    EXPECT_FALSE(LoggedLines().isEmpty());
}

// The export is judged by the script's exit status and a new workbook at the target: a script
// that fails, or that ends well without replacing the old workbook, made no export, and the old
// workbook stays as it was; nor does a command without lessons touch it. The reason the script
// gives for a failure follows the message.
TEST_F(ExportFormTest, TheOldWorkbookStaysUntilANewOneIsMade) {
    AddSmallSchool();
    const QString target = Target("old.xlsx");
    WriteFile(target, "old workbook");
    frmExport form(twtest::State());
    struct Case {
        QString script;
        const char* message;
        QByteArray target;
    };
    const std::vector<Case> cases = {
        {"echo partial > \"$4\"; exit 3", "课表导出失败！(ret = -105)", "partial\n"},
        {"exit 0", "课表导出失败！(ret = -105)", "old workbook"},
        {"echo noise >&2; echo 'export.js: the template is damaged' >&2; exit 1",
         "课表导出失败！(ret = -105)\nexport.js: the template is damaged", "old workbook"},
        {"echo new > \"$4.tmp\" && mv \"$4.tmp\" \"$4\"", "课表导出成功", "new\n"}};
    for (const Case& c : cases) {
        FakeNode(c.script);
        ExportOver(form, "cmdExportAllClass", target);
        ASSERT_EQ(messages_.size(), 2u) << c.script.toStdString();
        EXPECT_EQ(messages_[1].text, QString::fromUtf8(c.message)) << c.script.toStdString();
        EXPECT_EQ(ReadFile(target), c.target) << c.script.toStdString();
        WriteFile(target, "old workbook");
    }
    Exec("delete from LessonListtb");
    FakeNode("echo new > \"$4\"");
    ExportOver(form, "CmdExportTotal", target);
    ASSERT_EQ(messages_.size(), 2u);
    EXPECT_EQ(messages_[1].text, QStringLiteral("没有课表数据"));
    EXPECT_EQ(ReadFile(target), QByteArray("old workbook"));
}

// The save chooser must not let the user save over a file of the program (a workbook template,
// the script, the database shipped there: the next export or start would fail), into the folder
// of the data files, or over the open database wherever it lies; a refused name is not what the
// next chooser proposes.
// The program's own files, its data files and the databases are refused as targets, each with
// a text that names what it is; any other file is the user's, in the program folder and below it
// too (a copy of the program on a USB stick keeps its data there).
TEST_F(ExportFormTest, FilesOfTheProgramAndTheOpenDatabaseAreRefusedAsTargets) {
    AddSmallSchool();
    LoggingNode("echo new > \"$4\"");
    const QString templ = folder_ + "/export_all_kb6.xlsx";
    WriteFile(templ, "template");
    WriteFile(folder_ + "/export.js", "script");
    // The open database outside the program folder, reached also through a link to its folder;
    // named like a workbook (the settings may name any file), as the chooser adds ".xlsx" to
    // every other name.
    twtest::State().Close();
    const QString school = Target("school/学校.xlsx");
    ASSERT_TRUE(QDir(out_).mkdir("school"));
    ASSERT_TRUE(QFile::copy(folder_ + "/kb.mdb", school));
    ASSERT_TRUE(twtest::State().Open(school));
    ASSERT_TRUE(QFile::link(out_ + "/school", Target("link")));
    ASSERT_TRUE(QFile::link(folder_, Target("program")));
    ASSERT_TRUE(QDir(folder_).mkpath("排课/导出"));
    qputenv("XDG_CACHE_HOME", QFile::encodeName(out_ + "/cache"));
    ASSERT_TRUE(QDir(out_).mkpath("cache/Tarnwick395"));
    const QByteArray database = ReadFile(school);
    frmExport form(twtest::State());
    ExportOver(form, "CmdExportTotal", Target("ok.xlsx"));
    ASSERT_EQ(messages_.size(), 1u);
    ASSERT_EQ(messages_[0].text, QStringLiteral("课表导出成功"));
    const auto refusal = [](const char* what) {
        return QStringLiteral("不能保存为") + QString::fromUtf8(what) +
               QStringLiteral("，请选择其他文件名");
    };
    // The chooser adds ".xlsx" to every name that does not end with it: these stay a template,
    // a file in a folder of the program's, or the open database.
    const std::vector<std::pair<QString, QString>> refused{
        {templ, refusal("程序的课表模板文件")},
        {folder_ + "/node/../export_class_kb7.xlsx", refusal("程序的课表模板文件")},
        {folder_ + "/node_modules/exceljs/index.js", refusal("程序的导出脚本文件")},
        {folder_ + "/node/a.xlsx", refusal("程序的 Node.js 运行程序")},
        {folder_ + "/使用手册/使用手册.html", refusal("程序的使用手册")},
        {school, refusal("正在使用的数据库文件")},
        {Target("link/学校.xlsx"), refusal("正在使用的数据库文件")}};
    // Any other file of the program's the chooser cannot name; a path that names one is refused
    // all the same, with the text that says what it is.
    const std::vector<std::pair<QString, QString>> named{
        {folder_ + "/ClassSchd6.xml", refusal("程序的课表模板文件")},
        {folder_ + "/export.js", refusal("程序的导出脚本文件")},
        {folder_ + "/HomePage.jpg", refusal("程序文件")},
        {Target("program/libVostrin.so"), refusal("程序文件")},
        {folder_ + "/kbxt.ini", refusal("程序的数据文件")},
        {Target("program/export_data.json"), refusal("程序的数据文件")},
        {out_ + "/cache/Tarnwick395/tmp.xml", refusal("程序的数据文件")},
        {folder_ + "/kb.mdb", refusal("程序的数据库文件")}};
    for (const auto& [path, text] : named) {
        EXPECT_EQ(tw::output::RefusedExportTarget(path, school), text) << path.toStdString();
    }
    for (const auto& [path, text] : refused) {
        ExportOver(form, "CmdExportTotal", path);
        ASSERT_EQ(messages_.size(), 1u) << path.toStdString();
        EXPECT_EQ(messages_[0].text, text) << path.toStdString();
        EXPECT_EQ(messages_[0].title, QStringLiteral("导出课表到Excel"));
        EXPECT_EQ(dialogDirs_.back(), Target("ok.xlsx")) << "proposed after " << path.toStdString();
    }
    EXPECT_EQ(LoggedLines().size(), 5) << "the script ran for ok.xlsx alone";
    const QStringList allowed{folder_ + "/mine.xlsx", folder_ + "/排课/导出/初一1班.xlsx",
                              Target("program/b.xlsx"), out_ + "/cache/Tarnwick395/c.xlsx"};
    for (const QString& path : allowed) {
        ExportOver(form, "CmdExportTotal", path);
        ASSERT_EQ(messages_.size(), 1u) << path.toStdString();
        EXPECT_EQ(messages_[0].text, QStringLiteral("课表导出成功")) << path.toStdString();
        EXPECT_EQ(ReadFile(path), QByteArray("new\n")) << path.toStdString();
    }
    qunsetenv("XDG_CACHE_HOME");
    EXPECT_EQ(ReadFile(templ), QByteArray("template"));
    EXPECT_EQ(ReadFile(folder_ + "/export.js"), QByteArray("script"));
    EXPECT_EQ(ReadFile(school), database);
    EXPECT_EQ(QDir(folder_).entryList({"*.xlsx"}),
              QStringList({"b.xlsx", "export_all_kb6.xlsx", "mine.xlsx"}));
    EXPECT_EQ(LoggedLines().size(), 25) << "and for each file of the user's";
}

// The first save chooser proposes the timetable's own name in the user's documents folder, or
// in the home folder where there is none (Enter then never writes "Documents.xlsx").
TEST_F(ExportFormTest, TheFirstChooserProposesTheTimetablesOwnName) {
    AddSmallSchool();
    const QByteArray home = qgetenv("HOME");
    const QString user = out_ + "/home";
    ASSERT_TRUE(QDir(out_).mkpath("home"));
    qputenv("HOME", QFile::encodeName(user));
    {
        frmExport form(twtest::State());
        Click(form, "cmdExportClass");
        Click(form, "CmdNextTeacher");
        Click(form, "cmdExportTeacher");
        Click(form, "CmdExportTotal");
    }
    ASSERT_TRUE(QDir(user).mkdir("Documents"));
    {
        frmExport form(twtest::State());
        Click(form, "cmdExportAllTeacher");
        Click(form, "cmdExportAllClass");
    }
    qputenv("HOME", home);
    EXPECT_EQ(dialogDirs_,
              QStringList({user + "/初一(1)班课程表.xlsx", user + "/王老师课程表.xlsx",
                           user + "/全校总课程表.xlsx", user + "/Documents/全部教师课程表.xlsx",
                           user + "/Documents/全部班级课程表.xlsx"}));
    EXPECT_TRUE(messages_.empty());
}

TEST_F(ExportFormTest, CommandLineNamesScriptDataTemplateAndTargetWhole) {
    AddSmallSchool();
    LoggingNode("touch \"$4\"");
    twtest::State().lessonOfDay = 7;
    const QString target = Target("教师 课表 (全部).xlsx");
    savePaths_ = {target};
    frmExport form(twtest::State());
    Click(form, "cmdExportAllTeacher");
    EXPECT_EQ(OnlyMessage().text, QStringLiteral("课表导出成功"));
    EXPECT_EQ(OnlyMessage().style, tw::ui::vbInformation);
    const QString p = QFileInfo(folder_).canonicalFilePath();
    EXPECT_EQ(LoggedLines(), (QStringList{p, folder_ + "/export.js", folder_ + "/export_data.json",
                                          folder_ + "/export_teacher_kb7.xlsx", target}));
    EXPECT_TRUE(QFileInfo::exists(target));
    EXPECT_FALSE(form.Exporting());
    EXPECT_TRUE(form.findChild<QPushButton*>("cmdOK")->isEnabled());
}

TEST_F(ExportFormTest, EachCommandWritesItsRowsAndNamesItsTemplate) {
    AddSmallSchool();
    AddLesson("101", 2, 3, "02", "T2");
    LoggingNode("touch \"$4\"");
    frmExport form(twtest::State());
    const QString head = QStringLiteral("{\"school_name\":\"第一中学\",");

    savePaths_ = {Target("a.xlsx")};
    Click(form, "cmdExportAllClass");
    EXPECT_EQ(DataLine().toStdString(),
              QString("[[" + head +
                      "\"class_name\":\"初一(1)班\",\"course_name11\":\"语文\","
                      "\"teacher_name11\":\"张老师\",\"course_name32\":\"数学\","
                      "\"teacher_name32\":\"王老师\"}," +
                      head +
                      "\"class_name\":\"初一(2)班\",\"course_name11\":\"数学\","
                      "\"teacher_name11\":\"王老师\"}]]")
                  .toStdString());
    EXPECT_EQ(LoggedLines().value(3), folder_ + "/export_class_kb6.xlsx");

    Combo(form, "CmbClass")->setCurrentIndex(1);
    savePaths_ = {Target("b.xlsx")};
    Click(form, "cmdExportClass");
    EXPECT_EQ(DataLine().toStdString(),
              QString("[[" + head +
                      "\"class_name\":\"初一(2)班\",\"course_name11\":\"数学\","
                      "\"teacher_name11\":\"王老师\"}]]")
                  .toStdString());
    EXPECT_EQ(LoggedLines().value(8), folder_ + "/export_class_kb6.xlsx");

    Combo(form, "CmbTeacher")->setCurrentIndex(1);  // 王老师
    savePaths_ = {Target("c.xlsx")};
    Click(form, "cmdExportTeacher");
    EXPECT_EQ(DataLine().toStdString(),
              QString("[[" + head +
                      "\"teacher_name\":\"王老师\",\"course_name11\":\"数学\","
                      "\"class_name11\":\"一2\",\"course_name32\":\"数学\","
                      "\"class_name32\":\"一1\"}]]")
                  .toStdString());
    EXPECT_EQ(LoggedLines().value(13), folder_ + "/export_teacher_kb6.xlsx");

    savePaths_ = {Target("d.xlsx")};
    Click(form, "CmdExportTotal");
    EXPECT_EQ(DataLine().toStdString(),
              QString("[[" + head +
                      "\"class_name\":\"一1\",\"course_name11\":\"语\","
                      "\"teacher_name11\":\"张老师\",\"course_name32\":\"数\","
                      "\"teacher_name32\":\"王老师\"}," +
                      head +
                      "\"class_name\":\"一2\",\"course_name11\":\"数\","
                      "\"teacher_name11\":\"王老师\"}]]")
                  .toStdString());
    EXPECT_EQ(LoggedLines().value(18), folder_ + "/export_all_kb6.xlsx");
    EXPECT_EQ(messages_.size(), 4u);
    for (const auto& m : messages_) {
        EXPECT_EQ(m.text, QStringLiteral("课表导出成功"));
    }
}

// Every export command over a generated school with namesakes, at six and at seven lessons a
// day: each class, all classes, each teacher, all teachers and the whole school. Pins every
// statement the dialog sends and, command by command, the message, the workbook template named
// and the bytes of the data file handed to the script.
TEST_F(ExportFormTest, EveryCommandOverAGeneratedSchoolSendsThePinnedStatementsAndFiles) {
    ASSERT_NO_THROW(twtest::WriteOutputSchool(twtest::State().Db()));
    LoggingNode("cp \"$2\" \"$4\"");
    int target = 0;
    twtest::ExpectEveryOutputCommandPinned<frmExport>(
        "cmdExportClass", "cmdExportTeacher",
        {"cmdExportAllClass", "cmdExportAllTeacher", "CmdExportTotal"},
        QStringLiteral("课表导出成功"),
        [&](frmExport& form, const char* button) {
            messages_.clear();
            QFile::remove(LogFile());
            savePaths_ = {Target(QString("%1.xlsx").arg(++target))};
            Click(form, button);
            const tw::ui::MsgBoxCall message = OnlyMessage();
            return twtest::CommandOutput{message.text, message.style,
                                         QFileInfo(LoggedLines().value(3)).fileName(),
                                         ReadFile(DataFile())};
        },
        {62, "36a0c7163c68f64e", "7f7fbb5218c46f54"});
}

TEST_F(ExportFormTest, TeachersOrClassesSharingANameGetAGroupEach) {
    AddClass("101", "初一(1)班", "一1");
    AddClass("102", "初一(1)班", "一1");
    AddCourse("01", "语文", "语");
    AddTeacher("T1", "张伟");
    AddTeacher("T2", "张伟");
    AddLesson("101", 1, 1, "01", "T1");
    AddLesson("102", 1, 1, "01", "T2");
    LoggingNode("touch \"$4\"");
    frmExport form(twtest::State());
    savePaths_ = {Target("a.xlsx"), Target("b.xlsx"), Target("c.xlsx")};
    for (const char* command : {"cmdExportAllTeacher", "cmdExportAllClass", "CmdExportTotal"}) {
        Click(form, command);
        // Two objects, each with its own lesson at lesson 1 on Monday.
        EXPECT_EQ(DataLine().count(QStringLiteral("\"school_name\"")), 2) << command;
        EXPECT_EQ(DataLine().count(QStringLiteral("\"course_name11\"")), 2) << command;
    }
    EXPECT_EQ(messages_.size(), 3u);
}

// A lesson may carry its class or teacher code in another case than the class or teacher table
// (the database compares codes without regard to case, and joins and sorts them so): each class
// and each teacher is still one object, not one per spelling of its code.
TEST_F(ExportFormTest, CodesStoredInAnotherCaseMakeOneObject) {
    AddClass("A1", "初一(1)班", "一1");
    AddClass("B1", "初一(2)班", "一2");
    AddCourse("01", "语文", "语");
    AddTeacher("T1", "张伟");
    AddLesson("A1", 1, 1, "01", "T1");
    AddLesson("a1", 2, 1, "01", "t1");
    AddLesson("A1", 3, 1, "01", "t1");
    AddLesson("B1", 4, 2, "01", "T1");
    LoggingNode("touch \"$4\"");
    frmExport form(twtest::State());
    savePaths_ = {Target("a.xlsx"), Target("b.xlsx"), Target("c.xlsx")};
    for (const auto& [command, objects] :
         {std::pair{"cmdExportAllClass", 2}, std::pair{"cmdExportAllTeacher", 1},
          std::pair{"CmdExportTotal", 2}}) {
        Click(form, command);
        EXPECT_EQ(DataLine().count(QStringLiteral("\"school_name\"")), objects) << command;
        EXPECT_EQ(DataLine().count(QStringLiteral("\"course_name")), 4) << command;
    }
    EXPECT_EQ(messages_.size(), 3u);
}

// The chosen item's code decides: each of two 张伟 and each of two 初一(1)班 exports its own week.
TEST_F(ExportFormTest, AChosenNamesakeExportsItsOwnTimetable) {
    AddSmallSchool();  // 101 has 语文 by T1, 102 数学 by T2
    Exec(QStringLiteral("update Classtb set Name='初一(1)班'"));
    Exec(QStringLiteral("update Teachertb set Name='张伟'"));
    LoggingNode("touch \"$4\"");
    frmExport form(twtest::State());
    const std::pair<const char*, const char*> choices[] = {{"CmbClass", "cmdExportClass"},
                                                           {"CmbTeacher", "cmdExportTeacher"}};
    for (const auto& [combo, command] : choices) {
        for (int index : {0, 1}) {
            Combo(form, combo)->setCurrentIndex(index);
            const QString code = Combo(form, combo)->currentData().toString();
            const bool first = code == QStringLiteral("101") || code == QStringLiteral("T1");
            savePaths_ = {Target(code + ".xlsx")};
            Click(form, command);
            EXPECT_EQ(DataLine().contains(QStringLiteral("\"语文\"")), first) << code.toStdString();
            EXPECT_EQ(DataLine().contains(QStringLiteral("\"数学\"")), !first)
                << code.toStdString();
            // The list tells the namesakes apart; the workbook keeps the stored name.
            const QString shown = Combo(form, combo)->currentText();
            const QString stored = QLatin1String(combo) == QLatin1String("CmbClass")
                                       ? QStringLiteral("初一(1)班")
                                       : QStringLiteral("张伟");
            EXPECT_NE(shown, stored) << code.toStdString();
            EXPECT_FALSE(DataLine().contains(shown)) << code.toStdString();
            EXPECT_TRUE(DataLine().contains("\"" + stored + "\"")) << code.toStdString();
        }
    }
    EXPECT_EQ(messages_.size(), 4u);
}

TEST_F(ExportFormTest, NamesWithQuotesAreExportedNotRejected) {
    AddClass("101", "O'Neil \"A\" 班", "A");
    AddCourse("01", "语文", "语");
    AddTeacher("T1", "D'Arcy");
    AddLesson("101", 1, 1, "01", "T1");
    LoggingNode("touch \"$4\"");
    frmExport form(twtest::State());
    savePaths_ = {Target("a.xlsx"), Target("b.xlsx")};
    Click(form, "cmdExportClass");
    EXPECT_TRUE(DataLine().contains(QStringLiteral("\"class_name\":\"O'Neil \\\"A\\\" 班\"")));
    Click(form, "cmdExportTeacher");
    EXPECT_TRUE(DataLine().contains(QStringLiteral("\"teacher_name\":\"D'Arcy\"")));
    ASSERT_EQ(messages_.size(), 2u);
    EXPECT_EQ(messages_[0].text, QStringLiteral("课表导出成功"));
    EXPECT_EQ(messages_[1].text, QStringLiteral("课表导出成功"));
}

// Without lessons, and with lessons only outside the week grid (beyond the lessons per day, as
// left behind after they were lowered, or on days the week does not have), every command says
// there is nothing to export instead of exporting an empty grid.
TEST_F(ExportFormTest, NoLessonsGiveTheNoDataMessagesAndKeepTheDataFile) {
    AddClass("101", "初一(1)班", "一1");
    AddCourse("01", "语文", "语");
    AddTeacher("T1", "张老师");
    LoggingNode("touch \"$4\"");
    QFile data(DataFile());
    ASSERT_TRUE(data.open(QIODevice::WriteOnly));
    data.write("previous\r\n");
    data.close();
    frmExport form(twtest::State());
    const std::vector<std::pair<const char*, const char*>> cases = {
        {"cmdExportAllClass", "没有课表数据"},
        {"cmdExportClass", "该班级没有课表数据"},
        {"cmdExportAllTeacher", "没有课表数据"},
        {"cmdExportTeacher", "该教师没有课表数据"},
        {"CmdExportTotal", "没有课表数据"}};
    for (bool outsideGrid : {false, true}) {
        if (outsideGrid) {
            AddLesson("101", 1, 7, "01", "T1");
            AddLesson("101", 6, 1, "01", "T1");
            AddLesson("101", 0, 2, "01", "T1");
            AddLesson("101", 2, 0, "01", "T1");
        }
        for (const auto& [button, text] : cases) {
            messages_.clear();
            savePaths_ = {Target("x.xlsx")};
            Click(form, button);
            EXPECT_EQ(OnlyMessage().text, QString::fromUtf8(text)) << button << outsideGrid;
            EXPECT_EQ(OnlyMessage().style, tw::ui::vbInformation) << button;
        }
    }
    EXPECT_EQ(ReadFile(DataFile()), QByteArray("previous\r\n"));
    EXPECT_TRUE(LoggedLines().isEmpty()) << "the script is not started";
    EXPECT_FALSE(QFileInfo::exists(Target("x.xlsx")));
}

TEST_F(ExportFormTest, AMissingRuntimeReportsTheReason) {
    AddSmallSchool();
    const QByteArray path = qgetenv("PATH");
    qputenv("PATH", QFile::encodeName(folder_ + "/empty"));
    savePaths_ = {Target("a.xlsx")};
    frmExport form(twtest::State());
    Click(form, "cmdExportAllClass");
    qputenv("PATH", path);
    const tw::ui::MsgBoxCall message = OnlyMessage();
    EXPECT_TRUE(message.text.startsWith(QStringLiteral("课表导出失败！")));
    EXPECT_TRUE(message.text.contains(QStringLiteral("node"))) << message.text.toStdString();
    EXPECT_EQ(message.style, tw::ui::vbCritical);
    EXPECT_EQ(form.cursor().shape(), Qt::ArrowCursor);
}

TEST_F(ExportFormTest, ARuntimeThatCannotStartReportsTheReason) {
    AddSmallSchool();
    ASSERT_TRUE(QDir(folder_).mkpath("node"));
    QFile node(folder_ + "/node/node");
    ASSERT_TRUE(node.open(QIODevice::WriteOnly));
    node.write("#!/nonexistent/interpreter\n");
    node.close();
    node.setPermissions(QFile::ReadOwner | QFile::ExeOwner);
    savePaths_ = {Target("a.xlsx")};
    frmExport form(twtest::State());
    Click(form, "CmdExportTotal");
    const QString text = OnlyMessage().text;
    EXPECT_TRUE(text.startsWith(QStringLiteral("课表导出失败！"))) << text.toStdString();
    EXPECT_TRUE(text.contains(folder_ + "/node/node")) << text.toStdString();
    EXPECT_EQ(OnlyMessage().style, tw::ui::vbCritical);
}

TEST_F(ExportFormTest, AnUnwritableDataFileGivesMinusOneWithoutRunningTheScript) {
    AddSmallSchool();
    LoggingNode("touch \"$4\"");
    ASSERT_TRUE(QDir(folder_).mkdir("export_data.json"));  // a folder where the file should be
    savePaths_ = {Target("a.xlsx")};
    frmExport form(twtest::State());
    Click(form, "cmdExportAllClass");
    const QString text = OnlyMessage().text;
    EXPECT_TRUE(text.startsWith(QStringLiteral("课表导出失败！(ret = -1)"))) << text.toStdString();
    EXPECT_TRUE(text.contains(DataFile())) << "the message names the file";
    EXPECT_EQ(OnlyMessage().style, tw::ui::vbCritical);
    EXPECT_TRUE(LoggedLines().isEmpty());
}

// Installed where the user may not write the program folder, the export writes its data file
// into the user's cache folder and hands that to the script; when that folder cannot be made,
// the message gives the folder's reason. Runs in a child process that gives up its rights.
TEST_F(ExportFormTest, AProgramFolderTheUserCannotWriteExportsFromTheCacheFolder) {
    AddSmallSchool();
    QTemporaryDir out;
    FakeNode("cp \"$2\" \"$4\"");  // the workbook is the data file it was given
    QFile::setPermissions(folder_ + "/node/node",
                          QFile::ReadOwner | QFile::ExeOwner | QFile::ReadOther | QFile::ExeOther);
    ::chmod(QFile::encodeName(folder_ + "/node").constData(), 0755);
    readonlyinstall::RunAsUserWithoutWriteAccess(
        folder_, {out.path()}, [&](const QString& cache, const QString& locked) {
            const QString target = out.path() + "/a.xlsx";
            savePaths_ = {target};
            frmExport form(twtest::State());
            Click(form, "cmdExportAllClass");
            EXPECT_EQ(OnlyMessage().text, QStringLiteral("课表导出成功"));
            const QString data = cache + "/Tarnwick395/export_data.json";
            EXPECT_TRUE(QFileInfo::exists(data));
            EXPECT_FALSE(QFileInfo::exists(DataFile()));
            EXPECT_EQ(ReadFile(target), ReadFile(data));

            // A cache folder the user cannot make (its parent belongs to another user).
            qputenv("XDG_CACHE_HOME", QFile::encodeName(locked));
            messages_.clear();
            savePaths_ = {out.path() + "/b.xlsx"};
            answers_ = {tw::ui::vbYes};
            Click(form, "cmdExportAllClass");
            const QString text = OnlyMessage().text;
            EXPECT_TRUE(text.startsWith(QStringLiteral("课表导出失败！(ret = -1)")))
                << text.toStdString();
            EXPECT_TRUE(text.contains("无法建立文件夹 " + locked + "/Tarnwick395："))
                << text.toStdString();
            EXPECT_TRUE(text.endsWith("Permission denied")) << text.toStdString();
        });
}

TEST_F(ExportFormTest, ASecondExportCannotStartWhileTheScriptRuns) {
    AddSmallSchool();
    LoggingNode("sleep 1; touch \"$4\"");
    savePaths_ = {Target("a.xlsx"), Target("b.xlsx")};
    frmExport form(twtest::State());
    form.show();
    bool sawBusy = false;
    bool stayedOpen = false;
    QTimer::singleShot(300, &form, [&] {
        sawBusy = form.Exporting() &&
                  !form.findChild<QPushButton*>("cmdExportAllClass")->isEnabled() &&
                  !form.findChild<QPushButton*>("cmdOK")->isEnabled();
        form.cmdExportAllClass_Click();
        form.CmdExportTotal_Click();
        form.close();
        stayedOpen = form.isVisible();
        // The lists stay usable meanwhile.
        form.CmdNextClass_Click();
    });
    Click(form, "cmdExportAllClass");
    EXPECT_TRUE(sawBusy);
    EXPECT_TRUE(stayedOpen);
    EXPECT_EQ(dialogTitles_.size(), 1) << "the second export asked for no file";
    EXPECT_EQ(LoggedLines().size(), 5) << "the script ran once";
    EXPECT_EQ(Combo(form, "CmbClass")->currentIndex(), 1);
    EXPECT_EQ(OnlyMessage().text, QStringLiteral("课表导出成功"));
    EXPECT_TRUE(form.findChild<QPushButton*>("cmdExportAllClass")->isEnabled());
    form.close();
    EXPECT_FALSE(form.isVisible());
}

}  // namespace
