#include "frmClassPlanInput.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QTreeWidgetItem>
#include <cmath>
#include <exception>
#include <limits>
#include <optional>

#include "DataEntry.h"
#include "PlanLessons.h"
#include "db/CodeOrder.h"
#include "shell/mdlPublic.h"
#include "ui/Combo.h"
#include "ui/FitText.h"
#include "ui/MsgBox.h"

using namespace tw::data;
using tw::db::SqlQ;
using tw::ui::ComboCode;
using tw::ui::MsgBox;
using tw::ui::SetComboCode;
using tw::ui::SetComboIndex;

namespace {

// A count typed as a plain decimal number: optional sign, digits, optional fraction.
bool IsCountNumber(const QString& trimmed) {
    static const QRegularExpression number(R"(^[+-]?(\d+(\.\d*)?|\.\d+)$)");
    return number.match(trimmed).hasMatch();
}

// The whole lessons of a count text, rounded as the database rounds a number it stores in a
// whole-number column: to the nearest, an exact half to the even neighbour (3.5 -> 4, 2.5 -> 2,
// -1.5 -> -2). Empty when the text is no number or the result does not fit a 16-bit count. Used
// alike for the database, the list and the remembered count.
std::optional<short> WholeCount(const QString& text) {
    const QString trimmed = Trim(text);
    if (!IsCountNumber(trimmed)) {
        return std::nullopt;
    }
    // The default rounding mode rounds halves to even.
    const double value = std::nearbyint(trimmed.toDouble());
    if (value < std::numeric_limits<short>::min() || value > std::numeric_limits<short>::max()) {
        return std::nullopt;
    }
    return static_cast<short>(value);
}

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

frmClassPlanInput::frmClassPlanInput(QWidget* parent) : DataForm(parent) {
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
    classNames_ = ShownNames::OfTable("Classtb");
    courseNames_ = ShownNames::OfTable("Coursetb");
    teacherNames_ = ShownNames::OfTable("Teachertb");
    FillClassCombo();
    FillCourseCombo();
    FillTeacherCombos();
    lblTeacherSum_->setText(QString());
    LoadClassPlan();
}

void frmClassPlanInput::FillClassCombo() {
    FillNameCombos("select Code,Name,FullName from Classtb", {CmbClass_});
    CmbClass_->setCurrentIndex(-1);
    if (CmbClass_->count() > 0) {
        SetComboIndex(CmbClass_, 0, [this] { CmbClass_Click(); });
    }
}

void frmClassPlanInput::FillCourseCombo() {
    FillNameCombos("select Code,Name,FullName from Coursetb", {CmbCourse_});
    CmbCourse_->setCurrentIndex(-1);
}

void frmClassPlanInput::FillTeacherCombos() {
    FillNameCombos("select Code,Name,FullName from Teachertb order by Code",
                   {CmbTeacher_, CmbTeacher2_});
    SetComboIndex(CmbTeacher_, -1);
    SetComboIndex(CmbTeacher2_, -1, [this] { CmbTeacher2_Click(); });
}

void frmClassPlanInput::CmbClass_Click() {
    currentClassCode_ = ComboCode(CmbClass_);
    Panel(2)->setText(CmbClass_->currentText());
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
    try {
        auto rs = KbDb().OpenRecordset("select * from ClassPlantb where ClassCode = '" +
                                       SqlQ(currentClassCode_) + "'");
        while (!rs->Eof()) {
            const QString course = rs->Fields("CourseCode").Text();
            const QString teacher = rs->Fields("TeacherCode").Text();
            QTreeWidgetItem* row = lstAllRecord_->AddRow(
                {courseNames_.Of(course), teacherNames_.Of(teacher), rs->Fields("Count").Text()});
            row->setData(kCourseColumn, kCodeRole, course);
            row->setData(kTeacherColumn, kCodeRole, teacher);
            rs->MoveNext();
        }
        rs->Close();
    } catch (const std::exception&) {
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
    try {
        auto rs = KbDb().OpenRecordset("select * from ClassPlantb where TeacherCode = '" +
                                       SqlQ(teacherCode) + "'");
        while (!rs->Eof()) {
            lstTeacherInfo_->AddRow({classNames_.Of(rs->Fields("ClassCode").Text()),
                                     courseNames_.Of(rs->Fields("CourseCode").Text()),
                                     rs->Fields("Count").Text()});
            total += rs->Fields("Count").Int();
            rs->MoveNext();
        }
        rs->Close();
    } catch (const std::exception&) {
        return;
    }
    lblTeacherSum_->setText("共  " + QString::number(total) + "  节课");
}

void frmClassPlanInput::ShowSelectedPlanRow() {
    QTreeWidgetItem* row = lstAllRecord_->SelectedRow();
    const QString course = row ? RowCode(row, kCourseColumn) : QString();
    const QString teacher = row ? RowCode(row, kTeacherColumn) : QString();
    if (!row || !SetComboCode(CmbCourse_, course) || !SetComboCode(CmbTeacher_, teacher)) {
        ClearPlanInputs();
        return;
    }
    txtCount_->setText(row->text(2));
    const std::optional<short> count = WholeCount(txtCount_->text());
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
        check(txtCount_, IsCountNumber(count), "节数必须是数字。");
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

bool frmClassPlanInput::AppendFailed(const QString& reason) {
    Panel(1)->setText("添加记录失败   " + reason);
    MsgBox("添加记录失败  " + reason, tw::ui::vbInformation, "添加失败");
    return true;
}

bool frmClassPlanInput::AppendPlanRow() {
    if (CheckPlanInput()) {
        return true;
    }
    const QString course = ComboCode(CmbCourse_);
    const QString teacher = ComboCode(CmbTeacher_);
    const std::optional<short> count = WholeCount(txtCount_->text());
    try {
        const QString where = " ClassCode='" + SqlQ(currentClassCode_) + "'" + " and CourseCode='" +
                              SqlQ(course) + "'";
        auto other = KbDb().OpenRecordset("Select CourseCode from ClassPlantb where " + where +
                                          " and TeacherCode<>'" + SqlQ(teacher) + "'");
        const bool otherTeacher = !other->Eof();
        other->Close();
        if (otherTeacher) {
            return AppendFailed("不允许一门课多个老师");
        }
        if (!count) {
            return AppendFailed(QString());
        }
        const QString sameRow = where + " and TeacherCode='" + SqlQ(teacher) + "'";
        auto rs = KbDb().OpenRecordset("Select Count from ClassPlantb where " + sameRow);
        QString statement;
        if (rs->Eof()) {
            statement =
                "Insert Into ClassPlantb ( ClassCode,CourseCode,TeacherCode,Count) Values ('" +
                SqlQ(currentClassCode_) + "','" + SqlQ(course) + "','" + SqlQ(teacher) + "'," +
                QString::number(*count) + ")";
        } else {
            const long long sum = rs->Fields("Count").Int() + *count;
            if (sum < std::numeric_limits<short>::min() ||
                sum > std::numeric_limits<short>::max()) {
                rs->Close();
                return AppendFailed(QString());
            }
            statement =
                "Update ClassPlantb set Count=" + QString::number(sum) + " where " + sameRow;
        }
        rs->Close();
        KbDb().Execute(statement, 0);
    } catch (const std::exception&) {
        return AppendFailed(QString());
    }
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
    bool deleted = false;
    try {
        const QString match = "ClassCode='" + SqlQ(currentClassCode_) + "'" +
                              " and CourseCode = '" + SqlQ(course) + "'" + " and TeacherCode = '" +
                              SqlQ(teacher) + "'";
        tw::db::Transaction transaction(KbDb());
        KbDb().Execute("Delete From LessonListtb Where  " + match, 0);
        KbDb().Execute("Delete From ClassPlantb Where " + match, 0);
        deleted = KbDb().RecordsAffected() > 0;
        if (deleted) {
            transaction.Commit();
        }
    } catch (const std::exception&) {
        deleted = false;
    }
    if (!deleted) {
        Panel(1)->setText("删除记录失败");
        MsgBox("删除记录失败, '" + courseName + "' 未被删除", tw::ui::vbInformation, "删除失败");
        return true;
    }
    Panel(1)->setText("删除记录成功！删除了1条记录");
    // The list loses the row of the deleted course and teacher, whatever row is selected.
    delete FindPlanRow(course, teacher);
    lstAllRecord_->setFocus();
    ShowClassTotals();
    FollowTeacher();
    ClearPlanInputs();
    return false;
}

bool frmClassPlanInput::ModifyFailed() {
    Panel(1)->setText("修改记录失败");
    MsgBox("修改记录失败！", tw::ui::vbInformation, "修改失败");
    return true;
}

bool frmClassPlanInput::ModifyPlanRow() {
    if (CheckPlanInput()) {
        return true;
    }
    const QString course = ComboCode(CmbCourse_);
    const QString teacher = ComboCode(CmbTeacher_);
    if (!tw::db::SameCode(course, selectedCourseCode_)) {
        Panel(1)->setText(QString("修改记录失败   ") + "只允许修改老师和节数");
        MsgBox(QString("修改记录失败  ") + "只允许修改老师和节数", tw::ui::vbInformation,
               "修改失败");
        SetComboCode(CmbCourse_, selectedCourseCode_);
        PaintCheck(CmbCourse_, false);
        CmbCourse_->setFocus();
        return true;
    }
    PaintCheck(CmbCourse_, true);
    const std::optional<short> count = WholeCount(txtCount_->text());
    if (!count) {
        return ModifyFailed();
    }
    const bool newTeacher = !tw::db::SameCode(teacher, selectedTeacherCode_);
    // The row, its placed lessons and its progress counter change together: the lessons follow
    // the row to its new teacher, and BuildCount is counted anew from the lessons it keeps.
    try {
        // A class has one teacher per course, as the add keeps it: where an older file holds a
        // second row of this class and course, the teacher of neither may change, or the two
        // rows could become one row twice with their lessons counted in both.
        if (newTeacher) {
            auto other =
                KbDb().OpenRecordset("Select CourseCode from ClassPlantb where  ClassCode='" +
                                     SqlQ(currentClassCode_) + "' and CourseCode='" + SqlQ(course) +
                                     "' and TeacherCode<>'" + SqlQ(selectedTeacherCode_) + "'");
            const bool otherRow = !other->Eof();
            other->Close();
            if (otherRow) {
                Panel(1)->setText(QString("修改记录失败   ") + "不允许一门课多个老师");
                MsgBox(QString("修改记录失败  ") + "不允许一门课多个老师", tw::ui::vbInformation,
                       "修改失败");
                return true;
            }
        }
        tw::db::Transaction transaction(KbDb());
        KbDb().Execute("Update ClassPlantb Set  CourseCode = '" + SqlQ(course) + "'" +
                           ",TeacherCode = '" + SqlQ(teacher) + "'" +
                           ",Count = " + QString::number(*count) + " Where " + "ClassCode='" +
                           SqlQ(currentClassCode_) + "'" + " and CourseCode = '" +
                           SqlQ(selectedCourseCode_) + "'" + " and TeacherCode = '" +
                           SqlQ(selectedTeacherCode_) + "'" +
                           " and Count = " + QString::number(selectedCount_),
                       0);
        // The stored row no longer matches what the form remembers: nothing was changed.
        if (KbDb().RecordsAffected() == 0) {
            return ModifyFailed();
        }
        if (newTeacher &&
            !MovePlanLessons(KbDb(), currentClassCode_, course, selectedTeacherCode_, teacher)) {
            return ModifyFailed();
        }
        RecountBuildCount(KbDb(), currentClassCode_, course, teacher);
        transaction.Commit();
    } catch (const std::exception&) {
        return ModifyFailed();
    }
    Panel(1)->setText("修改记录成功！修改了1条记录");
    QTreeWidgetItem* row = FindPlanRow(selectedCourseCode_, selectedTeacherCode_);
    selectedCourseCode_ = course;
    selectedTeacherCode_ = teacher;
    selectedCount_ = *count;
    if (row) {
        row->setText(0, Trim(CmbCourse_->currentText()));
        row->setText(1, Trim(CmbTeacher_->currentText()));
        row->setText(2, QString::number(*count));
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
