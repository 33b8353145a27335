#include "frmTeacherLimitInput.h"

namespace {
const frmLimitInput::Setup kSetup = {
    tw::store::LimitKind::Teacher,
    "frmTeacherLimitInput",
    "老师上课时间限制",
    "CmbTeacher",
    "CmdPrev",
    "上一老师(&P)",
    "CmdNext",
    "下一老师(&N)",
    "lblTeacher",
    "老师",
    false,
};
}  // namespace

frmTeacherLimitInput::frmTeacherLimitInput(QWidget* parent) : frmLimitInput(kSetup, parent) {}
