// The course list: adds, changes and deletes the rows of Coursetb; a deleted course takes its
// lessons, plan rows and course limits with it.
#pragma once

#include "MasterDataForm.h"

namespace tw::data {

class frmCourseInput : public MasterDataForm {
    Q_OBJECT
  public:
    explicit frmCourseInput(tw::shell::AppState& state, QWidget* parent = nullptr);
};

}  // namespace tw::data
