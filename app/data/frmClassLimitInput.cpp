#include "frmClassLimitInput.h"

namespace {
const frmLimitInput::Setup kSetup = {
    0,
    "frmClassLimitInput",
    "班级上课时间限制",
    "select Code,Name,FullName from Classtb",
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
