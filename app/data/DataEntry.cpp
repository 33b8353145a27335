#include "DataEntry.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidgetItem>
#include <algorithm>

#include "shell/FailureText.h"
#include "ui/MsgBox.h"

namespace tw::data {

void RecordForm::MakeRecordButtons() {
    auto* frame = new QGroupBox(this);
    frame->setObjectName("fraOp");
    PlaceTwips(frame, 5640, 3840, 2640, 2100);
    QPushButton* const stacked[] = {
        MakeButton("cmdAppend", "添加(&A)", frame), MakeButton("cmdModify", "修改(&M)", frame),
        MakeButton("cmdDelete", "删除(&D)", frame), MakeButton("cmdOK", "退出(&Q)", frame)};
    for (int i = 0; i < 4; ++i) {
        PlaceTwips(stacked[i], 720, 240 + i * 450, 1200, 375);
    }
    connect(stacked[0], &QPushButton::clicked, this, &RecordForm::cmdAppend_Click);
    connect(stacked[1], &QPushButton::clicked, this, &RecordForm::cmdModify_Click);
    connect(stacked[2], &QPushButton::clicked, this, &RecordForm::cmdDelete_Click);
    connect(stacked[3], &QPushButton::clicked, this, &RecordForm::cmdOK_Click);
}

void MoveFocusByKey(int keyCode, QWidget* before, QWidget* after) {
    if (keyCode == vbKeyReturn || keyCode == vbKeyDown) {
        if (after) after->setFocus();
    } else if (keyCode == vbKeyUp) {
        if (before) before->setFocus();
    }
}

void ShowStoredText(QLineEdit* box, const QString& text) {
    box->setMaxLength(std::max(kBoxLength, static_cast<int>(text.size())));
    box->setText(text);
}

void ShowNewText(QLineEdit* box, const QString& text) {
    box->setMaxLength(kBoxLength);
    box->setText(text);
}

void ShowTooLong(const tw::store::MasterRecord& record, const std::vector<RecordBox>& boxes,
                 int icon, const QString& title) {
    const QList<tw::store::MasterColumn> tooLong = tw::store::TooLongColumns(record);
    for (const RecordBox& box : boxes) {
        if (tooLong.contains(box.column)) {
            PaintCheck(box.box, false);
            box.box->setFocus();
            tw::ui::MsgBox(box.label + "不能超过" + QString::number(kBoxLength) + "个字符。", icon,
                           title);
            return;
        }
    }
}

bool AddRecord(tw::shell::AppState& state, DataForm& form, DataListView* list,
               tw::store::MasterTable table, const tw::store::MasterRecord& record,
               const AddWording& wording) {
    const tw::store::Outcome outcome = OnOpenDatabase(
        state, [&](tw::db::Database& db) { return tw::store::AddMasterRecord(db, table, record); });
    if (outcome.reason == tw::store::Reason::TooLong) {
        ShowTooLong(record, wording.boxes, wording.icon, wording.title);
        return true;
    }
    if (outcome.reason == tw::store::Reason::CodeTaken) {
        tw::ui::MsgBox(wording.takenMessage, tw::ui::vbInformation, state.title);
        return true;
    }
    if (!outcome.Done()) {
        form.Panel(1)->setText(shell::PanelFailureText("添加记录失败", outcome));
        tw::ui::MsgBox(shell::FailureText("添加记录失败", outcome), tw::ui::vbInformation,
                       "添加失败");
        return true;
    }
    form.Panel(1)->setText("添加记录成功！添加了1条记录");
    list->SelectRow(list->AddRow({record.code, record.name, record.fullName, record.shortName}));
    return false;
}

void ShowReadFailure(DataForm& form, const tw::store::Outcome& outcome) {
    if (outcome.Done()) return;
    form.Panel(1)->setText(shell::PanelFailureText("读取记录失败", outcome));
    tw::ui::MsgBox(shell::FailureText("读取记录失败", outcome), tw::ui::vbInformation, "读取失败");
}

void ModifyNames(tw::shell::AppState& state, DataForm& form, DataListView* list,
                 tw::store::MasterTable table, const tw::store::MasterRecord& record) {
    const tw::store::Outcome outcome = OnOpenDatabase(state, [&](tw::db::Database& db) {
        return tw::store::RenameMasterRecord(db, table, record);
    });
    if (!outcome.Done()) {
        form.Panel(1)->setText(shell::PanelFailureText("修改记录失败", outcome));
        tw::ui::MsgBox(
            shell::FailureText("修改记录失败,代码为" + record.code + "的记录未被修改", outcome),
            tw::ui::vbInformation, "更修改失败");
        return;
    }
    form.Panel(1)->setText("修改记录成功！修改了1条记录");
    QTreeWidgetItem* row = list->FindRow(record.code);
    if (row) {
        row->setText(1, record.name);
        row->setText(2, record.fullName);
        row->setText(3, record.shortName);
    }
    list->setFocus();
    list->SelectRow(row);
}

}  // namespace tw::data
