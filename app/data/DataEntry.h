// The form toolkit as the data-entry forms use it (its names brought into tw::data), and what
// the class and master-data forms share: their operation buttons and box-to-box keys, the length of
// their boxes, the data layer's commands run on the open database, and the outcome of a record's
// add and of the update of its three names.
#pragma once

#include <QString>
#include <type_traits>
#include <utility>
#include <vector>

#include "shell/AppState.h"
#include "shell/OpenDatabase.h"
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

// The design the class and master-data forms share: the operation frame "fraOp" at the form's
// lower right, holding 添加, 修改, 删除 and 退出 stacked in this order; the first three run the
// form's add, modify and delete, 退出 closes the form.
class RecordForm : public DataForm {
    Q_OBJECT
  public slots:
    void cmdAppend_Click() { AppendRecord(); }
    void cmdModify_Click() { ModifyRecord(); }
    void cmdDelete_Click() { DeleteRecord(); }
    void cmdOK_Click() { close(); }

  protected:
    using DataForm::DataForm;

    // Makes the operation frame with its buttons wired to the handlers above.
    void MakeRecordButtons();
    // True when the record was not added (input refused, code taken or a database error), false
    // when it was stored.
    virtual bool AppendRecord() = 0;
    virtual void ModifyRecord() = 0;
    virtual void DeleteRecord() = 0;
};

// Return or Down in an entry box focuses the box after it, Up the box before it; a neighbour
// that is nullptr leaves the focus where it is.
void MoveFocusByKey(int keyCode, QWidget* before, QWidget* after);

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

// How a form words the refusals of an add: the boxes a TooLong refusal looks at, in this order,
// with the icon and title of the form's check, and the message of a code already taken.
struct AddWording {
    std::vector<RecordBox> boxes;
    int icon;
    QString title;
    QString takenMessage;
};
// Adds record to table and shows the outcome: a refusal as wording says, another failure in the
// form's panel 1 and a message box; on success panel 1 says so and the record's new row in list
// is selected. True when the record was not added, false when it was stored.
bool AddRecord(tw::shell::AppState& state, DataForm& form, DataListView* list,
               tw::store::MasterTable table, const tw::store::MasterRecord& record,
               const AddWording& wording);

// Tells a failed read of a data-entry form as a failed write is told: "读取记录失败" and the
// reason in the form's panel 1 and in a message box. A read that was done shows nothing.
void ShowReadFailure(DataForm& form, const tw::store::Outcome& outcome);

// Stores new names for the record of record.code in table and shows the outcome: the form's
// panel 1, and a message box on failure; on success the record's row in list shows the new
// names.
void ModifyNames(tw::shell::AppState& state, DataForm& form, DataListView* list,
                 tw::store::MasterTable table, const tw::store::MasterRecord& record);

}  // namespace tw::data
