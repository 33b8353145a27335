// The course, teacher and classroom lists (and the class list beside them in the random walk):
// what the form shows and what reaches the database after the user's clicks and keys.
#include <QHeaderView>
#include <memory>
#include <random>

#include "DataFormTestSupport.h"
#include "FileGrowthTestSupport.h"
#include "StatementLogTestSupport.h"
#include "data/frmClassInput.h"
#include "data/frmClassRoomInput.h"
#include "data/frmCourseInput.h"
#include "data/frmTeacherInput.h"
#include "store/Invariants.h"
#include "store/Names.h"

using tw::data::frmClassInput;
using tw::data::frmClassRoomInput;
using tw::data::frmCourseInput;
using tw::data::frmTeacherInput;

using namespace datatest;
using tw::ui::vbNo;
using tw::ui::vbYes;

namespace {

class MasterFormTest : public DataFormTest {
  protected:
    void Fill(QWidget& form, const QString& code, const QString& name, const QString& full,
              const QString& shortName) {
        Type(form, "txtCode", code);
        Type(form, "txtName", name);
        Type(form, "txtFullName", full);
        Type(form, "txtShortName", shortName);
    }
    // Two courses, each with a lesson, a plan row and a limit; a teacher limit that happens to
    // carry the same code as the first course.
    void TwoCourses() {
        Exec("insert into Coursetb values ('C1','语文','语文课','语')");
        Exec("insert into Coursetb values ('C2','数学','数学课','数')");
        Exec("insert into LessonListtb values ('11',1,1,'C1','T1',1)");
        Exec("insert into LessonListtb values ('11',1,2,'C2','T2',1)");
        Exec(
            "insert into ClassPlantb (ClassCode,CourseCode,TeacherCode,Count) "
            "values ('11','C1','T1',4)");
        Exec(
            "insert into ClassPlantb (ClassCode,CourseCode,TeacherCode,Count) "
            "values ('11','C2','T2',5)");
        Exec("insert into Limittb values (1,'C1',1,1,3)");
        Exec("insert into Limittb values (1,'C2',1,1,3)");
        Exec("insert into Limittb values (2,'C1',2,2,0)");
    }
};

TEST_F(MasterFormTest, OpeningListsEveryRowAndShowsNullAsEmptyText) {
    Exec("insert into Coursetb values ('C1','语文',NULL,'语')");
    Exec("insert into Coursetb values ('C2','数学','数学课',NULL)");
    frmCourseInput form(twtest::State());
    EXPECT_EQ(form.windowTitle(), "课程名单");
    auto* list = Find<QTreeWidget>(form, "lstAllRecord");
    EXPECT_EQ(list->headerItem()->text(0), "课程代码");
    EXPECT_EQ(list->headerItem()->text(3), "课程简称");
    EXPECT_EQ(list->columnWidth(0), 1700 / 15);
    EXPECT_EQ(list->columnWidth(1), 2000 / 15);
    EXPECT_EQ(ListRows(list), "C1|语文||语;C2|数学|数学课|");
}

TEST_F(MasterFormTest, AddStoresTrimmedTextsAndSelectsTheNewRow) {
    frmCourseInput form(twtest::State());
    Fill(form, "  C7 ", " 物理", "物理课  ", " 物 ");
    Click(form, "cmdAppend");
    EXPECT_TRUE(Calls().empty());
    EXPECT_EQ(Rows("select Code,Name,FullName,ShortName from Coursetb"), "C7|物理|物理课|物");
    auto* list = Find<QTreeWidget>(form, "lstAllRecord");
    EXPECT_EQ(ListRows(list), "C7|物理|物理课|物");
    EXPECT_EQ(SelectedText(list), "C7");
    EXPECT_EQ(PanelText(form, 1), "添加记录成功！添加了1条记录");
    for (const char* box : {"txtCode", "txtName", "txtFullName", "txtShortName"}) {
        EXPECT_EQ(Find<QLineEdit>(form, box)->text(), "") << box;
    }
    EXPECT_EQ(Find<QLineEdit>(form, "txtCode")->maxLength(), 10);
}

TEST_F(MasterFormTest, CheckNamesTheFirstEmptyBoxAndPaintsEveryEmptyOneRed) {
    frmCourseInput form(twtest::State());
    Fill(form, "", "   ", "", "");
    Click(form, "cmdAppend");
    ASSERT_EQ(Calls().size(), 1u);
    EXPECT_EQ(Calls()[0].text, "请输入课程代码。");
    EXPECT_EQ(Calls()[0].title, "输入信息检查");
    EXPECT_EQ(Calls()[0].style, tw::ui::vbInformation);
    for (const char* box : {"txtCode", "txtName", "txtFullName", "txtShortName"}) {
        EXPECT_TRUE(IsRed(Find<QLineEdit>(form, box))) << box;
    }
    EXPECT_EQ(form.focusWidget(), Find<QLineEdit>(form, "txtCode"));
    EXPECT_EQ(Count("select count(*) from Coursetb"), 0);

    // Filled boxes turn white at the next check; the message follows the first empty box.
    Calls().clear();
    Fill(form, "C1", "", "语文课", "");
    Click(form, "cmdAppend");
    ASSERT_EQ(Calls().size(), 1u);
    EXPECT_EQ(Calls()[0].text, "请输入课程名称。");
    EXPECT_TRUE(IsWhite(Find<QLineEdit>(form, "txtCode")));
    EXPECT_TRUE(IsRed(Find<QLineEdit>(form, "txtName")));
    EXPECT_TRUE(IsWhite(Find<QLineEdit>(form, "txtFullName")));
    EXPECT_TRUE(IsRed(Find<QLineEdit>(form, "txtShortName")));
    EXPECT_EQ(form.focusWidget(), Find<QLineEdit>(form, "txtName"));
}

TEST_F(MasterFormTest, TeacherAndClassroomChecksUseTheirOwnMessages) {
    {
        frmTeacherInput form(twtest::State());
        Fill(form, "T1", "张三", "张三", "");
        Click(form, "cmdAppend");
        ASSERT_EQ(Calls().size(), 1u);
        EXPECT_EQ(Calls()[0].text, "请输入老师名称。");
        EXPECT_EQ(form.focusWidget(), Find<QLineEdit>(form, "txtShortName"));
    }
    Calls().clear();
    {
        frmClassRoomInput form(twtest::State());
        Click(form, "cmdAppend");
        ASSERT_EQ(Calls().size(), 1u);
        EXPECT_EQ(Calls()[0].text, "请输入教室代码。");
        EXPECT_EQ(Calls()[0].title, "输入检查信息");
        EXPECT_FALSE(IsRed(Find<QLineEdit>(form, "txtFullName")));
        // Only the code and the name are required.
        Calls().clear();
        Fill(form, "R1", "机房", "", "");
        Click(form, "cmdAppend");
        EXPECT_TRUE(Calls().empty());
        EXPECT_EQ(Rows("select Code,Name,FullName,ShortName from ClassRoomtb"), "R1|机房||");
    }
}

TEST_F(MasterFormTest, DuplicateCodeIsRefusedAndRepeatedAsTyped) {
    Exec("insert into Coursetb values ('C1','语文','语文课','语')");
    frmCourseInput form(twtest::State());
    Fill(form, " c1 ", "别的", "别的课", "别");
    auto* code = Find<QLineEdit>(form, "txtCode");
    code->setFocus();
    Key(code, Qt::Key_Return);
    ASSERT_EQ(Calls().size(), 1u);
    EXPECT_EQ(Calls()[0].text, "该课程代码：  c1  已经存在！");
    EXPECT_EQ(Calls()[0].title, twtest::State().title);
    EXPECT_EQ(Rows("select Code,Name from Coursetb"), "C1|语文");
    EXPECT_EQ(code->text(), " c1 ");
    EXPECT_EQ(form.focusWidget(), code);
}

TEST_F(MasterFormTest, EnterInTheCodeBoxAddsAndMovesToTheNameBox) {
    frmTeacherInput form(twtest::State());
    Fill(form, "T9", "李四", "李四", "李");
    auto* code = Find<QLineEdit>(form, "txtCode");
    Key(code, Qt::Key_Return);
    EXPECT_EQ(Rows("select Code,Name from Teachertb"), "T9|李四");
    EXPECT_EQ(form.focusWidget(), Find<QLineEdit>(form, "txtName"));
    EXPECT_EQ(code->text(), "");
}

TEST_F(MasterFormTest, KeysMoveBetweenTheBoxes) {
    frmCourseInput form(twtest::State());
    auto* name = Find<QLineEdit>(form, "txtName");
    auto* full = Find<QLineEdit>(form, "txtFullName");
    auto* shortName = Find<QLineEdit>(form, "txtShortName");
    auto* code = Find<QLineEdit>(form, "txtCode");
    ExpectFocusSteps(form, {{name, Qt::Key_Return, full},
                            {full, Qt::Key_Down, shortName},
                            {shortName, Qt::Key_Return, code},
                            {code, Qt::Key_Up, shortName},
                            {shortName, Qt::Key_Up, full},
                            {full, Qt::Key_Up, name},
                            {name, Qt::Key_Up, name}});
    // Enter in a box never presses a button.
    for (QPushButton* button : form.findChildren<QPushButton*>()) {
        EXPECT_FALSE(button->autoDefault() || button->isDefault())
            << button->objectName().toStdString();
    }
}

TEST_F(MasterFormTest, QuotesAreStoredAsTypedAndNeverChangeAStatement) {
    Exec("insert into Teachertb values ('T1','张三','张三','张')");
    Exec("insert into Teachertb values ('T2','王五','王五','王')");
    frmTeacherInput form(twtest::State());
    Fill(form, "T3", "O'Brien", "O'Brien Jr", "O'B");
    Click(form, "cmdAppend");
    EXPECT_EQ(Text("select Name from Teachertb where Code='T3'"), "O'Brien");
    EXPECT_EQ(tw::store::GetTeacherCode(twtest::State().Db(), "O'Brien").value, "T3");

    Fill(form, "' or ''='", "x", "x", "x");
    Answer(vbYes);
    Click(form, "cmdDelete");
    EXPECT_EQ(Count("select count(*) from Teachertb"), 3);
}

TEST_F(MasterFormTest, CourseDeleteTakesItsLessonsPlanRowsAndCourseLimitsOnly) {
    TwoCourses();
    frmCourseInput form(twtest::State());
    auto* list = Find<QTreeWidget>(form, "lstAllRecord");
    ClickRow(list, "C1");
    EXPECT_EQ(Find<QLineEdit>(form, "txtName")->text(), "语文");

    Answer(vbNo);
    Click(form, "cmdDelete");
    ASSERT_EQ(Calls().size(), 1u);
    EXPECT_EQ(Calls()[0].text, "警告： 确定要删除 '语文' 吗？(Y/N)？");
    EXPECT_EQ(Calls()[0].style, tw::ui::vbYesNo | tw::ui::vbQuestion);
    EXPECT_EQ(Calls()[0].title, "数据删除");
    EXPECT_EQ(Count("select count(*) from LessonListtb"), 2);
    EXPECT_EQ(Count("select count(*) from Coursetb"), 2);

    // The code box no longer shows the selected row (C2 typed over C1, or another row chosen
    // meanwhile): the user is asked to choose the row to delete, not told of a code change.
    Type(form, "txtCode", "C2");
    Click(form, "cmdDelete");
    list->setCurrentItem(list->topLevelItem(1));
    Type(form, "txtCode", "C1");
    Click(form, "cmdDelete");
    ASSERT_EQ(Calls().size(), 3u);
    EXPECT_EQ(Calls()[1].text, "请在列表中选择要删除的课程。");
    EXPECT_EQ(Calls()[1].title, "输入信息检查");
    EXPECT_EQ(Calls()[2].text, "请在列表中选择要删除的课程。");
    EXPECT_FALSE(IsRed(Find<QLineEdit>(form, "txtCode")));
    EXPECT_EQ(Count("select count(*) from Coursetb"), 2);
    EXPECT_EQ(Count("select count(*) from LessonListtb"), 2);

    ClickRow(list, "C1");
    Answer(vbYes);
    Click(form, "cmdDelete");
    EXPECT_EQ(Rows("select Code from Coursetb"), "C2");
    EXPECT_EQ(Rows("select CourseCode from LessonListtb"), "C2");
    EXPECT_EQ(Rows("select CourseCode from ClassPlantb"), "C2");
    EXPECT_EQ(Count("select count(*) from Coursetb"), 1);
    EXPECT_EQ(Rows("select Kind,Code from Limittb order by Kind"), "1|C2;2|C1");
    EXPECT_EQ(ListRows(list), "C2|数学|数学课|数");
    EXPECT_EQ(PanelText(form, 1), "删除记录成功！删除了1条记录");
    EXPECT_EQ(Find<QLineEdit>(form, "txtCode")->text(), "");
}

// Right after an add the boxes are empty and the new row is selected: a delete first checks the
// boxes, as the add and the modify do, and names the box to fill; a code box that does not hold
// the selected row's code asks for the row to delete. Neither speaks of a changed code.
TEST_F(MasterFormTest, DeleteChecksTheBoxesFirstAndAsksForTheRowToDelete) {
    auto expect = [this](QWidget& form, const QString& noun, const QString& table) {
        Fill(form, "X1", noun + "甲", noun + "甲", "甲");
        Click(form, "cmdAppend");
        ASSERT_EQ(Count("select count(*) from " + table), 1);
        Calls().clear();
        Click(form, "cmdDelete");
        ASSERT_EQ(Calls().size(), 1u) << noun.toStdString();
        EXPECT_EQ(Calls()[0].text, "请输入" + noun + "代码。");
        Fill(form, "X2", noun + "乙", noun + "乙", "乙");
        Click(form, "cmdDelete");
        ASSERT_EQ(Calls().size(), 2u) << noun.toStdString();
        EXPECT_EQ(Calls()[1].text, "请在列表中选择要删除的" + noun + "。");
        EXPECT_EQ(Count("select count(*) from " + table), 1);
    };
    frmCourseInput courses(twtest::State());
    expect(courses, "课程", "Coursetb");
    frmTeacherInput teachers(twtest::State());
    expect(teachers, "老师", "Teachertb");
    frmClassRoomInput rooms(twtest::State());
    expect(rooms, "教室", "ClassRoomtb");
}

TEST_F(MasterFormTest, TeacherDeleteTakesTeacherLimitsAndClassroomDeleteKeepsItsLimits) {
    Exec("insert into Teachertb values ('T1','张三','张三','张')");
    Exec("insert into ClassRoomtb values ('T1','机房','机房','机')");
    Exec("insert into LessonListtb values ('11',1,1,'C1','T1',1)");
    Exec("insert into Limittb values (2,'T1',1,1,3)");
    Exec("insert into Limittb values (3,'T1',1,1,3)");
    {
        frmClassRoomInput form(twtest::State());
        ClickRow(Find<QTreeWidget>(form, "lstAllRecord"), "T1");
        Answer(vbYes);
        Click(form, "cmdDelete");
        EXPECT_EQ(Count("select count(*) from ClassRoomtb"), 0);
        EXPECT_EQ(Rows("select Kind from Limittb order by Kind"), "2;3");
        EXPECT_EQ(Count("select count(*) from LessonListtb"), 1);
    }
    {
        frmTeacherInput form(twtest::State());
        auto* list = Find<QTreeWidget>(form, "lstAllRecord");
        ClickRow(list, "T1");
        Answer(vbYes);
        // The Delete key in the list deletes as the button does.
        Key(list, Qt::Key_Delete);
        EXPECT_EQ(Count("select count(*) from Teachertb"), 0);
        EXPECT_EQ(Rows("select Kind from Limittb"), "3");
        EXPECT_EQ(Count("select count(*) from LessonListtb"), 0);
    }
}

// A list that cannot be read says so with its reason, in panel 1 and a message box, as a
// failed write does; before, the list stayed empty without a word.
TEST_F(MasterFormTest, AListThatCannotBeReadSaysWhy) {
    auto expect = [this](QWidget& form) {
        ASSERT_EQ(Calls().size(), 1u) << form.objectName().toStdString();
        EXPECT_EQ(Calls()[0].text, "读取记录失败\n数据库出错");
        EXPECT_EQ(Calls()[0].title, "读取失败");
        EXPECT_EQ(PanelText(form, 1), "读取记录失败：数据库出错");
        Calls().clear();
    };
    for (const char* table : {"Coursetb", "Teachertb", "ClassRoomtb", "Classtb"}) {
        Exec(QString("drop table ") + table);
    }
    frmCourseInput courses(twtest::State());
    expect(courses);
    frmTeacherInput teachers(twtest::State());
    expect(teachers);
    frmClassRoomInput rooms(twtest::State());
    expect(rooms);
    frmClassInput classes(twtest::State());
    expect(classes);
    // Without a database the reason says so.
    twtest::State().Close();
    frmCourseInput closed(twtest::State());
    ASSERT_EQ(Calls().size(), 1u);
    EXPECT_EQ(Calls()[0].text, "读取记录失败\n没有打开的数据库");
}

// An add the disk refuses (the database file cannot grow) says why in the program's words: the
// engine's English text and the statement go to the log, never to the window.
TEST_F(MasterFormTest, AnAddTheDiskRefusesSaysWhyInChinese) {
    frmCourseInput form(twtest::State());
    Fill(form, "C2", "数学", "数学", "数");
    {
        twtest::NoFileGrowth fullDisk;
        Click(form, "cmdAppend");
    }
    ASSERT_EQ(Calls().size(), 1u);
    EXPECT_EQ(Calls()[0].text, "添加记录失败\n读写磁盘时出错");
    EXPECT_EQ(Calls()[0].title, "添加失败");
    EXPECT_EQ(PanelText(form, 1), "添加记录失败：读写磁盘时出错");
    EXPECT_FALSE(HasLatinLetters(Calls()[0].text + PanelTexts(form)))
        << (Calls()[0].text + PanelTexts(form)).toStdString();
    EXPECT_EQ(Count("select count(*) from Coursetb"), 0);
    // With room on the disk again the same add is stored.
    Click(form, "cmdAppend");
    EXPECT_EQ(PanelText(form, 1), "添加记录成功！添加了1条记录");
    EXPECT_EQ(Rows("select Code,Name from Coursetb"), "C2|数学");
}

TEST_F(MasterFormTest, FailedDeleteLeavesEverythingInPlace) {
    TwoCourses();
    Exec(
        "create trigger KeepCourses before delete on Coursetb "
        "begin select raise(abort, 'locked'); end");
    frmCourseInput form(twtest::State());
    ClickRow(Find<QTreeWidget>(form, "lstAllRecord"), "C1");
    Answer(vbYes);
    Click(form, "cmdDelete");
    ASSERT_EQ(Calls().size(), 2u);
    EXPECT_EQ(Calls()[1].text, "删除记录失败, '语文' 未被删除\n数据库出错");
    EXPECT_EQ(Calls()[1].title, "删除失败");
    EXPECT_EQ(PanelText(form, 1), "删除记录失败：数据库出错");
    EXPECT_EQ(Count("select count(*) from LessonListtb where CourseCode='C1'"), 1);
    EXPECT_EQ(Count("select count(*) from ClassPlantb where CourseCode='C1'"), 1);
    EXPECT_EQ(Count("select count(*) from Limittb where Code='C1'"), 2);
    EXPECT_EQ(Find<QTreeWidget>(form, "lstAllRecord")->topLevelItemCount(), 2);

    // An add and a modify the database refuses say its reason after their own texts too, in
    // the program's words: the engine's text and the statement stay in the log.
    Exec(
        "create trigger NoNewCourses before insert on Coursetb "
        "begin select raise(abort, 'no new courses'); end");
    Exec(
        "create trigger NoRenames before update on Coursetb "
        "begin select raise(abort, 'no renames'); end");
    Calls().clear();
    Fill(form, "C7", "物理", "物理课", "物");
    Click(form, "cmdAppend");
    ASSERT_EQ(Calls().size(), 1u);
    EXPECT_EQ(Calls()[0].text, "添加记录失败\n数据库出错");
    EXPECT_EQ(PanelText(form, 1), "添加记录失败：数据库出错");
    Calls().clear();
    ClickRow(Find<QTreeWidget>(form, "lstAllRecord"), "C1");
    Type(form, "txtName", "国文");
    Click(form, "cmdModify");
    ASSERT_EQ(Calls().size(), 1u);
    EXPECT_EQ(Calls()[0].text, "修改记录失败,代码为C1的记录未被修改\n数据库出错");
    EXPECT_EQ(Count("select count(*) from Coursetb"), 2);
    EXPECT_EQ(Text("select Name from Coursetb where Code='C1'"), "语文");
}

// Codes are found as the database compares them (ASCII letters without regard to case), and a
// stored code longer than the box takes is shown and acted on whole, never cut to another code;
// a new record still keeps the boxes' ten characters.
TEST_F(MasterFormTest, CodesAreMatchedAsStoredAndNeverCut) {
    frmCourseInput form(twtest::State());
    auto* list = Find<QTreeWidget>(form, "lstAllRecord");
    Fill(form, "Ａ1", "美术", "美术课", "美");
    Click(form, "cmdAppend");
    Fill(form, "ａ1", "书法", "书法课", "书");
    Click(form, "cmdAppend");
    ClickRow(list, "ａ1");
    Type(form, "txtName", "硬笔书法");
    Click(form, "cmdModify");
    EXPECT_EQ(ListRows(list), "Ａ1|美术|美术课|美;ａ1|硬笔书法|书法课|书");
    Answer(vbYes);
    Click(form, "cmdDelete");
    EXPECT_EQ(ListRows(list), "Ａ1|美术|美术课|美");
    EXPECT_EQ(Rows("select Code,Name from Coursetb"), "Ａ1|美术");

    Exec("insert into Teachertb values ('T123456789','张三','张三','张')");
    Exec("insert into Teachertb values ('T1234567890','李四老师一二三四五六','李四','李')");
    Exec("insert into LessonListtb values ('11',1,1,'C1','T123456789',1)");
    frmTeacherInput teachers(twtest::State());
    auto* teacherList = Find<QTreeWidget>(teachers, "lstAllRecord");
    ClickRow(teacherList, "T1234567890");
    EXPECT_EQ(Find<QLineEdit>(teachers, "txtCode")->text(), "T1234567890");
    EXPECT_EQ(Find<QLineEdit>(teachers, "txtName")->text(), "李四老师一二三四五六");
    Type(teachers, "txtCode", "T1234567891");
    Click(teachers, "cmdAppend");
    EXPECT_EQ(Calls().back().text, "老师代码不能超过10个字符。");
    EXPECT_TRUE(IsRed(Find<QLineEdit>(teachers, "txtCode")));
    EXPECT_EQ(Count("select count(*) from Teachertb"), 2);
    ClickRow(teacherList, "T1234567890");
    Type(teachers, "txtFullName", "李四老师");
    Click(teachers, "cmdModify");
    EXPECT_EQ(Rows("select Code,FullName from Teachertb order by Code"),
              "T123456789|张三;T1234567890|李四老师");
    Answer(vbYes);
    Click(teachers, "cmdDelete");
    EXPECT_EQ(Rows("select Code from Teachertb"), "T123456789");
    EXPECT_EQ(Count("select count(*) from LessonListtb"), 1);
    EXPECT_EQ(ListRows(teacherList), "T123456789|张三|张三|张");
}

// A delete whose record is no longer stored deleted nothing: a failure, and the rows that
// refer to the code stay.
TEST_F(MasterFormTest, DeleteOfARecordNoLongerStoredFails) {
    TwoCourses();
    frmCourseInput form(twtest::State());
    Exec("delete from Coursetb where Code='C1'");
    ClickRow(Find<QTreeWidget>(form, "lstAllRecord"), "C1");
    Answer(vbYes);
    Click(form, "cmdDelete");
    ASSERT_EQ(Calls().size(), 2u);
    EXPECT_EQ(Calls()[1].text, "删除记录失败, '语文' 未被删除\n数据库中没有这条记录，或它已被改动");
    EXPECT_EQ(PanelText(form, 1), "删除记录失败：数据库中没有这条记录，或它已被改动");
    EXPECT_EQ(Count("select count(*) from LessonListtb where CourseCode='C1'"), 1);
    EXPECT_EQ(Find<QTreeWidget>(form, "lstAllRecord")->topLevelItemCount(), 2);
}

TEST_F(MasterFormTest, ModifyRewritesTheNamesAndRefusesAChangedCode) {
    TwoCourses();
    frmCourseInput form(twtest::State());
    auto* list = Find<QTreeWidget>(form, "lstAllRecord");
    ClickRow(list, "C1");
    Type(form, "txtCode", "C1 ");
    Click(form, "cmdModify");
    ASSERT_EQ(Calls().size(), 1u);
    EXPECT_EQ(Calls()[0].text, "课程代码不能修改！");
    EXPECT_EQ(Calls()[0].style, tw::ui::vbExclamation);
    EXPECT_TRUE(IsRed(Find<QLineEdit>(form, "txtCode")));
    EXPECT_EQ(Text("select Name from Coursetb where Code='C1'"), "语文");

    Calls().clear();
    Type(form, "txtCode", "C1");
    Type(form, "txtName", " 国文 ");
    Click(form, "cmdModify");
    EXPECT_TRUE(Calls().empty());
    EXPECT_EQ(Rows("select Name,FullName from Coursetb where Code='C1'"), "国文|语文课");
    EXPECT_EQ(ListRows(list), "C1|国文|语文课|语;C2|数学|数学课|数");
    EXPECT_EQ(SelectedText(list), "C1");
    EXPECT_EQ(PanelText(form, 1), "修改记录成功！修改了1条记录");
    EXPECT_EQ(Find<QLineEdit>(form, "txtName")->text(), " 国文 ");
}

TEST_F(MasterFormTest, ClassroomModifyFollowsTheTypedCodeAndFailsForAnUnknownOne) {
    Exec("insert into ClassRoomtb values ('R1','机房','机房一','机')");
    Exec("insert into ClassRoomtb values ('R2','琴房','琴房二','琴')");
    frmClassRoomInput form(twtest::State());
    auto* list = Find<QTreeWidget>(form, "lstAllRecord");
    ClickRow(list, "R1");
    Type(form, "txtCode", "R2");
    Type(form, "txtName", "舞蹈房");
    Click(form, "cmdModify");
    EXPECT_EQ(Text("select Name from ClassRoomtb where Code='R2'"), "舞蹈房");
    EXPECT_EQ(Text("select Name from ClassRoomtb where Code='R1'"), "机房");
    EXPECT_EQ(SelectedText(list), "R2");

    Type(form, "txtCode", "R9");
    Click(form, "cmdModify");
    ASSERT_EQ(Calls().size(), 1u);
    EXPECT_EQ(Calls()[0].text,
              "修改记录失败,代码为R9的记录未被修改\n数据库中没有这条记录，或它已被改动");
    EXPECT_EQ(Calls()[0].title, "更修改失败");
    EXPECT_EQ(PanelText(form, 1), "修改记录失败：数据库中没有这条记录，或它已被改动");
}

TEST_F(MasterFormTest, ArrowKeysInTheListShowTheRowAndDeleteNeedsEveryBox) {
    TwoCourses();
    frmCourseInput form(twtest::State());
    auto* list = Find<QTreeWidget>(form, "lstAllRecord");
    ClickRow(list, "C1");
    Key(list, Qt::Key_Down);
    EXPECT_EQ(Find<QLineEdit>(form, "txtCode")->text(), "C2");
    EXPECT_EQ(Find<QLineEdit>(form, "txtShortName")->text(), "数");
    Type(form, "txtFullName", " ");
    Key(list, Qt::Key_Delete);
    ASSERT_EQ(Calls().size(), 1u);
    EXPECT_EQ(Calls()[0].text, "请输入课程全称。");
    EXPECT_EQ(Count("select count(*) from Coursetb"), 2);
    // Escape does not close the form.
    form.show();
    Key(list, Qt::Key_Escape);
    EXPECT_TRUE(form.isVisible());
}

TEST_F(MasterFormTest, HeadingClicksSortByTextInBothDirections) {
    for (const char* code : {"9", "10", "2"}) {
        Exec(QString("insert into Coursetb values ('%1','n%1','f%1','s%1')").arg(code));
    }
    frmCourseInput form(twtest::State());
    auto* list = Find<QTreeWidget>(form, "lstAllRecord");
    auto codes = [list] { return RowTexts(list); };
    emit list->header()->sectionClicked(1);  // another column: ascending
    EXPECT_EQ(codes(), "10,2,9");
    emit list->header()->sectionClicked(1);
    EXPECT_EQ(codes(), "9,2,10");
    emit list->header()->sectionClicked(0);  // new sort column keeps the direction
    EXPECT_EQ(codes(), "9,2,10");
    emit list->header()->sectionClicked(0);
    EXPECT_EQ(codes(), "10,2,9");
    // A new row takes its place in the order in force.
    Type(form, "txtCode", "1");
    Type(form, "txtName", "n1");
    Type(form, "txtFullName", "f1");
    Type(form, "txtShortName", "s1");
    Click(form, "cmdAppend");
    EXPECT_EQ(codes(), "1,10,2,9");
}

// The four master-data forms (courses, teachers, classrooms, classes) driven at random over a
// school whose lessons, plan rows and limits refer to their codes: adds with codes that differ
// only in case, width or blanks, names with quotes, blanks or ten characters, modifies after
// the code box was edited, deletes answered yes or no, the Delete and Enter keys, forms opened
// anew, and writes the database refuses. After every step the timetable keeps its rules, each
// form's list shows its table's rows, and a change that failed changed nothing. Every statement
// the forms send is recorded: the same seed sends the same statements in the same order.
TEST_F(MasterFormTest, RandomChangesKeepTheListsAndTheTimetableSound) {
    for (const char* sql : {
             "insert into Classtb values ('11','一（1）班','一年级（1）班','一（1）')",
             "insert into Classtb values ('110','一（10）班','一年级（10）班','一（10）')",
             "insert into Classtb values ('21','二（1）班','二年级（1）班','二（1）')",
             "insert into Classtb values ('602','六年级2班','六年级（2）班','六2')",
             "insert into Coursetb values ('C1','语文','语文课','语')",
             "insert into Coursetb values ('C2','数学','数学课','数')",
             "insert into Coursetb values ('Ｃ3','英语','英语课','英')",
             "insert into Teachertb values ('T1','张三','张三','张')",
             "insert into Teachertb values ('T2','李四','李四','李')",
             "insert into Teachertb values ('t3','王五','王五','王')",
             "insert into Teachertb values ('T1234567890','赵六','赵六','赵')",
             "insert into ClassRoomtb values ('R1','机房','机房一','机')",
             "insert into ClassRoomtb values ('R2','琴房','','')",
             "insert into ClassPlantb values ('11','C1','T1',4,0,2)",
             "insert into ClassPlantb values ('11','C2','T2',4,0,1)",
             "insert into ClassPlantb values ('110','C1','t3',3,0,1)",
             "insert into ClassPlantb values ('21','Ｃ3','T2',2,0,1)",
             "insert into ClassPlantb values ('602','C2','T1234567890',2,0,0)",
             "insert into LessonListtb values ('11',1,1,'C1','T1',1)",
             "insert into LessonListtb values ('11',2,1,'C1','T1',0)",
             "insert into LessonListtb values ('11',1,2,'C2','T2',0)",
             "insert into LessonListtb values ('110',1,1,'C1','t3',0)",
             "insert into LessonListtb values ('21',1,3,'Ｃ3','T2',1)",
             "insert into Limittb values (0,'11',1,1,3)",
             "insert into Limittb values (1,'C1',2,2,0)",
             "insert into Limittb values (2,'T2',3,3,3)",
             "insert into Limittb values (3,'R1',4,4,0)",
             // Writes the database refuses: the form reports a failure and nothing changes.
             "create trigger KeepC2 before delete on Coursetb when old.Code='C2' "
             "begin select raise(abort, 'kept'); end",
             "create trigger NoBadTeacher before insert on Teachertb when new.Name='坏' "
             "begin select raise(abort, 'refused'); end",
             "create trigger NoBadRoomName before update on ClassRoomtb when new.Name='坏' "
             "begin select raise(abort, 'refused'); end",
             "create trigger NoBadClassName before update on Classtb when new.FullName='坏' "
             "begin select raise(abort, 'refused'); end",
         }) {
        Exec(sql);
    }
    twtest::State().Db().OpenRecordset("PRAGMA synchronous=OFF")->Close();
    // The test's own reads stay out of the record of what the forms send.
    auto unlogged = [](auto read) {
        auto log = twtest::State().Db().SetStatementLog({});
        auto value = read();
        twtest::State().Db().SetStatementLog(std::move(log));
        return value;
    };
    auto everything = [this] {
        QString all;
        for (const char* table : {"Classtb", "Coursetb", "Teachertb", "ClassRoomtb"}) {
            all += Rows(QString("select * from %1 order by Code").arg(table)) + "/";
        }
        return all + Rows("select * from ClassPlantb order by ClassCode,CourseCode,TeacherCode") +
               "/" + Rows("select * from LessonListtb order by ClassCode,Day,LessonNo") + "/" +
               Rows("select * from Limittb order by Kind,Code,Day,LessonNo");
    };
    auto sorted = [](QStringList rows) {
        rows.sort();
        return rows.join(';');
    };
    const char* const tables[4] = {"Coursetb", "Teachertb", "ClassRoomtb", "Classtb"};
    std::unique_ptr<QWidget> forms[4];
    auto open = [&forms](int f) {
        forms[f].reset();
        if (f == 0) forms[f] = std::make_unique<frmCourseInput>(twtest::State());
        if (f == 1) forms[f] = std::make_unique<frmTeacherInput>(twtest::State());
        if (f == 2) forms[f] = std::make_unique<frmClassRoomInput>(twtest::State());
        if (f == 3) forms[f] = std::make_unique<frmClassInput>(twtest::State());
    };

    twtest::StatementRecorder recorder(twtest::State().Db());
    for (int f = 0; f < 4; ++f) open(f);
    std::mt19937 rng(3101);
    auto pick = [&rng](int n) { return static_cast<int>(rng() % static_cast<unsigned>(n)); };
    const QStringList codes = {"C1", "c1",  " C2", "C4 ", "Ｃ3", "ｃ3", "T1",         "t3",
                               "R1", "r2 ", "X'1", "11",  "",    "  ",  "T1234567890"};
    const QStringList names = {
        "语文", "数学", " 物理 ", "O'Brien", "", "  ", "一二三四五六七八九十", "名", "坏"};
    auto someName = [&] { return names[pick(names.size())]; };
    int added = 0, modified = 0, deleted = 0, failed = 0;
    for (int step = 0; step < 1500; ++step) {
        const int f = pick(4);
        QWidget& form = *forms[f];
        auto* list = Find<QTreeWidget>(form, "lstAllRecord");
        const QString before = unlogged(everything);
        // The status panel shows this step's outcome only.
        form.findChild<QLabel*>("Panel1")->setText(QString());
        Calls().clear();
        env_->answers.clear();
        auto clickAnyRow = [&] {
            if (list->topLevelItemCount() == 0) return;
            QTreeWidgetItem* row = list->topLevelItem(pick(list->topLevelItemCount()));
            list->setCurrentItem(row);
            emit list->itemClicked(row, 0);
        };
        auto fillNames = [&] {
            for (const char* box : {"txtName", "txtFullName", "txtShortName"}) {
                if (pick(3) > 0) Type(form, box, someName());
            }
        };
        auto chooseClass = [&] {
            if (pick(4) > 0) Choose(Find<QComboBox>(form, "cmbGrade"), pick(3));
            if (pick(4) > 0) Choose(Find<QComboBox>(form, "cmbClass"), pick(11));
        };
        const int action = pick(12);
        if (action == 0) {
            open(f);
            continue;
        } else if (action <= 3) {
            // A new record from the keyboard (or from the lists for a class).
            if (f == 3) {
                chooseClass();
            } else {
                Type(form, "txtCode", codes[pick(codes.size())]);
            }
            fillNames();
            if (f != 3 && pick(2) == 0) {
                Key(Find<QLineEdit>(form, "txtCode"), Qt::Key_Return);
            } else {
                Click(form, "cmdAppend");
            }
        } else if (action <= 7) {
            clickAnyRow();
            if (pick(4) == 0) {
                if (f == 3) {
                    chooseClass();
                } else {
                    Type(form, "txtCode", codes[pick(codes.size())]);
                }
            }
            fillNames();
            if (action == 7 && f != 3) clickAnyRow();  // another row's names, then modify
            Click(form, "cmdModify");
        } else {
            clickAnyRow();
            if (pick(5) == 0) fillNames();
            Answer(pick(4) == 0 ? vbNo : vbYes);
            if (action == 11) {
                Key(list, Qt::Key_Delete);
            } else {
                Click(form, "cmdDelete");
            }
        }
        const QString panel = PanelText(form, 1);
        added += panel.startsWith("添加记录成功");
        modified += panel.startsWith("修改记录成功");
        deleted += panel.startsWith("删除记录成功");
        const bool refused = panel.contains("失败");
        failed += refused;
        ASSERT_EQ(unlogged([] {
                      return tw::store::BrokenTimetableRule(twtest::State().Db(), {6, {}});
                  }),
                  "")
            << "step " << step << ", form " << f << ", action " << action;
        if (refused) {
            ASSERT_EQ(unlogged(everything), before) << "step " << step << ", form " << f;
        }
        QStringList shown;
        for (int i = 0; i < list->topLevelItemCount(); ++i) {
            QStringList columns;
            for (int c = 0; c < 4; ++c) columns << list->topLevelItem(i)->text(c);
            shown << columns.join('|');
        }
        const QString stored = unlogged([&] {
            return Rows(QString("select Code,Name,FullName,ShortName from %1").arg(tables[f]));
        });
        ASSERT_EQ(sorted(shown), sorted(stored.split(';', Qt::SkipEmptyParts)))
            << "step " << step << ", form " << f << ", action " << action;
    }
    for (auto& form : forms) form.reset();
    EXPECT_GT(added, 100);
    EXPECT_GT(modified, 100);
    EXPECT_GT(deleted, 100);
    EXPECT_GT(failed, 50);
    EXPECT_EQ(recorder.Count(), 1435);
    EXPECT_EQ(recorder.Digest(), "004d4a888b811eb3");
}

}  // namespace
