// The print dialog driven by clicks: what it selects, the data file it writes, how it calls the
// print library and what it tells the user.
#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QCryptographicHash>
#include <QFile>
#include <QFileInfo>
#include <QFontDatabase>
#include <QFontInfo>
#include <QKeyEvent>
#include <QPushButton>
#include <QTemporaryDir>
#include <cstdlib>
#include <utility>
#include <vector>

#include "AppTestSupport.h"
#include "FitTextTestSupport.h"
#include "OutputSchoolTestSupport.h"
#include "ReadOnlyInstallTestSupport.h"
#include "output/VostrinPrint.h"
#include "output/frmPrint.h"
#include "text/Gbk.h"

using tw::output::frmPrint;
using tw::output::PrintOneCustomXmlFn;
using tw::output::SetPrintOneCustomXmlForTest;

namespace {

struct PrintCall {
    std::string data, ini, tmpl, printer;
    char reserved = 0;
    int calls = 0;
};
PrintCall g_call;
// The dialog a print library stand-in works on while it runs.
frmPrint* g_form = nullptr;
int g_status = 0;

int FakePrint(const char* data, const char* ini, const char* tmpl, int* env, int* sheets,
              int* pages, const char* printer, char reserved) {
    g_call.data = data;
    g_call.ini = ini;
    g_call.tmpl = tmpl;
    g_call.printer = printer;
    g_call.reserved = reserved;
    ++g_call.calls;
    EXPECT_EQ(*env, 0);
    EXPECT_EQ(*sheets, 0);
    EXPECT_EQ(*pages, 0);
    return g_status;
}

class PrintFormTest : public ::testing::Test {
  protected:
    void SetUp() override {
        g_call = {};
        g_status = 0;
        SetPrintOneCustomXmlForTest(&FakePrint);
        env.Exec("insert into Classtb values ('12','一(2)班','一年级二班','一2')");
        env.Exec("insert into Classtb values ('11','一(1)班','一年级一班','一1')");
        env.Exec("insert into Coursetb values ('01','语文','语文','语')");
        env.Exec("insert into Teachertb values ('T2','O''Brien','','')");
        env.Exec("insert into Teachertb values ('T1','张三','','')");
    }
    void TearDown() override { SetPrintOneCustomXmlForTest(nullptr); }
    // Prints the whole school of one lesson from the shown dialog through the library stand-in
    // fn, which finds the dialog in g_form while it runs; the print is called once and done.
    void PrintTotalThrough(frmPrint& f, PrintOneCustomXmlFn fn) {
        env.Exec("insert into LessonListtb values ('11',1,1,'01','T1',1)");
        SetPrintOneCustomXmlForTest(fn);
        g_form = &f;
        f.show();
        f.findChild<QPushButton*>("CmdPrintTotal")->click();
        g_form = nullptr;
        EXPECT_EQ(g_call.calls, 1);
        ASSERT_EQ(env.calls.size(), 1u);
        EXPECT_EQ(env.calls[0].text, QString("打印完成"));
    }
    void Click(frmPrint& f, const char* name) { f.findChild<QPushButton*>(name)->click(); }
    QComboBox* Combo(frmPrint& f, const char* name) { return f.findChild<QComboBox*>(name); }
    QString DataFile() {
        QFile file(env.FilePath("tmp.xml"));
        return file.open(QIODevice::ReadOnly) ? tw::text::FromGbk(file.readAll().toStdString())
                                              : QString();
    }
    twtest::AppTestEnv env;
};

TEST_F(PrintFormTest, ListsAreFilledOnLoadAndStepped) {
    frmPrint f(twtest::State());
    QComboBox* cls = Combo(f, "CmbClass");
    QComboBox* tea = Combo(f, "CmbTeacher");
    ASSERT_EQ(cls->count(), 2);
    EXPECT_EQ(cls->currentIndex(), 0);
    EXPECT_EQ(tea->itemText(0), QString("张三"));  // ordered by code
    EXPECT_EQ(tea->itemText(1), QString("O'Brien"));
    twtest::ExpectListsStepWithoutWrapping(f);
    EXPECT_TRUE(env.calls.empty());
}

// Lists that cannot be read say so once, with the reason, in a message box titled with the
// dialog's caption; before, they stayed empty without a word.
TEST_F(PrintFormTest, ListsThatCannotBeReadSayWhy) {
    env.Exec("alter table Classtb rename to Gone");
    env.Exec("alter table Teachertb rename to Gone2");
    {
        frmPrint f(twtest::State());
        EXPECT_EQ(Combo(f, "CmbClass")->count(), 0);
    }
    ASSERT_EQ(env.calls.size(), 1u);
    EXPECT_EQ(env.calls[0].text, QString("读取失败\n数据库出错"));
    EXPECT_EQ(env.calls[0].title, QString("打印课表"));
    EXPECT_TRUE(env.calls[0].style & tw::ui::vbCritical);
}

// Every print command over a generated school with namesakes, at six and at seven lessons a
// day: each class, all classes, each teacher, all teachers and the whole school. Pins every
// statement the dialog sends and, command by command, the message, the layout template and the
// bytes of the data file handed to the library.
TEST_F(PrintFormTest, EveryCommandOverAGeneratedSchoolSendsThePinnedStatementsAndFiles) {
    for (const char* table : {"Classtb", "Coursetb", "Teachertb"}) {
        env.Exec(QString("delete from ") + table);
    }
    ASSERT_NO_THROW(twtest::WriteOutputSchool(twtest::State().Db()));
    twtest::ExpectEveryOutputCommandPinned<frmPrint>(
        "cmdPrintClass", "cmdPrintTeacher",
        {"cmdPrintAllClass", "cmdPrintAllTeacher", "CmdPrintTotal"}, QString("打印完成"),
        [&](frmPrint& f, const char* button) {
            Click(f, button);
            twtest::CommandOutput output;
            EXPECT_EQ(env.calls.size(), 1u) << button;
            if (env.calls.empty()) return output;
            output.text = env.calls[0].text;
            output.style = env.calls[0].style;
            env.calls.clear();
            QFile data(env.FilePath("tmp.xml"));
            if (data.open(QIODevice::ReadOnly)) {
                output.templateName = QFileInfo(QString::fromStdString(g_call.tmpl)).fileName();
                output.data = data.readAll();
                data.close();
                QFile::remove(env.FilePath("tmp.xml"));
            }
            return output;
        },
        {62, "9774c4e912dde498", "b23fb6db6f84d004"});
}

// Latin text such as "A4" and "(Q)" is drawn in the same Chinese font as the other forms.
TEST_F(PrintFormTest, DialogFontIsTheInstalledChineseFont) {
    frmPrint f(twtest::State());
    const QString family = QFontInfo(f.font()).family();
    EXPECT_TRUE(QFontDatabase::writingSystems(family).contains(QFontDatabase::SimplifiedChinese))
        << family.toStdString();
}

TEST_F(PrintFormTest, ClassWithoutLessonsSaysSoAndPrintsNothing) {
    frmPrint f(twtest::State());
    Click(f, "cmdPrintClass");
    ASSERT_EQ(env.calls.size(), 1u);
    EXPECT_EQ(env.calls[0].text, QString("该班级没有课表数据"));
    EXPECT_EQ(env.calls[0].title, QString("打印课表"));
    EXPECT_EQ(env.calls[0].style, tw::ui::vbInformation);
    EXPECT_EQ(g_call.calls, 0);
    EXPECT_FALSE(QFile::exists(env.FilePath("tmp.xml")));
    Click(f, "cmdPrintAllClass");
    EXPECT_EQ(env.calls.back().text, QString("没有课表数据"));
}

// Lessons only outside the week grid (beyond the lessons per day, as left behind after they
// were lowered, or on days the week does not have) print nothing: every command says there is
// no timetable instead of "打印完成".
TEST_F(PrintFormTest, LessonsOnlyOutsideTheGridSayThereIsNoTimetable) {
    env.Exec("insert into LessonListtb values ('11',1,7,'01','T1',1)");
    env.Exec("insert into LessonListtb values ('11',6,1,'01','T1',1)");
    env.Exec("insert into LessonListtb values ('11',0,2,'01','T1',1)");
    env.Exec("insert into LessonListtb values ('11',3,0,'01','T1',1)");
    frmPrint f(twtest::State());
    Combo(f, "CmbClass")->setCurrentText(QString("一(1)班"));
    Combo(f, "CmbTeacher")->setCurrentText(QString("张三"));
    const std::vector<std::pair<const char*, const char*>> cases = {
        {"cmdPrintClass", "该班级没有课表数据"},
        {"cmdPrintAllClass", "没有课表数据"},
        {"cmdPrintTeacher", "该教师没有课表数据"},
        {"cmdPrintAllTeacher", "没有课表数据"},
        {"CmdPrintTotal", "没有课表数据"}};
    for (const auto& [button, text] : cases) {
        env.calls.clear();
        Click(f, button);
        ASSERT_EQ(env.calls.size(), 1u) << button;
        EXPECT_EQ(env.calls[0].text, QString(text)) << button;
        EXPECT_EQ(env.calls[0].style, tw::ui::vbInformation) << button;
    }
    EXPECT_EQ(g_call.calls, 0);
    EXPECT_FALSE(QFile::exists(env.FilePath("tmp.xml")));
}

// A lesson may carry its class or teacher code in another case than the class or teacher table
// (the database compares codes without regard to case, and joins and sorts them so): each class
// and each teacher is still one timetable, not one per spelling of its code.
TEST_F(PrintFormTest, CodesStoredInAnotherCaseMakeOneTimetable) {
    env.Exec("insert into Classtb values ('A1','A班','A班','A')");
    env.Exec("insert into LessonListtb values ('A1',1,1,'01','T1',1)");
    env.Exec("insert into LessonListtb values ('a1',2,1,'01','t1',1)");
    env.Exec("insert into LessonListtb values ('A1',3,1,'01','t1',1)");
    env.Exec("insert into LessonListtb values ('11',4,2,'01','T1',1)");
    frmPrint f(twtest::State());
    for (const auto& [button, titles] :
         {std::pair{"cmdPrintAllClass", 2}, std::pair{"cmdPrintAllTeacher", 1},
          std::pair{"CmdPrintTotal", 2}}) {
        env.calls.clear();
        Click(f, button);
        ASSERT_EQ(env.calls.size(), 1u) << button;
        EXPECT_EQ(env.calls[0].text, QString("打印完成")) << button;
        EXPECT_EQ(DataFile().count("<title "), titles) << button;
    }
}

TEST_F(PrintFormTest, ClassPrintWritesDataAndCallsTheLibrary) {
    twtest::State().lessonOfDay = 7;
    env.Exec("insert into LessonListtb values ('12',1,1,'01','T1',1)");
    frmPrint f(twtest::State());
    Combo(f, "CmbClass")->setCurrentText(QString("一(2)班"));
    Click(f, "cmdPrintClass");
    ASSERT_EQ(g_call.calls, 1);
    EXPECT_EQ(QString::fromStdString(g_call.data), env.FilePath("tmp.xml"));
    EXPECT_EQ(QString::fromStdString(g_call.tmpl), env.FilePath("ClassSchd7.xml"));
    EXPECT_EQ(g_call.ini, "");
    EXPECT_EQ(g_call.printer, "");
    EXPECT_EQ(g_call.reserved, 'T');
    EXPECT_TRUE(DataFile().contains("<coursename value=\"语文\"></coursename>"));
    EXPECT_TRUE(DataFile().contains("一(2)班"));
    EXPECT_EQ(DataFile().count("<tr>"), 35);
    ASSERT_EQ(env.calls.size(), 1u);
    EXPECT_EQ(env.calls[0].text, QString("打印完成"));
}

TEST_F(PrintFormTest, NamesakeTeachersAndClassesArePrintedApart) {
    env.Exec("insert into Teachertb values ('T3','张三','','')");  // a second 张三
    env.Exec("update Classtb set Name='一(1)班', ShortName='一1' where Code='12'");
    env.Exec("insert into LessonListtb values ('11',1,1,'01','T1',1)");
    env.Exec("insert into LessonListtb values ('12',1,1,'01','T3',1)");
    frmPrint f(twtest::State());
    Click(f, "cmdPrintAllTeacher");
    EXPECT_EQ(DataFile().count("<tr>"), 60);  // two teachers of 30 slots each
    EXPECT_EQ(DataFile().count("<totallesson value=\" 2 \">"), 0);
    Click(f, "cmdPrintAllClass");
    EXPECT_EQ(DataFile().count("<tr>"), 60);
    Click(f, "CmdPrintTotal");
    EXPECT_EQ(DataFile().count("<tr>"), 2);
    EXPECT_EQ(DataFile().count("<coursenameL11 value=\"语\">"), 2);
    EXPECT_EQ(g_call.calls, 3);
}

// The longest names with the code that tells namesakes apart read in the choosers: at 8 pt or
// more, whole or cut with "…" and the whole text as tooltip; a short name keeps the form's font.
TEST_F(PrintFormTest, ChoosersShowTheLongestNamesWholeOrCutWithTheirTooltip) {
    env.Exec("insert into Teachertb values ('T8','信息技术老师一二三四','','')");
    env.Exec("insert into Teachertb values ('T9','信息技术老师一二三四','','')");
    env.Exec(
        "insert into Classtb values ('13','学前年级（１２）班级','学前年级（１２）班级甲','')");
    env.Exec(
        "insert into Classtb values ('14','学前年级（１２）班级','学前年级（１２）班级乙','')");
    frmPrint f(twtest::State());
    f.show();
    QComboBox* cls = Combo(f, "CmbClass");
    QComboBox* tea = Combo(f, "CmbTeacher");
    EXPECT_EQ(tea->currentText(), "张三");
    EXPECT_EQ(tea->font().pointSizeF(), 12);
    for (QComboBox* combo : {cls, tea}) {
        for (int i = 0; i < combo->count(); ++i) {
            combo->setCurrentIndex(i);
            SCOPED_TRACE(combo->currentText().toStdString());
            EXPECT_TRUE(twtest::ReadsWholeOrCut(combo));
        }
    }
    tea->setCurrentIndex(tea->findText("信息技术老师一二三四（T9）"));
    EXPECT_EQ(tw::ui::ShownText(tea), "信息技术老师一二三四（T9）");
}

// The chosen item's code decides, so a second 张三 or a second 一(1)班 prints its own week; the
// class list keeps the table's stored order.
TEST_F(PrintFormTest, ChosenNamesakePrintsItsOwnTimetable) {
    env.Exec("insert into Coursetb values ('02','数学','数学','数')");
    env.Exec("insert into Teachertb values ('T3','张三','','')");
    env.Exec("update Classtb set Name='一(1)班', ShortName='一9' where Code='12'");
    env.Exec("insert into LessonListtb values ('11',1,1,'01','T1',1)");
    env.Exec("insert into LessonListtb values ('12',1,1,'02','T3',1)");
    frmPrint f(twtest::State());
    QComboBox* cls = Combo(f, "CmbClass");
    ASSERT_EQ(cls->count(), 2);
    EXPECT_EQ(cls->itemData(0).toString(), QString("12"));  // stored first
    // The list tells the two 一(1)班 apart by their full names, the page keeps the name.
    EXPECT_EQ(cls->itemText(0) + " " + cls->itemText(1), QString("一年级二班 一年级一班"));
    cls->setCurrentIndex(1);  // the 一(1)班 coded 11
    Click(f, "cmdPrintClass");
    EXPECT_TRUE(DataFile().contains("value=\"语文\""));
    EXPECT_FALSE(DataFile().contains("value=\"数学\""));
    EXPECT_TRUE(DataFile().contains("     一(1)班\""));  // the title
    EXPECT_FALSE(DataFile().contains("一年级一班"));
    QComboBox* tea = Combo(f, "CmbTeacher");
    // Two 张三 without full names: told apart by their codes.
    ASSERT_EQ(tea->itemText(0) + " " + tea->itemText(2), QString("张三（T1） 张三（T3）"));
    tea->setCurrentIndex(2);
    Click(f, "cmdPrintTeacher");
    EXPECT_TRUE(DataFile().contains("value=\"数学\""));
    EXPECT_TRUE(DataFile().contains("value=\"一9\""));
    EXPECT_FALSE(DataFile().contains("value=\"语文\""));
    EXPECT_TRUE(DataFile().contains("     张三\""));
    EXPECT_FALSE(DataFile().contains("（T3）"));
    EXPECT_EQ(g_call.calls, 2);
}

TEST_F(PrintFormTest, TeacherWithQuoteInNameIsPrinted) {
    env.Exec("insert into LessonListtb values ('11',2,3,'01','T2',1)");
    frmPrint f(twtest::State());
    Combo(f, "CmbTeacher")->setCurrentIndex(1);
    Click(f, "cmdPrintTeacher");
    ASSERT_EQ(g_call.calls, 1);
    EXPECT_EQ(QString::fromStdString(g_call.tmpl), env.FilePath("TeacherSchd6.xml"));
    EXPECT_TRUE(DataFile().contains("<teachername value=\"O'Brien\"></teachername>"));
    EXPECT_TRUE(DataFile().contains("<classname value=\"一1\"></classname>"));
}

// A name with a character that no installed font has is named before anything prints: the
// default answer prints nothing, Yes prints. A character outside GBK that a font has (䶮) is
// no matter.
TEST_F(PrintFormTest, NamesWithCharactersNoFontHasAreNamedBeforePrinting) {
    const QString hieroglyph = QString::fromUcs4(U"\U00013000");
    env.Exec("insert into Teachertb values ('T3','刘" + hieroglyph + "','','')");
    env.Exec("insert into Teachertb values ('T4','高䶮','','')");
    env.Exec("insert into LessonListtb values ('11',1,1,'01','T3',1)");
    env.Exec("insert into LessonListtb values ('12',1,1,'01','T4',1)");
    frmPrint f(twtest::State());
    Click(f, "cmdPrintAllClass");
    EXPECT_EQ(g_call.calls, 0);
    ASSERT_EQ(env.calls.size(), 1u);
    EXPECT_EQ(env.calls[0].text, "下列名称中有本机没有字体的字符，打印出来是空白方框：\n刘" +
                                     hieroglyph + "（" + hieroglyph + "）\n仍然打印吗？");
    EXPECT_TRUE(env.calls[0].style & tw::ui::vbDefaultButton2);
    env.answers.push_back(tw::ui::vbYes);
    Click(f, "cmdPrintAllClass");
    EXPECT_EQ(g_call.calls, 1);
    EXPECT_TRUE(DataFile().contains("刘" + hieroglyph));
    EXPECT_TRUE(DataFile().contains("高䶮"));
    ASSERT_EQ(env.calls.size(), 3u);
    EXPECT_EQ(env.calls[2].text, QString("打印完成"));
}

TEST_F(PrintFormTest, LibraryFailureShowsItsStatus) {
    env.Exec("insert into LessonListtb values ('11',1,1,'01','T1',1)");
    g_status = -1001;
    frmPrint f(twtest::State());
    Click(f, "cmdPrintAllTeacher");
    ASSERT_EQ(env.calls.size(), 1u);
    EXPECT_EQ(env.calls[0].text, QString("打印失败！(ret = -1001)"));
    EXPECT_EQ(env.calls[0].style, tw::ui::vbCritical);
}

// The library would print no page: the whole school says so like the other commands.
TEST_F(PrintFormTest, WholeSchoolWithoutLessonsSaysSoAndPrintsNothing) {
    frmPrint f(twtest::State());
    Click(f, "CmdPrintTotal");
    EXPECT_EQ(g_call.calls, 0);
    EXPECT_FALSE(QFile::exists(env.FilePath("tmp.xml")));
    ASSERT_EQ(env.calls.size(), 1u);
    EXPECT_EQ(env.calls[0].text, QString("没有课表数据"));
    EXPECT_EQ(env.calls[0].style, tw::ui::vbInformation);
    env.Exec("insert into LessonListtb values ('11',1,1,'01','T1',1)");
    Click(f, "CmdPrintTotal");
    ASSERT_EQ(g_call.calls, 1);
    EXPECT_EQ(QString::fromStdString(g_call.tmpl), env.FilePath("TotalSchd6A3.xml"));
    EXPECT_EQ(env.calls.back().text, QString("打印完成"));
}

TEST_F(PrintFormTest, MissingLibraryIsReportedNotCrashed) {
    env.Exec("insert into LessonListtb values ('11',1,1,'01','T1',1)");
    SetPrintOneCustomXmlForTest(nullptr);
    frmPrint f(twtest::State());
    Click(f, "CmdPrintTotal");
    ASSERT_EQ(env.calls.size(), 1u);
    EXPECT_TRUE(env.calls[0].text.startsWith(QString("打印失败！")));
    EXPECT_EQ(env.calls[0].style, tw::ui::vbCritical);
}

}  // namespace

namespace {

// A library that lets window messages through while it spools: a second click meanwhile must
// not start another print.
int ReentrantPrint(const char* data, const char* ini, const char* tmpl, int* env, int* sheets,
                   int* pages, const char* printer, char reserved) {
    ++g_call.calls;
    if (g_call.calls == 1) {
        auto* again = g_form->findChild<QPushButton*>("CmdPrintTotal");
        EXPECT_FALSE(again->isEnabled());
        g_form->CmdPrintTotal_Click();
        g_form->close();
        EXPECT_TRUE(g_form->isVisible());
    }
    return 0;
}

TEST_F(PrintFormTest, ASecondPrintCannotStartWhileOneRuns) {
    frmPrint f(twtest::State());
    PrintTotalThrough(f, &ReentrantPrint);
    EXPECT_TRUE(f.findChild<QPushButton*>("CmdPrintTotal")->isEnabled());
}

}  // namespace

namespace {

// A library that lets window messages through while it spools, during which the user presses
// Escape.
int EscapedPrint(const char* data, const char* ini, const char* tmpl, int* env, int* sheets,
                 int* pages, const char* printer, char reserved) {
    ++g_call.calls;
    QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QApplication::sendEvent(g_form, &escape);
    EXPECT_TRUE(g_form->isVisible());
    return 0;
}

TEST_F(PrintFormTest, EscapeDoesNotCloseTheDialogWhileAPrintRuns) {
    frmPrint f(twtest::State());
    PrintTotalThrough(f, &EscapedPrint);
    EXPECT_TRUE(f.isVisible());
    QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QApplication::sendEvent(&f, &escape);
    EXPECT_FALSE(f.isVisible());  // with no print running Escape closes it as ever
}

// Installed where the user may not write the program folder, the print writes its data file
// into the user's cache folder; when that cannot be made either, the message names the file,
// the folder and the folder's reason. Runs in a child process that gives up its rights.
TEST_F(PrintFormTest, AProgramFolderTheUserCannotWritePrintsFromTheCacheFolder) {
    env.Exec("insert into LessonListtb values ('11',1,1,'01','T1',1)");
    readonlyinstall::RunAsUserWithoutWriteAccess(
        env.Folder(), {}, [&](const QString& cache, const QString& locked) {
            frmPrint f(twtest::State());
            Combo(f, "CmbClass")->setCurrentText(QString("一(1)班"));
            Click(f, "cmdPrintClass");
            const QString data = cache + "/Tarnwick395/tmp.xml";
            EXPECT_EQ(QString::fromStdString(g_call.data), data);
            EXPECT_TRUE(QFile::exists(data));
            EXPECT_FALSE(QFile::exists(env.FilePath("tmp.xml")));
            EXPECT_EQ(QString::fromStdString(g_call.tmpl), env.FilePath("ClassSchd6.xml"));
            ASSERT_EQ(env.calls.size(), 1u);
            EXPECT_EQ(env.calls[0].text, QString("打印完成"));

            // A cache folder the user cannot write either (it belongs to another user).
            qputenv("XDG_CACHE_HOME", QFile::encodeName(locked));
            Click(f, "cmdPrintClass");
            ASSERT_EQ(env.calls.size(), 2u);
            const QString text = env.calls[1].text;
            EXPECT_TRUE(text.startsWith(QString("打印失败！(ret = -1)"))) << text.toStdString();
            EXPECT_TRUE(text.contains(locked + "/Tarnwick395/tmp.xml")) << text.toStdString();
            EXPECT_TRUE(text.contains("无法建立文件夹 " + locked + "/Tarnwick395："))
                << text.toStdString();
            EXPECT_TRUE(text.endsWith("Permission denied")) << text.toStdString();
            EXPECT_EQ(g_call.calls, 1);
        });
}

}  // namespace
