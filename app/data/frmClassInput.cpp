#include "frmClassInput.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>

#include "DataEntry.h"
#include "db/Database.h"
#include "shell/AppState.h"
#include "shell/FailureText.h"
#include "store/ClassOrder.h"
#include "store/MasterData.h"
#include "ui/Combo.h"
#include "ui/MsgBox.h"

namespace tw::data {

using namespace tw::data;
using tw::ui::MsgBox;
using tw::ui::SetComboIndex;
using tw::ui::SetComboText;
namespace store = tw::store;

namespace {
// Reads a whole number written as plain decimal digits; -1 for anything else.
int PlainNumber(const QString& text) {
    if (text.isEmpty() || text.size() > 4) {
        return -1;
    }
    for (QChar c : text) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9')) {
            return -1;
        }
    }
    return text.toInt();
}
}  // namespace

frmClassInput::frmClassInput(tw::shell::AppState& state, QWidget* parent)
    : RecordForm(parent), state_(state) {
    setObjectName("frmClassInput");
    BuildControls();
    Form_Load();
}

QString frmClassInput::GradeName(short grade) {
    static const char* const kWords[10] = {"学前", "一", "二", "三", "四",
                                           "五",   "六", "七", "八", "九"};
    return grade >= 0 && grade <= 9 ? QString::fromUtf8(kWords[grade]) : QString();
}

void frmClassInput::BuildControls() {
    setWindowTitle("班级名单");
    setFixedSize(TwipsToPixels(8400), TwipsToPixels(6420));

    lstAllRecord_ = new DataListView(this);
    lstAllRecord_->setObjectName("lstAllRecord");
    PlaceTwips(lstAllRecord_, 120, 120, 8160, 3600);

    auto* fraData = new QGroupBox(this);
    fraData->setObjectName("fraData");
    PlaceTwips(fraData, 120, 3840, 5400, 2100);
    lblCode_ = new QLabel("班级", fraData);
    lblCode_->setObjectName("lblCode");
    PlaceTwips(lblCode_, 240, 300, 1200, 300);
    cmbGrade_ = new QComboBox(fraData);
    cmbGrade_->setObjectName("cmbGrade");
    PlaceTwips(cmbGrade_, 1500, 240, 1800, 360);
    for (const char* item : {"学前", "一年级", "二年级", "三年级", "四年级", "五年级", "六年级",
                             "七年级", "八年级", "九年级"}) {
        cmbGrade_->addItem(QString::fromUtf8(item));
    }
    cmbGrade_->setCurrentIndex(-1);
    cmbClass_ = new QComboBox(fraData);
    cmbClass_->setObjectName("cmbClass");
    PlaceTwips(cmbClass_, 3420, 240, 1200, 360);
    for (int n = 1; n <= 20; ++n) {
        cmbClass_->addItem(QString::number(n));
    }
    cmbClass_->setCurrentIndex(-1);
    Label1_ = new QLabel("班", fraData);
    Label1_->setObjectName("Label1");
    PlaceTwips(Label1_, 4740, 300, 450, 300);

    struct Box {
        QLineEdit** box;
        const char* name;
        const char* label;
        const char* labelName;
    };
    const Box boxes[] = {{&txtName_, "txtName", "班级名称", "lblName"},
                         {&txtFullName_, "txtFullName", "班级全称", "lblFullName"},
                         {&txtShortName_, "txtShortName", "班级简称", "lblShortName"}};
    for (int row = 0; row < 3; ++row) {
        auto* label = new QLabel(boxes[row].label, fraData);
        label->setObjectName(boxes[row].labelName);
        PlaceTwips(label, 240, 750 + row * 450, 1200, 300);
        QLineEdit* box = new QLineEdit(fraData);
        box->setObjectName(boxes[row].name);
        box->setMaxLength(kBoxLength);
        PlaceTwips(box, 1500, 690 + row * 450, 3600, 360);
        *boxes[row].box = box;
    }
    setTabOrder(cmbGrade_, cmbClass_);
    setTabOrder(cmbClass_, txtName_);
    setTabOrder(txtName_, txtFullName_);
    setTabOrder(txtFullName_, txtShortName_);

    MakeRecordButtons();

    MakeStatusBar(0, 6045, 8400, 375, {8400});

    // A choice of the user's leaves the selected row behind: the code is formed from the lists.
    connect(cmbGrade_, &QComboBox::activated, this, [this] {
        rowCode_.clear();
        cmbGrade_Click();
    });
    connect(cmbClass_, &QComboBox::activated, this, [this] {
        rowCode_.clear();
        cmbClass_Click();
    });
    connect(lstAllRecord_, &DataListView::rowClicked, this, &frmClassInput::ShowSelectedClass);
    connect(lstAllRecord_, &DataListView::deleteKeyPressed, this, &frmClassInput::DeleteRecord);
    OnKeyDown(txtName_, [this](int key) { txtName_KeyDown(key); });
    OnKeyDown(txtFullName_, [this](int key) { txtFullName_KeyDown(key); });
    OnKeyDown(txtShortName_, [this](int key) { txtShortName_KeyDown(key); });
}

void frmClassInput::Form_Load() {
    lstAllRecord_->SetColumns({"班级代码", "班级名称", "班级全称", "班级简称"},
                              {1700, 2000, 2000, 2000});
    // Sorted by code, the classes stand by grade and class number.
    lstAllRecord_->SetColumnOrder(0, store::ClassCodeLess);
    // A failing read ends the load; rows read before it stay, a Null column shows as empty.
    const auto read = OnOpenDatabase(state_, [](tw::db::Database& db) {
        return store::ReadMasterRecords(db, store::MasterTable::Classes);
    });
    for (const store::MasterRecord& r : read.value) {
        lstAllRecord_->AddRow({r.code, r.name, r.fullName, r.shortName});
    }
    ShowReadFailure(*this, read.outcome);
}

QString frmClassInput::ActingCode() const {
    QTreeWidgetItem* selected = lstAllRecord_->SelectedRow();
    if (!rowCode_.isEmpty() && selected && selected->text(0) == rowCode_) {
        return rowCode_;
    }
    return ClassCode();
}

bool frmClassInput::ActsOnUnformedCode() const {
    return ClassCode().isEmpty() && !rowCode_.isEmpty() && ActingCode() == rowCode_;
}

QString frmClassInput::ClassCode() const {
    if (cmbGrade_->currentIndex() < 0 || cmbClass_->currentIndex() < 0) {
        return QString();
    }
    return QString::number(cmbGrade_->currentIndex()) +
           QString::number(cmbClass_->currentIndex() + 1);
}

void frmClassInput::MakeClassNames() {
    if (cmbGrade_->currentIndex() < 0 || cmbClass_->currentIndex() < 0) {
        ClearClassInputs();
        return;
    }
    const QString g = GradeName(static_cast<short>(cmbGrade_->currentIndex()));
    const QString n = QString::number(cmbClass_->currentIndex() + 1);
    ShowNewText(txtName_, g + "（" + n + "）班");
    ShowNewText(txtFullName_, g + "年级（" + n + "）班");
    ShowNewText(txtShortName_, g + "（" + n + "）");
}

void frmClassInput::cmbGrade_Click() {
    MakeClassNames();
}
void frmClassInput::cmbClass_Click() {
    MakeClassNames();
}

void frmClassInput::ShowSelectedClass() {
    QTreeWidgetItem* row = lstAllRecord_->SelectedRow();
    if (!row) {
        return;
    }
    // The lists show the code where they can form it exactly. Where they cannot (121 of a
    // grade with more than 20 classes, 602, 1A from an older file), the list of what they cannot
    // show is left without a choice, so they name no class. Until the user picks in a list,
    // delete and modify act on the row's stored code, whatever its form.
    const QString code = row->text(0);
    const int grade = PlainNumber(code.left(1));
    const int number = PlainNumber(code.mid(1));
    const bool formed = grade >= 0 && number >= 1 && number <= cmbClass_->count() &&
                        QString::number(grade) + QString::number(number) == code;
    SetComboIndex(cmbGrade_, grade, [this] { cmbGrade_Click(); });
    SetComboIndex(cmbClass_, formed ? number - 1 : -1, [this] { cmbClass_Click(); });
    rowCode_ = code;
    // The row's own names, whole, whatever the lists show.
    ShowStoredText(txtName_, row->text(1));
    ShowStoredText(txtFullName_, row->text(2));
    ShowStoredText(txtShortName_, row->text(3));
}

bool frmClassInput::CheckClassInput(bool listsNeeded) {
    QString message;
    auto check = [&message](QWidget* w, bool filled, const char* text) {
        PaintCheck(w, filled);
        if (!filled) {
            message = QString::fromUtf8(text);
            w->setFocus();
        }
    };
    check(txtShortName_, !Trim(txtShortName_->text()).isEmpty(), "请输入班级简称。");
    check(txtFullName_, !Trim(txtFullName_->text()).isEmpty(), "请输入班级全称。");
    check(txtName_, !Trim(txtName_->text()).isEmpty(), "请输入班级名称。");
    if (listsNeeded) {
        check(cmbClass_, cmbClass_->currentIndex() >= 0, "请选择班级。");
        check(cmbGrade_, cmbGrade_->currentIndex() >= 0, "请选择年级。");
    }
    if (message.isEmpty()) {
        return false;
    }
    MsgBox(message, tw::ui::vbExclamation, "输入信息检查");
    return true;
}

void frmClassInput::ClearClassInputs() {
    for (QLineEdit* box : {txtName_, txtFullName_, txtShortName_}) {
        ShowNewText(box, QString());
    }
}

store::MasterRecord frmClassInput::TrimmedNames(const QString& code) const {
    return {code, Trim(txtName_->text()), Trim(txtFullName_->text()), Trim(txtShortName_->text())};
}

bool frmClassInput::AppendRecord() {
    if (CheckClassInput(true)) {
        return true;
    }
    const store::MasterRecord record = TrimmedNames(ClassCode());
    const AddWording wording{
        {{txtName_, store::MasterColumn::Name, "班级名称"},
         {txtFullName_, store::MasterColumn::FullName, "班级全称"},
         {txtShortName_, store::MasterColumn::ShortName, "班级简称"}},
        tw::ui::vbExclamation,
        "输入信息检查",
        cmbGrade_->currentText() + "（" + cmbClass_->currentText() + "）班 已经存在！"};
    if (AddRecord(state_, *this, lstAllRecord_, store::MasterTable::Classes, record, wording)) {
        return true;
    }
    rowCode_ = record.code;
    ClearClassInputs();
    return false;
}

void frmClassInput::DeleteRecord() {
    if (CheckClassInput(!ActsOnUnformedCode())) {
        return;
    }
    const QString code = ActingCode();
    if (MsgBox("警告： 确定要删除 '" + code + "  " + Trim(txtName_->text()) + "' 吗？(Y/N)？",
               tw::ui::vbYesNo | tw::ui::vbQuestion, "数据删除") != tw::ui::vbYes) {
        return;
    }
    // The class, its lessons, plan rows and class limits go together or not at all; when no
    // class has the code, nothing was deleted.
    const store::Outcome outcome = OnOpenDatabase(state_, [&](tw::db::Database& db) {
        return store::DeleteMasterRecord(db, store::MasterTable::Classes, code);
    });
    if (!outcome.Done()) {
        Panel(1)->setText(shell::PanelFailureText("删除记录失败", outcome));
        MsgBox(shell::FailureText("删除记录失败, '" + txtName_->text() + "' 未被删除", outcome),
               tw::ui::vbInformation, "删除失败");
        return;
    }
    Panel(1)->setText("删除记录成功！删除了1条记录");
    delete lstAllRecord_->FindRow(code);
    rowCode_.clear();
    lstAllRecord_->setFocus();
    ClearClassInputs();
}

void frmClassInput::ModifyRecord() {
    QTreeWidgetItem* selected = lstAllRecord_->SelectedRow();
    const QString code = ActingCode();
    // Without a selected row there is nothing to compare with: the code counts as changed.
    if (!selected || code.isEmpty() || code != selected->text(0)) {
        PaintCheck(cmbGrade_, false);
        PaintCheck(cmbClass_, false);
        cmbGrade_->setFocus();
        MsgBox("班级代码不能修改！", tw::ui::vbExclamation, "输入信息检查");
        return;
    }
    if (CheckClassInput(!ActsOnUnformedCode())) {
        return;
    }
    ModifyNames(state_, *this, lstAllRecord_, store::MasterTable::Classes, TrimmedNames(code));
}

void frmClassInput::txtName_KeyDown(int keyCode) {
    MoveFocusByKey(keyCode, nullptr, txtFullName_);
}

void frmClassInput::txtFullName_KeyDown(int keyCode) {
    MoveFocusByKey(keyCode, txtName_, txtShortName_);
}

void frmClassInput::txtShortName_KeyDown(int keyCode) {
    MoveFocusByKey(keyCode, txtFullName_, nullptr);
}

}  // namespace tw::data
