// The hand-editing form: the class and teacher weeks, the owed lessons, and placing, removing,
// selecting, swapping and moving lessons with the mouse.
#include <QComboBox>
#include <QImage>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>

#include "FitTextTestSupport.h"
#include "HandEditTestSupport.h"
#include "timetable/frmManualSetLesson.h"
#include "ui/Combo.h"
#include "ui/WeekGrid.h"

using tw::timetable::frmManualSetLesson;

namespace {

class ManualSetLessonFormTest : public HandEditTest {
  public:
    void SetUp() override {
        HandEditTest::SetUp();
        AddClass("101", "一年级1班", "一1");
        AddClass("102", "一年级2班", "一2");
        AddCourse("01", "语文");
        AddCourse("02", "数学");
        AddCourse("03", "音乐");
        AddTeacher("T2", "李老师");
        AddTeacher("T1", "张老师");
        AddTeacher("T3", "王老师");
    }
    // Entries of the owed-lesson list as "class|course|count".
    static QStringList Owed(frmManualSetLesson& f) {
        QStringList out;
        for (int i = 0; i < f.lstCourse->topLevelItemCount(); ++i) {
            const QTreeWidgetItem* it = f.lstCourse->topLevelItem(i);
            out << it->text(0) + "|" + it->text(1) + "|" + it->text(2);
        }
        return out;
    }
    static void Pick(frmManualSetLesson& f, int entry) {
        f.lstCourse_ItemClick(f.lstCourse->topLevelItem(entry));
    }
    static void Click(frmManualSetLesson& f, int day, int lesson, Qt::MouseButton button) {
        ReleaseSlot(*f.MSFlexGrid1, day, lesson, button);
    }
};

TEST_F(ManualSetLessonFormTest, OpensOnTheFirstClassWithAllOwedLessonsAndNoTeacher) {
    AddPlan("101", "01", "T1", 5, 1);
    AddPlan("101", "02", "T2", 4, 4);  // nothing owed: not listed
    AddPlan("102", "03", "T3", 1, 2);  // one too many: listed with -1
    AddLesson("101", 1, 1, "01", "T1", 0);
    AddLesson("101", 2, 6, "02", "T2", 1);
    AddLesson("101", 3, 3, "03", "T3", 2);
    frmManualSetLesson f(twtest::State());
    EXPECT_EQ(f.windowTitle(), "人工安排课程");
    EXPECT_EQ(Owed(f), QStringList({"一年级1班|语文|4", "一年级2班|音乐|-1"}));
    EXPECT_EQ(f.lstCourse->headerItem()->text(2), "节数");
    EXPECT_EQ(f.CmbClass->currentText(), "一年级1班");
    EXPECT_EQ(f.CurClassCode(), "101");
    // Teachers in the order of their codes, none chosen.
    ASSERT_EQ(f.CmbTeacher->count(), 3);
    EXPECT_EQ(f.CmbTeacher->itemText(0), "张老师");
    EXPECT_EQ(f.CmbTeacher->currentIndex(), -1);
    EXPECT_EQ(f.Panel(1)->text(), frmManualSetLesson::kHintDefault);
    EXPECT_EQ(f.Panel(2)->text(), "一年级1班");
    EXPECT_EQ(f.Panel(3)->text(), "读取成功");
    // Every lesson shows, whatever its flag.
    EXPECT_EQ(Cell(f, 1, 1), "语文");
    EXPECT_EQ(Cell(f, 2, 6), "数学");
    EXPECT_EQ(Cell(f, 3, 3), "音乐");
    EXPECT_EQ(f.ClassCell(2, 6).teacherName, "李老师");
    EXPECT_EQ(f.MSFlexGrid1->rowCount(), 8);
    EXPECT_EQ(f.grdTeacher->rowCount(), 8);
    EXPECT_EQ(f.grdTeacher->TextMatrix(1, 1), "");
    EXPECT_EQ(f.MSFlexGrid1->columnWidth(1), 1000 / 15);
}

// Owed lessons list classes by grade and class number as a number, then other codes.
TEST_F(ManualSetLessonFormTest, OwedLessonsListClassesByGradeAndNumber) {
    AddClass("A1", "甲班");
    AddPlan("A1", "01", "T1", 1, 0);
    for (const char* code : {"711", "72", "710", "71"}) {
        AddClass(code, QStringLiteral("七（%1）班").arg(QString(code).mid(1)), "");
        AddPlan(code, "02", "T2", 2, 0);
        AddPlan(code, "01", "T1", 1, 0);
    }
    AddPlan("102", "01", "T1", 1, 0);
    frmManualSetLesson f(twtest::State());
    EXPECT_EQ(Owed(f), QStringList({"一年级2班|语文|1", "七（1）班|语文|1", "七（1）班|数学|2",
                                    "七（2）班|语文|1", "七（2）班|数学|2", "七（10）班|语文|1",
                                    "七（10）班|数学|2", "七（11）班|语文|1", "七（11）班|数学|2",
                                    "甲班|语文|1"}));
}

TEST_F(ManualSetLessonFormTest, WithSevenLessonsBothGridsHaveRowSeven) {
    twtest::State().lessonOfDay = 7;
    AddLesson("101", 4, 7, "01", "T1", 1);
    frmManualSetLesson f(twtest::State());
    EXPECT_EQ(f.MSFlexGrid1->rowCount(), 9);
    EXPECT_EQ(f.grdTeacher->rowCount(), 9);
    EXPECT_EQ(f.grdTeacher->TextMatrix(8, 0), "七");
    EXPECT_EQ(f.MSFlexGrid1->TextMatrix(8, 4), "语文");
}

TEST_F(ManualSetLessonFormTest, NoClassesGivesAnEmptyWeekThatStillReadsSuccessfully) {
    Exec("delete from Classtb");
    frmManualSetLesson f(twtest::State());
    EXPECT_EQ(f.CmbClass->count(), 0);
    EXPECT_EQ(f.CmbClass->currentIndex(), -1);
    EXPECT_EQ(f.Panel(3)->text(), "读取成功");
    EXPECT_EQ(f.MSFlexGrid1->TextMatrix(0, 1), "星期一");
}

TEST_F(ManualSetLessonFormTest, StoredLessonsOutsideTheWeekAreSkipped) {
    AddLesson("101", 1, 7, "01", "T1", 1);  // lesson 7 with 6 a day
    AddLesson("101", 9, 1, "01", "T1", 1);
    AddLesson("101", 5, 6, "02", "T2", 1);
    frmManualSetLesson f(twtest::State());
    EXPECT_EQ(Cell(f, 5, 6), "数学");
    EXPECT_EQ(f.Panel(3)->text(), "读取成功");
}

// The longest names the forms take (ten wide characters) and a teacher told from a namesake by
// the course in brackets: every hint, the class name, the class list and the teacher box read at
// 8 pt or more, whole or cut with "…" and the whole text as tooltip; the bracketed name of eight
// wide characters shows whole, and so does every character of the heading beside the list.
TEST_F(ManualSetLessonFormTest, HintsClassNameAndTeacherBoxShowWhole) {
    AddClass("103", "学前年级（１２）班级");
    AddTeacher("T9", "信息技术老师一二三四");
    AddTeacher("T8", "信息老师24");
    AddTeacher("T7", "张伟（初二数学）");
    AddLesson("103", 1, 1, "01", "T9", 1);
    AddLesson("103", 1, 2, "02", "T8", 1);
    AddLesson("103", 1, 3, "03", "T7", 1);
    AddPlan("103", "01", "T9", 3);
    frmManualSetLesson f(twtest::State());
    f.CmbClass->setCurrentIndex(f.CmbClass->findText("学前年级（１２）班级"));
    f.CmbClass_Click();
    for (int lesson : {1, 2, 3}) {
        Click(f, 1, lesson, Qt::LeftButton);
        ASSERT_EQ(f.Panel(1)->text(), frmManualSetLesson::kHintSelected);
        f.grab();
        for (int i = 1; i <= 3; ++i) EXPECT_TRUE(twtest::ReadsWholeOrCut(f.Panel(i)));
        EXPECT_EQ(f.CmbTeacher->geometry(), QRect(7800 / 15, 1380 / 15, 1950 / 15, 360 / 15));
        EXPECT_TRUE(twtest::ReadsWholeOrCut(f.CmbTeacher));
    }
    EXPECT_EQ(tw::ui::ShownText(f.CmbTeacher), "张伟（初二数学）");
    EXPECT_TRUE(twtest::ReadsWholeOrCut(f.CmbClass));
    EXPECT_EQ(f.Panel(2)->text(), "学前年级（１２）班级");
    f.show();
    ASSERT_EQ(f.lstCourse->topLevelItemCount(), 1);
    const QModelIndex owed = f.lstCourse->model()->index(0, 0);
    EXPECT_EQ(twtest::TipOfItem(f.lstCourse, owed), "学前年级（１２）班级");
    EXPECT_EQ(twtest::TipOfItem(f.lstCourse, owed.siblingAtColumn(1)), "");

    // The heading: eight characters, each its own band of ink inside the label, at 8 pt or more.
    auto* heading = dynamic_cast<tw::ui::ColumnLabel*>(f.Label1);
    ASSERT_NE(heading, nullptr);
    EXPECT_GE(heading->ShownFont().pointSizeF(), 8.0);
    const QImage image = f.Label1->grab().toImage();
    const QColor background = image.pixelColor(0, 0);
    std::vector<bool> ink;
    for (int y = 0; y < image.height(); ++y) {
        bool any = false;
        for (int x = 0; x < image.width(); ++x) any = any || image.pixelColor(x, y) != background;
        ink.push_back(any);
    }
    int bands = 0;
    for (size_t y = 0; y < ink.size(); ++y) bands += ink[y] && (y == 0 || !ink[y - 1]);
    EXPECT_EQ(bands, 8);
}

// A teacher-grid cell shows the course over the class's short name. The class line reads whole
// at 8 pt or more whatever the course, so one course in two classes reads apart; a long course
// gives way first (wrapped, smaller, or cut with "…" and the whole text as the cell's tooltip),
// and nothing is drawn outside the cell.
TEST_F(ManualSetLessonFormTest, TeacherGridShowsEveryLessonsClassWhole) {
    AddClass("110", "七年级10班", "七（10）");
    AddClass("111", "七年级11班", "七（11）");
    AddClass("112", "初二年级12班", "初二（12）");
    const QStringList courses = {"语文", "道德与法治", "信息技术", "综合实践活动",
                                 "信息技术与创新实践课"};
    // 语文 is the fixture's course 01.
    const QStringList codes = {"01", "C1", "C2", "C3", "C4"};
    for (int i = 1; i < courses.size(); ++i) AddCourse(codes[i], courses[i]);
    AddTeacher("T5", "赵老师");
    const QStringList classes = {"110", "111", "112"};
    for (int lessons : {6, 7}) {
        SCOPED_TRACE(lessons);
        twtest::State().lessonOfDay = lessons;
        Exec("delete from LessonListtb");
        for (int i = 0; i < courses.size(); ++i) {
            for (int c = 0; c < classes.size(); ++c) {
                AddLesson(classes[c], i + 1, c + 1, codes[i], "T5", 1);
            }
        }
        frmManualSetLesson f(twtest::State());
        f.CmbTeacher->setCurrentIndex(f.CmbTeacher->findText("赵老师"));
        f.CmbTeacher_Click();
        f.grab();
        const QStringList shortNames = {"七（10）", "七（11）", "初二（12）"};
        for (int i = 0; i < courses.size(); ++i) {
            for (int c = 0; c < classes.size(); ++c) {
                const int row = tw::ui::WeekGridRowOfLesson(c + 1);
                SCOPED_TRACE((courses[i] + " " + shortNames[c]).toStdString());
                const QString text = f.grdTeacher->TextMatrix(row, i + 1);
                ASSERT_EQ(text, courses[i] + "\n" + shortNames[c]);
                const tw::ui::FittedText shown = f.grdTeacher->ShownCell(row, i + 1);
                EXPECT_GE(shown.font.pointSizeF(), 8.0);
                ASSERT_GE(shown.lines.size(), 2);
                EXPECT_EQ(shown.lines.back(), shortNames[c]);
                const QRect cell =
                    f.grdTeacher->visualRect(f.grdTeacher->model()->index(row, i + 1));
                const QFontMetrics metrics(shown.font);
                for (const QString& line : shown.lines) {
                    EXPECT_LE(metrics.horizontalAdvance(line), cell.width()) << line.toStdString();
                }
                EXPECT_LE(metrics.lineSpacing() * shown.lines.size(), cell.height());
                const QString course = shown.lines.mid(0, shown.lines.size() - 1).join(QString());
                if (shown.whole) {
                    EXPECT_EQ(course, courses[i]);
                    EXPECT_TRUE(f.grdTeacher->CellToolTip(row, i + 1).isEmpty());
                } else {
                    EXPECT_TRUE(course.endsWith(QStringLiteral("…")));
                    EXPECT_EQ(f.grdTeacher->CellToolTip(row, i + 1), text);
                }
            }
        }
        // The short courses read whole in the grid's own font or near it.
        EXPECT_TRUE(f.grdTeacher->ShownCell(1, 1).whole);
        EXPECT_TRUE(f.grdTeacher->ShownCell(1, 4).whole);
    }
}

TEST_F(ManualSetLessonFormTest, PickingAnOwedLessonMarksWhereClassAndTeacherAreFree) {
    AddPlan("101", "01", "T1", 1);
    AddPlan("102", "02", "T2", 3);
    AddLesson("102", 1, 1, "03", "T3", 1);  // 102 busy
    AddLesson("101", 1, 2, "01", "T1", 1);  // T2 free, class busy
    AddLesson("101", 1, 3, "02", "T2", 1);  // T2 busy in 101
    frmManualSetLesson f(twtest::State());
    ASSERT_EQ(Owed(f).size(), 2);
    Pick(f, 1);
    EXPECT_EQ(f.CmbClass->currentText(), "一年级2班");
    EXPECT_EQ(f.CurClassCode(), "102");
    EXPECT_EQ(f.PickedCourseCode(), "02");
    EXPECT_EQ(f.PickedTeacherCode(), "T2");
    EXPECT_EQ(f.PickedRemainCount(), 3);
    const QStringList cyan = Marked(f, tw::ui::kVbCyan);
    EXPECT_EQ(cyan.size(), 28);
    EXPECT_FALSE(cyan.contains("1.1"));
    EXPECT_TRUE(cyan.contains("1.2"));
    EXPECT_FALSE(cyan.contains("1.3"));
    EXPECT_EQ(f.Panel(1)->text(), frmManualSetLesson::kHintPicked);
}

TEST_F(ManualSetLessonFormTest, PickingAnEntryWithNothingOwedOnlyShowsItsClass) {
    AddPlan("102", "02", "T2", 0, 1);
    frmManualSetLesson f(twtest::State());
    Pick(f, 0);
    EXPECT_EQ(f.CurClassCode(), "102");
    EXPECT_TRUE(Marked(f, tw::ui::kVbCyan).isEmpty());
    EXPECT_EQ(f.Panel(1)->text(), frmManualSetLesson::kHintDefault);
}

TEST_F(ManualSetLessonFormTest, PlacingOnCyanStoresAHandLessonAndClearsTheMarks) {
    AddPlan("101", "02", "T2", 2);
    frmManualSetLesson f(twtest::State());
    Pick(f, 0);
    Click(f, 2, 5, Qt::LeftButton);
    EXPECT_EQ(f.Panel(3)->text(), "写入成功");
    EXPECT_EQ(Slot("101", 2, 5), "02|T2|2");
    EXPECT_EQ(BuildCount("101", "02"), 1);
    EXPECT_EQ(Cell(f, 2, 5), "数学");
    EXPECT_EQ(f.ClassCell(2, 5).teacherCode, "T2");
    EXPECT_EQ(Owed(f), QStringList({"一年级1班|数学|1"}));
    EXPECT_TRUE(Marked(f, tw::ui::kVbCyan).isEmpty());
    EXPECT_EQ(f.Panel(1)->text(), frmManualSetLesson::kHintDefault);
    // The teacher follows the placed lesson.
    EXPECT_EQ(f.CmbTeacher->currentText(), "李老师");
    EXPECT_EQ(f.grdTeacher->TextMatrix(tw::ui::WeekGridRowOfLesson(5), 2), "数学\n一1");

    Pick(f, 0);
    Click(f, 3, 1, Qt::LeftButton);
    EXPECT_EQ(BuildCount("101", "02"), 2);
    EXPECT_TRUE(Owed(f).isEmpty());
}

TEST_F(ManualSetLessonFormTest, PlacingIntoASlotTakenMeanwhileFailsAndShowsWhatIsStored) {
    AddPlan("101", "02", "T2", 2);
    frmManualSetLesson f(twtest::State());
    Pick(f, 0);
    ASSERT_EQ(Mark(f, 4, 4), tw::ui::kVbCyan);
    AddLesson("101", 4, 4, "03", "T3", 1);  // the slot is taken behind the form's back
    Click(f, 4, 4, Qt::LeftButton);
    EXPECT_EQ(f.Panel(3)->text(), "写入失败：该课时已经有课");
    EXPECT_EQ(Slot("101", 4, 4), "03|T3|1");
    EXPECT_EQ(BuildCount("101", "02"), 0);
    EXPECT_EQ(Cell(f, 4, 4), "音乐");
    EXPECT_TRUE(Marked(f, tw::ui::kVbCyan).isEmpty());
}

// Every read that fails says so with its reason in panel 3, whichever table it reads; before,
// the lists and grids stayed empty without a word.
TEST_F(ManualSetLessonFormTest, ReadsThatFailSayWhyInPanelThree) {
    AddPlan("101", "02", "T2", 2);
    AddLesson("101", 1, 1, "02", "T2", 1);
    ExpectEachMissingTableSaidInPanelThree<frmManualSetLesson>(
        {"Classtb", "Coursetb", "Teachertb", "LessonListtb", "ClassPlantb"});
    // A lesson selected whose swap partners cannot be read.
    frmManualSetLesson f(twtest::State());
    ASSERT_EQ(f.Panel(3)->text(), "读取成功");
    Exec("alter table LessonListtb rename to Gone");
    Click(f, 1, 1, Qt::LeftButton);
    EXPECT_EQ(f.Panel(3)->text(), "读取失败：数据库出错");
    Exec("alter table Gone rename to LessonListtb");
}

TEST_F(ManualSetLessonFormTest, AFailingPlacementLeavesTheDatabaseAsItWas) {
    AddPlan("101", "02", "T2", 2);
    FailPlanUpdatesOf("02");
    frmManualSetLesson f(twtest::State());
    Pick(f, 0);
    Click(f, 1, 1, Qt::LeftButton);
    EXPECT_EQ(f.Panel(3)->text(), "写入失败：数据库出错");
    EXPECT_EQ(Count("select count(*) from LessonListtb"), 0);
    EXPECT_EQ(Cell(f, 1, 1), "");
    EXPECT_EQ(Owed(f), QStringList({"一年级1班|数学|2"}));
}

TEST_F(ManualSetLessonFormTest, RightClickRemovesALessonOfAnyFlag) {
    AddPlan("101", "01", "T1", 2, 2);
    AddLesson("101", 1, 1, "01", "T1", 0);
    AddLesson("101", 1, 2, "01", "T1", 1);
    frmManualSetLesson f(twtest::State());
    EXPECT_TRUE(Owed(f).isEmpty());
    Click(f, 1, 1, Qt::RightButton);
    EXPECT_EQ(f.Panel(3)->text(), "删除成功");
    EXPECT_EQ(Slot("101", 1, 1), "");
    EXPECT_EQ(BuildCount("101", "01"), 1);
    EXPECT_EQ(Cell(f, 1, 1), "");
    EXPECT_TRUE(f.ClassCell(1, 1).courseCode.isEmpty());
    EXPECT_EQ(Owed(f), QStringList({"一年级1班|语文|1"}));
    // The teacher of the removed lesson is gone from the view.
    EXPECT_EQ(f.CmbTeacher->currentIndex(), -1);
}

TEST_F(ManualSetLessonFormTest, RightClickOnAnEmptyWhiteCellDoesNothingAtAll) {
    AddPlan("101", "01", "T1", 2, 1);
    AddLesson("101", 1, 1, "01", "T1", 1);
    frmManualSetLesson f(twtest::State());
    Click(f, 1, 1, Qt::LeftButton);  // select: the teacher is shown
    Click(f, 1, 1, Qt::LeftButton);  // the red selected lesson: nothing
    ASSERT_EQ(f.CmbTeacher->currentText(), "张老师");
    Click(f, 3, 3, Qt::LeftButton);  // empty, not cyan: the marks go
    EXPECT_TRUE(Marked(f, tw::ui::kVbYellow).isEmpty());
    ASSERT_EQ(f.CmbTeacher->currentIndex(), -1);
    f.CmbTeacher->setCurrentIndex(0);
    f.CmbTeacher_Click();
    Click(f, 3, 3, Qt::RightButton);
    EXPECT_EQ(f.CmbTeacher->currentText(), "张老师");
    EXPECT_EQ(Count("select count(*) from LessonListtb"), 1);
}

TEST_F(ManualSetLessonFormTest, SelectingMarksOnlyPartnersThatMeetNoOtherClass) {
    AddLesson("101", 1, 1, "01", "T1", 1);  // selected
    AddLesson("101", 1, 2, "01", "T1", 1);  // same course: never yellow
    AddLesson("101", 1, 3, "02", "T2", 1);  // partner
    AddLesson("101", 1, 4, "03", "T3", 1);  // T3 teaches 102 at 1.1: no partner
    AddLesson("102", 1, 1, "03", "T3", 1);
    AddLesson("102", 2, 2, "01", "T1", 1);  // T1 busy at 2.2: empty 2.2 no partner
    frmManualSetLesson f(twtest::State());
    Click(f, 1, 1, Qt::LeftButton);
    EXPECT_EQ(Mark(f, 1, 1), tw::ui::kVbDarkRed);
    EXPECT_EQ(f.SelectedDay(), 1);
    EXPECT_EQ(f.SelectedLesson(), 1);
    const QStringList yellow = Marked(f, tw::ui::kVbYellow);
    EXPECT_FALSE(yellow.contains("1.2"));
    EXPECT_TRUE(yellow.contains("1.3"));
    EXPECT_FALSE(yellow.contains("1.4"));
    EXPECT_FALSE(yellow.contains("2.2"));
    EXPECT_TRUE(yellow.contains("2.1"));
    EXPECT_EQ(yellow.size(), 30 - 4);  // all but 1.1, 1.2, 1.4 and 2.2
    EXPECT_EQ(f.Panel(1)->text(), frmManualSetLesson::kHintSelected);
    // The teacher follows: T1's week, two lines a lesson, current at the selected slot.
    EXPECT_EQ(f.CmbTeacher->currentText(), "张老师");
    EXPECT_EQ(f.grdTeacher->TextMatrix(2, 2), "语文\n一2");
    EXPECT_EQ(f.TeacherCell(2, 2).className, "一年级2班");
    EXPECT_EQ(f.grdTeacher->currentRow(), 1);
    EXPECT_EQ(f.grdTeacher->currentColumn(), 1);
}

// A fixed lesson stays fixed wherever the form swaps or moves it.
TEST_F(ManualSetLessonFormTest, ASwapOrAMoveKeepsAFixedLessonFixed) {
    AddPlan("101", "01", "T1", 1, 1);
    AddPlan("101", "02", "T2", 1, 1);
    AddLesson("101", 1, 1, "01", "T1", 0);
    AddLesson("101", 1, 3, "02", "T2", 1);
    frmManualSetLesson f(twtest::State());
    Click(f, 1, 1, Qt::LeftButton);
    Click(f, 1, 3, Qt::RightButton);
    EXPECT_EQ(f.Panel(3)->text(), "换课成功");
    EXPECT_EQ(Slot("101", 1, 1), "02|T2|2");
    EXPECT_EQ(Slot("101", 1, 3), "01|T1|0");
    EXPECT_EQ(Cell(f, 1, 1), "数学");
    EXPECT_EQ(Cell(f, 1, 3), "语文");
    EXPECT_EQ(f.ClassCell(1, 3).teacherCode, "T1");
    EXPECT_TRUE(Marked(f, tw::ui::kVbYellow).isEmpty());

    Click(f, 1, 3, Qt::LeftButton);
    Click(f, 5, 6, Qt::RightButton);  // empty and yellow: a move
    EXPECT_EQ(Slot("101", 1, 3), "");
    EXPECT_EQ(Slot("101", 5, 6), "01|T1|0");
    EXPECT_EQ(Cell(f, 1, 3), "");
    EXPECT_EQ(Cell(f, 5, 6), "语文");
    EXPECT_EQ(BuildCount("101", "01"), 1);
    EXPECT_EQ(BuildCount("101", "02"), 1);
}

TEST_F(ManualSetLessonFormTest, AFailingMoveKeepsTheLessonAndTheGridShowsIt) {
    AddLesson("101", 1, 1, "01", "T1", 1);
    frmManualSetLesson f(twtest::State());
    Click(f, 1, 1, Qt::LeftButton);
    ASSERT_EQ(Mark(f, 2, 2), tw::ui::kVbYellow);
    FailLessonInserts();
    Click(f, 2, 2, Qt::RightButton);
    EXPECT_EQ(f.Panel(3)->text(), "换课失败：数据库出错");
    EXPECT_EQ(AllLessons(), "101|1|1|01|T1|1");
    EXPECT_EQ(Cell(f, 1, 1), "语文");
    EXPECT_EQ(Cell(f, 2, 2), "");
    EXPECT_EQ(f.ClassCell(1, 1).courseCode, "01");
}

TEST_F(ManualSetLessonFormTest, ATeacherGridClickOnAnotherClassSwitchesTheClass) {
    AddLesson("101", 1, 1, "01", "T1", 1);
    AddLesson("102", 3, 6, "01", "T1", 1);
    frmManualSetLesson f(twtest::State());
    Click(f, 1, 1, Qt::LeftButton);
    ASSERT_EQ(f.CmbTeacher->currentText(), "张老师");
    ReleaseSlot(*f.grdTeacher, 3, 6, Qt::LeftButton);
    EXPECT_EQ(f.CmbClass->currentText(), "一年级2班");
    EXPECT_EQ(f.CurClassCode(), "102");
    EXPECT_EQ(Cell(f, 3, 6), "语文");
    EXPECT_EQ(f.MSFlexGrid1->currentRow(), tw::ui::WeekGridRowOfLesson(6));
    EXPECT_EQ(f.MSFlexGrid1->currentColumn(), 3);
    // An empty teacher cell changes nothing.
    ReleaseSlot(*f.grdTeacher, 2, 2, Qt::LeftButton);
    EXPECT_EQ(f.CurClassCode(), "102");
}

TEST_F(ManualSetLessonFormTest, PreviousAndNextStopAtTheEnds) {
    frmManualSetLesson f(twtest::State());
    f.CmdPrevClass_Click();
    EXPECT_EQ(f.CmbClass->currentIndex(), 0);
    f.CmdNextClass_Click();
    EXPECT_EQ(f.CurClassCode(), "102");
    EXPECT_EQ(f.Panel(2)->text(), "一年级2班");
    f.CmdNextClass_Click();
    EXPECT_EQ(f.CmbClass->currentIndex(), 1);
}

}  // namespace

namespace {

TEST_F(ManualSetLessonFormTest, TheTeacherWeekShownIsNotReloadedForTheSameTeacher) {
    AddLesson("101", 1, 1, "01", "T1", 1);
    AddLesson("101", 1, 2, "01", "T1", 1);
    AddLesson("999", 2, 2, "01", "T1", 1);  // a class without a class row
    frmManualSetLesson f(twtest::State());
    Click(f, 1, 1, Qt::LeftButton);
    EXPECT_EQ(f.grdTeacher->TextMatrix(2, 2), "语文\n");
    Exec("insert into LessonListtb values('102',3,3,'01','T1',1)");
    Click(f, 1, 2, Qt::LeftButton);
    EXPECT_EQ(f.grdTeacher->TextMatrix(3, 3), "");  // still the week read first
    EXPECT_EQ(f.grdTeacher->currentRow(), 2);
    EXPECT_EQ(f.grdTeacher->currentColumn(), 1);
    // A lesson of a class that is not in the class list cannot be followed there.
    ReleaseSlot(*f.grdTeacher, 2, 2, Qt::LeftButton);
    EXPECT_EQ(f.CurClassCode(), "101");
}

}  // namespace

namespace {

TEST_F(ManualSetLessonFormTest, TheTeacherWeekShowsEveryPlacementSwapAndMoveOfTheForm) {
    AddPlan("101", "01", "T1", 2, 1);
    AddPlan("101", "02", "T2", 2, 1);
    AddLesson("101", 1, 1, "01", "T1", 1);
    AddLesson("101", 1, 2, "02", "T2", 1);
    frmManualSetLesson f(twtest::State());
    auto teacherCell = [&](int day, int lesson) {
        return f.grdTeacher->TextMatrix(tw::ui::WeekGridRowOfLesson(lesson), day);
    };
    // A move of T1's lesson while T1's week is shown.
    Click(f, 1, 1, Qt::LeftButton);
    ASSERT_EQ(f.CmbTeacher->currentText(), "张老师");
    Click(f, 3, 4, Qt::RightButton);
    ASSERT_EQ(Slot("101", 3, 4), "01|T1|2");
    EXPECT_EQ(teacherCell(1, 1), "");
    EXPECT_EQ(teacherCell(3, 4), "语文\n一1");
    // A swap: T1 goes to 1.2, T2 to 3.4.
    Click(f, 3, 4, Qt::LeftButton);
    Click(f, 1, 2, Qt::RightButton);
    ASSERT_EQ(Slot("101", 1, 2), "01|T1|1");
    EXPECT_EQ(f.CmbTeacher->currentText(), "张老师");
    EXPECT_EQ(teacherCell(3, 4), "");
    EXPECT_EQ(teacherCell(1, 2), "语文\n一1");
    // A placement of T1's owed lesson.
    Pick(f, 0);
    ASSERT_EQ(f.PickedTeacherCode(), "T1");
    Click(f, 5, 6, Qt::LeftButton);
    ASSERT_EQ(Slot("101", 5, 6), "01|T1|2");
    EXPECT_EQ(teacherCell(5, 6), "语文\n一1");
    EXPECT_EQ(teacherCell(1, 2), "语文\n一1");
}

}  // namespace

// Full-width letters are not folded by the database: Ｃ1 and ｃ1 are two courses, so each is the
// other's swap partner and the swap goes through; ASCII codes that differ only in case are one.
TEST_F(ManualSetLessonFormTest, CodesAreComparedAsTheDatabaseComparesThem) {
    AddCourse("Ｃ1", "数学");
    AddCourse("ｃ1", "奥数");
    AddLesson("101", 1, 1, "Ｃ1", "T1", 1);
    AddLesson("101", 1, 2, "ｃ1", "T2", 1);
    AddCourse("C2", "美术");
    AddLesson("101", 1, 3, "c2", "T3", 1);  // stored in another case than Coursetb's C2
    AddLesson("101", 1, 4, "C2", "T3", 1);
    frmManualSetLesson f(twtest::State());
    Click(f, 1, 1, Qt::LeftButton);
    EXPECT_TRUE(Marked(f, tw::ui::kVbYellow).contains("1.2"));
    Click(f, 1, 2, Qt::RightButton);
    EXPECT_EQ(f.Panel(3)->text(), "换课成功");
    EXPECT_EQ(Slot("101", 1, 1), "ｃ1|T2|1");
    EXPECT_EQ(Slot("101", 1, 2), "Ｃ1|T1|1");
    Click(f, 1, 3, Qt::LeftButton);
    EXPECT_FALSE(Marked(f, tw::ui::kVbYellow).contains("1.4"));
}

// An older file may hold two rows of one class and course with two teachers: each owed entry
// places a lesson of its own row's teacher and counts it in that row.
TEST_F(ManualSetLessonFormTest, EachOwedEntryPlacesItsOwnPlanRowsTeacher) {
    AddPlan("101", "01", "T1", 1);
    AddPlan("101", "01", "T2", 1);
    frmManualSetLesson f(twtest::State());
    // The two entries show apart by their teachers.
    ASSERT_EQ(Owed(f), QStringList({"一年级1班|语文（张老师）|1", "一年级1班|语文（李老师）|1"}));
    Pick(f, 1);
    EXPECT_EQ(f.PickedTeacherCode(), "T2");
    Click(f, 2, 2, Qt::LeftButton);
    EXPECT_EQ(Slot("101", 2, 2), "01|T2|2");
    EXPECT_EQ(AllPlans(), "101|01|T1|1|0;101|01|T2|1|1");
    EXPECT_EQ(Owed(f), QStringList({"一年级1班|语文|1"}));
}

// Classes, courses and teachers may share a name: every pick, placement and jump acts on the
// record's code, never on the first record of that name.
TEST_F(ManualSetLessonFormTest, NamesAlikeArePlacedAndFollowedByTheirOwnCodes) {
    AddClass("103", "一年级1班", "一3");
    AddCourse("04", "语文");
    AddTeacher("T4", "张老师");
    AddPlan("103", "04", "T4", 1);
    AddLesson("101", 1, 1, "01", "T1", 1);
    frmManualSetLesson f(twtest::State());
    // Namesakes whose full names are their names show with their codes.
    ASSERT_EQ(Owed(f), QStringList({"一年级1班（103）|语文（04）|1"}));
    EXPECT_EQ(f.CmbClass->itemText(0) + " " + f.CmbClass->itemText(2),
              "一年级1班（101） 一年级1班（103）");
    Pick(f, 0);
    EXPECT_EQ(f.CurClassCode(), "103");
    EXPECT_EQ(f.PickedCourseCode(), "04");
    EXPECT_EQ(f.PickedTeacherCode(), "T4");
    EXPECT_EQ(tw::ui::ComboCode(f.CmbClass), "103");
    Click(f, 1, 1, Qt::LeftButton);
    EXPECT_EQ(Slot("103", 1, 1), "04|T4|2");
    EXPECT_EQ(tw::ui::ComboCode(f.CmbTeacher), "T4");
    EXPECT_EQ(f.CmbTeacher->currentText(), "张老师（T4）");
    EXPECT_EQ(f.MSFlexGrid1->TextMatrix(tw::ui::WeekGridRowOfLesson(1), 1), "语文（04）");
    EXPECT_EQ(f.grdTeacher->TextMatrix(tw::ui::WeekGridRowOfLesson(1), 1), "语文（04）\n一3");

    // The other 张老师's week, and a click in it goes to the other 一年级1班.
    ASSERT_TRUE(tw::ui::SetComboCode(f.CmbTeacher, "T1", [&f] { f.CmbTeacher_Click(); }));
    EXPECT_EQ(f.grdTeacher->TextMatrix(tw::ui::WeekGridRowOfLesson(1), 1), "语文（01）\n一1");
    ReleaseSlot(*f.grdTeacher, 1, 1, Qt::LeftButton);
    EXPECT_EQ(f.CurClassCode(), "101");
    EXPECT_EQ(tw::ui::ComboCode(f.CmbClass), "101");
}

// Two teachers of one name with their own full names: the teacher list, and the teacher that a
// class lesson brings up, show each by the full name; choosing one by what it shows loads that
// teacher's own week.
TEST_F(ManualSetLessonFormTest, NamesakeTeachersShowTheirFullNamesAndOpenTheirOwnWeeks) {
    Exec(
        "insert into Teachertb (Code,Name,FullName,ShortName) values "
        "('T5','王芳','王芳（语文）','王')");
    Exec(
        "insert into Teachertb (Code,Name,FullName,ShortName) values "
        "('T6','王芳','王芳（数学）','王')");
    AddPlan("101", "01", "T5", 2, 1);
    AddPlan("101", "02", "T6", 2, 1);
    AddLesson("101", 1, 1, "01", "T5", 1);
    AddLesson("101", 2, 3, "02", "T6", 1);
    frmManualSetLesson f(twtest::State());
    QStringList teachers;
    for (int i = 0; i < f.CmbTeacher->count(); ++i) teachers << f.CmbTeacher->itemText(i);
    EXPECT_EQ(teachers.join(' '), "张老师 李老师 王老师 王芳（语文） 王芳（数学）");
    ASSERT_TRUE(tw::ui::SetComboText(f.CmbTeacher, "王芳（数学）", [&f] { f.CmbTeacher_Click(); }));
    EXPECT_EQ(tw::ui::ComboCode(f.CmbTeacher), "T6");
    EXPECT_EQ(f.grdTeacher->TextMatrix(tw::ui::WeekGridRowOfLesson(3), 2), "数学\n一1");
    EXPECT_EQ(f.grdTeacher->TextMatrix(tw::ui::WeekGridRowOfLesson(1), 1), "");
    // A lesson of the other 王芳 brings up hers.
    Click(f, 1, 1, Qt::LeftButton);
    EXPECT_EQ(f.CmbTeacher->currentText(), "王芳（语文）");
    EXPECT_EQ(tw::ui::ComboCode(f.CmbTeacher), "T5");
    EXPECT_EQ(f.grdTeacher->TextMatrix(tw::ui::WeekGridRowOfLesson(1), 1), "语文\n一1");
    EXPECT_EQ(f.grdTeacher->TextMatrix(tw::ui::WeekGridRowOfLesson(3), 2), "");
}
