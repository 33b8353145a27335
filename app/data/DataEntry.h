// The form toolkit as the data-entry forms use it (its names brought into tw::data), and what
// the class and master-data forms share: their operation buttons, the length of their boxes,
// the data layer's commands run on the open database, and the outcome of a record's add and of
// the update of its three names.
#pragma once

#include <QString>
#include <type_traits>
#include <utility>
#include <vector>

#include "shell/OpenDatabase.h"
#include "shell/mdlPublic.h"
#include "store/MasterData.h"
#include "store/Outcome.h"
#include "ui/DataForm.h"
#include "ui/DataListView.h"
#include "ui/FormStyle.h"

class QLineEdit;
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

// Characters a code or name box takes from the keyboard: the longest text of a new record.
inline constexpr int kBoxLength = tw::store::kMasterTextLength;
// Shows a stored value whole, also one longer than the box takes from the keyboard (from an
// older file or another program), so that modify and delete act on it as stored.
void ShowStoredText(QLineEdit* box, const QString& text);
// Puts a text into the box with the box's own limit (for a new record); the text is cut to it.
void ShowNewText(QLineEdit* box, const QString& text);
// A box of a new record, the record's column it holds and its label.
struct RecordBox {
    QLineEdit* box;
    tw::store::MasterColumn column;
    QString label;
};
// After an add refused with TooLong: the first box, in the order given, whose text is longer
// than the data layer takes (it can only come from a stored row shown whole) is painted red and
// focused, and its label followed by "不能超过10个字符。" is shown with the icon and title of the
// form's check.
void ShowTooLong(const tw::store::MasterRecord& record, const std::vector<RecordBox>& boxes,
                 int icon, const QString& title);

// Stores new names for the record of record.code in table and shows the outcome: the form's
// panel 1, and a message box on failure; on success the record's row in list shows the new
// names.
void ModifyNames(DataForm& form, DataListView* list, tw::store::MasterTable table,
                 const tw::store::MasterRecord& record);

}  // namespace tw::data
