#include "DataEntry.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidgetItem>
#include <algorithm>
#include <exception>

#include "shell/mdlPublic.h"
#include "ui/MsgBox.h"

namespace tw::data {

RecordButtons MakeRecordButtons(QWidget* form) {
    auto* frame = new QGroupBox(form);
    frame->setObjectName("fraOp");
    PlaceTwips(frame, 5640, 3840, 2640, 2100);
    const RecordButtons buttons{
        MakeButton("cmdAppend", "添加(&A)", frame), MakeButton("cmdModify", "修改(&M)", frame),
        MakeButton("cmdDelete", "删除(&D)", frame), MakeButton("cmdOK", "退出(&Q)", frame)};
    QPushButton* stacked[] = {buttons.append, buttons.modify, buttons.remove, buttons.ok};
    for (int i = 0; i < 4; ++i) {
        PlaceTwips(stacked[i], 720, 240 + i * 450, 1200, 375);
    }
    return buttons;
}

void ShowStoredText(QLineEdit* box, const QString& text) {
    box->setMaxLength(std::max(kBoxLength, static_cast<int>(text.size())));
    box->setText(text);
}

void ShowNewText(QLineEdit* box, const QString& text) {
    box->setMaxLength(kBoxLength);
    box->setText(text);
}

bool RefuseLongValues(const std::vector<std::pair<QLineEdit*, QString>>& boxesAndLabels, int icon,
                      const QString& title) {
    for (const auto& [box, label] : boxesAndLabels) {
        if (Trim(box->text()).size() > kBoxLength) {
            PaintCheck(box, false);
            box->setFocus();
            tw::ui::MsgBox(label + "不能超过" + QString::number(kBoxLength) + "个字符。", icon,
                           title);
            return true;
        }
    }
    return false;
}

void ModifyNames(DataForm& form, DataListView* list, const QString& table, const QString& code,
                 const QString& name, const QString& fullName, const QString& shortName) {
    using tw::db::SqlQ;
    try {
        KbDb().Execute("Update " + table + " Set Name = '" + SqlQ(name) + "',FullName = '" +
                           SqlQ(fullName) + "',ShortName = '" + SqlQ(shortName) +
                           "' Where Code = '" + SqlQ(code) + "'",
                       0);
        // An update that matched no record changed nothing: that is no success.
        if (KbDb().RecordsAffected() == 0) {
            throw tw::db::DbError("no record with this code");
        }
    } catch (const std::exception&) {
        form.Panel(1)->setText("修改记录失败");
        tw::ui::MsgBox("修改记录失败,代码为" + code + "的记录未被修改", tw::ui::vbInformation,
                       "更修改失败");
        return;
    }
    form.Panel(1)->setText("修改记录成功！修改了1条记录");
    QTreeWidgetItem* row = list->FindRow(code);
    if (row) {
        row->setText(1, name);
        row->setText(2, fullName);
        row->setText(3, shortName);
    }
    list->setFocus();
    list->SelectRow(row);
}

}  // namespace tw::data
