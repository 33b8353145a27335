// The pre-setting form: what it shows for a class, which courses it offers in which order, the
// cyan slots, and what left and right clicks store.
#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>

#include "FitTextTestSupport.h"
#include "HandEditTestSupport.h"
#include "timetable/frmSetLesson.h"
#include "ui/Combo.h"
#include "ui/WeekGrid.h"

using tw::timetable::frmSetLesson;

namespace {

class SetLessonFormTest : public HandEditTest {
  public:
    void SetUp() override {
        HandEditTest::SetUp();
        AddClass("101", "一年级1班");
        AddClass("102", "一年级2班");
        AddCourse("01", "语文");
        AddCourse("02", "数学");
        AddCourse("03", "音乐");
        AddTeacher("T1", "张老师");
        AddTeacher("T2", "李老师");
        AddTeacher("T3", "王老师");
    }
    static QStringList CyanSlots(frmSetLesson& f) { return Marked(f, tw::ui::kVbCyan); }
    static QStringList Courses(frmSetLesson& f) {
        QStringList out;
        for (int i = 0; i < f.lstCourse->count(); ++i) out << f.lstCourse->item(i)->text();
        return out;
    }
    static void ChooseCourse(frmSetLesson& f, int row) { f.lstCourse->setCurrentRow(row); }
};

// The longest class name the forms take (ten wide characters): the hint, the class list and the
// class panel read at the window's fixed sizes, at 8 pt or more, whole or cut with "…" and the
// whole text as tooltip.
TEST_F(SetLessonFormTest, HintAndClassPanelShowWhole) {
    AddClass("103", "学前年级（１２）班级");
    frmSetLesson f(twtest::State());
    f.CmbClass->setCurrentIndex(f.CmbClass->findText("学前年级（１２）班级"));
    f.CmbClass_Click();
    ASSERT_EQ(f.Panel(2)->text(), "学前年级（１２）班级  预排课程");
    f.grab();
    for (int i = 1; i <= 3; ++i) EXPECT_TRUE(twtest::ReadsWholeOrCut(f.Panel(i)));
    EXPECT_TRUE(twtest::ReadsWholeOrCut(f.CmbClass));
}

TEST_F(SetLessonFormTest, OpensOnTheFirstClassShowingOnlyItsFixedLessons) {
    AddPlan("101", "01", "T1", 5);
    AddLesson("101", 1, 1, "01", "T1", 0);
    AddLesson("101", 2, 5, "01", "T1", 1);  // built: not shown
    AddLesson("101", 3, 6, "01", "T1", 2);  // by hand: not shown
    AddLesson("102", 4, 2, "01", "T1", 0);  // another class
    frmSetLesson f(twtest::State());
    EXPECT_EQ(f.windowTitle(), "预先安排固定课程");
    ASSERT_EQ(f.CmbClass->count(), 2);
    EXPECT_EQ(f.CmbClass->currentText(), "一年级1班");
    EXPECT_EQ(f.CurClassCode(), "101");
    EXPECT_EQ(f.Panel(1)->text(),
              "鼠标左键单击青色课时 -- 安排课时       鼠标右键 -- 删除设置的课程");
    EXPECT_EQ(f.Panel(2)->text(), "一年级1班  预排课程");
    EXPECT_EQ(f.Panel(3)->text(), "读取成功");
    EXPECT_EQ(Cell(f, 1, 1), "语文");
    EXPECT_EQ(Cell(f, 2, 5), "");
    EXPECT_EQ(Cell(f, 3, 6), "");
    EXPECT_EQ(Cell(f, 4, 2), "");
    EXPECT_EQ(f.MSFlexGrid1->rowCount(), 8);
    EXPECT_EQ(f.MSFlexGrid1->columnWidth(1), 1500 / 15);
    // The first course is chosen and its free slots are cyan.
    EXPECT_EQ(f.lstCourse->currentRow(), 0);
    EXPECT_EQ(f.CurCourseCode(), "01");
    EXPECT_EQ(f.CurTeacherCode(), "T1");
    // Not at 1.1 (fixed here) nor at 4.2 (T1 fixed in 102); a built lesson blocks nothing.
    EXPECT_EQ(CyanSlots(f).size(), 28);
    EXPECT_EQ(Mark(f, 2, 5), tw::ui::kVbCyan);
}

TEST_F(SetLessonFormTest, SevenLessonsADayShowLessonSevenInRowEight) {
    twtest::State().lessonOfDay = 7;
    AddLesson("101", 5, 7, "03", "T3", 0);
    frmSetLesson f(twtest::State());
    ASSERT_EQ(f.MSFlexGrid1->rowCount(), 9);
    EXPECT_EQ(f.MSFlexGrid1->TextMatrix(8, 0), "七");
    EXPECT_EQ(f.MSFlexGrid1->rowHeight(8), 700 / 15);
    EXPECT_EQ(f.MSFlexGrid1->TextMatrix(8, 5), "音乐");
}

TEST_F(SetLessonFormTest, StoredLessonsOutsideTheWeekAreSkippedAndTheRestStillShows) {
    AddLesson("101", 0, 1, "01", "T1", 0);
    AddLesson("101", 6, 1, "01", "T1", 0);
    AddLesson("101", 2, 7, "01", "T1", 0);  // lesson 7 with 6 lessons a day
    AddLesson("101", 2, 2, "02", "T2", 0);
    frmSetLesson f(twtest::State());
    EXPECT_EQ(Cell(f, 2, 2), "数学");
    EXPECT_EQ(f.Panel(3)->text(), "读取成功");
}

TEST_F(SetLessonFormTest, CoursesPartlyFixedComeFirstAndFullOnesAreNotOffered) {
    AddPlan("101", "01", "T1", 3);
    AddPlan("101", "02", "T2", 1);
    AddPlan("101", "03", "T3", 0);
    AddPlan("102", "01", "T1", 2);
    AddLesson("101", 1, 1, "02", "T2", 0);  // 02 full
    AddLesson("101", 1, 2, "03", "T3", 0);  // 03 over its count of 0
    AddLesson("101", 1, 3, "01", "T1", 0);
    AddLesson("101", 1, 4, "01", "T1", 0);  // 01: 2 of 3
    frmSetLesson f(twtest::State());
    EXPECT_EQ(Courses(f), QStringList({"语文"}));

    Exec("delete from LessonListtb where Day=1 and LessonNo in (2,3)");
    f.CmdNextClass_Click();
    f.CmdPrevClass_Click();
    // 01 (1 of 3 fixed) first, then the courses with none fixed: 03 with a count of 0 too.
    EXPECT_EQ(Courses(f), QStringList({"语文", "音乐"}));
}

TEST_F(SetLessonFormTest, OnlyFixedLessonsOfTheTeacherElsewhereKeepASlotFromBeingCyan) {
    AddPlan("101", "01", "T1", 5);
    AddLesson("102", 2, 2, "01", "T1", 0);  // T1 fixed in 102
    AddLesson("102", 2, 3, "01", "T1", 1);  // T1 built in 102
    AddLesson("101", 2, 4, "02", "T2", 0);  // the class's own fixed lesson
    frmSetLesson f(twtest::State());
    EXPECT_NE(Mark(f, 2, 2), tw::ui::kVbCyan);
    EXPECT_EQ(Mark(f, 2, 3), tw::ui::kVbCyan);
    EXPECT_NE(Mark(f, 2, 4), tw::ui::kVbCyan);
    EXPECT_EQ(CyanSlots(f).size(), 28);
}

TEST_F(SetLessonFormTest, FixingWhereTheTeacherTeachesAnotherClassTakesThatLessonAway) {
    AddPlan("101", "01", "T1", 5);
    AddPlan("101", "02", "T2", 4, 1);
    AddPlan("102", "01", "T1", 5, 1);
    AddLesson("101", 2, 3, "02", "T2", 1);  // the class's own built lesson
    AddLesson("102", 2, 3, "01", "T1", 2);  // T1 placed by hand in 102 at the same time
    frmSetLesson f(twtest::State());
    ASSERT_EQ(Mark(f, 2, 3), tw::ui::kVbCyan);
    HandEditTest::ReleaseSlot(*f.MSFlexGrid1, 2, 3, Qt::LeftButton);
    EXPECT_EQ(f.Panel(3)->text(), "写入成功");
    // T1 is in one class only, and every count matches its lessons.
    EXPECT_EQ(AllLessons(), "101|2|3|01|T1|0");
    EXPECT_EQ(BuildCount("101", "01"), 1);
    EXPECT_EQ(BuildCount("101", "02"), 0);
    EXPECT_EQ(BuildCount("102", "01"), 0);
}

TEST_F(SetLessonFormTest, LeftClickOnCyanFixesTheCourseUntilItsCountIsUsedUp) {
    AddPlan("101", "01", "T1", 2);
    AddPlan("101", "02", "T2", 4);
    frmSetLesson f(twtest::State());
    ASSERT_EQ(Courses(f), QStringList({"语文", "数学"}));
    HandEditTest::ReleaseSlot(*f.MSFlexGrid1, 1, 1, Qt::LeftButton);
    EXPECT_EQ(f.Panel(3)->text(), "写入成功");
    EXPECT_EQ(Cell(f, 1, 1), "语文");
    EXPECT_EQ(Slot("101", 1, 1), "01|T1|0");
    EXPECT_EQ(BuildCount("101", "01"), 1);
    EXPECT_NE(Mark(f, 1, 1), tw::ui::kVbCyan);
    EXPECT_EQ(f.lstCourse->currentRow(), 0);

    HandEditTest::ReleaseSlot(*f.MSFlexGrid1, 5, 6, Qt::LeftButton);
    EXPECT_EQ(BuildCount("101", "01"), 2);
    // 01 has reached its count: 02 moves into the position, is chosen and marked.
    EXPECT_EQ(Courses(f), QStringList({"数学"}));
    EXPECT_EQ(f.CurCourseCode(), "02");
    EXPECT_EQ(f.CurTeacherCode(), "T2");
    EXPECT_EQ(CyanSlots(f).size(), 28);

    // A white cell writes nothing.
    HandEditTest::ReleaseSlot(*f.MSFlexGrid1, 1, 1, Qt::LeftButton);
    EXPECT_EQ(Slot("101", 1, 1), "01|T1|0");
    EXPECT_EQ(BuildCount("101", "02"), 0);
}

TEST_F(SetLessonFormTest, FixingOverABuiltLessonReplacesItInPlace) {
    AddPlan("101", "01", "T1", 2);
    AddPlan("101", "02", "T2", 4, 1);
    AddLesson("101", 3, 3, "02", "T2", 1);
    frmSetLesson f(twtest::State());
    ASSERT_EQ(Mark(f, 3, 3), tw::ui::kVbCyan);
    HandEditTest::ReleaseSlot(*f.MSFlexGrid1, 3, 3, Qt::LeftButton);
    EXPECT_EQ(AllLessons(), "101|3|3|01|T1|0");
    EXPECT_EQ(BuildCount("101", "02"), 0);
    EXPECT_EQ(BuildCount("101", "01"), 1);
}

TEST_F(SetLessonFormTest, RightClickRemovesAFixedLessonAndItsCourseIsOfferedAgain) {
    AddPlan("101", "01", "T1", 1, 1);
    AddPlan("101", "02", "T2", 2);
    AddLesson("101", 4, 4, "01", "T1", 0);
    frmSetLesson f(twtest::State());
    ASSERT_EQ(Courses(f), QStringList({"数学"}));
    HandEditTest::ReleaseSlot(*f.MSFlexGrid1, 4, 3, Qt::RightButton);  // empty: nothing
    EXPECT_EQ(f.Panel(3)->text(), "读取成功");
    HandEditTest::ReleaseSlot(*f.MSFlexGrid1, 4, 4, Qt::RightButton);
    EXPECT_EQ(f.Panel(3)->text(), "删除成功");
    EXPECT_EQ(Cell(f, 4, 4), "");
    EXPECT_EQ(Count("select count(*) from LessonListtb"), 0);
    EXPECT_EQ(BuildCount("101", "01"), 0);
    // Neither course has a fixed lesson now: by code. The remembered position is chosen again.
    EXPECT_EQ(Courses(f), QStringList({"语文", "数学"}));
    EXPECT_EQ(f.CurCourseCode(), "01");
    EXPECT_EQ(Mark(f, 4, 4), tw::ui::kVbCyan);
}

TEST_F(SetLessonFormTest, AFailedWriteShowsWriteFailedAndStoresNothing) {
    AddPlan("101", "01", "T1", 2);
    AddPlan("101", "02", "T2", 2, 1);
    AddLesson("101", 2, 2, "02", "T2", 2);
    FailPlanUpdatesOf("01");
    frmSetLesson f(twtest::State());
    const QString before = AllLessons() + "/" + AllPlans();
    HandEditTest::ReleaseSlot(*f.MSFlexGrid1, 2, 2, Qt::LeftButton);
    EXPECT_EQ(f.Panel(3)->text(), "写入失败：数据库出错");
    EXPECT_EQ(Cell(f, 2, 2), "");
    EXPECT_EQ(AllLessons() + "/" + AllPlans(), before);
    EXPECT_EQ(Mark(f, 2, 2), tw::ui::kVbCyan);  // still free for a fixed lesson
}

// Every read that fails says so with its reason in panel 3, whichever table it reads: before,
// only the class's fixed lessons said "读取失败", and the lists stayed empty without a word.
TEST_F(SetLessonFormTest, ReadsThatFailSayWhyInPanelThree) {
    AddPlan("101", "01", "T1", 2);
    AddLesson("101", 1, 1, "01", "T1", 0);
    ExpectEachMissingTableSaidInPanelThree<frmSetLesson>(
        {"Classtb", "Coursetb", "LessonListtb", "ClassPlantb"});
    // A course chosen whose teacher cannot be read.
    frmSetLesson f(twtest::State());
    ASSERT_EQ(f.Panel(3)->text(), "读取成功");
    Exec("alter table ClassPlantb rename to Gone");
    ChooseCourse(f, -1);
    ChooseCourse(f, 0);
    EXPECT_EQ(f.Panel(3)->text(), "读取失败：数据库出错");
    Exec("alter table Gone rename to ClassPlantb");
}

TEST_F(SetLessonFormTest, AClassWithoutPlanRowsOffersNothingAndWritesNothing) {
    AddPlan("102", "01", "T1", 2);
    frmSetLesson f(twtest::State());
    EXPECT_EQ(f.lstCourse->count(), 0);
    EXPECT_TRUE(CyanSlots(f).isEmpty());
    HandEditTest::ReleaseSlot(*f.MSFlexGrid1, 1, 1, Qt::LeftButton);
    EXPECT_EQ(Count("select count(*) from LessonListtb"), 0);

    f.CmdNextClass_Click();
    EXPECT_EQ(f.CurClassCode(), "102");
    EXPECT_EQ(f.Panel(2)->text(), "一年级2班  预排课程");
    EXPECT_EQ(CyanSlots(f).size(), 30);
    f.CmdNextClass_Click();  // the last class: nothing happens
    EXPECT_EQ(f.CmbClass->currentIndex(), 1);
    f.CmdPrevClass_Click();
    f.CmdPrevClass_Click();
    EXPECT_EQ(f.CmbClass->currentIndex(), 0);
}

TEST_F(SetLessonFormTest, HeadingsLabelsAndTheSeparatorIgnoreClicks) {
    AddPlan("101", "01", "T1", 2);
    frmSetLesson f(twtest::State());
    HandEditTest::Release(*f.MSFlexGrid1, 0, 1, Qt::LeftButton);
    HandEditTest::Release(*f.MSFlexGrid1, 1, 0, Qt::LeftButton);
    HandEditTest::Release(*f.MSFlexGrid1, tw::ui::kWeekGridSeparatorRow, 2, Qt::LeftButton);
    EXPECT_EQ(Count("select count(*) from LessonListtb"), 0);
    EXPECT_EQ(f.MSFlexGrid1->TextMatrix(0, 1), "星期一");
}

}  // namespace

namespace {

TEST_F(SetLessonFormTest, ChoosingAnotherCourseMarksTheSlotsOfItsTeacher) {
    AddPlan("101", "01", "T1", 2);
    AddPlan("101", "02", "T2", 2);
    AddLesson("102", 3, 3, "02", "T2", 0);  // T2 fixed in 102
    frmSetLesson f(twtest::State());
    EXPECT_EQ(Mark(f, 3, 3), tw::ui::kVbCyan);
    ChooseCourse(f, 1);
    EXPECT_EQ(f.CurCourseCode(), "02");
    EXPECT_EQ(f.CurTeacherCode(), "T2");
    EXPECT_NE(Mark(f, 3, 3), tw::ui::kVbCyan);
    EXPECT_EQ(CyanSlots(f).size(), 29);
    HandEditTest::ReleaseSlot(*f.MSFlexGrid1, 2, 4, Qt::LeftButton);
    EXPECT_EQ(Slot("101", 2, 4), "02|T2|0");
    EXPECT_EQ(f.lstCourse->currentRow(), 1);  // the chosen position stays
}

}  // namespace

// Classes and courses may share a name: the class chosen and the course fixed are those of the
// entry's own code.
TEST_F(SetLessonFormTest, NamesAlikeAreFixedByTheirOwnCodes) {
    AddClass("103", "一年级1班");
    AddCourse("04", "语文");
    AddPlan("101", "01", "T1", 2);
    AddPlan("103", "01", "T1", 2);
    AddPlan("103", "04", "T2", 2);
    AddLesson("103", 2, 2, "04", "T2", 0);
    frmSetLesson f(twtest::State());
    ASSERT_TRUE(tw::ui::SetComboCode(f.CmbClass, "103", [&f] { f.CmbClass_Click(); }));
    EXPECT_EQ(f.CurClassCode(), "103");
    // Namesakes whose full names are their names show with their codes.
    ASSERT_EQ(Courses(f), QStringList({"语文（04）", "语文（01）"}));
    ChooseCourse(f, 0);  // partly fixed courses come first: 04
    EXPECT_EQ(f.CurCourseCode(), "04");
    EXPECT_EQ(f.CurTeacherCode(), "T2");
    ReleaseSlot(*f.MSFlexGrid1, 1, 1, Qt::LeftButton);
    EXPECT_EQ(Slot("103", 1, 1), "04|T2|0");
    EXPECT_EQ(f.MSFlexGrid1->TextMatrix(tw::ui::WeekGridRowOfLesson(1), 1), "语文（04）");
    // 04 is fixed in full now; the other 语文 stays on offer.
    EXPECT_EQ(Courses(f), QStringList({"语文（01）"}));
    EXPECT_EQ(f.CurCourseCode(), "01");
    EXPECT_EQ(Count("select count(*) from LessonListtb where ClassCode='101'"), 0);
}
