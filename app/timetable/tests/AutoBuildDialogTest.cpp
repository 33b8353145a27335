// The build-run dialog: runs one build when it first shows, reports the result, closes.
#include <QAction>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <vector>

#include "BuilderTestSupport.h"
#include "shell/ModalForm.h"
#include "shell/frmConfirm.h"
#include "shell/frmMain.h"
#include "timetable/frmAutoBuild.h"
#include "ui/MsgBox.h"

using tw::shell::frmConfirm;
using tw::shell::frmMain;
using tw::shell::SetModalFormHandler;
using tw::timetable::frmAutoBuild;

namespace {

class AutoBuildDialogTest : public BuildTest {
  public:
    void SetUp() override {
        BuildTest::SetUp();
        tw::ui::SetMsgBoxHandler([this](const tw::ui::MsgBoxCall& call) {
            calls.push_back(call);
            return static_cast<int>(tw::ui::vbOK);
        });
    }
    void TearDown() override {
        tw::ui::SetMsgBoxHandler(nullptr);
        BuildTest::TearDown();
    }
    // Opens the dialog modally as the main window does; it closes itself.
    void RunDialog() {
        frmAutoBuild dialog(twtest::State());
        dialog.exec();
        activations = dialog.ActivationCount();
    }
    std::vector<tw::ui::MsgBoxCall> calls;
    int activations = 0;
};

TEST_F(AutoBuildDialogTest, ReportsThePercentageAndCloses) {
    AddPlan("101", "01", "T1", 5);
    RunDialog();
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].text, QStringLiteral("课表完成率统计:  100％"));
    EXPECT_EQ(calls[0].style, tw::ui::vbOKOnly | tw::ui::vbInformation);
    EXPECT_EQ(calls[0].title, QStringLiteral("自动生成课表"));
    EXPECT_EQ(Int("select count(*) from LessonListtb where SetFlag=1"), 5);
}

TEST_F(AutoBuildDialogTest, ShowsZeroAndResultsAboveHundredUnchanged) {
    AddPlan("101", "01", "T1", 1);
    for (int d = 1; d <= 5; ++d)
        for (int l = 1; l <= 7; ++l) AddCourseLimit("01", d, l, 3);
    RunDialog();
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].text, QStringLiteral("课表完成率统计:  0％"));

    // 21 pre-set lessons for a count of 20.
    calls.clear();
    Exec("delete from Limittb");
    Exec("update ClassPlantb set Count=20");
    for (int n = 0; n < 21; ++n) AddLesson("101", 1 + n / 6, 1 + n % 6, "01", "T1", 0);
    RunDialog();
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].text, QStringLiteral("课表完成率统计:  105％"));
}

TEST_F(AutoBuildDialogTest, AnEmptyPlanFails) {
    RunDialog();
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].text, QStringLiteral("生成课表失败！\n教学计划中没有要排的课"));
    EXPECT_EQ(calls[0].style, tw::ui::vbOKOnly | tw::ui::vbCritical);
    EXPECT_EQ(calls[0].title, QStringLiteral("自动生成课表"));
}

TEST_F(AutoBuildDialogTest, ABuildReportedAsFailedLeavesTheTimetableAsItWas) {
    // Weekly counts of 3 and -3: no percentage, so the build fails.
    AddPlan("101", "01", "T1", 3);
    AddPlan("102", "02", "T2", -3);
    AddLesson("101", 2, 2, "01", "T1", 2);
    AddLesson("102", 3, 3, "02", "T2", 1);
    Exec("update ClassPlantb set BuildCount=1, IsAutoBuild=1");
    const QStringList lessons = Rows("select * from LessonListtb order by ClassCode");
    const QStringList plan = Rows("select * from ClassPlantb order by ClassCode");
    RunDialog();
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].text, QStringLiteral("生成课表失败！\n教学计划中没有要排的课"));
    EXPECT_EQ(Rows("select * from LessonListtb order by ClassCode"), lessons);
    EXPECT_EQ(Rows("select * from ClassPlantb order by ClassCode"), plan);
}

TEST_F(AutoBuildDialogTest, AFailedStatementIsShownWithItsReasonAndUndone) {
    AddPlan("101", "01", "T1", 2);
    AddLesson("101", 2, 2, "01", "T1", 1);
    Exec("update ClassPlantb set BuildCount=1, IsAutoBuild=1");
    Exec("drop table CourseAttrtb");
    const QStringList lessons = Rows("select * from LessonListtb");
    RunDialog();
    ASSERT_EQ(calls.size(), 1u);
    // The reason stands on a line of its own, in the program's words, as after every other
    // command; the engine's text and the statement go to the log.
    EXPECT_EQ(calls[0].text, QStringLiteral("生成课表失败！\n数据库出错"));
    EXPECT_EQ(calls[0].style, tw::ui::vbOKOnly | tw::ui::vbCritical);
    EXPECT_EQ(Rows("select * from LessonListtb"), lessons);
    EXPECT_EQ(Rows("select BuildCount, IsAutoBuild from ClassPlantb"), QStringList({"1|1"}));
}

TEST_F(AutoBuildDialogTest, ALaterActivationStartsNoSecondBuild) {
    AddPlan("101", "01", "T1", 1);
    frmAutoBuild dialog(twtest::State());
    dialog.exec();
    ASSERT_EQ(calls.size(), 1u);
    dialog.Form_Activate();
    dialog.Form_Activate();
    EXPECT_EQ(calls.size(), 1u);
    EXPECT_GE(dialog.ActivationCount(), 3);
}

TEST_F(AutoBuildDialogTest, LayoutAndTheGrowingDots) {
    frmAutoBuild dialog(twtest::State());
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("自动生成课表"));
    EXPECT_EQ(dialog.size(), QSize(314, 127));
    auto* frame = dialog.findChild<QFrame*>("Frame1");
    ASSERT_NE(frame, nullptr);
    EXPECT_EQ(frame->geometry(), QRect(32, 16, 249, 97));
    auto* label = dialog.findChild<QLabel*>("Label1");
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(label->text(), QStringLiteral("正在自动生成课表 ..."));
    auto* status = dialog.findChild<QLabel*>("lblStatus");
    ASSERT_NE(status, nullptr);
    EXPECT_EQ(status->parentWidget(), frame);
    EXPECT_EQ(status->text(), "");
    auto* timer = dialog.findChild<QTimer*>("Timer1");
    ASSERT_NE(timer, nullptr);
    EXPECT_EQ(timer->interval(), 500);
    EXPECT_TRUE(timer->isActive());

    for (int i = 0; i < 19; ++i) dialog.Timer1_Timer();
    EXPECT_EQ(status->text(), QString(19, '.'));
    dialog.Timer1_Timer();
    EXPECT_EQ(status->text(), "");
    dialog.Timer1_Timer();
    EXPECT_EQ(status->text(), ".");
}

}  // namespace

namespace {

TEST_F(AutoBuildDialogTest, TheMainWindowRunsTheBuildAfterTheTypedConfirmation) {
    AddPlan("101", "01", "T1", 5);
    QStringList shown;
    SetModalFormHandler([&](QWidget& form) {
        shown << form.objectName();
        if (auto* confirm = qobject_cast<frmConfirm*>(&form)) {
            confirm->Text1->setText("OK");
            confirm->cmdOK->click();
        } else if (auto* build = qobject_cast<frmAutoBuild*>(&form)) {
            build->exec();
        }
    });
    {
        frmMain window(twtest::State());
        auto* item = window.findChild<QAction*>("mnuAutoBuild");
        ASSERT_NE(item, nullptr);
        item->setEnabled(true);
        item->trigger();
    }
    SetModalFormHandler(nullptr);
    EXPECT_EQ(shown, QStringList({"frmConfirm", "frmAutoBuild"}));
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].text, QStringLiteral("课表完成率统计:  100％"));
    EXPECT_EQ(Int("select count(*) from LessonListtb where SetFlag=1"), 5);
}

}  // namespace

namespace {

TEST_F(AutoBuildDialogTest, ClosingIsRefusedWhileTheBuildRuns) {
    AddPlan("101", "01", "T1", 3);
    AddPlan("102", "01", "T1", 3);
    frmAutoBuild dialog(twtest::State());
    int tries = 0;
    bool hiddenWhileBuilding = false;
    QTimer closer;
    closer.setInterval(0);
    QObject::connect(&closer, &QTimer::timeout, [&] {
        if (dialog.ActivationCount() == 1 && calls.empty()) {
            ++tries;
            dialog.reject();
            dialog.close();
            if (!dialog.isVisible()) hiddenWhileBuilding = true;
        }
    });
    closer.start();
    EXPECT_EQ(dialog.exec(), QDialog::Accepted);
    closer.stop();
    EXPECT_GT(tries, 0);
    EXPECT_FALSE(hiddenWhileBuilding);
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].text, QStringLiteral("课表完成率统计:  100％"));
}

}  // namespace
