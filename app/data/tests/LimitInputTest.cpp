// The four slot-limit grid forms: loading and painting stored limits, the popup levels, all
// normal, entry selection, and what is never stored (empty code, headings, separator).
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QPushButton>
#include <memory>

#include "AppTestSupport.h"
#include "WeekGridTestSupport.h"
#include "data/frmClassLimitInput.h"
#include "data/frmClassRoomLimitInput.h"
#include "data/frmCourseLimitInput.h"
#include "data/frmTeacherLimitInput.h"
#include "shell/WeekGrid.h"
#include "shell/mdlPublic.h"

namespace {

class LimitInputTest : public ::testing::Test {
  protected:
    void SetUp() override {
        env_ = std::make_unique<twtest::AppTestEnv>();
        LessonOfDay = 6;
        SetPopupMenuHandler([this](QMenu& menu) {
            ++popups_;
            EXPECT_EQ(menu.objectName(), "PopMenu");
            return chosen_;
        });
    }
    void TearDown() override {
        SetPopupMenuHandler(nullptr);
        env_.reset();
    }
    void Exec(const QString& sql) { env_->Exec(sql); }
    long long Count(const QString& sql) { return env_->Count(sql); }
    QString Rows(const QString& sql) { return env_->Rows(sql); }
    void AddMaster(const QString& table, const QString& code, const QString& name) {
        Exec("insert into " + table + "(Code,Name,FullName,ShortName) values('" + code + "','" +
             name + "','" + name + "','" + name + "')");
    }
    // Releases a mouse button over a cell of the form's grid; the popup answers with choice.
    void Release(frmLimitInput& form, int row, int column, Qt::MouseButton button,
                 QAction* choice = nullptr) {
        chosen_ = choice;
        twtest::Release(*form.MSFlexGrid1, row, column, button);
    }
    static QString Panel(frmLimitInput& form, int i) { return form.Panel(i)->text(); }
    static QString Cell(frmLimitInput& form, int row, int column) {
        return form.MSFlexGrid1->TextMatrix(row, column);
    }

    std::unique_ptr<twtest::AppTestEnv> env_;
    QAction* chosen_ = nullptr;
    int popups_ = 0;
};

}  // namespace

TEST_F(LimitInputTest, TeacherWithoutLimitsStoresThirtyNormalRowsOnce) {
    AddMaster("Teachertb", "T1", "张老师");
    AddMaster("Teachertb", "T2", "李老师");
    frmTeacherLimitInput form;
    EXPECT_EQ(form.windowTitle(), "老师上课时间限制");
    EXPECT_EQ(form.CurrentCode(), "T1");
    EXPECT_EQ(Count("select count(*) from Limittb where Kind=2 and Code='T1' and Attr=1"), 30);
    EXPECT_EQ(Count("select count(*) from Limittb"), 30);
    EXPECT_EQ(Count("select max(LessonNo) from Limittb"), 6);
    EXPECT_EQ(Count("select count(*) from Limittb where Day<1 or Day>5 or LessonNo<1"), 0);
    EXPECT_EQ(Panel(form, 1), "读取成功");
    EXPECT_EQ(Panel(form, 2), "张老师  限制特征");
    for (int row : {1, 4, 6, 7}) {
        for (int day = 1; day <= 5; ++day) {
            EXPECT_EQ(Cell(form, row, day), "正常");
            EXPECT_EQ(form.MSFlexGrid1->CellBackColor(row, day), VbColor(kVbWindowBackground));
        }
    }
    EXPECT_EQ(Cell(form, 5, 1), "");
    EXPECT_EQ(form.MSFlexGrid1->rowCount(), 8);

    form.CmbTeacher_Click();  // the same entry again stores nothing more
    EXPECT_EQ(Count("select count(*) from Limittb"), 30);
    form.CmdNext_Click();
    EXPECT_EQ(form.CurrentCode(), "T2");
    EXPECT_EQ(Panel(form, 2), "李老师  限制特征");
    EXPECT_EQ(Count("select count(*) from Limittb where Code='T2'"), 30);
}

TEST_F(LimitInputTest, CourseStoresNothingUntilACellIsSet) {
    AddMaster("Coursetb", "C1", "语文");
    frmCourseLimitInput form;
    form.show();
    EXPECT_EQ(Count("select count(*) from Limittb"), 0);
    EXPECT_EQ(Cell(form, 6, 3), "正常");
    EXPECT_EQ(Panel(form, 1), "读取成功");

    Release(form, 6, 3, Qt::RightButton, form.mnuBuPai);
    EXPECT_EQ(popups_, 1);
    EXPECT_EQ(Rows("select * from Limittb"), "1|C1|3|5|3");
    EXPECT_EQ(Cell(form, 6, 3), "不排");
    EXPECT_EQ(form.MSFlexGrid1->CellBackColor(6, 3), QColor(128, 128, 128));
    EXPECT_EQ(Panel(form, 1), "写入成功");

    // The same slot again updates its row; lesson 4 lies in row 4.
    Release(form, 6, 3, Qt::RightButton, form.mnuZuiJiaWeiZhi);
    Release(form, 4, 1, Qt::RightButton, form.mnuJinLiangBuPai);
    EXPECT_EQ(Rows("select * from Limittb order by Day"), "1|C1|1|4|2;1|C1|3|5|0");
    EXPECT_EQ(form.MSFlexGrid1->CellBackColor(6, 3), QColor(128, 255, 255));
    EXPECT_EQ(form.MSFlexGrid1->CellBackColor(4, 1), QColor(192, 192, 192));

    // Reopening shows what was stored.
    frmCourseLimitInput again;
    EXPECT_EQ(Cell(again, 6, 3), "最佳位置");
    EXPECT_EQ(Cell(again, 4, 1), "尽量不排");
    EXPECT_EQ(Cell(again, 1, 1), "正常");
}

TEST_F(LimitInputTest, TeacherSlotUpdatesItsExistingRow) {
    AddMaster("Teachertb", "T7", "王老师");
    frmTeacherLimitInput form;
    form.show();
    Release(form, 6, 3, Qt::RightButton, form.mnuBuPai);
    EXPECT_EQ(Count("select count(*) from Limittb"), 30);
    EXPECT_EQ(Rows("select * from Limittb where Attr<>1"), "2|T7|3|5|3");
}

TEST_F(LimitInputTest, LeftButtonOnlyMovesTheCurrentCell) {
    AddMaster("Coursetb", "C1", "语文");
    frmCourseLimitInput form;
    form.show();
    Release(form, 2, 4, Qt::LeftButton, form.mnuBuPai);
    EXPECT_EQ(popups_, 0);
    EXPECT_EQ(form.MSFlexGrid1->currentRow(), 2);
    EXPECT_EQ(form.MSFlexGrid1->currentColumn(), 4);
    EXPECT_EQ(Count("select count(*) from Limittb"), 0);
}

TEST_F(LimitInputTest, SeparatorHeadingsAndLabelsAreNoSlots) {
    AddMaster("Coursetb", "C1", "语文");
    frmCourseLimitInput form;
    form.show();
    form.MSFlexGrid1->setCurrentCell(2, 2);
    Release(form, 5, 3, Qt::RightButton, form.mnuBuPai);
    Release(form, 0, 3, Qt::RightButton, form.mnuBuPai);
    Release(form, 3, 0, Qt::RightButton, form.mnuBuPai);
    EXPECT_EQ(popups_, 0);
    EXPECT_EQ(form.MSFlexGrid1->currentRow(), 2);
    EXPECT_EQ(form.MSFlexGrid1->currentColumn(), 2);

    // A level command with a heading cell current changes and stores nothing.
    form.MSFlexGrid1->setCurrentCell(0, 3);
    form.mnuBuPai_Click();
    EXPECT_EQ(Cell(form, 0, 3), "星期三");
    EXPECT_EQ(Count("select count(*) from Limittb"), 0);
}

TEST_F(LimitInputTest, StoredRowsOutsideTheGridAreSkipped) {
    AddMaster("Coursetb", "C1", "语文");
    Exec("insert into Limittb values(1,'C1',2,7,3)");     // lesson 7 while 6 a day
    Exec("insert into Limittb values(1,'C1',9,1,3)");     // no such day
    Exec("insert into Limittb values(1,'C1',1,0,3)");     // no such lesson
    Exec("insert into Limittb values(1,'C1',2,2,5)");     // no such level
    Exec("insert into Limittb values(1,'C1',3,3,NULL)");  // no level at all
    Exec("insert into Limittb values(1,'C1',5,6,0)");
    frmCourseLimitInput form;
    EXPECT_EQ(Panel(form, 1), "读取成功");
    EXPECT_EQ(Cell(form, 7, 5), "最佳位置");
    EXPECT_EQ(Cell(form, 2, 2), "正常");
    EXPECT_EQ(Cell(form, 3, 3), "正常");
    EXPECT_EQ(Cell(form, 0, 2), "星期二");
    EXPECT_EQ(Cell(form, 1, 0), "一");
}

TEST_F(LimitInputTest, CourseGridFollowsSevenLessonsADay) {
    LessonOfDay = 7;
    AddMaster("Coursetb", "C1", "语文");
    frmCourseLimitInput form;
    form.show();
    ASSERT_EQ(form.MSFlexGrid1->rowCount(), 9);
    EXPECT_EQ(Cell(form, 8, 0), "七");
    EXPECT_EQ(form.MSFlexGrid1->rowHeight(8), 700 / 15);
    EXPECT_EQ(form.MSFlexGrid1->rowHeight(5), 100 / 15);
    EXPECT_EQ(Cell(form, 8, 2), "正常");
    Release(form, 8, 2, Qt::RightButton, form.mnuBuPai);
    EXPECT_EQ(Rows("select * from Limittb"), "1|C1|2|7|3");
    form.cmdNormalAll->click();
    EXPECT_EQ(Count("select count(*) from Limittb where Attr=1"), 35);
    EXPECT_EQ(Count("select count(*) from Limittb"), 35);
    EXPECT_EQ(form.MSFlexGrid1->currentRow(), 8);
    EXPECT_EQ(form.MSFlexGrid1->currentColumn(), 5);
    EXPECT_EQ(Panel(form, 1), "写入成功");
}

TEST_F(LimitInputTest, OtherFormsKeepTheirSixLessonGrid) {
    LessonOfDay = 7;
    AddMaster("Classtb", "11", "一年级1班");
    frmClassLimitInput form;
    EXPECT_EQ(form.MSFlexGrid1->rowCount(), 8);
    EXPECT_EQ(Count("select count(*) from Limittb where Kind=0 and Code='11'"), 30);
}

TEST_F(LimitInputTest, EntryWithSomeRowsShowsOnlyThoseSlots) {
    AddMaster("ClassRoomtb", "R1", "实验室");
    Exec("insert into Limittb values(3,'R1',1,1,3)");
    frmClassRoomLimitInput form;
    EXPECT_EQ(form.windowTitle(), "公共教室上课时间限制");
    EXPECT_EQ(Cell(form, 1, 1), "不排");
    EXPECT_EQ(Cell(form, 1, 2), "");
    EXPECT_EQ(Cell(form, 7, 5), "");
    EXPECT_EQ(Count("select count(*) from Limittb"), 1);
}

TEST_F(LimitInputTest, PreviousAndNextStopAtTheEnds) {
    AddMaster("Classtb", "11", "一年级1班");
    AddMaster("Classtb", "12", "一年级2班");
    frmClassLimitInput form;
    auto* combo = form.findChild<QComboBox*>("CmbClass");
    ASSERT_NE(combo, nullptr);
    EXPECT_EQ(combo->count(), 2);
    form.findChild<QPushButton*>("CmdPrevClass")->click();
    EXPECT_EQ(combo->currentIndex(), 0);
    EXPECT_EQ(form.CurrentCode(), "11");
    form.findChild<QPushButton*>("CmdNextClass")->click();
    form.CmdNextClass_Click();
    EXPECT_EQ(combo->currentIndex(), 1);
    EXPECT_EQ(form.CurrentCode(), "12");
    EXPECT_EQ(Count("select count(*) from Limittb where Kind=0"), 60);
}

TEST_F(LimitInputTest, NamesAlikeKeepTheirOwnCodesLimits) {
    AddMaster("Teachertb", "T1", "王老师");
    AddMaster("Teachertb", "T2", "王老师");
    Exec("insert into Limittb values(2,'T1',1,1,0)");
    frmTeacherLimitInput form;
    // The list and the panel tell the two apart.
    EXPECT_EQ(form.Combo->itemText(0) + " " + form.Combo->itemText(1), "王老师（T1） 王老师（T2）");
    form.CmdNext_Click();
    EXPECT_EQ(form.CurrentCode(), "T2");
    EXPECT_EQ(Panel(form, 2), "王老师（T2）  限制特征");
    EXPECT_EQ(Cell(form, 1, 1), "正常");
    Release(form, 1, 2, Qt::RightButton, form.mnuBuPai);
    EXPECT_EQ(Count("select count(*) from Limittb where Code='T2'"), 30);
    EXPECT_EQ(Rows("select Attr from Limittb where Code='T2' and Day=2 and LessonNo=1"), "3");
    EXPECT_EQ(Rows("select Day,LessonNo,Attr from Limittb where Code='T1'"), "1|1|0");
}

TEST_F(LimitInputTest, EmptyMasterTableStoresNothing) {
    frmClassRoomLimitInput form;
    form.show();
    EXPECT_EQ(form.CurrentCode(), "");
    EXPECT_EQ(form.MSFlexGrid1->rowCount(), 8);
    EXPECT_EQ(Cell(form, 0, 1), "星期一");
    form.cmdNormalAll->click();
    Release(form, 2, 2, Qt::RightButton, form.mnuBuPai);
    form.mnuNormal_Click();
    EXPECT_EQ(Count("select count(*) from Limittb"), 0);
}

TEST_F(LimitInputTest, CodeWithAQuoteIsStoredAndFound) {
    AddMaster("Coursetb", "C''1", "体''育");
    frmCourseLimitInput form;
    form.show();
    EXPECT_EQ(form.CurrentCode(), "C'1");
    Release(form, 1, 1, Qt::RightButton, form.mnuBuPai);
    EXPECT_EQ(Rows("select * from Limittb"), "1|C'1|1|1|3");
    frmCourseLimitInput again;
    EXPECT_EQ(Cell(again, 1, 1), "不排");
}

TEST_F(LimitInputTest, FailedStoresAreReportedAndAllNormalIsAllOrNothing) {
    AddMaster("Coursetb", "C1", "语文");
    Exec(
        "CREATE TRIGGER no_lesson6 BEFORE INSERT ON Limittb WHEN NEW.LessonNo = 6 BEGIN "
        "SELECT RAISE(ABORT, 'refused'); END");
    frmCourseLimitInput form;
    form.show();
    Release(form, 7, 1, Qt::RightButton, form.mnuBuPai);
    EXPECT_EQ(Panel(form, 1), "写入失败");
    EXPECT_EQ(Cell(form, 7, 1), "不排");  // the screen keeps the new level
    form.cmdNormalAll->click();
    EXPECT_EQ(Panel(form, 1), "写入失败");
    EXPECT_EQ(Count("select count(*) from Limittb"), 0);
}

TEST_F(LimitInputTest, FailedReadIsReported) {
    AddMaster("Coursetb", "C1", "语文");
    frmCourseLimitInput form;
    Exec("drop table Limittb");
    form.CmbCourse_Click();
    EXPECT_EQ(Panel(form, 1), "读取失败");
}

TEST_F(LimitInputTest, ControlsCarryTheirNamesAndCaptions) {
    frmTeacherLimitInput form;
    EXPECT_EQ(form.findChild<QLabel*>("lblTeacher")->text(), "老师");
    EXPECT_EQ(form.findChild<QPushButton*>("CmdPrev")->text(), "上一老师(&P)");
    EXPECT_EQ(form.findChild<QPushButton*>("CmdNext")->text(), "下一老师(&N)");
    EXPECT_EQ(form.findChild<QPushButton*>("cmdNormalAll")->text(), "全部正常(&A)");
    EXPECT_EQ(form.findChild<QPushButton*>("cmdOK")->text(), "退出(&Q)");
    const QStringList captions = {"排课最佳位置", "正常", "尽量不排", "不排"};
    const QStringList names = {"mnuZuiJiaWeiZhi", "mnuNormal", "mnuJinLiangBuPai", "mnuBuPai"};
    ASSERT_EQ(form.PopMenu->actions().size(), 4);
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(form.PopMenu->actions()[i]->text(), captions[i]);
        EXPECT_EQ(form.PopMenu->actions()[i]->objectName(), names[i]);
    }
    frmClassLimitInput classForm;
    EXPECT_EQ(classForm.windowTitle(), "班级上课时间限制");
    EXPECT_NE(classForm.findChild<QComboBox*>("CmbClass"), nullptr);
    frmCourseLimitInput courseForm;
    EXPECT_EQ(courseForm.findChild<QLabel*>("lblClass")->text(), "课程");
    frmClassRoomLimitInput roomForm;
    EXPECT_EQ(roomForm.findChild<QLabel*>("lblClassRoom")->text(), "教室");
    EXPECT_NE(roomForm.findChild<QComboBox*>("CmbClassRoom"), nullptr);
}
