#include "frmClassLimitInput.h"

namespace {
const frmLimitInput::Setup kSetup = {
    tw::store::LimitKind::Class,
    "frmClassLimitInput",
    "班级上课时间限制",
    "CmbClass",
    "CmdPrevClass",
    "上一班级(&P)",
    "CmdNextClass",
    "下一班级(&N)",
    "lblClass",
    "班级",
    false,
};
}  // namespace

frmClassLimitInput::frmClassLimitInput(QWidget* parent) : frmLimitInput(kSetup, parent) {}
