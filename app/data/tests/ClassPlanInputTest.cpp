// The teaching plan form: plan rows per class, the rule of one teacher per course, totals and
// the teacher summary, and what reaches ClassPlantb and LessonListtb.
#include "DataFormTestSupport.h"
#include "data/frmClassPlanInput.h"

using namespace datatest;
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
    frmClassPlanInput form;
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

TEST_F(PlanFormTest, PreviousAndNextWalkTheClassesAndStopAtTheEnds) {
    School();
    Plan("12", "C2", "T1", 3);
    frmClassPlanInput form;
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
    frmClassPlanInput form;
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

TEST_F(PlanFormTest, CountMustBeANumberAndLosesItsFractionDownwards) {
    School();
    frmClassPlanInput form;
    Enter(form, "语文", "张三", "");
    Click(form, "cmdAppend");
    Enter(form, "语文", "张三", "abc");
    Click(form, "cmdAppend");
    ASSERT_EQ(Calls().size(), 2u);
    EXPECT_EQ(Calls()[0].text, "请输入节数。");
    EXPECT_EQ(Calls()[1].text, "节数必须是数字。");
    EXPECT_EQ(form.focusWidget(), Find<QLineEdit>(form, "txtCount"));
    EXPECT_EQ(Count("select count(*) from ClassPlantb"), 0);

    Enter(form, "语文", "张三", "2.7");
    Click(form, "cmdAppend");
    Enter(form, "数学", "李四", "-1.5");
    Click(form, "cmdAppend");
    EXPECT_EQ(Rows("select CourseCode,Count,typeof(Count) from ClassPlantb order by CourseCode"),
              "C1|2|integer;C2|-2|integer");
    EXPECT_EQ(Calls().size(), 2u);
}

TEST_F(PlanFormTest, AddingTheSameCourseAndTeacherAgainAddsToTheCount) {
    School();
    frmClassPlanInput form;
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
    frmClassPlanInput form;
    Enter(form, "语文", "李四", "2");
    Click(form, "cmdAppend");
    ASSERT_EQ(Calls().size(), 1u);
    EXPECT_EQ(Calls()[0].text, "添加记录失败  不允许一门课多个老师");
    EXPECT_EQ(Calls()[0].title, "添加失败");
    EXPECT_EQ(PanelText(form, 1), "添加记录失败   不允许一门课多个老师");
    EXPECT_EQ(Rows("select TeacherCode,Count from ClassPlantb"), "T1|5");
    EXPECT_EQ(Inputs(form), "语文|李四|2");
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
    frmClassPlanInput form;
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
    EXPECT_EQ(Calls()[2].text, "删除记录失败, '语文' 未被删除");
    EXPECT_EQ(PanelText(form, 1), "删除记录失败");
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
    frmClassPlanInput form;
    auto* list = Find<QTreeWidget>(form, "lstAllRecord");
    ClickRow(list, "语文");
    Choose(Find<QComboBox>(form, "CmbTeacher"), "李四");
    Type(form, "txtCount", " 3.6 ");
    Click(form, "cmdModify");
    EXPECT_TRUE(Calls().empty());
    EXPECT_EQ(Rows("select CourseCode,TeacherCode,Count,IsAutoBuild,BuildCount from ClassPlantb "
                   "order by CourseCode"),
              "C1|T2|3|1|3;C3|T1|2|0|0");
    EXPECT_EQ(ListRows(list), "语文|李四|3;语文阅读|张三|2");
    EXPECT_EQ(PanelText(form, 1), "修改记录成功！修改了1条记录");
    EXPECT_EQ(PanelText(form, 4), "5 节");
    EXPECT_EQ(Find<QComboBox>(form, "CmbTeacher2")->currentText(), "李四");
    EXPECT_EQ(Find<QLabel>(form, "lblTeacherSum")->text(), "共  3  节课");
}

TEST_F(PlanFormTest, ModifyThatMatchesNoStoredRowIsAFailure) {
    School();
    Plan("11", "C1", "T1", 5);
    frmClassPlanInput form;
    // The stored count changes behind the form's back.
    Exec("update ClassPlantb set Count=7");
    Choose(Find<QComboBox>(form, "CmbTeacher"), "李四");
    Click(form, "cmdModify");
    ASSERT_EQ(Calls().size(), 1u);
    EXPECT_EQ(Calls()[0].text, "修改记录失败！");
    EXPECT_EQ(Calls()[0].title, "修改失败");
    EXPECT_EQ(PanelText(form, 1), "修改记录失败");
    EXPECT_EQ(Rows("select TeacherCode,Count from ClassPlantb"), "T1|7");
    EXPECT_EQ(ListRows(Find<QTreeWidget>(form, "lstAllRecord")), "语文|张三|5");
}

TEST_F(PlanFormTest, ModifyRefusesAnotherCourse) {
    School();
    Plan("11", "C1", "T1", 5);
    frmClassPlanInput form;
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
    frmClassPlanInput form;
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
    frmClassPlanInput form;
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
    frmClassPlanInput form;
    auto* teacher2 = Find<QComboBox>(form, "CmbTeacher2");
    Choose(teacher2, "李四");
    EXPECT_EQ(Find<QTreeWidget>(form, "lstTeacherInfo")->topLevelItemCount(), 0);
    EXPECT_EQ(Find<QLabel>(form, "lblTeacherSum")->text(), "共  0  节课");
}

TEST_F(PlanFormTest, DeleteNeedsACountAndACountTooLargeIsNotAdded) {
    School();
    Plan("11", "C1", "T1", 30000);
    frmClassPlanInput form;
    Type(form, "txtCount", "");
    Click(form, "cmdDelete");
    ASSERT_EQ(Calls().size(), 1u);
    EXPECT_EQ(Calls()[0].text, "请输入节数。");
    EXPECT_EQ(Count("select count(*) from ClassPlantb"), 1);

    Enter(form, "语文", "张三", "5000");
    Click(form, "cmdAppend");
    ASSERT_EQ(Calls().size(), 2u);
    EXPECT_EQ(Calls()[1].text, "添加记录失败  ");
    EXPECT_EQ(PanelText(form, 1), "添加记录失败   ");
    EXPECT_EQ(Text("select Count from ClassPlantb"), "30000");
}

}  // namespace
