#include "DataEntry.h"

#include <QLabel>
#include <QTreeWidgetItem>
#include <exception>

#include "shell/mdlPublic.h"
#include "ui/MsgBox.h"

namespace tw::data {

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
