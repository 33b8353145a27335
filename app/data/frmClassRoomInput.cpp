#include "frmClassRoomInput.h"

using tw::data::kCodeBox;
using tw::data::kFullNameBox;
using tw::data::kNameBox;
using tw::data::kShortNameBox;

namespace {
tw::data::MasterFormSettings ClassRoomSettings() {
    tw::data::MasterFormSettings s;
    s.caption = "教室名单";
    s.table = tw::store::MasterTable::ClassRooms;
    s.headings = {"教室代码", "教室名称", "教室全称", "教室简称"};
    s.labels = {"教室代码", "教室名称", "教室全称", "教室简称"};
    s.boxOrder = {kNameBox, kFullNameBox, kShortNameBox, kCodeBox};
    s.required = {{kNameBox, "请输入教室名称。"}, {kCodeBox, "请输入教室代码。"}};
    s.checkTitle = "输入检查信息";
    s.duplicatePrefix = "该教室代码： ";
    s.codeChangeMessage = "教室代码不能修改！";
    s.modifyByTypedCode = true;
    return s;
}
}  // namespace

frmClassRoomInput::frmClassRoomInput(QWidget* parent)
    : MasterDataForm(ClassRoomSettings(), parent) {
    setObjectName("frmClassRoomInput");
}
