#include "frmClassRoomInput.h"

namespace tw::data {

namespace {
// The name boxes stand above the code box; only the name and the code are required, and modify
// acts on the record of the typed code.
MasterFormSettings ClassRoomSettings() {
    MasterFormSettings s = SettingsNaming("教室", tw::store::MasterTable::ClassRooms);
    s.boxOrder = {kNameBox, kFullNameBox, kShortNameBox, kCodeBox};
    s.required = {{kNameBox, "请输入教室名称。"}, {kCodeBox, "请输入教室代码。"}};
    s.checkTitle = "输入检查信息";
    s.modifyByTypedCode = true;
    return s;
}
}  // namespace

frmClassRoomInput::frmClassRoomInput(tw::shell::AppState& state, QWidget* parent)
    : MasterDataForm(state, ClassRoomSettings(), parent) {
    setObjectName("frmClassRoomInput");
}

}  // namespace tw::data
