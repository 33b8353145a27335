#include "frmClassRoomLimitInput.h"

namespace {
const frmLimitInput::Setup kSetup = {
    tw::store::LimitKind::ClassRoom,
    "frmClassRoomLimitInput",
    "公共教室上课时间限制",
    "CmbClassRoom",
    "CmdPrev",
    "上一教室(&P)",
    "CmdNext",
    "下一教室(&N)",
    "lblClassRoom",
    "教室",
    false,
};
}  // namespace

frmClassRoomLimitInput::frmClassRoomLimitInput(QWidget* parent) : frmLimitInput(kSetup, parent) {}
