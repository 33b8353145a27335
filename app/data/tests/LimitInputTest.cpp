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
#include <random>

#include "AppTestSupport.h"
#include "FileGrowthTestSupport.h"
#include "StatementLogTestSupport.h"
#include "WeekGridTestSupport.h"
#include "data/frmClassLimitInput.h"
#include "data/frmClassRoomLimitInput.h"
#include "data/frmCourseLimitInput.h"
#include "data/frmTeacherLimitInput.h"
#include "db/Database.h"
#include "store/Invariants.h"
#include "ui/WeekGrid.h"

using tw::data::frmLimitInput;

namespace {

class LimitInputTest : public ::testing::Test {
  protected:
    void SetUp() override {
        env_ = std::make_unique<twtest::AppTestEnv>();
        twtest::State().lessonOfDay = 6;
        tw::ui::SetPopupMenuHandler([this](QMenu& menu) {
            ++popups_;
            EXPECT_EQ(menu.objectName(), "PopMenu");
            return chosen_;
        });
    }
    void TearDown() override {
        courseForm_.reset();
        tw::ui::SetPopupMenuHandler(nullptr);
        env_.reset();
    }
    void Exec(const QString& sql) { env_->Exec(sql); }
    long long Count(const QString& sql) { return env_->Count(sql); }
    QString Rows(const QString& sql) { return env_->Rows(sql); }
    void AddMaster(const QString& table, const QString& code, const QString& name) {
        Exec("insert into " + table + "(Code,Name,FullName,ShortName) values('" + code + "','" +
             name + "','" + name + "','" + name + "')");
    }
    // The course C1 "语文" stored, and its limit form made and shown (it lives as long as the
    // test).
    frmCourseLimitInput& ShowCourseC1() {
        AddMaster("Coursetb", "C1", "语文");
        courseForm_ = std::make_unique<frmCourseLimitInput>(twtest::State());
        courseForm_->show();
        return *courseForm_;
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
    std::unique_ptr<frmCourseLimitInput> courseForm_;
    QAction* chosen_ = nullptr;
    int popups_ = 0;
};

}  // namespace

TEST_F(LimitInputTest, TeacherWithoutLimitsStoresThirtyNormalRowsOnce) {
    AddMaster("Teachertb", "T1", "张老师");
    AddMaster("Teachertb", "T2", "李老师");
    frmTeacherLimitInput form(twtest::State());
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
            EXPECT_EQ(form.MSFlexGrid1->CellBackColor(row, day),
                      tw::ui::VbColor(tw::ui::kVbWindowBackground));
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
    frmCourseLimitInput& form = ShowCourseC1();
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
    frmCourseLimitInput again(twtest::State());
    EXPECT_EQ(Cell(again, 6, 3), "最佳位置");
    EXPECT_EQ(Cell(again, 4, 1), "尽量不排");
    EXPECT_EQ(Cell(again, 1, 1), "正常");
}

TEST_F(LimitInputTest, TeacherSlotUpdatesItsExistingRow) {
    AddMaster("Teachertb", "T7", "王老师");
    frmTeacherLimitInput form(twtest::State());
    form.show();
    Release(form, 6, 3, Qt::RightButton, form.mnuBuPai);
    EXPECT_EQ(Count("select count(*) from Limittb"), 30);
    EXPECT_EQ(Rows("select * from Limittb where Attr<>1"), "2|T7|3|5|3");
}

TEST_F(LimitInputTest, LeftButtonOnlyMovesTheCurrentCell) {
    frmCourseLimitInput& form = ShowCourseC1();
    Release(form, 2, 4, Qt::LeftButton, form.mnuBuPai);
    EXPECT_EQ(popups_, 0);
    EXPECT_EQ(form.MSFlexGrid1->currentRow(), 2);
    EXPECT_EQ(form.MSFlexGrid1->currentColumn(), 4);
    EXPECT_EQ(Count("select count(*) from Limittb"), 0);
}

TEST_F(LimitInputTest, SeparatorHeadingsAndLabelsAreNoSlots) {
    frmCourseLimitInput& form = ShowCourseC1();
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
    frmCourseLimitInput form(twtest::State());
    EXPECT_EQ(Panel(form, 1), "读取成功");
    EXPECT_EQ(Cell(form, 7, 5), "最佳位置");
    EXPECT_EQ(Cell(form, 2, 2), "正常");
    EXPECT_EQ(Cell(form, 3, 3), "正常");
    EXPECT_EQ(Cell(form, 0, 2), "星期二");
    EXPECT_EQ(Cell(form, 1, 0), "一");
}

TEST_F(LimitInputTest, CourseGridFollowsSevenLessonsADay) {
    twtest::State().lessonOfDay = 7;
    frmCourseLimitInput& form = ShowCourseC1();
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
    twtest::State().lessonOfDay = 7;
    AddMaster("Classtb", "11", "一年级1班");
    frmClassLimitInput form(twtest::State());
    EXPECT_EQ(form.MSFlexGrid1->rowCount(), 8);
    EXPECT_EQ(Count("select count(*) from Limittb where Kind=0 and Code='11'"), 30);
}

TEST_F(LimitInputTest, EntryWithSomeRowsShowsOnlyThoseSlots) {
    AddMaster("ClassRoomtb", "R1", "实验室");
    Exec("insert into Limittb values(3,'R1',1,1,3)");
    frmClassRoomLimitInput form(twtest::State());
    EXPECT_EQ(form.windowTitle(), "公共教室上课时间限制");
    EXPECT_EQ(Cell(form, 1, 1), "不排");
    EXPECT_EQ(Cell(form, 1, 2), "");
    EXPECT_EQ(Cell(form, 7, 5), "");
    EXPECT_EQ(Count("select count(*) from Limittb"), 1);
}

TEST_F(LimitInputTest, PreviousAndNextStopAtTheEnds) {
    AddMaster("Classtb", "11", "一年级1班");
    AddMaster("Classtb", "12", "一年级2班");
    frmClassLimitInput form(twtest::State());
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
    frmTeacherLimitInput form(twtest::State());
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
    frmClassRoomLimitInput form(twtest::State());
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
    frmCourseLimitInput form(twtest::State());
    form.show();
    EXPECT_EQ(form.CurrentCode(), "C'1");
    Release(form, 1, 1, Qt::RightButton, form.mnuBuPai);
    EXPECT_EQ(Rows("select * from Limittb"), "1|C'1|1|1|3");
    frmCourseLimitInput again(twtest::State());
    EXPECT_EQ(Cell(again, 1, 1), "不排");
}

TEST_F(LimitInputTest, FailedStoresAreReportedAndAllNormalIsAllOrNothing) {
    AddMaster("Coursetb", "C1", "语文");
    Exec(
        "CREATE TRIGGER no_lesson6 BEFORE INSERT ON Limittb WHEN NEW.LessonNo = 6 BEGIN "
        "SELECT RAISE(ABORT, 'refused'); END");
    frmCourseLimitInput form(twtest::State());
    form.show();
    Release(form, 7, 1, Qt::RightButton, form.mnuBuPai);
    EXPECT_EQ(Panel(form, 1), "写入失败：数据库出错");
    EXPECT_EQ(Cell(form, 7, 1), "不排");  // the screen keeps the new level
    form.cmdNormalAll->click();
    EXPECT_EQ(Panel(form, 1), "写入失败：数据库出错");
    EXPECT_EQ(Count("select count(*) from Limittb"), 0);
}

// A store the disk refuses says why in the program's words, without the engine's text or the
// statement.
TEST_F(LimitInputTest, AStoreTheDiskRefusesSaysWhyInChinese) {
    frmCourseLimitInput& form = ShowCourseC1();
    {
        twtest::NoFileGrowth fullDisk;
        Release(form, 1, 1, Qt::RightButton, form.mnuBuPai);
    }
    EXPECT_EQ(Panel(form, 1), "写入失败：读写磁盘时出错");
    EXPECT_EQ(Count("select count(*) from Limittb"), 0);
}

TEST_F(LimitInputTest, FailedReadIsReported) {
    AddMaster("Coursetb", "C1", "语文");
    frmCourseLimitInput form(twtest::State());
    Exec("drop table Limittb");
    form.CmbCourse_Click();
    EXPECT_EQ(Panel(form, 1), "读取失败：数据库出错");
    // The names of the combo that cannot be read say so too.
    Exec("drop table Coursetb");
    frmCourseLimitInput unnamed(twtest::State());
    EXPECT_EQ(Panel(unnamed, 1), "读取失败：数据库出错");
}

TEST_F(LimitInputTest, ControlsCarryTheirNamesAndCaptions) {
    frmTeacherLimitInput form(twtest::State());
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
    frmClassLimitInput classForm(twtest::State());
    EXPECT_EQ(classForm.windowTitle(), "班级上课时间限制");
    EXPECT_NE(classForm.findChild<QComboBox*>("CmbClass"), nullptr);
    frmCourseLimitInput courseForm(twtest::State());
    EXPECT_EQ(courseForm.findChild<QLabel*>("lblClass")->text(), "课程");
    frmClassRoomLimitInput roomForm(twtest::State());
    EXPECT_EQ(roomForm.findChild<QLabel*>("lblClassRoom")->text(), "教室");
    EXPECT_NE(roomForm.findChild<QComboBox*>("CmbClassRoom"), nullptr);
}

namespace {

// What a limit form's week grid should show for its current code: the stored levels of the
// code's slots inside the grid, and for the slots without a stored level "正常" on the course
// form and nothing on the other three.
QString ExpectedGrid(tw::db::Database& db, frmLimitInput& form, int kind) {
    QMap<QPair<int, int>, int> stored;
    auto rs = db.OpenRecordset(
        "select Day,LessonNo,Attr from Limittb where Kind=" + QString::number(kind) +
        " and Code='" + tw::db::SqlQ(form.CurrentCode()) + "'");
    for (; !rs->Eof(); rs->MoveNext()) {
        if (rs->Fields("Attr").IsNull()) continue;
        const int attr = static_cast<int>(rs->Fields("Attr").Int());
        if (attr < 0 || attr > 3) continue;
        stored[{static_cast<int>(rs->Fields("Day").Int()),
                static_cast<int>(rs->Fields("LessonNo").Int())}] = attr;
    }
    QStringList cells;
    for (int lesson = 1; lesson <= form.GridLessons(); ++lesson) {
        for (int day = 1; day <= 5; ++day) {
            const auto level = stored.constFind({day, lesson});
            if (level != stored.constEnd()) {
                cells << frmLimitInput::LevelText(*level);
            } else {
                cells << (kind == 1 ? QStringLiteral("正常") : QString());
            }
        }
    }
    return cells.join(',');
}

QString ShownGrid(frmLimitInput& form) {
    QStringList cells;
    for (int lesson = 1; lesson <= form.GridLessons(); ++lesson) {
        for (int day = 1; day <= 5; ++day) {
            const int row = tw::ui::WeekGridRowOfLesson(lesson);
            const QString text = form.MSFlexGrid1->TextMatrix(row, day);
            const int attr = frmLimitInput::LevelOfText(text);
            // A painted cell wears its level's colour.
            if (attr >= 0 &&
                form.MSFlexGrid1->CellBackColor(row, day) != frmLimitInput::LevelColor(attr)) {
                return "wrong colour at " + QString::number(row) + "," + QString::number(day);
            }
            cells << text;
        }
    }
    return cells.join(',');
}

}  // namespace

// The four limit forms driven at random over a school with namesakes, a quoted code, stored
// limits outside the grid or of no level, and writes the database refuses: names chosen in the
// list or with the buttons, right and left releases anywhere over the grid with any popup
// choice (or none), level commands on whatever cell is current, all normal, forms opened anew
// (the course form at 6 or 7 lessons a day), limits deleted behind the forms' backs and reads
// that fail. After every step the timetable keeps its rules, the form's grid shows the stored
// limits of its current code (unless a store or a read failed since its last load, which leaves
// the screen ahead of or behind the table), no stored limit lies outside the week, has no level
// or no code, or stands twice for one slot, and a store that failed changed nothing. Every
// statement the forms send is recorded: the same seed sends the same statements in the same
// order.
TEST_F(LimitInputTest, RandomChangesKeepTheGridsAndTheTablesSound) {
    for (const char* sql : {
             "insert into Classtb values ('11','一（1）班','一年级（1）班','一（1）')",
             "insert into Classtb values ('12','一（1）班','一年级（2）班','一（2）')",
             "insert into Classtb values ('21','二（1）班','二年级（1）班','二（1）')",
             "insert into Coursetb values ('C1','语文','语文课','语')",
             "insert into Coursetb values ('C2','数学','数学课','数')",
             "insert into Coursetb values ('C''3','体育','体育课','体')",
             "insert into Teachertb values ('T1','张三','张三','张')",
             "insert into Teachertb values ('T2','王芳','王芳（语文）','王')",
             "insert into Teachertb values ('T3','王芳','王芳（数学）','王')",
             "insert into ClassRoomtb values ('R1','机房','机房一','机')",
             "insert into ClassRoomtb values ('R2','琴房','','')",
             "insert into ClassPlantb values ('11','C1','T1',4,0,1)",
             "insert into LessonListtb values ('11',1,1,'C1','T1',1)",
             "insert into Limittb values (0,'21',1,1,3)",
             "insert into Limittb values (1,'C1',2,2,0)",
             "insert into Limittb values (1,'C2',3,7,3)",
             "insert into Limittb values (2,'T3',4,4,2)",
             "insert into Limittb values (3,'R1',5,6,0)",
             // Stored before, outside the grid or of no level: skipped by the forms and kept.
             "insert into Limittb values (1,'C1',9,1,3)",
             "insert into Limittb values (1,'C1',1,0,3)",
             "insert into Limittb values (2,'T3',2,2,7)",
             "insert into Limittb values (3,'R1',3,3,NULL)",
             // Writes the database refuses: the form reports a failure and nothing changes.
             "create trigger NoT2Lesson6 before insert on Limittb "
             "when new.Code='T2' and new.LessonNo=6 begin select raise(abort, 'refused'); end",
             "create trigger NoBestFriday before update on Limittb "
             "when new.Attr=0 and new.Day=5 begin select raise(abort, 'refused'); end",
             "create trigger NoC2Never before insert on Limittb "
             "when new.Code='C2' and new.Attr=3 begin select raise(abort, 'refused'); end",
         }) {
        Exec(sql);
    }
    tw::db::Database& db = twtest::State().Db();
    db.OpenRecordset("PRAGMA synchronous=OFF")->Close();
    // The test's own reads and writes stay out of the record of what the forms send.
    auto unlogged = [&db](auto read) {
        auto log = db.SetStatementLog({});
        auto value = read();
        db.SetStatementLog(std::move(log));
        return value;
    };
    auto everything = [this] {
        return Rows("select * from Classtb order by Code") + "/" +
               Rows("select * from LessonListtb order by ClassCode,Day,LessonNo") + "/" +
               Rows("select * from Limittb order by Kind,Code,Day,LessonNo,Attr");
    };
    const QString oddRows =
        "select Kind,Code,Day,LessonNo,Attr from Limittb where Code='' or Day<1 or Day>5 or "
        "LessonNo<1 or LessonNo>7 or Attr is null or Attr<0 or Attr>3 order by Kind,Code,Day";
    const QStringList oddBefore = Rows(oddRows).split(';');
    const QString twice =
        "select Kind,Code,Day,LessonNo from Limittb group by Kind,Code,Day,LessonNo "
        "having count(*)>1";

    std::unique_ptr<frmLimitInput> forms[4];
    bool stale[4] = {};
    auto open = [&](int kind) {
        forms[kind].reset();
        if (kind == 0) forms[kind] = std::make_unique<frmClassLimitInput>(twtest::State());
        if (kind == 1) forms[kind] = std::make_unique<frmCourseLimitInput>(twtest::State());
        if (kind == 2) forms[kind] = std::make_unique<frmTeacherLimitInput>(twtest::State());
        if (kind == 3) forms[kind] = std::make_unique<frmClassRoomLimitInput>(twtest::State());
        forms[kind]->show();
    };

    twtest::StatementRecorder recorder(db);
    for (int kind = 0; kind < 4; ++kind) open(kind);
    std::mt19937 rng(3104);
    auto pick = [&rng](int n) { return static_cast<int>(rng() % static_cast<unsigned>(n)); };
    int stored = 0, refused = 0, loaded = 0, unread = 0;
    // After a load the grid shows the table, unless the read failed or, on the three forms that
    // store all normal for an entry without limits, that store failed.
    auto noteLoad = [&](int kind) {
        frmLimitInput& form = *forms[kind];
        const bool noRows =
            unlogged([&] {
                return Count("select count(*) from Limittb where Kind=" + QString::number(kind) +
                             " and Code='" + tw::db::SqlQ(form.CurrentCode()) + "'");
            }) == 0;
        stale[kind] = Panel(form, 1) != "读取成功" || (kind != 1 && noRows);
    };
    for (int step = 0; step < 1200; ++step) {
        const int kind = pick(4);
        frmLimitInput& form = *forms[kind];
        QString before = unlogged(everything);
        form.Panel(1)->setText(QString());
        const int action = pick(16);
        QAction* const levels[] = {form.mnuZuiJiaWeiZhi, form.mnuNormal, form.mnuJinLiangBuPai,
                                   form.mnuBuPai, nullptr};
        if (action == 0) {
            if (kind == 1) twtest::State().lessonOfDay = pick(2) == 0 ? 7 : 6;
            open(kind);
            noteLoad(kind);
        } else if (action <= 2) {
            if (form.Combo->count() > 0) {
                form.Combo->setCurrentIndex(pick(form.Combo->count()));
                emit form.Combo->activated(form.Combo->currentIndex());
                noteLoad(kind);
            }
        } else if (action == 3) {
            (pick(2) == 0 ? form.Prev : form.Next)->click();
            if (!Panel(form, 1).isEmpty()) noteLoad(kind);
        } else if (action <= 8) {
            // Anywhere over the grid, separator, headings and labels included.
            const int row = pick(form.MSFlexGrid1->rowCount());
            const int column = pick(6);
            Release(form, row, column, pick(5) == 0 ? Qt::LeftButton : Qt::RightButton,
                    levels[pick(5)]);
        } else if (action <= 10) {
            QAction* level = levels[pick(4)];
            level->trigger();
        } else if (action == 11) {
            form.cmdNormalAll->click();
        } else if (action == 12) {
            // Data maintenance or another program removes the code's limits meanwhile.
            unlogged([&] {
                Exec("delete from Limittb where Kind=" + QString::number(kind) + " and Code='" +
                     tw::db::SqlQ(form.CurrentCode()) +
                     "' and Day between 1 and 5 and LessonNo between 1 and 7 and Attr between 0 "
                     "and 3");
                return 0;
            });
            stale[kind] = true;
            continue;
        } else if (action == 13) {
            // A read that fails: the table is away while a name is chosen.
            unlogged([&] {
                Exec("alter table Limittb rename to Awaytb");
                return 0;
            });
            form.Next->click();
            form.Prev->click();
            unlogged([&] {
                Exec("alter table Awaytb rename to Limittb");
                return 0;
            });
        } else {
            if (form.Combo->count() > 0) {
                form.Combo->setCurrentIndex(pick(form.Combo->count()));
                emit form.Combo->activated(form.Combo->currentIndex());
                noteLoad(kind);
                before = unlogged(everything);
            }
            Release(form, pick(form.MSFlexGrid1->rowCount()), 1 + pick(5), Qt::RightButton,
                    levels[pick(4)]);
        }
        // A form opened anew is checked from its opening on.
        frmLimitInput& shown = *forms[kind];
        const QString panel = Panel(shown, 1);
        const bool failed = panel.contains("失败");
        stored += panel == "写入成功";
        refused += panel.startsWith("写入失败：");
        loaded += panel == "读取成功";
        unread += panel.startsWith("读取失败：");
        ASSERT_EQ(unlogged([&] {
                      return tw::store::BrokenTimetableRule(db, {7, {}});
                  }),
                  "")
            << "step " << step;
        // A store may give a row of no level its level, but no form writes an odd row.
        for (const QString& row : unlogged([&] { return Rows(oddRows); }).split(';')) {
            ASSERT_TRUE(oddBefore.contains(row)) << "step " << step << ": " << row.toStdString();
        }
        ASSERT_EQ(unlogged([&] { return Rows(twice); }), "") << "step " << step;
        if (failed) {
            ASSERT_EQ(unlogged(everything), before) << "step " << step << ", kind " << kind;
            stale[kind] = true;
        }
        if (!stale[kind]) {
            ASSERT_EQ(ShownGrid(shown), unlogged([&] { return ExpectedGrid(db, shown, kind); }))
                << "step " << step << ", kind " << kind << ", action " << action;
        }
    }
    for (auto& form : forms) form.reset();
    EXPECT_GT(stored, 300);
    EXPECT_GT(refused, 40);
    EXPECT_GT(loaded, 200);
    EXPECT_GT(unread, 50);
    EXPECT_EQ(recorder.Count(), 9060);
    EXPECT_EQ(recorder.Digest(), "b88ed5d4644f879f");
}
