// The teacher list: adds, changes and deletes the rows of Teachertb; a deleted teacher takes their
// lessons, plan rows and teacher limits with them.
#pragma once

#include "MasterDataForm.h"

namespace tw::data {

class frmTeacherInput : public MasterDataForm {
    Q_OBJECT
  public:
    explicit frmTeacherInput(tw::shell::AppState& state, QWidget* parent = nullptr);
};

}  // namespace tw::data
