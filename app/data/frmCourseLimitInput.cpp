#include "frmCourseLimitInput.h"

namespace {
const frmLimitInput::Setup kSetup = {
    tw::store::LimitKind::Course,
    "frmCourseLimitInput",
    "课程上课时间限制",
    "CmbCourse",
    "CmdPrev",
    "上一课程(&P)",
    "CmdNext",
    "下一课程(&N)",
    "lblClass",
    "课程",
    true,
};
}  // namespace

frmCourseLimitInput::frmCourseLimitInput(QWidget* parent) : frmLimitInput(kSetup, parent) {}
