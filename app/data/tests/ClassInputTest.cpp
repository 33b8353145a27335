// The class list: codes formed from grade and class number, proposed names, and the rows that
// go with a deleted class.
#include "DataFormTestSupport.h"
#include "data/frmClassInput.h"

using tw::data::frmClassInput;

using namespace datatest;
using tw::ui::vbNo;
using tw::ui::vbYes;

namespace {

class ClassFormTest : public DataFormTest {
  protected:
    QString Boxes(QWidget& form) {
        return Find<QLineEdit>(form, "txtName")->text() + "|" +
               Find<QLineEdit>(form, "txtFullName")->text() + "|" +
               Find<QLineEdit>(form, "txtShortName")->text();
    }
};

TEST_F(ClassFormTest, GradeAndNumberProposeNamesAndFormTheCode) {
    frmClassInput form(twtest::State());
    EXPECT_EQ(form.windowTitle(), "班级名单");
    auto* grade = Find<QComboBox>(form, "cmbGrade");
    auto* number = Find<QComboBox>(form, "cmbClass");
    EXPECT_EQ(grade->currentIndex(), -1);
    EXPECT_EQ(number->count(), 20);
    Choose(grade, "三年级");
    EXPECT_EQ(Boxes(form), "||");  // no class number yet
    Choose(number, "12");
    EXPECT_EQ(Boxes(form), "三（12）班|三年级（12）班|三（12）");
    Click(form, "cmdAppend");
    EXPECT_TRUE(Calls().empty());
    EXPECT_EQ(Rows("select Code,Name,FullName,ShortName from Classtb"),
              "312|三（12）班|三年级（12）班|三（12）");
    EXPECT_EQ(SelectedText(Find<QTreeWidget>(form, "lstAllRecord")), "312");
    EXPECT_EQ(PanelText(form, 1), "添加记录成功！添加了1条记录");
    EXPECT_EQ(Boxes(form), "||");
    EXPECT_EQ(grade->currentText(), "三年级");

    Choose(grade, "学前");
    Choose(number, "1");
    EXPECT_EQ(Find<QLineEdit>(form, "txtFullName")->text(), "学前年级（1）班");
    Type(form, "txtName", "  小小班 ");
    Click(form, "cmdAppend");
    EXPECT_EQ(Text("select Name from Classtb where Code='01'"), "小小班");
}

TEST_F(ClassFormTest, ElevenAndOneHundredTenAreDistinctAndADuplicateIsRefused) {
    frmClassInput form(twtest::State());
    auto* grade = Find<QComboBox>(form, "cmbGrade");
    auto* number = Find<QComboBox>(form, "cmbClass");
    Choose(grade, "一年级");
    Choose(number, "10");
    Click(form, "cmdAppend");
    Choose(number, "1");
    Click(form, "cmdAppend");
    EXPECT_EQ(Rows("select Code from Classtb order by Code"), "11;110");
    EXPECT_TRUE(Calls().empty());

    Choose(number, "1");
    Click(form, "cmdAppend");
    ASSERT_EQ(Calls().size(), 1u);
    EXPECT_EQ(Calls()[0].text, "一年级（1）班 已经存在！");
    EXPECT_EQ(Calls()[0].title, twtest::State().title);
    EXPECT_EQ(Count("select count(*) from Classtb"), 2);
    EXPECT_EQ(Boxes(form), "一（1）班|一年级（1）班|一（1）");
}

// Sorted by code, classes stand by grade and class number as a number (a number with leading
// zeros too), other codes after them in text order, in both directions; a new class takes its
// place in that order.
TEST_F(ClassFormTest, SortedByCodeClassesStandByGradeAndNumber) {
    for (const char* code : {"710", "B2", "72", "0701", "81", "711", "71", "a1"}) {
        Exec(QString("insert into Classtb values ('%1','n%1','f%1','s%1')").arg(code));
    }
    frmClassInput form(twtest::State());
    auto* list = Find<QTreeWidget>(form, "lstAllRecord");
    auto codes = [list] { return RowTexts(list); };
    emit list->header()->sectionClicked(0);  // the sort column: the direction turns
    EXPECT_EQ(codes(), "B2,a1,81,711,710,72,71,0701");
    emit list->header()->sectionClicked(0);
    EXPECT_EQ(codes(), "0701,71,72,710,711,81,a1,B2");
    Choose(Find<QComboBox>(form, "cmbGrade"), "七年级");
    Choose(Find<QComboBox>(form, "cmbClass"), "3");
    Click(form, "cmdAppend");
    EXPECT_EQ(codes(), "0701,71,72,73,710,711,81,a1,B2");
}

TEST_F(ClassFormTest, NothingChosenNamesTheGradeAndPaintsAllFiveRed) {
    frmClassInput form(twtest::State());
    Click(form, "cmdAppend");
    ASSERT_EQ(Calls().size(), 1u);
    EXPECT_EQ(Calls()[0].text, "请选择年级。");
    EXPECT_EQ(Calls()[0].style, tw::ui::vbExclamation);
    EXPECT_EQ(Calls()[0].title, "输入信息检查");
    for (const char* name : {"cmbGrade", "cmbClass", "txtName", "txtFullName", "txtShortName"}) {
        EXPECT_TRUE(IsRed(Find<QWidget>(form, name))) << name;
    }
    EXPECT_EQ(form.focusWidget(), Find<QComboBox>(form, "cmbGrade"));
    EXPECT_EQ(Count("select count(*) from Classtb"), 0);
}

TEST_F(ClassFormTest, RowClickChoosesGradeAndNumberAndShowsTheStoredNames) {
    Exec("insert into Classtb values ('11','一1班','一年级一班','一1')");
    Exec("insert into Classtb values ('110','实验班','一年级实验班','实验')");
    frmClassInput form(twtest::State());
    auto* list = Find<QTreeWidget>(form, "lstAllRecord");
    ClickRow(list, "110");
    EXPECT_EQ(Find<QComboBox>(form, "cmbGrade")->currentText(), "一年级");
    EXPECT_EQ(Find<QComboBox>(form, "cmbClass")->currentText(), "10");
    EXPECT_EQ(Boxes(form), "实验班|一年级实验班|实验");

    // Another number: the code would change, which modify refuses.
    Choose(Find<QComboBox>(form, "cmbClass"), "1");
    Click(form, "cmdModify");
    ASSERT_EQ(Calls().size(), 1u);
    EXPECT_EQ(Calls()[0].text, "班级代码不能修改！");
    EXPECT_TRUE(IsRed(Find<QComboBox>(form, "cmbGrade")));
    EXPECT_TRUE(IsRed(Find<QComboBox>(form, "cmbClass")));

    // Modify of "11" while "110" exists touches "11" alone.
    Calls().clear();
    ClickRow(list, "11");
    Type(form, "txtName", "一（1）班");
    Click(form, "cmdModify");
    EXPECT_TRUE(Calls().empty());
    EXPECT_EQ(Rows("select Code,Name from Classtb order by Code"), "11|一（1）班;110|实验班");
    EXPECT_EQ(ListRows(list), "11|一（1）班|一年级一班|一1;110|实验班|一年级实验班|实验");
    EXPECT_EQ(PanelText(form, 1), "修改记录成功！修改了1条记录");
}

TEST_F(ClassFormTest, RowWithAnOddCodeIsIgnored) {
    Exec("insert into Classtb values ('X5','怪班','怪班','怪')");
    Exec("insert into Classtb values ('199',NULL,'九九班','九')");
    frmClassInput form(twtest::State());
    auto* list = Find<QTreeWidget>(form, "lstAllRecord");
    EXPECT_EQ(list->topLevelItemCount(), 2);
    ClickRow(list, "X5");
    EXPECT_EQ(Find<QComboBox>(form, "cmbGrade")->currentIndex(), -1);
    ClickRow(list, "199");
    EXPECT_EQ(Find<QComboBox>(form, "cmbGrade")->currentText(), "一年级");
    EXPECT_EQ(Find<QComboBox>(form, "cmbClass")->currentIndex(), -1);
}

TEST_F(ClassFormTest, DeleteTakesLessonsPlanRowsAndClassLimitsInOneStep) {
    Exec("insert into Classtb values ('11','一（1）班','一年级（1）班','一（1）')");
    Exec("insert into Classtb values ('12','一（2）班','一年级（2）班','一（2）')");
    Exec("insert into LessonListtb values ('11',1,1,'C1','T1',0)");
    Exec("insert into LessonListtb values ('12',1,1,'C1','T2',1)");
    Exec(
        "insert into ClassPlantb (ClassCode,CourseCode,TeacherCode,Count) "
        "values ('11','C1','T1',4)");
    Exec("insert into Limittb values (0,'11',1,1,3)");
    Exec("insert into Limittb values (2,'11',1,1,3)");
    frmClassInput form(twtest::State());
    auto* list = Find<QTreeWidget>(form, "lstAllRecord");
    ClickRow(list, "11");
    Answer(vbNo);
    Click(form, "cmdDelete");
    ASSERT_EQ(Calls().size(), 1u);
    EXPECT_EQ(Calls()[0].text, "警告： 确定要删除 '11  一（1）班' 吗？(Y/N)？");
    EXPECT_EQ(Count("select count(*) from Classtb"), 2);

    Exec(
        "create trigger KeepClasses before delete on Classtb "
        "begin select raise(abort, 'locked'); end");
    Answer(vbYes);
    Click(form, "cmdDelete");
    ASSERT_EQ(Calls().size(), 3u);
    EXPECT_EQ(Calls()[2].text, "删除记录失败, '一（1）班' 未被删除\n数据库出错");
    EXPECT_EQ(Count("select count(*) from LessonListtb where ClassCode='11'"), 1);
    EXPECT_EQ(Count("select count(*) from ClassPlantb"), 1);
    EXPECT_EQ(Count("select count(*) from Limittb"), 2);

    Exec("drop trigger KeepClasses");
    list->setCurrentItem(list->topLevelItem(1));
    Answer(vbYes);
    Click(form, "cmdDelete");
    EXPECT_EQ(Rows("select Code from Classtb"), "12");
    EXPECT_EQ(Rows("select ClassCode from LessonListtb"), "12");
    EXPECT_EQ(Count("select count(*) from ClassPlantb"), 0);
    EXPECT_EQ(Rows("select Kind from Limittb"), "2");
    EXPECT_EQ(ListRows(list), "12|一（2）班|一年级（2）班|一（2）");
    EXPECT_EQ(PanelText(form, 1), "删除记录成功！删除了1条记录");
}

// A stored code that does not follow the grade-plus-number rule (602, from another program, or
// 121 of a grade with more than twenty classes): the lists cannot show it and choose no number,
// the boxes show the row's own names, and modify and delete act on its code, not on a code the
// lists would form nor with the names of the row clicked before; a delete whose class is no
// longer stored is a failure.
TEST_F(ClassFormTest, DeleteAndModifyActOnTheSelectedRowsStoredCode) {
    Exec("insert into Classtb values ('602','六年级2班','六年级（2）班','六2')");
    Exec("insert into Classtb values ('12','一（2）班','一年级（2）班','一（2）')");
    Exec("insert into Classtb values ('121','一（21）班','一年级（21）班','一（21）')");
    Exec("insert into LessonListtb values ('602',1,1,'C1','T1',1)");
    frmClassInput form(twtest::State());
    auto* list = Find<QTreeWidget>(form, "lstAllRecord");
    auto* grade = Find<QComboBox>(form, "cmbGrade");
    auto* number = Find<QComboBox>(form, "cmbClass");
    ClickRow(list, "12");
    ClickRow(list, "121");
    EXPECT_EQ(grade->currentText(), "一年级");
    EXPECT_EQ(number->currentIndex(), -1);
    EXPECT_EQ(Boxes(form), "一（21）班|一年级（21）班|一（21）");
    Type(form, "txtShortName", "一21");
    Click(form, "cmdModify");
    EXPECT_EQ(PanelText(form, 1), "修改记录成功！修改了1条记录");
    EXPECT_EQ(Rows("select Code,Name,ShortName from Classtb where Code like '12%' order by Code"),
              "12|一（2）班|一（2）;121|一（21）班|一21");
    Answer(vbNo);
    Click(form, "cmdDelete");
    EXPECT_EQ(Calls().back().text, "警告： 确定要删除 '121  一（21）班' 吗？(Y/N)？");
    Click(form, "cmdAppend");  // the lists name no class: nothing to add
    EXPECT_EQ(Calls().back().text, "请选择班级。");
    EXPECT_EQ(Count("select count(*) from Classtb"), 3);
    Calls().clear();

    ClickRow(list, "602");
    EXPECT_EQ(grade->currentText(), "六年级");
    EXPECT_EQ(number->currentIndex(), -1);
    Type(form, "txtName", "六（2）班");
    Click(form, "cmdModify");
    EXPECT_EQ(PanelText(form, 1), "修改记录成功！修改了1条记录");
    EXPECT_EQ(Text("select Name from Classtb where Code='602'"), "六（2）班");
    Answer(vbYes);
    Click(form, "cmdDelete");
    ASSERT_EQ(Calls().size(), 1u);
    EXPECT_EQ(Calls()[0].text, "警告： 确定要删除 '602  六（2）班' 吗？(Y/N)？");
    EXPECT_EQ(PanelText(form, 1), "删除记录成功！删除了1条记录");
    EXPECT_EQ(Rows("select Code from Classtb order by Code"), "12;121");
    EXPECT_EQ(Count("select count(*) from LessonListtb"), 0);

    Exec("delete from Classtb where Code='12'");
    ClickRow(list, "12");
    Answer(vbYes);
    Click(form, "cmdDelete");
    EXPECT_EQ(Calls().back().text,
              "删除记录失败, '一（2）班' 未被删除\n数据库中没有这条记录，或它已被改动");
    EXPECT_EQ(PanelText(form, 1), "删除记录失败：数据库中没有这条记录，或它已被改动");
    EXPECT_EQ(ListRows(list),
              "12|一（2）班|一年级（2）班|一（2）;121|一（21）班|一年级（21）班|一21");
}

// Stored names longer than a box takes are shown whole and kept by a modify; names for a new
// class keep the boxes' ten characters.
TEST_F(ClassFormTest, StoredNamesLongerThanTheBoxShowWholeAndNewOnesKeepTheLimit) {
    Exec("insert into Classtb values ('13','一年级实验班一二三四五','一年级（3）班','一（3）')");
    frmClassInput form(twtest::State());
    auto* name = Find<QLineEdit>(form, "txtName");
    ClickRow(Find<QTreeWidget>(form, "lstAllRecord"), "13");
    EXPECT_EQ(name->text(), "一年级实验班一二三四五");
    Type(form, "txtShortName", "一3");
    Click(form, "cmdModify");
    EXPECT_EQ(Rows("select Name,ShortName from Classtb"), "一年级实验班一二三四五|一3");
    Choose(Find<QComboBox>(form, "cmbClass"), "4");
    name->setText("一年级实验班一二三四五");
    EXPECT_EQ(name->text(), "一年级实验班一二三四");
    Click(form, "cmdAppend");
    EXPECT_EQ(Text("select Name from Classtb where Code='14'"), "一年级实验班一二三四");
}

TEST_F(ClassFormTest, KeysMoveBetweenTheNameBoxes) {
    frmClassInput form(twtest::State());
    auto* name = Find<QLineEdit>(form, "txtName");
    auto* full = Find<QLineEdit>(form, "txtFullName");
    auto* shortName = Find<QLineEdit>(form, "txtShortName");
    ExpectFocusSteps(form, {{name, Qt::Key_Down, full},
                            {full, Qt::Key_Return, shortName},
                            {shortName, Qt::Key_Return, shortName}});
    EXPECT_EQ(Count("select count(*) from Classtb"), 0);
    ExpectFocusSteps(form, {{shortName, Qt::Key_Up, full}});
}

}  // namespace
