#include "frmClassPlanInput.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidgetItem>
#include <optional>

#include "DataEntry.h"
#include "db/CodeOrder.h"
#include "db/Database.h"
#include "shell/AppState.h"
#include "shell/FailureText.h"
#include "store/Names.h"
#include "store/Plan.h"
#include "ui/Combo.h"
#include "ui/FitText.h"
#include "ui/MsgBox.h"

namespace tw::data {

using namespace tw::data;
using tw::store::Outcome;
using tw::store::PlanCount;
using tw::store::Reason;
using tw::ui::ComboCode;
using tw::ui::MsgBox;
using tw::ui::SetComboCode;
using tw::ui::SetComboIndex;

namespace {

// The count text of a list row as a number; a text that is no whole number counts 0.
long long RowCount(const QString& text) {
    bool ok = false;
    const long long value = Trim(text).toLongLong(&ok);
    return ok ? value : 0;
}

// List rows of lstAllRecord carry the codes of their course and teacher.
constexpr int kCourseColumn = 0;
constexpr int kTeacherColumn = 1;
constexpr int kCodeRole = Qt::UserRole;

QString RowCode(const QTreeWidgetItem* row, int column) {
    return row->data(column, kCodeRole).toString();
}

void RedText(QWidget* w) {
    QPalette pal = w->palette();
    pal.setColor(QPalette::WindowText, QColor(255, 0, 0));
    pal.setColor(QPalette::Text, QColor(255, 0, 0));
    pal.setColor(QPalette::ButtonText, QColor(255, 0, 0));
    w->setPalette(pal);
}

}  // namespace

frmClassPlanInput::frmClassPlanInput(tw::shell::AppState& state, QWidget* parent)
    : DataForm(parent),
      state_(state),
      reads_([this](const Outcome& failed) { ShowReadFailure(*this, failed); }) {
    setObjectName("frmClassPlanInput");
    BuildControls();
    Form_Load();
}

void frmClassPlanInput::BuildControls() {
    setWindowTitle("班级计划");
    setFixedSize(TwipsToPixels(8670), TwipsToPixels(8040));
    setFont(FormFont(12));

    auto* frame1 = new QGroupBox(this);
    frame1->setObjectName("Frame1");
    PlaceTwips(frame1, 120, 0, 8175, 735);
    auto* lblClass = new QLabel("班级", frame1);
    lblClass->setObjectName("lblClass");
    PlaceTwips(lblClass, 345, 285, 615, 255);
    CmbClass_ = new QComboBox(frame1);
    CmbClass_->setObjectName("CmbClass");
    PlaceTwips(CmbClass_, 1080, 240, 2295, 360);
    CmdPrevClass_ = MakeButton("CmdPrevClass", "上一班级(&P)", frame1);
    PlaceTwips(CmdPrevClass_, 4440, 240, 1575, 375);
    CmdNextClass_ = MakeButton("CmdNextClass", "下一班级(&N)", frame1);
    PlaceTwips(CmdNextClass_, 6240, 240, 1575, 375);

    auto* fraData = new QGroupBox(this);
    fraData->setObjectName("fraData");
    PlaceTwips(fraData, 105, 840, 3690, 2055);
    auto* lblCourse = new QLabel("课程", fraData);
    lblCourse->setObjectName("lblCourse");
    PlaceTwips(lblCourse, 360, 300, 615, 255);
    CmbCourse_ = new QComboBox(fraData);
    CmbCourse_->setObjectName("CmbCourse");
    PlaceTwips(CmbCourse_, 1095, 240, 2295, 360);
    auto* lblFullName = new QLabel("老师", fraData);
    lblFullName->setObjectName("lblFullName");
    PlaceTwips(lblFullName, 360, 915, 615, 255);
    CmbTeacher_ = new QComboBox(fraData);
    CmbTeacher_->setObjectName("CmbTeacher");
    PlaceTwips(CmbTeacher_, 1095, 840, 2295, 360);
    auto* lblCount = new QLabel("节数", fraData);
    lblCount->setObjectName("lblCount");
    PlaceTwips(lblCount, 360, 1530, 615, 255);
    txtCount_ = new QLineEdit(fraData);
    txtCount_->setObjectName("txtCount");
    PlaceTwips(txtCount_, 1095, 1440, 2295, 405);

    auto* fraOp = new QGroupBox(this);
    fraOp->setObjectName("fraOp");
    PlaceTwips(fraOp, 3840, 840, 1455, 2040);
    cmdAppend_ = MakeButton("cmdAppend", "添加(&A)", fraOp);
    cmdDelete_ = MakeButton("cmdDelete", "删除(&D)", fraOp);
    cmdModify_ = MakeButton("cmdModify", "修改(&M)", fraOp);
    cmdOK_ = MakeButton("cmdOK", "退出(&Q)", fraOp);
    PlaceTwips(cmdAppend_, 120, 240, 1200, 375);
    PlaceTwips(cmdDelete_, 120, 600, 1200, 375);
    PlaceTwips(cmdModify_, 120, 960, 1200, 375);
    PlaceTwips(cmdOK_, 120, 1560, 1200, 375);

    const QFont listFont = FormFont(9);
    lstAllRecord_ = new DataListView(this);
    lstAllRecord_->setObjectName("lstAllRecord");
    lstAllRecord_->setFont(listFont);
    PlaceTwips(lstAllRecord_, 120, 3000, 5220, 4575);
    lstAllRecord_->SetColumns({"课程", "老师", "节数"}, {2000, 2000, 1150});

    auto* frame2 = new QGroupBox("老师任课统计", this);
    frame2->setObjectName("Frame2");
    PlaceTwips(frame2, 5400, 2880, 3135, 4695);
    CmbTeacher2_ = new QComboBox(frame2);
    CmbTeacher2_->setObjectName("CmbTeacher2");
    RedText(CmbTeacher2_);
    // Drawn 1575 wide from 240; it takes the frame's free width on both sides (up to the list's
    // left edge and to the label) so that a name of eight wide characters shows whole at 8 pt.
    PlaceTwips(CmbTeacher2_, 120, 360, 1785, 360);
    lblTeacherName_ = new QLabel("任课计划", frame2);
    lblTeacherName_->setObjectName("lblTeacherName");
    lblTeacherName_->setAlignment(Qt::AlignCenter);
    RedText(lblTeacherName_);
    PlaceTwips(lblTeacherName_, 1920, 360, 1095, 255);
    lstTeacherInfo_ = new DataListView(frame2);
    lstTeacherInfo_->setObjectName("lstTeacherInfo");
    lstTeacherInfo_->setFont(listFont);
    lstTeacherInfo_->SetSortOnHeadingClick(false);
    QPalette infoPalette = lstTeacherInfo_->palette();
    infoPalette.setColor(QPalette::Base, QColor(128, 255, 255));
    lstTeacherInfo_->setPalette(infoPalette);
    PlaceTwips(lstTeacherInfo_, 120, 840, 2700, 3015);
    lstTeacherInfo_->SetColumns({"班级", "课程", "节数"}, {1050, 1000, 550});
    lblTeacherSum_ = new QLabel("老师统计信息", frame2);
    lblTeacherSum_->setObjectName("lblTeacherSum");
    lblTeacherSum_->setAlignment(Qt::AlignCenter);
    RedText(lblTeacherSum_);
    PlaceTwips(lblTeacherSum_, 120, 4080, 2655, 375);

    MakeStatusBar(0, 7665, 8670, 375, {5340, 1500, 750, 750});
    // Names show whole in the boxes drawn for them down to 8 pt, else cut with their tooltip.
    for (QComboBox* combo : {CmbClass_, CmbCourse_, CmbTeacher_, CmbTeacher2_}) {
        tw::ui::KeepComboTextWhole(combo);
    }

    QWidget* tabOrder[] = {CmbClass_,     CmdPrevClass_, CmdNextClass_,  CmbCourse_, CmbTeacher_,
                           txtCount_,     cmdAppend_,    cmdDelete_,     cmdModify_, cmdOK_,
                           lstAllRecord_, CmbTeacher2_,  lstTeacherInfo_};
    for (size_t i = 1; i < std::size(tabOrder); ++i) {
        setTabOrder(tabOrder[i - 1], tabOrder[i]);
    }

    connect(CmbClass_, &QComboBox::activated, this, &frmClassPlanInput::CmbClass_Click);
    connect(CmbTeacher2_, &QComboBox::activated, this, &frmClassPlanInput::CmbTeacher2_Click);
    connect(CmdPrevClass_, &QPushButton::clicked, this, &frmClassPlanInput::CmdPrevClass_Click);
    connect(CmdNextClass_, &QPushButton::clicked, this, &frmClassPlanInput::CmdNextClass_Click);
    connect(cmdAppend_, &QPushButton::clicked, this, &frmClassPlanInput::cmdAppend_Click);
    connect(cmdDelete_, &QPushButton::clicked, this, &frmClassPlanInput::cmdDelete_Click);
    connect(cmdModify_, &QPushButton::clicked, this, &frmClassPlanInput::cmdModify_Click);
    connect(cmdOK_, &QPushButton::clicked, this, &frmClassPlanInput::cmdOK_Click);
    connect(lstAllRecord_, &DataListView::rowClicked, this,
            &frmClassPlanInput::ShowSelectedPlanRow);
    connect(lstAllRecord_, &DataListView::deleteKeyPressed, this,
            &frmClassPlanInput::DeletePlanRow);
    OnKeyDown(txtCount_, [this](int key) { txtCount_KeyDown(key); });
}

void frmClassPlanInput::Form_Load() {
    const shell::ReadFailures::Action opening(reads_);
    classNames_ = reads_.Value(OnOpenDatabase(state_, shell::ShownNames::OfClasses));
    courseNames_ = reads_.Value(OnOpenDatabase(state_, shell::ShownNames::OfCourses));
    teacherNames_ = reads_.Value(OnOpenDatabase(state_, shell::ShownNames::OfTeachers));
    FillClassCombo();
    FillCourseCombo();
    FillTeacherCombos();
    lblTeacherSum_->setText(QString());
    LoadClassPlan();
}

void frmClassPlanInput::FillClassCombo() {
    shell::FillNameCombos(
        shell::ListedNames(reads_.Value(OnOpenDatabase(state_, tw::store::ReadClassList))),
        {CmbClass_});
    CmbClass_->setCurrentIndex(-1);
    if (CmbClass_->count() > 0) {
        SetComboIndex(CmbClass_, 0, [this] { CmbClass_Click(); });
    }
}

void frmClassPlanInput::FillCourseCombo() {
    shell::FillNameCombos(
        shell::ListedNames(reads_.Value(OnOpenDatabase(state_, tw::store::ReadCourseList))),
        {CmbCourse_});
    CmbCourse_->setCurrentIndex(-1);
}

void frmClassPlanInput::FillTeacherCombos() {
    const auto teachers = reads_.Value(OnOpenDatabase(state_, [](tw::db::Database& db) {
        return tw::store::ReadTeacherList(db, tw::store::TeacherOrder::ByCode);
    }));
    shell::FillNameCombos(shell::ListedNames(teachers), {CmbTeacher_, CmbTeacher2_});
    SetComboIndex(CmbTeacher_, -1);
    SetComboIndex(CmbTeacher2_, -1, [this] { CmbTeacher2_Click(); });
}

void frmClassPlanInput::CmbClass_Click() {
    const shell::ReadFailures::Action choosing(reads_);
    currentClassCode_ = shell::ShowChosenEntry(CmbClass_, Panel(2));
    LoadClassPlan();
}

void frmClassPlanInput::CmdPrevClass_Click() {
    if (CmbClass_->currentIndex() > 0) {
        SetComboIndex(CmbClass_, CmbClass_->currentIndex() - 1, [this] { CmbClass_Click(); });
    }
}

void frmClassPlanInput::CmdNextClass_Click() {
    if (CmbClass_->currentIndex() < CmbClass_->count() - 1) {
        SetComboIndex(CmbClass_, CmbClass_->currentIndex() + 1, [this] { CmbClass_Click(); });
    }
}

void frmClassPlanInput::CmbTeacher2_Click() {
    const shell::ReadFailures::Action choosing(reads_);
    if (CmbTeacher2_->currentIndex() < 0) {
        lstTeacherInfo_->clear();
        lblTeacherSum_->setText(QString());
        return;
    }
    LoadTeacherPlan(ComboCode(CmbTeacher2_));
}

void frmClassPlanInput::LoadClassPlan() {
    currentClassCode_ = ComboCode(CmbClass_);
    lstAllRecord_->clear();
    // A failing read ends the load; rows read before it stay.
    const auto rows = reads_.Value(OnOpenDatabase(state_, [this](tw::db::Database& db) {
        return tw::store::ReadClassPlan(db, currentClassCode_);
    }));
    for (const tw::store::PlanRow& plan : rows) {
        QTreeWidgetItem* row = lstAllRecord_->AddRow(
            {courseNames_.Of(plan.courseCode), teacherNames_.Of(plan.teacherCode), plan.count});
        row->setData(kCourseColumn, kCodeRole, plan.courseCode);
        row->setData(kTeacherColumn, kCodeRole, plan.teacherCode);
    }
    lstAllRecord_->ApplySort();
    if (lstAllRecord_->topLevelItemCount() > 0) {
        lstAllRecord_->SelectRow(lstAllRecord_->topLevelItem(0));
    }
    ShowClassTotals();
    ShowSelectedPlanRow();
}

void frmClassPlanInput::ShowClassTotals() {
    const int rows = lstAllRecord_->topLevelItemCount();
    long long total = 0;
    for (int i = 0; i < rows; ++i) {
        total += RowCount(lstAllRecord_->topLevelItem(i)->text(2));
    }
    Panel(3)->setText(QString::number(rows) + " 门");
    Panel(4)->setText(QString::number(total) + " 节");
}

void frmClassPlanInput::LoadTeacherPlan(const QString& teacherCode) {
    lstTeacherInfo_->clear();
    long long total = 0;
    const auto read = OnOpenDatabase(state_, [&teacherCode](tw::db::Database& db) {
        return tw::store::ReadTeacherPlan(db, teacherCode);
    });
    for (const tw::store::PlanRow& plan : read.value) {
        lstTeacherInfo_->AddRow(
            {classNames_.Of(plan.classCode), courseNames_.Of(plan.courseCode), plan.count});
        total += plan.countValue;
    }
    // After a failing read the rows read before it stay, without a total.
    if (!reads_.Note(read.outcome)) return;
    lblTeacherSum_->setText("共  " + QString::number(total) + "  节课");
}

void frmClassPlanInput::ShowSelectedPlanRow() {
    const shell::ReadFailures::Action showing(reads_);
    QTreeWidgetItem* row = lstAllRecord_->SelectedRow();
    const QString course = row ? RowCode(row, kCourseColumn) : QString();
    const QString teacher = row ? RowCode(row, kTeacherColumn) : QString();
    if (!row || !SetComboCode(CmbCourse_, course) || !SetComboCode(CmbTeacher_, teacher)) {
        ClearPlanInputs();
        return;
    }
    txtCount_->setText(row->text(2));
    const std::optional<short> count = PlanCount(txtCount_->text());
    if (!count) {
        ClearPlanInputs();
        return;
    }
    selectedCourseCode_ = course;
    selectedTeacherCode_ = teacher;
    selectedCount_ = *count;
    if (!SetComboCode(CmbTeacher2_, teacher, [this] { CmbTeacher2_Click(); })) {
        ClearPlanInputs();
    }
}

bool frmClassPlanInput::CheckPlanInput() {
    QString message;
    auto check = [&message](QWidget* w, bool passed, const QString& text) {
        PaintCheck(w, passed);
        if (!passed) {
            message = text;
            w->setFocus();
        }
    };
    const QString count = Trim(txtCount_->text());
    if (count.isEmpty()) {
        check(txtCount_, false, "请输入节数。");
    } else {
        check(txtCount_, tw::store::IsPlanCountNumber(count), "节数必须是数字。");
    }
    check(CmbTeacher_, !Trim(CmbTeacher_->currentText()).isEmpty(), "请选择教师。");
    check(CmbCourse_, !Trim(CmbCourse_->currentText()).isEmpty(), "请选择课程。");
    check(CmbClass_, !Trim(CmbClass_->currentText()).isEmpty(), "请选择班级。");
    if (message.isEmpty()) {
        return false;
    }
    MsgBox(message, tw::ui::vbInformation, "输入检查信息");
    return true;
}

void frmClassPlanInput::ClearPlanInputs() {
    SetComboIndex(CmbCourse_, -1);
    SetComboIndex(CmbTeacher_, -1);
    txtCount_->clear();
}

void frmClassPlanInput::FollowTeacher() {
    if (!SetComboCode(CmbTeacher2_, ComboCode(CmbTeacher_), [this] { CmbTeacher2_Click(); })) {
        SetComboIndex(CmbTeacher2_, -1, [this] { CmbTeacher2_Click(); });
    }
}

QTreeWidgetItem* frmClassPlanInput::FindPlanRow(const QString& course,
                                                const QString& teacher) const {
    for (int i = 0; i < lstAllRecord_->topLevelItemCount(); ++i) {
        QTreeWidgetItem* row = lstAllRecord_->topLevelItem(i);
        if (tw::db::SameCode(RowCode(row, kCourseColumn), course) &&
            tw::db::SameCode(RowCode(row, kTeacherColumn), teacher)) {
            return row;
        }
    }
    return nullptr;
}

bool frmClassPlanInput::AppendFailed(const Outcome& outcome) {
    // The refusal of a second teacher keeps the form's own text with its reason after blanks;
    // every other reason follows on a line of its own.
    if (outcome.reason == Reason::OtherTeacher) {
        Panel(1)->setText("添加记录失败   " + shell::ReasonText(outcome));
        MsgBox("添加记录失败  " + shell::ReasonText(outcome), tw::ui::vbInformation, "添加失败");
    } else {
        Panel(1)->setText(shell::PanelFailureText("添加记录失败", outcome));
        MsgBox(shell::FailureText("添加记录失败", outcome), tw::ui::vbInformation, "添加失败");
    }
    return true;
}

bool frmClassPlanInput::AppendPlanRow() {
    if (CheckPlanInput()) {
        return true;
    }
    const tw::store::PlanKey key{currentClassCode_, ComboCode(CmbCourse_), ComboCode(CmbTeacher_)};
    const Outcome outcome = OnOpenDatabase(state_, [&](tw::db::Database& db) {
        return tw::store::AddPlanRow(db, key, txtCount_->text());
    });
    if (!outcome.Done()) {
        return AppendFailed(outcome);
    }
    const shell::ReadFailures::Action reloading(reads_);
    Panel(1)->setText("添加记录成功！添加了1条记录");
    LoadClassPlan();
    ShowClassTotals();
    FollowTeacher();
    ClearPlanInputs();
    return false;
}

bool frmClassPlanInput::DeletePlanRow() {
    if (CheckPlanInput()) {
        return true;
    }
    const QString courseName = Trim(CmbCourse_->currentText());
    const QString teacherName = Trim(CmbTeacher_->currentText());
    if (MsgBox("警告： 确定要删除 '" + teacherName + "'的'" + courseName + "' 吗？(Y/N)？",
               tw::ui::vbYesNo | tw::ui::vbQuestion, "数据删除") != tw::ui::vbYes) {
        return true;
    }
    const QString course = ComboCode(CmbCourse_);
    const QString teacher = ComboCode(CmbTeacher_);
    // The plan row and its placed lessons go together or not at all; a delete that finds no
    // plan row deleted nothing and is no success.
    const Outcome deleted = OnOpenDatabase(state_, [&](tw::db::Database& db) {
        return tw::store::DeletePlanRow(db, {currentClassCode_, course, teacher});
    });
    if (!deleted.Done()) {
        Panel(1)->setText(shell::PanelFailureText("删除记录失败", deleted));
        MsgBox(shell::FailureText("删除记录失败, '" + courseName + "' 未被删除", deleted),
               tw::ui::vbInformation, "删除失败");
        return true;
    }
    const shell::ReadFailures::Action reloading(reads_);
    Panel(1)->setText("删除记录成功！删除了1条记录");
    // The list loses the row of the deleted course and teacher, whatever row is selected.
    delete FindPlanRow(course, teacher);
    lstAllRecord_->setFocus();
    ShowClassTotals();
    FollowTeacher();
    ClearPlanInputs();
    return false;
}

void frmClassPlanInput::ModifyRefused(const Outcome& outcome) {
    Panel(1)->setText("修改记录失败   " + shell::ReasonText(outcome));
    MsgBox("修改记录失败  " + shell::ReasonText(outcome), tw::ui::vbInformation, "修改失败");
}

void frmClassPlanInput::ShowModified(const Outcome& outcome) {
    const QString done = "修改记录成功！修改了1条记录";
    if (outcome.removed <= 0) {
        Panel(1)->setText(done);
        return;
    }
    // Lessons the new teacher could not take are gone from the timetable: the user is told how
    // many and where they are owed now.
    const QString removed = QString::number(outcome.removed);
    Panel(1)->setText(done + "，删除了" + removed + "节新老师已有课的课时");
    MsgBox(done + "\n新老师有" + removed + "个课时已在其他班级上课，这" + removed +
               "节课已从课表中删除，可在“手工调整课表”的未排课程中重新安排。",
           tw::ui::vbInformation, windowTitle());
}

bool frmClassPlanInput::ModifyFailed(const Outcome& outcome) {
    // A fixed lesson that cannot follow names the class the new teacher teaches then as the
    // lists show it.
    Outcome shown = outcome;
    if (shown.reason == Reason::FixedInTheWay && !shown.detail.isEmpty()) {
        const QString name = classNames_.Of(shown.detail);
        if (!name.isEmpty()) shown.detail = name;
    }
    Panel(1)->setText(shell::PanelFailureText("修改记录失败", shown));
    MsgBox(shell::FailureText("修改记录失败！", shown), tw::ui::vbInformation, "修改失败");
    return true;
}

bool frmClassPlanInput::ModifyPlanRow() {
    if (CheckPlanInput()) {
        return true;
    }
    const QString course = ComboCode(CmbCourse_);
    const QString teacher = ComboCode(CmbTeacher_);
    const tw::store::PlanChange change{
        {currentClassCode_, selectedCourseCode_, selectedTeacherCode_},
        selectedCount_,
        course,
        teacher,
        txtCount_->text()};
    const Outcome outcome = OnOpenDatabase(
        state_, [&change](tw::db::Database& db) { return tw::store::ModifyPlanRow(db, change); });
    if (outcome.reason == Reason::CourseChanged) {
        ModifyRefused(outcome);
        SetComboCode(CmbCourse_, selectedCourseCode_);
        PaintCheck(CmbCourse_, false);
        CmbCourse_->setFocus();
        return true;
    }
    PaintCheck(CmbCourse_, true);
    if (outcome.reason == Reason::OtherTeacher) {
        ModifyRefused(outcome);
        return true;
    }
    if (!outcome.Done()) {
        return ModifyFailed(outcome);
    }
    const shell::ReadFailures::Action reloading(reads_);
    const short count = *PlanCount(txtCount_->text());
    ShowModified(outcome);
    QTreeWidgetItem* row = FindPlanRow(selectedCourseCode_, selectedTeacherCode_);
    selectedCourseCode_ = course;
    selectedTeacherCode_ = teacher;
    selectedCount_ = count;
    if (row) {
        row->setText(0, Trim(CmbCourse_->currentText()));
        row->setText(1, Trim(CmbTeacher_->currentText()));
        row->setText(2, QString::number(count));
        row->setData(kCourseColumn, kCodeRole, course);
        row->setData(kTeacherColumn, kCodeRole, teacher);
    }
    lstAllRecord_->setFocus();
    ShowClassTotals();
    FollowTeacher();
    ClearPlanInputs();
    return false;
}

void frmClassPlanInput::txtCount_KeyDown(int keyCode) {
    if (keyCode == vbKeyReturn) {
        if (!AppendPlanRow()) {
            CmbCourse_->setFocus();
        }
    } else if (keyCode == vbKeyUp) {
        CmbTeacher_->setFocus();
    }
}

void frmClassPlanInput::cmdAppend_Click() {
    AppendPlanRow();
}
void frmClassPlanInput::cmdDelete_Click() {
    DeletePlanRow();
}
void frmClassPlanInput::cmdModify_Click() {
    ModifyPlanRow();
}
void frmClassPlanInput::cmdOK_Click() {
    close();
}

}  // namespace tw::data
