#include "frmCourseInput.h"

namespace tw::data {

frmCourseInput::frmCourseInput(tw::shell::AppState& state, QWidget* parent)
    : MasterDataForm(state, SettingsNaming("课程", tw::store::MasterTable::Courses), parent) {
    setObjectName("frmCourseInput");
}

}  // namespace tw::data
