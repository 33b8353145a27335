// The form toolkit as the data-entry forms use it (its names brought into tw::data), the name
// lists whose entries carry their codes, and the update of a record's three names that the
// class and master-data forms share.
#pragma once

#include <QString>
#include <initializer_list>

#include "ui/DataForm.h"
#include "ui/DataListView.h"
#include "ui/FormStyle.h"

class QComboBox;

namespace tw::data {

using ui::DataForm;
using ui::DataListView;
using ui::MakeButton;
using ui::PaintCheck;
using ui::PlaceTwips;
using ui::Trim;
using ui::Twips;
using ui::vbKeyDown;
using ui::vbKeyReturn;
using ui::vbKeyUp;

// Adds the Name of every row that sql reads (Code and Name) to each combo, the entry carrying
// the row's Code, in the order read. A failing read ends the filling where it is (the names read
// so far stay) and gives false.
bool FillNameCombos(const QString& sql, std::initializer_list<QComboBox*> combos);

// Stores new names for the record of code in table and shows the outcome: the form's panel 1,
// and a message box on failure; on success the record's row in list shows the new names.
void ModifyNames(DataForm& form, DataListView* list, const QString& table, const QString& code,
                 const QString& name, const QString& fullName, const QString& shortName);

}  // namespace tw::data
