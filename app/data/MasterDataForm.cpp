#include "MasterDataForm.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <vector>

#include "DataEntry.h"
#include "db/Database.h"
#include "shell/AppState.h"
#include "shell/FailureText.h"
#include "store/MasterData.h"
#include "ui/MsgBox.h"

using tw::store::Reason;
using tw::ui::MsgBox;

namespace tw::data {

namespace {
const char* const kBoxNames[4] = {"txtCode", "txtName", "txtFullName", "txtShortName"};
const char* const kLabelNames[4] = {"lblCode", "lblName", "lblFullName", "lblShortName"};
}  // namespace

MasterFormSettings SettingsNaming(const QString& noun, tw::store::MasterTable table) {
    MasterFormSettings s;
    s.caption = noun + "名单";
    s.table = table;
    s.headings = {noun + "代码", noun + "名称", noun + "全称", noun + "简称"};
    s.labels = s.headings;
    s.boxOrder = {kCodeBox, kNameBox, kFullNameBox, kShortNameBox};
    s.required = {{kShortNameBox, "请输入" + noun + "简称。"},
                  {kFullNameBox, "请输入" + noun + "全称。"},
                  {kNameBox, "请输入" + noun + "名称。"},
                  {kCodeBox, "请输入" + noun + "代码。"}};
    s.checkTitle = "输入信息检查";
    s.duplicatePrefix = "该" + noun + "代码： ";
    s.codeChangeMessage = noun + "代码不能修改！";
    s.chooseRowMessage = "请在列表中选择要删除的" + noun + "。";
    return s;
}

MasterDataForm::MasterDataForm(tw::shell::AppState& state, const MasterFormSettings& settings,
                               QWidget* parent)
    : RecordForm(parent), state_(state), settings_(settings) {
    BuildControls();
    Form_Load();
}

void MasterDataForm::BuildControls() {
    setWindowTitle(settings_.caption);
    setFixedSize(TwipsToPixels(8400), TwipsToPixels(6420));

    lstAllRecord_ = new DataListView(this);
    lstAllRecord_->setObjectName("lstAllRecord");
    PlaceTwips(lstAllRecord_, 120, 120, 8160, 3600);

    fraData_ = new QGroupBox(this);
    fraData_->setObjectName("fraData");
    PlaceTwips(fraData_, 120, 3840, 5400, 2100);
    for (int box = 0; box < 4; ++box) {
        labels_[box] = new QLabel(settings_.labels.value(box), fraData_);
        labels_[box]->setObjectName(kLabelNames[box]);
        boxes_[box] = new QLineEdit(fraData_);
        boxes_[box]->setObjectName(kBoxNames[box]);
        boxes_[box]->setMaxLength(kBoxLength);
    }
    for (int row = 0; row < settings_.boxOrder.size(); ++row) {
        const int box = settings_.boxOrder[row];
        PlaceTwips(labels_[box], 240, 300 + row * 450, 1200, 300);
        PlaceTwips(boxes_[box], 1500, 240 + row * 450, 3600, 360);
        if (row > 0) {
            setTabOrder(boxes_[settings_.boxOrder[row - 1]], boxes_[box]);
        }
    }

    MakeRecordButtons();

    MakeStatusBar(0, 6045, 8400, 375, {8400});

    connect(lstAllRecord_, &DataListView::rowClicked, this, &MasterDataForm::ShowSelectedRecord);
    connect(lstAllRecord_, &DataListView::deleteKeyPressed, this, &MasterDataForm::DeleteRecord);
    OnKeyDown(boxes_[kCodeBox], [this](int key) { txtCode_KeyDown(key); });
    OnKeyDown(boxes_[kNameBox], [this](int key) { txtName_KeyDown(key); });
    OnKeyDown(boxes_[kFullNameBox], [this](int key) { txtFullName_KeyDown(key); });
    OnKeyDown(boxes_[kShortNameBox], [this](int key) { txtShortName_KeyDown(key); });
}

QString MasterDataForm::Trimmed(int box) const {
    return Trim(boxes_[box]->text());
}

tw::store::MasterRecord MasterDataForm::TrimmedRecord() const {
    return {Trimmed(kCodeBox), Trimmed(kNameBox), Trimmed(kFullNameBox), Trimmed(kShortNameBox)};
}

void MasterDataForm::Form_Load() {
    lstAllRecord_->SetColumns(settings_.headings, {1700, 2000, 2000, 2000});
    // A failing read ends the load; every row read before it stays, and a Null column is
    // shown as empty text.
    const auto read = OnOpenDatabase(state_, [this](tw::db::Database& db) {
        return tw::store::ReadMasterRecords(db, settings_.table);
    });
    for (const tw::store::MasterRecord& r : read.value) {
        lstAllRecord_->AddRow({r.code, r.name, r.fullName, r.shortName});
    }
    ShowReadFailure(*this, read.outcome);
}

void MasterDataForm::ShowSelectedRecord() {
    QTreeWidgetItem* row = lstAllRecord_->SelectedRow();
    if (!row) {
        return;
    }
    // A stored value longer than a box can take (from an older file or another program) is
    // shown whole, so that delete and modify act on the stored code, not on a cut one.
    for (int box = 0; box < 4; ++box) {
        ShowStoredText(boxes_[box], row->text(box));
    }
}

bool MasterDataForm::CheckInput() {
    QString message;
    for (const auto& required : settings_.required) {
        QLineEdit* box = boxes_[required.box];
        const bool filled = !Trim(box->text()).isEmpty();
        PaintCheck(box, filled);
        if (!filled) {
            message = required.message;
            box->setFocus();
        }
    }
    if (message.isEmpty()) {
        return false;
    }
    MsgBox(message, tw::ui::vbInformation, settings_.checkTitle);
    return true;
}

void MasterDataForm::ClearInputs() {
    for (int box : {kNameBox, kFullNameBox, kShortNameBox, kCodeBox}) {
        ShowNewText(boxes_[box], QString());
    }
}

QTreeWidgetItem* MasterDataForm::RowInCodeBox() const {
    QTreeWidgetItem* selected = lstAllRecord_->SelectedRow();
    return selected && boxes_[kCodeBox]->text() == selected->text(0) ? selected : nullptr;
}

void MasterDataForm::RefuseCodeChange() {
    PaintCheck(boxes_[kCodeBox], false);
    boxes_[kCodeBox]->setFocus();
    MsgBox(settings_.codeChangeMessage, tw::ui::vbExclamation, "输入信息检查");
}

bool MasterDataForm::AppendRecord() {
    if (CheckInput()) {
        return true;
    }
    // A row clicked before may have left a stored value longer than the box takes; a new record
    // keeps the boxes' limit.
    static const tw::store::MasterColumn kColumns[4] = {
        tw::store::MasterColumn::Code, tw::store::MasterColumn::Name,
        tw::store::MasterColumn::FullName, tw::store::MasterColumn::ShortName};
    AddWording wording{{},
                       tw::ui::vbInformation,
                       settings_.checkTitle,
                       settings_.duplicatePrefix + boxes_[kCodeBox]->text() + " 已经存在！"};
    for (int box : settings_.boxOrder) {
        wording.boxes.push_back({boxes_[box], kColumns[box], settings_.labels.value(box)});
    }
    if (AddRecord(state_, *this, lstAllRecord_, settings_.table, TrimmedRecord(), wording)) {
        return true;
    }
    ClearInputs();
    return false;
}

void MasterDataForm::DeleteRecord() {
    if (CheckInput()) {
        return;
    }
    // The delete acts on the selected row, whose name the confirmation shows: while the code box
    // does not hold that row's code (no row chosen, or the code typed over), the user is asked
    // to choose the row to delete.
    QTreeWidgetItem* row = RowInCodeBox();
    if (!row) {
        lstAllRecord_->setFocus();
        MsgBox(settings_.chooseRowMessage, tw::ui::vbInformation, settings_.checkTitle);
        return;
    }
    const QString code = row->text(0);
    const QString name = Trimmed(kNameBox);
    if (MsgBox("警告： 确定要删除 '" + name + "' 吗？(Y/N)？", tw::ui::vbYesNo | tw::ui::vbQuestion,
               "数据删除") != tw::ui::vbYes) {
        return;
    }
    // The record and every row that refers to it go together or not at all; when the record
    // itself is not found, nothing was deleted.
    const tw::store::Outcome outcome = OnOpenDatabase(state_, [&](tw::db::Database& db) {
        return tw::store::DeleteMasterRecord(db, settings_.table, code);
    });
    if (!outcome.Done()) {
        Panel(1)->setText(shell::PanelFailureText("删除记录失败", outcome));
        MsgBox(shell::FailureText("删除记录失败, '" + name + "' 未被删除", outcome),
               tw::ui::vbInformation, "删除失败");
        return;
    }
    Panel(1)->setText("删除记录成功！删除了1条记录");
    delete row;
    lstAllRecord_->setFocus();
    ClearInputs();
}

void MasterDataForm::ModifyRecord() {
    QTreeWidgetItem* row = RowInCodeBox();
    // Without a selected row there is nothing to compare with: the code counts as changed.
    if (!row && !settings_.modifyByTypedCode) {
        RefuseCodeChange();
        return;
    }
    if (CheckInput()) {
        return;
    }
    // The selected row's stored code, whole; the classroom form may name another by typing it.
    tw::store::MasterRecord record = TrimmedRecord();
    if (row) {
        record.code = row->text(0);
    }
    ModifyNames(state_, *this, lstAllRecord_, settings_.table, record);
}

void MasterDataForm::txtName_KeyDown(int keyCode) {
    MoveFocusByKey(keyCode, nullptr, boxes_[kFullNameBox]);
}

void MasterDataForm::txtFullName_KeyDown(int keyCode) {
    MoveFocusByKey(keyCode, boxes_[kNameBox], boxes_[kShortNameBox]);
}

void MasterDataForm::txtShortName_KeyDown(int keyCode) {
    MoveFocusByKey(keyCode, boxes_[kFullNameBox], boxes_[kCodeBox]);
}

void MasterDataForm::txtCode_KeyDown(int keyCode) {
    if (keyCode == vbKeyReturn) {
        if (!AppendRecord()) {
            boxes_[kNameBox]->setFocus();
        }
    } else if (keyCode == vbKeyUp) {
        boxes_[kShortNameBox]->setFocus();
    }
}

}  // namespace tw::data
