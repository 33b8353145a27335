// The form toolkit as the data-entry forms use it (its names brought into tw::data), and what
// the class and master-data forms share: their operation buttons and the update of a record's
// three names.
#pragma once

#include <QString>

#include "ui/DataForm.h"
#include "ui/DataListView.h"
#include "ui/FormStyle.h"

class QPushButton;

namespace tw::data {

using ui::DataForm;
using ui::DataListView;
using ui::FormFont;
using ui::MakeButton;
using ui::PaintCheck;
using ui::PlaceTwips;
using ui::Trim;
using ui::TwipsToPixels;
using ui::vbKeyDown;
using ui::vbKeyReturn;
using ui::vbKeyUp;

// The operation frame "fraOp" of the class and master-data forms, at the form's lower right,
// holding 添加, 修改, 删除 and 退出 stacked in this order.
struct RecordButtons {
    QPushButton* append;
    QPushButton* modify;
    QPushButton* remove;
    QPushButton* ok;
};
RecordButtons MakeRecordButtons(QWidget* form);

// Stores new names for the record of code in table and shows the outcome: the form's panel 1,
// and a message box on failure; on success the record's row in list shows the new names.
void ModifyNames(DataForm& form, DataListView* list, const QString& table, const QString& code,
                 const QString& name, const QString& fullName, const QString& shortName);

}  // namespace tw::data
