// The form toolkit as the data-entry forms use it (its names brought into tw::data), and the
// update of a record's three names that the class and master-data forms share.
#pragma once

#include <QString>

#include "ui/DataForm.h"
#include "ui/DataListView.h"
#include "ui/FormStyle.h"

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

// Stores new names for the record of code in table and shows the outcome: the form's panel 1,
// and a message box on failure; on success the record's row in list shows the new names.
void ModifyNames(DataForm& form, DataListView* list, const QString& table, const QString& code,
                 const QString& name, const QString& fullName, const QString& shortName);

}  // namespace tw::data
