#include "frmTeacherInput.h"

namespace tw::data {

namespace {
// The teacher's name box reads 老师姓名, each missing name asks for the 老师名称, and the code
// that may not change is the 教师代码.
MasterFormSettings TeacherSettings() {
    MasterFormSettings s = SettingsNaming("老师", tw::store::MasterTable::Teachers);
    s.labels[kNameBox] = "老师姓名";
    for (auto& required : s.required) {
        if (required.box != kCodeBox) required.message = "请输入老师名称。";
    }
    s.codeChangeMessage = "教师代码不能修改！";
    return s;
}
}  // namespace

frmTeacherInput::frmTeacherInput(tw::shell::AppState& state, QWidget* parent)
    : MasterDataForm(state, TeacherSettings(), parent) {
    setObjectName("frmTeacherInput");
}

}  // namespace tw::data
