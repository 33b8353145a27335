#include "timetable/frmSetLesson.h"

#include <QComboBox>
#include <QFont>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <algorithm>

#include "db/Database.h"
#include "shell/AppState.h"
#include "shell/FailureText.h"
#include "shell/NameLists.h"
#include "shell/OpenDatabase.h"
#include "store/Lessons.h"
#include "store/Names.h"
#include "timetable/GridMarks.h"
#include "ui/Combo.h"
#include "ui/FitText.h"
#include "ui/FormStyle.h"
#include "ui/WeekGrid.h"

namespace tw::timetable {

using tw::ui::PlaceTwips;

namespace {

const QString kHint =
    QStringLiteral("鼠标左键单击青色课时 -- 安排课时       鼠标右键 -- 删除设置的课程");

}  // namespace

frmSetLesson::frmSetLesson(tw::shell::AppState& state, QWidget* parent)
    : ClassWeekDialog(state, parent) {
    setObjectName(QStringLiteral("frmSetLesson"));
    setWindowTitle(QStringLiteral("预先安排固定课程"));
    setFont(tw::ui::FormFont(12));
    setFixedSize(tw::ui::TwipsToPixels(10185), tw::ui::TwipsToPixels(7620));

    Label1 = new QLabel(
        QStringLiteral("这是自动排课之前的准备工作：先在某些课时安排预先确定的课程"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    SetBoldColour(Label1, QStringLiteral("color: rgb(255, 128, 0);"));
    PlaceTwips(Label1, 120, 120, 9975, 375);

    MakeClassFrame();
    PlaceTwips(Frame1, 120, 480, 8085, 735);
    PlaceTwips(lblClass, 705, 285, 615, 255);
    PlaceTwips(CmbClass, 1440, 240, 2295, 360);
    PlaceTwips(CmdPrevClass, 4440, 240, 1575, 375);
    PlaceTwips(CmdNextClass, 6120, 240, 1575, 375);

    MakeExitFrame(8280, 480);

    Frame3 = new QGroupBox(QStringLiteral("课程"), this);
    Frame3->setObjectName(QStringLiteral("Frame3"));
    PlaceTwips(Frame3, 120, 1320, 1815, 5850);
    lstCourse = new QListWidget(Frame3);
    lstCourse->setObjectName(QStringLiteral("lstCourse"));
    PlaceTwips(lstCourse, 120, 360, 1575, 5340);
    tw::ui::ShowCutItemsAsTips(lstCourse);

    MSFlexGrid1 = new tw::ui::WeekGrid(this);
    MSFlexGrid1->setObjectName(QStringLiteral("MSFlexGrid1"));
    StyleLessonGrid(*MSFlexGrid1);
    PlaceTwips(MSFlexGrid1, 2040, 1320, 8100, 5850);
    MSFlexGrid1->LayOut(6, 500, 1500, 800, 800);

    MakeStatusBar({6340, 2201, 1701}, 7245, 10185);

    connect(lstCourse, &QListWidget::currentRowChanged, this, [this](int) {
        if (!selectingCourse_) lstCourse_Click();
    });
    connect(MSFlexGrid1, &tw::ui::WeekGrid::MouseUp, this, &frmSetLesson::MSFlexGrid1_MouseUp);

    Form_Load();
}

int frmSetLesson::GridLessons() const {
    return GridLessonsOfDay(state_.lessonOfDay);
}

bool frmSetLesson::IsCyan(int row, int column) const {
    return CellMark(*MSFlexGrid1, row, column) == tw::ui::kVbCyan;
}

void frmSetLesson::Form_Load() {
    const shell::ReadFailures::Action opening(reads_);
    ReadShownNames();
    FillClassCombo();
    InitLessonGrid();
    LoadPresetLessons();
    LoadPresetCourses();
    Panel(1)->setText(kHint);
}

void frmSetLesson::SelectCourse(int index) {
    selectingCourse_ = true;
    lstCourse->setCurrentRow(index);
    selectingCourse_ = false;
    if (index >= 0) lstCourse_Click();
}

void frmSetLesson::InitLessonGrid() {
    LayOutLessonGrid(*MSFlexGrid1, GridLessons(), 1500);
}

void frmSetLesson::CmbClass_Click() {
    const shell::ReadFailures::Action choosing(reads_);
    curClassCode_ = shell::ShowChosenEntry(CmbClass, Panel(2), QStringLiteral("预排课程"));
    LoadPresetLessons();
    LoadPresetCourses();
    if (lstCourse->count() > 0) SelectCourse(0);
}

int frmSetLesson::LoadPresetLessons() {
    const auto read = OnOpenDatabase(state_, [&](tw::db::Database& db) {
        return tw::store::ReadPresetLessons(db, curClassCode_);
    });
    // The grid keeps what it showed when nothing could be read; else it shows what was read.
    if (read.Done() || !read.value.isEmpty()) {
        MSFlexGrid1->ClearCells();
        InitLessonGrid();
        const int lessons = GridLessons();
        for (const tw::store::PlacedLesson& stored : read.value) {
            // A stored lesson outside the week shown is skipped; the others still show.
            if (InShownWeek(stored.day, stored.lesson, lessons)) {
                MSFlexGrid1->SetTextMatrix(
                    tw::ui::WeekGridRowOfLesson(static_cast<int>(stored.lesson)),
                    static_cast<int>(stored.day), courseNames_.Of(stored.courseCode));
            }
        }
    }
    if (!reads_.Note(read.outcome)) return -1;
    Panel(3)->setText(QStringLiteral("读取成功"));
    return 0;
}

int frmSetLesson::LoadPresetCourses() {
    const int chosen = lstCourse->currentRow();
    selectingCourse_ = true;
    lstCourse->clear();
    selectingCourse_ = false;
    // The courses read before a failure stay.
    const auto read = OnOpenDatabase(state_, [&](tw::db::Database& db) {
        return tw::store::ReadPresetCourses(db, curClassCode_);
    });
    for (const QString& code : read.value) AddCourse(code);
    reads_.Note(read.outcome);
    if (chosen >= 0) {
        if (lstCourse->count() > 0) {
            SelectCourse(std::min(chosen, lstCourse->count() - 1));
        } else {
            curCourseCode_.clear();
            curTeacherCode_.clear();
            ClearGridColours();
        }
    }
    return read.Done() ? 0 : -1;
}

void frmSetLesson::AddCourse(const QString& courseCode) {
    auto* item = new QListWidgetItem(courseNames_.Of(courseCode), lstCourse);
    item->setData(Qt::UserRole, courseCode);
}

QString frmSetLesson::PresetCourseAt(int day, int lesson) const {
    return reads_.Value(OnOpenDatabase(state_, [&](tw::db::Database& db) {
        return tw::store::ReadPresetCourse(db, curClassCode_, day, lesson);
    }));
}

void frmSetLesson::ClearGridColours() {
    for (int row = 1; row <= GridLessons() + 1; ++row) {
        for (int column = 1; column <= 5; ++column) {
            PaintCurrent(*MSFlexGrid1, row, column, tw::ui::kVbWhite);
        }
    }
}

void frmSetLesson::lstCourse_Click() {
    QListWidgetItem* item = lstCourse->currentItem();
    if (!item) return;
    const shell::ReadFailures::Action choosing(reads_);
    curCourseCode_ = item->data(Qt::UserRole).toString();
    curTeacherCode_ = reads_.Value(OnOpenDatabase(state_, [this](tw::db::Database& db) {
        return tw::store::GetPlanTeacher(db, curClassCode_, curCourseCode_);
    }));
    MarkPresetSlots();
}

bool frmSetLesson::SlotFree(int day, int lesson) const {
    const auto read = OnOpenDatabase(state_, [&](tw::db::Database& db) {
        return tw::store::SlotFreeOfPreset(db, curClassCode_, curTeacherCode_, day, lesson);
    });
    return reads_.Note(read.outcome) && read.value;
}

void frmSetLesson::MarkPresetSlots() {
    for (int row = 1; row <= GridLessons() + 1; ++row) {
        if (row == tw::ui::kWeekGridSeparatorRow) continue;
        const int lesson = tw::ui::WeekGridLessonOfRow(row);
        for (int column = 1; column <= 5; ++column) {
            PaintCurrent(*MSFlexGrid1, row, column, tw::ui::kVbWhite);
            if (MSFlexGrid1->TextMatrix(row, column).isEmpty() && SlotFree(column, lesson)) {
                PaintCurrent(*MSFlexGrid1, row, column, tw::ui::kVbCyan);
            }
        }
    }
}

void frmSetLesson::MSFlexGrid1_MouseUp(Qt::MouseButton button, int row, int column, const QPoint&) {
    if (!MSFlexGrid1->IsSlotCell(row, column)) return;
    const shell::ReadFailures::Action clicking(reads_);
    MSFlexGrid1->setCurrentCell(row, column);
    if (button == Qt::LeftButton) {
        if (curCourseCode_.isEmpty()) return;
        if (IsCyan(row, column)) {
            const QString courseName =
                lstCourse->currentItem() ? lstCourse->currentItem()->text() : QString();
            if (WritePresetLesson() == 0) MSFlexGrid1->SetTextMatrix(row, column, courseName);
        }
    } else if (button == Qt::RightButton) {
        curCourseCode_ = PresetCourseAt(column, tw::ui::WeekGridLessonOfRow(row));
        if (!curCourseCode_.isEmpty()) {
            if (RemovePresetLesson() == 0) MSFlexGrid1->SetTextMatrix(row, column, QString());
        }
    }
    LoadPresetCourses();
}

int frmSetLesson::WritePresetLesson() {
    if (curCourseCode_.isEmpty()) return -1;
    const int row = MSFlexGrid1->currentRow();
    const int column = MSFlexGrid1->currentColumn();
    const int lesson = tw::ui::WeekGridLessonOfRow(row);
    return ShowOutcome(OnOpenDatabase(state_,
                                      [&](tw::db::Database& db) {
                                          return tw::store::WritePresetLesson(
                                              db, curClassCode_, curCourseCode_, curTeacherCode_,
                                              column, lesson);
                                      }),
                       QStringLiteral("写入成功"), QStringLiteral("写入失败"));
}

int frmSetLesson::RemovePresetLesson() {
    const int row = MSFlexGrid1->currentRow();
    const int column = MSFlexGrid1->currentColumn();
    if (MSFlexGrid1->TextMatrix(row, column).isEmpty()) return -1;
    const int lesson = tw::ui::WeekGridLessonOfRow(row);
    return ShowOutcome(OnOpenDatabase(state_,
                                      [&](tw::db::Database& db) {
                                          return tw::store::RemovePresetLesson(db, curClassCode_,
                                                                               column, lesson);
                                      }),
                       QStringLiteral("删除成功"), QStringLiteral("删除失败"));
}

int frmSetLesson::ShowOutcome(const tw::store::Outcome& outcome, const QString& doneText,
                              const QString& failedText) {
    // Every refusal and failure is worded alike: the grid shows what is stored.
    if (outcome.Done()) {
        Panel(3)->setText(doneText);
        return 0;
    }
    // Nothing was stored: the grid shows again what the database holds.
    LoadPresetLessons();
    Panel(3)->setText(shell::PanelFailureText(failedText, outcome));
    return -1;
}

}  // namespace tw::timetable
