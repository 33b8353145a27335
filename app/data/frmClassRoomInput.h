// The list of shared classrooms: adds, changes and deletes the rows of ClassRoomtb. Deleting a
// classroom deletes its row alone; its limits stay until data maintenance.
#pragma once

#include "MasterDataForm.h"

namespace tw::data {

class frmClassRoomInput : public MasterDataForm {
    Q_OBJECT
  public:
    explicit frmClassRoomInput(tw::shell::AppState& state, QWidget* parent = nullptr);
};

}  // namespace tw::data
