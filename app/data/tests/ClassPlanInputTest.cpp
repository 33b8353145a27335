// The teaching plan form: plan rows per class, the rule of one teacher per course, totals and
// the teacher summary, and what reaches ClassPlantb and LessonListtb.
#include <QSet>
#include <QStyle>
#include <QStyleOptionComboBox>
#include <random>

#include "DataFormTestSupport.h"
#include "FileGrowthTestSupport.h"
#include "FitTextTestSupport.h"
#include "StatementLogTestSupport.h"
#include "data/frmClassPlanInput.h"
#include "store/Invariants.h"
#include "store/Lessons.h"
#include "timetable/mdlBuildKb.h"
#include "ui/Combo.h"

using tw::data::frmClassPlanInput;

using namespace datatest;
using tw::ui::ComboCode;
using tw::ui::vbNo;
using tw::ui::vbYes;

namespace {

class PlanFormTest : public DataFormTest {
  protected:
    void School() {
        Exec("insert into Classtb values ('11','一（1）班','一年级（1）班','一（1）')");
        Exec("insert into Classtb values ('12','一（2）班','一年级（2）班','一（2）')");
        Exec("insert into Coursetb values ('C1','语文','语文','语')");
        Exec("insert into Coursetb values ('C2','数学','数学','数')");
        Exec("insert into Coursetb values ('C3','语文阅读','语文阅读','读')");
        Exec("insert into Teachertb values ('T1','张三','张三','张')");
        Exec("insert into Teachertb values ('T2','李四','李四','李')");
    }
    void Plan(const char* cls, const char* course, const char* teacher, int count) {
        Exec(QString("insert into ClassPlantb (ClassCode,CourseCode,TeacherCode,Count) "
                     "values ('%1','%2','%3',%4)")
                 .arg(cls, course, teacher)
                 .arg(count));
    }
    void Enter(QWidget& form, const QString& course, const QString& teacher, const QString& count) {
        Choose(Find<QComboBox>(form, "CmbCourse"), course);
        Choose(Find<QComboBox>(form, "CmbTeacher"), teacher);
        Type(form, "txtCount", count);
    }
    QString Inputs(QWidget& form) {
        return Find<QComboBox>(form, "CmbCourse")->currentText() + "|" +
               Find<QComboBox>(form, "CmbTeacher")->currentText() + "|" +
               Find<QLineEdit>(form, "txtCount")->text();
    }
};

TEST_F(PlanFormTest, OpeningShowsTheFirstClassWithTotalsAndTheFirstRowsTeacher) {
    School();
    Plan("11", "C1", "T1", 5);
    Plan("11", "C2", "T2", 4);
    Plan("12", "C1", "T2", 6);
    frmClassPlanInput form(twtest::State());
    EXPECT_EQ(form.windowTitle(), "班级计划");
    EXPECT_EQ(form.CurrentClassCode(), "11");
    auto* list = Find<QTreeWidget>(form, "lstAllRecord");
    EXPECT_EQ(ListRows(list), "语文|张三|5;数学|李四|4");
    EXPECT_EQ(SelectedText(list), "语文");
    EXPECT_EQ(PanelText(form, 2), "一（1）班");
    EXPECT_EQ(PanelText(form, 3), "2 门");
    EXPECT_EQ(PanelText(form, 4), "9 节");
    EXPECT_EQ(Inputs(form), "语文|张三|5");
    EXPECT_EQ(Find<QComboBox>(form, "CmbTeacher2")->currentText(), "张三");
    EXPECT_EQ(ListRows(Find<QTreeWidget>(form, "lstTeacherInfo")), "一（1）班|语文|5");
    EXPECT_EQ(Find<QLabel>(form, "lblTeacherSum")->text(), "共  5  节课");

    // The teacher summary covers every class.
    Choose(Find<QComboBox>(form, "CmbTeacher2"), "李四");
    EXPECT_EQ(ListRows(Find<QTreeWidget>(form, "lstTeacherInfo")),
              "一（1）班|数学|4;一（2）班|语文|6");
    EXPECT_EQ(Find<QLabel>(form, "lblTeacherSum")->text(), "共  10  节课");
}

// Two teachers named 王芳 with their own full names: the teacher lists, the plan rows and the
// teacher summary show each by her full name, and the one chosen by what it shows is the one
// whose row is stored and shown. The stored names stay as they are.
TEST_F(PlanFormTest, NamesakeTeachersShowTheirFullNamesInListsAndRows) {
    School();
    Exec("insert into Teachertb values ('T5','王芳','王芳（语文）','王')");
    Exec("insert into Teachertb values ('T6','王芳','王芳（数学）','王')");
    Plan("12", "C1", "T5", 3);
    frmClassPlanInput form(twtest::State());
    for (const char* name : {"CmbTeacher", "CmbTeacher2"}) {
        auto* combo = Find<QComboBox>(form, name);
        QStringList texts;
        for (int i = 0; i < combo->count(); ++i) texts << combo->itemText(i);
        EXPECT_EQ(texts.join(' '), "张三 李四 王芳（语文） 王芳（数学）") << name;
    }
    Enter(form, "数学", "王芳（数学）", "4");
    Click(form, "cmdAppend");
    EXPECT_EQ(Rows("select ClassCode,CourseCode,TeacherCode,Count from ClassPlantb "
                   "order by ClassCode"),
              "11|C2|T6|4;12|C1|T5|3");
    auto* list = Find<QTreeWidget>(form, "lstAllRecord");
    EXPECT_EQ(ListRows(list), "数学|王芳（数学）|4");
    EXPECT_EQ(Find<QComboBox>(form, "CmbTeacher2")->currentText(), "王芳（数学）");
    EXPECT_EQ(ListRows(Find<QTreeWidget>(form, "lstTeacherInfo")), "一（1）班|数学|4");
    Choose(Find<QComboBox>(form, "CmbTeacher2"), "王芳（语文）");
    EXPECT_EQ(ListRows(Find<QTreeWidget>(form, "lstTeacherInfo")), "一（2）班|语文|3");
    EXPECT_EQ(Find<QLabel>(form, "lblTeacherSum")->text(), "共  3  节课");

    // A click on the row brings up its own 王芳; the change goes to the other one by her text.
    ClickRow(list, "数学");
    EXPECT_EQ(Find<QComboBox>(form, "CmbTeacher")->currentText(), "王芳（数学）");
    Choose(Find<QComboBox>(form, "CmbTeacher"), "王芳（语文）");
    Click(form, "cmdModify");
    EXPECT_EQ(PanelText(form, 1), "修改记录成功！修改了1条记录");
    EXPECT_EQ(Rows("select TeacherCode from ClassPlantb where ClassCode='11'"), "T5");
    EXPECT_EQ(ListRows(list), "数学|王芳（语文）|4");
    EXPECT_EQ(Rows("select Name from Teachertb where Code in ('T5','T6') order by Code"),
              "王芳;王芳");
}

TEST_F(PlanFormTest, PreviousAndNextWalkTheClassesAndStopAtTheEnds) {
    School();
    Plan("12", "C2", "T1", 3);
    frmClassPlanInput form(twtest::State());
    auto* cls = Find<QComboBox>(form, "CmbClass");
    Click(form, "CmdPrevClass");
    EXPECT_EQ(cls->currentIndex(), 0);
    Click(form, "CmdNextClass");
    EXPECT_EQ(form.CurrentClassCode(), "12");
    EXPECT_EQ(PanelText(form, 2), "一（2）班");
    EXPECT_EQ(ListRows(Find<QTreeWidget>(form, "lstAllRecord")), "数学|张三|3");
    Click(form, "CmdNextClass");
    EXPECT_EQ(cls->currentIndex(), 1);
    Click(form, "CmdPrevClass");
    EXPECT_EQ(form.CurrentClassCode(), "11");
    EXPECT_EQ(PanelText(form, 3), "0 门");
    EXPECT_EQ(PanelText(form, 4), "0 节");
    EXPECT_EQ(Inputs(form), "||");
}

TEST_F(PlanFormTest, WithoutClassesEverythingIsRefusedNamingTheClass) {
    frmClassPlanInput form(twtest::State());
    Click(form, "cmdAppend");
    ASSERT_EQ(Calls().size(), 1u);
    EXPECT_EQ(Calls()[0].text, "请选择班级。");
    EXPECT_EQ(Calls()[0].title, "输入检查信息");
    for (const char* name : {"txtCount", "CmbTeacher", "CmbCourse", "CmbClass"}) {
        EXPECT_TRUE(IsRed(Find<QWidget>(form, name))) << name;
    }
    EXPECT_EQ(form.focusWidget(), Find<QComboBox>(form, "CmbClass"));
    EXPECT_EQ(Count("select count(*) from ClassPlantb"), 0);
}

TEST_F(PlanFormTest, CountMustBeANumberAndIsRoundedAsTheDatabaseRounds) {
    School();
    frmClassPlanInput form(twtest::State());
    Enter(form, "语文", "张三", "");
    Click(form, "cmdAppend");
    Enter(form, "语文", "张三", "abc");
    Click(form, "cmdAppend");
    ASSERT_EQ(Calls().size(), 2u);
    EXPECT_EQ(Calls()[0].text, "请输入节数。");
    EXPECT_EQ(Calls()[1].text, "节数必须是数字。");
    EXPECT_EQ(form.focusWidget(), Find<QLineEdit>(form, "txtCount"));
    EXPECT_EQ(Count("select count(*) from ClassPlantb"), 0);

    // To the nearest whole number, an exact half to the even neighbour.
    Enter(form, "语文", "张三", "2.7");
    Click(form, "cmdAppend");
    Enter(form, "数学", "李四", "-1.5");
    Click(form, "cmdAppend");
    Enter(form, "语文阅读", "李四", "2.5");
    Click(form, "cmdAppend");
    EXPECT_EQ(Rows("select CourseCode,Count,typeof(Count) from ClassPlantb order by CourseCode"),
              "C1|3|integer;C2|-2|integer;C3|2|integer");
    EXPECT_EQ(Calls().size(), 2u);
}

TEST_F(PlanFormTest, AddingTheSameCourseAndTeacherAgainAddsToTheCount) {
    School();
    frmClassPlanInput form(twtest::State());
    Enter(form, "数学", "李四", "4");
    Click(form, "cmdAppend");
    EXPECT_EQ(PanelText(form, 1), "添加记录成功！添加了1条记录");
    Enter(form, "数学", "李四", "2");
    auto* count = Find<QLineEdit>(form, "txtCount");
    Key(count, Qt::Key_Return);
    EXPECT_TRUE(Calls().empty());
    EXPECT_EQ(Rows("select ClassCode,CourseCode,TeacherCode,Count,IsAutoBuild,BuildCount "
                   "from ClassPlantb"),
              "11|C2|T2|6|0|0");
    EXPECT_EQ(ListRows(Find<QTreeWidget>(form, "lstAllRecord")), "数学|李四|6");
    EXPECT_EQ(PanelText(form, 3), "1 门");
    EXPECT_EQ(PanelText(form, 4), "6 节");
    EXPECT_EQ(Inputs(form), "||");
    EXPECT_EQ(form.focusWidget(), Find<QComboBox>(form, "CmbCourse"));
    EXPECT_EQ(Find<QLabel>(form, "lblTeacherSum")->text(), "共  6  节课");
}

TEST_F(PlanFormTest, ASecondTeacherForACourseIsRefused) {
    School();
    Plan("11", "C1", "T1", 5);
    frmClassPlanInput form(twtest::State());
    Enter(form, "语文", "李四", "2");
    Click(form, "cmdAppend");
    ASSERT_EQ(Calls().size(), 1u);
    EXPECT_EQ(Calls()[0].text, "添加记录失败  不允许一门课多个老师");
    EXPECT_EQ(Calls()[0].title, "添加失败");
    EXPECT_EQ(PanelText(form, 1), "添加记录失败   不允许一门课多个老师");
    EXPECT_EQ(Rows("select TeacherCode,Count from ClassPlantb"), "T1|5");
    EXPECT_EQ(Inputs(form), "语文|李四|2");
}

// Every read of the form that fails says so with its reason, once for each thing the user
// does: the name lists and combos at the opening, the class's plan on a class choice, the
// teacher summary on a teacher choice.
TEST_F(PlanFormTest, ReadsThatFailSayWhyOnceAClick) {
    School();
    Plan("11", "C1", "T1", 5);
    for (const char* table : {"Classtb", "Coursetb", "Teachertb", "ClassPlantb"}) {
        Exec(QString("alter table %1 rename to Gone").arg(table));
        Calls().clear();
        {
            frmClassPlanInput form(twtest::State());
            ASSERT_EQ(Calls().size(), 1u) << table;
            EXPECT_EQ(Calls()[0].text, "读取记录失败\n数据库出错") << table;
            EXPECT_EQ(Calls()[0].title, "读取失败");
            EXPECT_EQ(PanelText(form, 1), "读取记录失败：数据库出错") << table;
        }
        Exec(QString("alter table Gone rename to %1").arg(table));
    }
    frmClassPlanInput form(twtest::State());
    Calls().clear();
    Exec("alter table ClassPlantb rename to Gone");
    Choose(Find<QComboBox>(form, "CmbClass"), 1);
    ASSERT_EQ(Calls().size(), 1u);
    EXPECT_EQ(PanelText(form, 1), "读取记录失败：数据库出错");
    Choose(Find<QComboBox>(form, "CmbTeacher2"), 1);
    ASSERT_EQ(Calls().size(), 2u);
    EXPECT_EQ(Calls()[1].text, "读取记录失败\n数据库出错");
    Exec("alter table Gone rename to ClassPlantb");
}

// An add the disk refuses says why in the program's words, without the engine's text or the
// statement.
TEST_F(PlanFormTest, AnAddTheDiskRefusesSaysWhyInChinese) {
    School();
    frmClassPlanInput form(twtest::State());
    Enter(form, "语文", "张三", "4");
    {
        twtest::NoFileGrowth fullDisk;
        Click(form, "cmdAppend");
    }
    ASSERT_EQ(Calls().size(), 1u);
    EXPECT_EQ(Calls()[0].text, "添加记录失败\n读写磁盘时出错");
    EXPECT_EQ(PanelText(form, 1), "添加记录失败：读写磁盘时出错");
    EXPECT_FALSE(HasLatinLetters(Calls()[0].text + PanelTexts(form)))
        << (Calls()[0].text + PanelTexts(form)).toStdString();
    EXPECT_EQ(Count("select count(*) from ClassPlantb"), 0);
    EXPECT_EQ(Inputs(form), "语文|张三|4");
}

TEST_F(PlanFormTest, DeleteTakesThePlanRowAndItsLessonsTogether) {
    School();
    Plan("11", "C1", "T1", 5);
    Plan("11", "C2", "T2", 4);
    Plan("12", "C1", "T1", 5);
    Exec("insert into LessonListtb values ('11',1,1,'C1','T1',0)");
    Exec("insert into LessonListtb values ('11',1,2,'C1','T1',1)");
    Exec("insert into LessonListtb values ('11',1,3,'C2','T2',2)");
    Exec("insert into LessonListtb values ('12',1,1,'C1','T1',1)");
    frmClassPlanInput form(twtest::State());
    auto* list = Find<QTreeWidget>(form, "lstAllRecord");

    Answer(vbNo);
    Click(form, "cmdDelete");
    ASSERT_EQ(Calls().size(), 1u);
    EXPECT_EQ(Calls()[0].text, "警告： 确定要删除 '张三'的'语文' 吗？(Y/N)？");
    EXPECT_EQ(Count("select count(*) from ClassPlantb"), 3);

    Exec(
        "create trigger KeepPlan before delete on ClassPlantb "
        "begin select raise(abort, 'locked'); end");
    Answer(vbYes);
    Click(form, "cmdDelete");
    ASSERT_EQ(Calls().size(), 3u);
    EXPECT_EQ(Calls()[2].text, "删除记录失败, '语文' 未被删除\n数据库出错");
    EXPECT_EQ(PanelText(form, 1), "删除记录失败：数据库出错");
    EXPECT_EQ(Count("select count(*) from LessonListtb"), 4);
    Exec("drop trigger KeepPlan");

    // Another row is selected by now: the list still loses the deleted course's row.
    list->setCurrentItem(list->topLevelItem(1));
    Answer(vbYes);
    Click(form, "cmdDelete");
    EXPECT_EQ(Rows("select ClassCode,CourseCode from ClassPlantb order by ClassCode"),
              "11|C2;12|C1");
    EXPECT_EQ(Rows("select ClassCode,LessonNo from LessonListtb order by ClassCode,LessonNo"),
              "11|3;12|1");
    EXPECT_EQ(ListRows(list), "数学|李四|4");
    EXPECT_EQ(PanelText(form, 1), "删除记录成功！删除了1条记录");
    EXPECT_EQ(PanelText(form, 3), "1 门");
    EXPECT_EQ(PanelText(form, 4), "4 节");
    EXPECT_EQ(Find<QLabel>(form, "lblTeacherSum")->text(), "共  5  节课");
    EXPECT_EQ(Inputs(form), "||");
}

TEST_F(PlanFormTest, ModifyChangesTeacherAndCountOfTheSelectedRowOnly) {
    School();
    Plan("11", "C1", "T1", 5);
    Plan("11", "C3", "T1", 2);
    Exec("update ClassPlantb set BuildCount=3, IsAutoBuild=1 where CourseCode='C1'");
    frmClassPlanInput form(twtest::State());
    auto* list = Find<QTreeWidget>(form, "lstAllRecord");
    ClickRow(list, "语文");
    Choose(Find<QComboBox>(form, "CmbTeacher"), "李四");
    Type(form, "txtCount", " 3.6 ");
    Click(form, "cmdModify");
    EXPECT_TRUE(Calls().empty());
    // 3.6 is stored as the database rounds it; BuildCount counts the row's placed lessons.
    EXPECT_EQ(Rows("select CourseCode,TeacherCode,Count,IsAutoBuild,BuildCount from ClassPlantb "
                   "order by CourseCode"),
              "C1|T2|4|1|0;C3|T1|2|0|0");
    EXPECT_EQ(ListRows(list), "语文|李四|4;语文阅读|张三|2");
    EXPECT_EQ(PanelText(form, 1), "修改记录成功！修改了1条记录");
    EXPECT_EQ(PanelText(form, 4), "6 节");
    EXPECT_EQ(Find<QComboBox>(form, "CmbTeacher2")->currentText(), "李四");
    EXPECT_EQ(Find<QLabel>(form, "lblTeacherSum")->text(), "共  4  节课");
}

TEST_F(PlanFormTest, ModifyThatMatchesNoStoredRowIsAFailure) {
    School();
    Plan("11", "C1", "T1", 5);
    frmClassPlanInput form(twtest::State());
    // The stored count changes behind the form's back.
    Exec("update ClassPlantb set Count=7");
    Choose(Find<QComboBox>(form, "CmbTeacher"), "李四");
    Click(form, "cmdModify");
    ASSERT_EQ(Calls().size(), 1u);
    EXPECT_EQ(Calls()[0].text, "修改记录失败！\n数据库中没有这条记录，或它已被改动");
    EXPECT_EQ(Calls()[0].title, "修改失败");
    EXPECT_EQ(PanelText(form, 1), "修改记录失败：数据库中没有这条记录，或它已被改动");
    EXPECT_EQ(Rows("select TeacherCode,Count from ClassPlantb"), "T1|7");
    EXPECT_EQ(ListRows(Find<QTreeWidget>(form, "lstAllRecord")), "语文|张三|5");
}

TEST_F(PlanFormTest, ModifyRefusesAnotherCourse) {
    School();
    Plan("11", "C1", "T1", 5);
    frmClassPlanInput form(twtest::State());
    Choose(Find<QComboBox>(form, "CmbCourse"), "数学");
    Click(form, "cmdModify");
    ASSERT_EQ(Calls().size(), 1u);
    EXPECT_EQ(Calls()[0].text, "修改记录失败  只允许修改老师和节数");
    EXPECT_EQ(PanelText(form, 1), "修改记录失败   只允许修改老师和节数");
    auto* course = Find<QComboBox>(form, "CmbCourse");
    EXPECT_EQ(course->currentText(), "语文");
    EXPECT_TRUE(IsRed(course));
    EXPECT_EQ(form.focusWidget(), course);
    EXPECT_EQ(Rows("select CourseCode,TeacherCode,Count from ClassPlantb"), "C1|T1|5");
}

TEST_F(PlanFormTest, SortOrderOfTheListStaysForLaterReloads) {
    School();
    Plan("11", "C1", "T1", 9);
    Plan("11", "C2", "T2", 10);
    frmClassPlanInput form(twtest::State());
    auto* list = Find<QTreeWidget>(form, "lstAllRecord");
    emit list->header()->sectionClicked(2);
    EXPECT_EQ(ListRows(list), "数学|李四|10;语文|张三|9");
    Enter(form, "语文阅读", "张三", "1");
    Click(form, "cmdAppend");
    EXPECT_EQ(ListRows(list), "语文阅读|张三|1;数学|李四|10;语文|张三|9");
    EXPECT_EQ(PanelText(form, 4), "20 节");
}

}  // namespace

namespace {

TEST_F(PlanFormTest, StoredOddRowsStillLoadAndCountAsNothing) {
    School();
    Exec(
        "insert into ClassPlantb (ClassCode,CourseCode,TeacherCode,Count) "
        "values ('11','A9','T1',NULL)");
    Plan("11", "C2", "T2", 4);
    frmClassPlanInput form(twtest::State());
    auto* list = Find<QTreeWidget>(form, "lstAllRecord");
    EXPECT_EQ(ListRows(list), "|张三|;数学|李四|4");
    EXPECT_EQ(PanelText(form, 3), "2 门");
    EXPECT_EQ(PanelText(form, 4), "4 节");
    // The first row names no known course: the boxes stay empty.
    EXPECT_EQ(Inputs(form), "||");
    ClickRow(list, "数学");
    EXPECT_EQ(Inputs(form), "数学|李四|4");
}

TEST_F(PlanFormTest, TeacherWithoutPlanRowsShowsAnEmptySummary) {
    School();
    Plan("11", "C1", "T1", 5);
    frmClassPlanInput form(twtest::State());
    auto* teacher2 = Find<QComboBox>(form, "CmbTeacher2");
    Choose(teacher2, "李四");
    EXPECT_EQ(Find<QTreeWidget>(form, "lstTeacherInfo")->topLevelItemCount(), 0);
    EXPECT_EQ(Find<QLabel>(form, "lblTeacherSum")->text(), "共  0  节课");
}

TEST_F(PlanFormTest, DeleteNeedsACountAndACountTooLargeIsNotAdded) {
    School();
    Plan("11", "C1", "T1", 30000);
    frmClassPlanInput form(twtest::State());
    Type(form, "txtCount", "");
    Click(form, "cmdDelete");
    ASSERT_EQ(Calls().size(), 1u);
    EXPECT_EQ(Calls()[0].text, "请输入节数。");
    EXPECT_EQ(Count("select count(*) from ClassPlantb"), 1);

    // A count the row cannot hold says which counts it can take: with 30000 stored, up to 2767
    // more; a count no row can hold, the whole range.
    Enter(form, "语文", "张三", "5000");
    Click(form, "cmdAppend");
    ASSERT_EQ(Calls().size(), 2u);
    EXPECT_EQ(Calls()[1].text, "添加记录失败\n节数必须是 -32768 到 2767 之间的整数");
    EXPECT_EQ(PanelText(form, 1), "添加记录失败：节数必须是 -32768 到 2767 之间的整数");
    EXPECT_EQ(Text("select Count from ClassPlantb"), "30000");
    Enter(form, "数学", "张三", "99999");
    Click(form, "cmdAppend");
    ASSERT_EQ(Calls().size(), 3u);
    EXPECT_EQ(Calls()[2].text, "添加记录失败\n节数必须是 -32768 到 32767 之间的整数");
    EXPECT_EQ(Count("select count(*) from ClassPlantb"), 1);
}

}  // namespace

namespace {

// Teachers of the same name, codes that decide, and the lessons that follow a plan row.
class PlanFormSchoolTest : public PlanFormTest {
  protected:
    void SetUp() override {
        PlanFormTest::SetUp();
        for (const char* row : {"'11','一（1）班'", "'12','一（2）班'", "'21','二（1）班'"}) {
            Exec(QString("insert into Classtb values (%1,'','')").arg(row));
        }
        for (const char* row : {"'C1','语文'", "'C2','数学'", "'C3','英语'", "'C4','音乐'"}) {
            Exec(QString("insert into Coursetb values (%1,'','')").arg(row));
        }
        // In code order, as the teacher lists show them: two 张伟 and two 李娜.
        for (const char* row :
             {"'T1','张伟'", "'T2','张伟'", "'T3','李娜'", "'T4','李娜'", "'T5','王芳'"}) {
            Exec(QString("insert into Teachertb values (%1,'','')").arg(row));
        }
    }
    QString Everything() {
        return Rows("select * from ClassPlantb order by ClassCode,CourseCode,TeacherCode") + "/" +
               Rows("select * from LessonListtb order by ClassCode,Day,LessonNo");
    }
    // The current class's plan rows as the list shows them and as the tables hold them, sorted.
    static QStringList Sorted(QStringList rows) {
        rows.sort();
        return rows;
    }
    // Each row's course and teacher as the form's course and teacher lists show them.
    QStringList StoredPlan(QWidget& form, const QString& cls) {
        auto shown = [&form](const char* combo, const QString& code) {
            auto* c = Find<QComboBox>(form, combo);
            return c->itemText(tw::ui::ComboIndexOfCode(c, code));
        };
        QStringList rows;
        for (const QString& r : Rows("select P.CourseCode,P.TeacherCode,P.Count from ClassPlantb "
                                     "P, Coursetb C, Teachertb T where P.CourseCode=C.Code and "
                                     "P.TeacherCode=T.Code and P.ClassCode='" +
                                     cls + "'")
                                    .split(';', Qt::SkipEmptyParts)) {
            const QStringList c = r.split('|');
            rows << shown("CmbCourse", c[0]) + "|" + shown("CmbTeacher", c[1]) + "|" + c[2];
        }
        return Sorted(rows);
    }
};

TEST_F(PlanFormSchoolTest, NameListsComeInTheOrderEnteredAndNextWalksIt) {
    Exec("insert into Classtb values ('110','一（10）班','','')");
    Exec("insert into Classtb values ('01','学前（1）班','','')");
    frmClassPlanInput form(twtest::State());
    auto* cls = Find<QComboBox>(form, "CmbClass");
    QStringList shown;
    for (int i = 0; i < cls->count(); ++i) {
        EXPECT_EQ(cls->currentIndex(), i);
        shown << cls->currentText() + "=" + form.CurrentClassCode();
        Click(form, "CmdNextClass");
    }
    EXPECT_EQ(shown.join(' '),
              "一（1）班=11 一（2）班=12 二（1）班=21 一（10）班=110 学前（1）班=01");
    auto* course = Find<QComboBox>(form, "CmbCourse");
    EXPECT_EQ(course->itemText(0) + course->itemText(3), "语文音乐");
}

// Choosing the second of two teachers of the same name stores, changes and deletes that
// teacher's row, never the first one's.
TEST_F(PlanFormSchoolTest, TeachersOfTheSameNameKeepTheirOwnRows) {
    frmClassPlanInput form(twtest::State());
    auto* teacher = Find<QComboBox>(form, "CmbTeacher");
    Choose(Find<QComboBox>(form, "CmbCourse"), "语文");
    Choose(teacher, 1);  // the second 张伟
    Type(form, "txtCount", "4");
    Click(form, "cmdAppend");
    EXPECT_EQ(Rows("select CourseCode,TeacherCode,Count from ClassPlantb"), "C1|T2|4");
    EXPECT_EQ(Find<QComboBox>(form, "CmbTeacher2")->currentIndex(), 1);

    // The row shows its own teacher, and a modify finds it.
    ClickRow(Find<QTreeWidget>(form, "lstAllRecord"), "语文");
    EXPECT_EQ(teacher->currentIndex(), 1);
    Choose(teacher, 3);  // the second 李娜
    Type(form, "txtCount", "5");
    Click(form, "cmdModify");
    EXPECT_EQ(PanelText(form, 1), "修改记录成功！修改了1条记录");
    EXPECT_EQ(Rows("select CourseCode,TeacherCode,Count from ClassPlantb"), "C1|T4|5");

    // A delete of a row that is not stored (the first 李娜 has none) deletes nothing: failure.
    Choose(Find<QComboBox>(form, "CmbCourse"), "语文");
    Choose(teacher, 2);
    Type(form, "txtCount", "5");
    Answer(vbYes);
    Click(form, "cmdDelete");
    EXPECT_EQ(PanelText(form, 1), "删除记录失败：数据库中没有这条记录，或它已被改动");
    EXPECT_EQ(Calls().back().text,
              "删除记录失败, '语文' 未被删除\n数据库中没有这条记录，或它已被改动");
    EXPECT_EQ(Rows("select CourseCode,TeacherCode,Count from ClassPlantb"), "C1|T4|5");
    ClickRow(Find<QTreeWidget>(form, "lstAllRecord"), "语文");
    Answer(vbYes);
    Click(form, "cmdDelete");
    EXPECT_EQ(PanelText(form, 1), "删除记录成功！删除了1条记录");
    EXPECT_EQ(Count("select count(*) from ClassPlantb"), 0);
}

// A changed teacher takes the row's lessons where the new teacher is free; a built or
// hand-placed lesson that cannot follow goes, a fixed one that cannot follow stops the change.
TEST_F(PlanFormSchoolTest, ChangingTheTeacherTakesTheRowsLessonsAlong) {
    Plan("11", "C1", "T1", 3);
    Plan("12", "C2", "T3", 1);
    Exec("update ClassPlantb set BuildCount=3 where ClassCode='11'");
    Exec("update ClassPlantb set BuildCount=1 where ClassCode='12'");
    Exec("insert into LessonListtb values ('11',1,1,'C1','T1',0)");
    Exec("insert into LessonListtb values ('11',1,2,'C1','T1',1)");
    Exec("insert into LessonListtb values ('11',2,1,'C1','T1',2)");
    Exec("insert into LessonListtb values ('12',1,2,'C2','T3',1)");  // T3 busy on Monday 2
    frmClassPlanInput form(twtest::State());
    auto* teacher = Find<QComboBox>(form, "CmbTeacher");
    Choose(teacher, 2);  // T3
    Click(form, "cmdModify");
    // The user is told that a lesson went and where it is owed now.
    EXPECT_EQ(PanelText(form, 1), "修改记录成功！修改了1条记录，删除了1节新老师已有课的课时");
    ASSERT_EQ(Calls().size(), 1u);
    EXPECT_EQ(
        Calls()[0].text,
        "修改记录成功！修改了1条记录\n新老师有1个课时已在其他班级上课，这1节课已从课表中删除，"
        "可在“手工调整课表”的未排课程中重新安排。");
    EXPECT_EQ(Calls()[0].style, tw::ui::vbInformation);
    EXPECT_EQ(Rows("select ClassCode,Day,LessonNo,TeacherCode,SetFlag from LessonListtb "
                   "where CourseCode='C1' order by Day,LessonNo"),
              "11|1|1|T3|0;11|2|1|T3|2");
    EXPECT_EQ(Rows("select TeacherCode,BuildCount from ClassPlantb where ClassCode='11'"), "T3|2");

    // The fixed lesson on Monday 1 cannot follow to T5, who teaches 12 then: nothing changes.
    Exec(
        "insert into ClassPlantb (ClassCode,CourseCode,TeacherCode,Count) "
        "values ('12','C3','T5',1)");
    Exec("insert into LessonListtb values ('12',1,1,'C3','T5',1)");
    Exec("update ClassPlantb set BuildCount=1 where CourseCode='C3'");
    const QString before = Everything();
    ClickRow(Find<QTreeWidget>(form, "lstAllRecord"), "语文");
    Choose(teacher, 4);  // T5
    Click(form, "cmdModify");
    // The refusal names the slot and the class the new teacher teaches then.
    const QString blocked =
        "新老师星期一第1节已在一（2）班上课，本班这节是预先安排的固定课程，不能换老师";
    EXPECT_EQ(PanelText(form, 1), "修改记录失败：" + blocked);
    EXPECT_EQ(Calls().back().text, "修改记录失败！\n" + blocked);
    EXPECT_EQ(Everything(), before);

    // A lesson with a Null flag is no fixed one: where it cannot follow it goes.
    Exec("update LessonListtb set SetFlag=null where ClassCode='11' and Day=1 and LessonNo=1");
    ClickRow(Find<QTreeWidget>(form, "lstAllRecord"), "语文");
    Choose(teacher, 4);  // T5
    Click(form, "cmdModify");
    EXPECT_EQ(PanelText(form, 1), "修改记录成功！修改了1条记录，删除了1节新老师已有课的课时");
    EXPECT_EQ(Rows("select Day,LessonNo,TeacherCode from LessonListtb where ClassCode='11'"),
              "2|1|T5");
    EXPECT_EQ(Rows("select TeacherCode,BuildCount from ClassPlantb where ClassCode='11'"), "T5|1");
}

// Where an older file holds two rows of one class and course with two teachers, neither row's
// teacher may change: changing one to the other's would make one row twice, each counting the
// lessons of both. The count of each row still changes.
TEST_F(PlanFormSchoolTest, ATeacherChangeNeverMergesTwoRowsOfOneCourse) {
    for (const char* t : {"T1", "T2"}) {
        Exec(QString("insert into ClassPlantb (ClassCode,CourseCode,TeacherCode,Count,BuildCount) "
                     "values ('11','C4','%1',2,1)")
                 .arg(t));
    }
    Exec("insert into LessonListtb values ('11',3,1,'C4','T1',1)");
    Exec("insert into LessonListtb values ('11',3,2,'C4','T2',1)");
    frmClassPlanInput form(twtest::State());
    auto* teacher = Find<QComboBox>(form, "CmbTeacher");
    ClickRow(Find<QTreeWidget>(form, "lstAllRecord"), "音乐");
    ASSERT_EQ(teacher->currentIndex(), 0);
    const QString before = Everything();
    for (int other : {1, 4}) {
        Choose(teacher, other);
        Click(form, "cmdModify");
        ASSERT_EQ(PanelText(form, 1), "修改记录失败   不允许一门课多个老师") << other;
        EXPECT_EQ(Calls().back().text, "修改记录失败  不允许一门课多个老师") << other;
        EXPECT_EQ(Everything(), before) << other;
    }
    Choose(teacher, 0);
    Type(form, "txtCount", "3");
    Click(form, "cmdModify");
    EXPECT_EQ(PanelText(form, 1), "修改记录成功！修改了1条记录");
    EXPECT_EQ(Rows("select TeacherCode,Count,BuildCount from ClassPlantb where CourseCode='C4' "
                   "order by TeacherCode"),
              "T1|3|1;T2|2|1");
}

// The plan form driven at random over a school with namesake teachers and courses, full-width
// codes that differ only in case (two courses) and ASCII ones (one code, stored in two
// spellings), and what an older file holds: two rows of one class and course with two teachers,
// two lessons of a class in one slot, lessons with a Null flag; builds, fixed and hand-placed
// lessons come between the changes. After every step the timetable keeps its rules (no class
// but in the older file's slots and no teacher twice in a slot, every lesson with a plan row of
// its class, course and teacher, each row's BuildCount its own placed lessons, one row per class
// and course but the older file's two), the list shows the stored rows of the class, and a
// change that failed changed nothing. Every statement the form sends is pinned.
TEST_F(PlanFormSchoolTest, RandomChangesKeepLessonsWithTheirPlanRows) {
    Exec("insert into Coursetb values ('C5','语文','语文（二）','')");
    Exec("insert into Coursetb values ('Ｃ6','数学','数学','')");
    Exec("insert into Coursetb values ('ｃ6','奥数','奥数','')");
    Exec(
        "insert into ClassPlantb (ClassCode,CourseCode,TeacherCode,Count) values "
        "('21','c3','t1',2)");
    Exec(
        "insert into ClassPlantb (ClassCode,CourseCode,TeacherCode,Count) values "
        "('21','C3','T2',2)");
    Plan("12", "ｃ6", "t3", 2);
    // The older file's placed lessons: two of class 21 in one slot, a fixed pair and a pair of a
    // built and a Null flag, one lesson of each of its two rows of the course; and a lesson with
    // a Null flag.
    Exec("insert into LessonListtb values('21',1,1,'c3','t1',0)");
    Exec("insert into LessonListtb values('21',1,1,'C3','T2',0)");
    Exec("insert into LessonListtb values('21',2,2,'c3','t1',1)");
    Exec("insert into LessonListtb values('21',2,2,'C3','T2',null)");
    Exec("insert into LessonListtb values('12',3,3,'ｃ6','t3',null)");
    Exec("update ClassPlantb set BuildCount=2 where ClassCode='21' or ClassCode='12'");
    Exec("update ClassPlantb set BuildCount=1 where ClassCode='12'");
    twtest::State().Db().OpenRecordset("PRAGMA synchronous=OFF")->Close();
    const tw::store::TimetableRules rules{6, {"21|C3"}, {"21|1|1", "21|2|2"}};
    ASSERT_EQ(tw::store::BrokenTimetableRule(twtest::State().Db(), rules), "");
    std::mt19937 rng(2126);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    auto pick = [&rng](int n) { return static_cast<int>(rng() % static_cast<unsigned>(n)); };
    const QStringList counts = {"1", "2", "3", "2.5", "4"};
    // The test's own reads and the builder's and hand editing's statements stay out of the
    // record of what the form sends.
    auto unlogged = [](auto read) {
        auto log = twtest::State().Db().SetStatementLog({});
        auto value = read();
        twtest::State().Db().SetStatementLog(std::move(log));
        return value;
    };
    twtest::StatementRecorder recorder(twtest::State().Db());
    frmClassPlanInput form(twtest::State());
    auto* cls = Find<QComboBox>(form, "CmbClass");
    auto* course = Find<QComboBox>(form, "CmbCourse");
    auto* teacher = Find<QComboBox>(form, "CmbTeacher");
    auto* list = Find<QTreeWidget>(form, "lstAllRecord");
    // Every course and every teacher shows apart from the others, namesakes too.
    for (QComboBox* c : {course, teacher}) {
        QSet<QString> texts;
        for (int i = 0; i < c->count(); ++i) texts.insert(c->itemText(i));
        EXPECT_EQ(texts.size(), c->count()) << c->objectName().toStdString();
    }
    auto clickAnyRow = [&]() -> bool {
        if (list->topLevelItemCount() == 0) return false;
        QTreeWidgetItem* row = list->topLevelItem(pick(list->topLevelItemCount()));
        list->setCurrentItem(row);
        emit list->itemClicked(row, 0);
        return true;
    };
    int changed = 0, refused = 0, built = 0;
    for (int step = 0; step < 2000; ++step) {
        const QString before = unlogged([this] { return Everything(); });
        const int action = pick(10);
        bool mayFail = false;
        if (action == 0) {
            Choose(cls, pick(cls->count()));
        } else if (action <= 2) {
            Choose(course, pick(course->count()));
            Choose(teacher, pick(teacher->count()));
            Type(form, "txtCount", counts[pick(counts.size())]);
            const QString where = "ClassCode='" + form.CurrentClassCode() + "' and CourseCode='" +
                                  ComboCode(course) + "' and TeacherCode";
            const QString chosen = "'" + ComboCode(teacher) + "'";
            const bool otherTeacher = unlogged([&] {
                return Count("select count(*) from ClassPlantb where " + where + "<>" + chosen) > 0;
            });
            Click(form, "cmdAppend");
            if (!otherTeacher) {
                EXPECT_EQ(PanelText(form, 1), "添加记录成功！添加了1条记录") << step;
                EXPECT_EQ(unlogged([&] {
                              return Count("select count(*) from ClassPlantb where " + where + "=" +
                                           chosen);
                          }),
                          1)
                    << step;
            }
            mayFail = true;
        } else if (action <= 5 && clickAnyRow()) {
            Choose(teacher, pick(teacher->count()));
            Type(form, "txtCount", counts[pick(counts.size())]);
            Click(form, "cmdModify");
            mayFail = true;
            if (PanelText(form, 1).startsWith("修改记录成功")) ++changed;
            if (PanelText(form, 1).endsWith("不允许一门课多个老师")) ++refused;
        } else if (action == 6 && clickAnyRow()) {
            Answer(vbYes);
            Click(form, "cmdDelete");
            mayFail = true;
        } else if (action == 7) {
            built += unlogged([&] {
                tw::timetable::Builder builder(twtest::State().Db(), 6, [&] { return unit(rng); });
                return builder.AutoBuildLessons() >= 0;
            });
        } else if (action >= 8) {
            // A fixed or a hand-placed lesson for a plan row, where its slot allows it.
            const QStringList rows =
                unlogged([this] {
                    return Rows("select ClassCode,CourseCode,TeacherCode from ClassPlantb");
                }).split(';', Qt::SkipEmptyParts);
            if (!rows.isEmpty()) {
                const QStringList r = rows[pick(rows.size())].split('|');
                const int day = 1 + pick(5);
                const int lesson = 1 + pick(6);
                unlogged([&] {
                    if (action == 8) {
                        return tw::store::WritePresetLesson(twtest::State().Db(), r[0], r[1], r[2],
                                                            day, lesson)
                            .Done();
                    }
                    return tw::store::PlaceHandLesson(twtest::State().Db(), r[0], r[1], r[2], day,
                                                      lesson)
                        .Done();
                });
            }
        }
        ASSERT_EQ(
            unlogged([&] { return tw::store::BrokenTimetableRule(twtest::State().Db(), rules); }),
            "")
            << "step " << step << ", action " << action;
        if (mayFail && PanelText(form, 1).contains("失败")) {
            ASSERT_EQ(unlogged([this] { return Everything(); }), before) << "step " << step;
        }
        QStringList shown;
        for (int i = 0; i < list->topLevelItemCount(); ++i) {
            shown << list->topLevelItem(i)->text(0) + "|" + list->topLevelItem(i)->text(1) + "|" +
                         list->topLevelItem(i)->text(2);
        }
        ASSERT_EQ(Sorted(shown),
                  unlogged([&] { return StoredPlan(form, form.CurrentClassCode()); }))
            << "step " << step;
    }
    EXPECT_GT(changed, 100);
    EXPECT_GT(refused, 0);
    EXPECT_GT(built, 100);
    EXPECT_GT(unlogged([this] { return Count("select count(*) from LessonListtb"); }), 0);
    EXPECT_EQ(recorder.Count(), 8072);
    EXPECT_EQ(recorder.Digest(), "efae1716d3d35d36");
}

// The longest names the form takes (ten wide characters) and a teacher told from a namesake by
// the course in brackets: the panels and every combo read at 8 pt or more, whole or cut with "…"
// and the whole text as tooltip; the bracketed name of eight wide characters shows whole in both
// teacher boxes.
TEST_F(PlanFormSchoolTest, LongestNamesShowWholeInTheirBoxesAndPanel) {
    Exec("insert into Classtb values ('08','学前年级（１２）班级','','')");
    Exec("insert into Coursetb values ('C9','信息技术与创新实践课','','')");
    Exec("insert into Teachertb values ('T9','信息技术老师一二三四','','')");
    Exec("insert into Teachertb values ('T7','张伟（初二数学）','','')");
    Plan("08", "C9", "T9", 2);
    frmClassPlanInput form(twtest::State());
    Choose(Find<QComboBox>(form, "CmbClass"), "学前年级（１２）班级");
    ASSERT_EQ(PanelText(form, 2), "学前年级（１２）班级");
    auto* teacher = Find<QComboBox>(form, "CmbTeacher");
    auto* summary = Find<QComboBox>(form, "CmbTeacher2");
    EXPECT_EQ(summary->geometry(), QRect(120 / 15, 360 / 15, 1785 / 15, 360 / 15));
    for (const char* name : {"信息技术老师一二三四", "张伟（初二数学）"}) {
        SCOPED_TRACE(name);
        Choose(summary, name);
        teacher->setCurrentIndex(teacher->findText(name));
        form.grab();
        for (int i = 1; i <= 4; ++i) {
            EXPECT_TRUE(
                twtest::ReadsWholeOrCut(form.findChild<QLabel*>(QString("Panel%1").arg(i))));
        }
        for (const char* box : {"CmbClass", "CmbCourse", "CmbTeacher", "CmbTeacher2"}) {
            auto* combo = Find<QComboBox>(form, box);
            EXPECT_FALSE(combo->currentText().isEmpty()) << box;
            EXPECT_TRUE(twtest::ReadsWholeOrCut(combo));
        }
    }
    EXPECT_EQ(tw::ui::ShownText(teacher), "张伟（初二数学）");
    EXPECT_EQ(tw::ui::ShownText(summary), "张伟（初二数学）");

    // A list column too narrow for a name shows it whole as the item's tooltip.
    Choose(summary, "信息技术老师一二三四");
    auto* info = Find<QTreeWidget>(form, "lstTeacherInfo");
    form.show();
    ASSERT_EQ(info->topLevelItemCount(), 1);
    const QModelIndex row = info->model()->index(0, 0);
    EXPECT_EQ(twtest::TipOfItem(info, row), "学前年级（１２）班级");
    EXPECT_EQ(twtest::TipOfItem(info, row.siblingAtColumn(2)), "");
}

}  // namespace
