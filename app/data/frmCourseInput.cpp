#include "frmCourseInput.h"

frmCourseInput::frmCourseInput(QWidget* parent)
    : MasterDataForm(tw::data::SettingsNaming("课程", tw::store::MasterTable::Courses), parent) {
    setObjectName("frmCourseInput");
}
