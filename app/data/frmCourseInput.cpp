#include "frmCourseInput.h"

using tw::data::kCodeBox;
using tw::data::kFullNameBox;
using tw::data::kNameBox;
using tw::data::kShortNameBox;

namespace {
tw::data::MasterFormSettings CourseSettings() {
    tw::data::MasterFormSettings s;
    s.caption = "课程名单";
    s.table = tw::store::MasterTable::Courses;
    s.headings = {"课程代码", "课程名称", "课程全称", "课程简称"};
    s.labels = {"课程代码", "课程名称", "课程全称", "课程简称"};
    s.boxOrder = {kCodeBox, kNameBox, kFullNameBox, kShortNameBox};
    s.required = {{kShortNameBox, "请输入课程简称。"},
                  {kFullNameBox, "请输入课程全称。"},
                  {kNameBox, "请输入课程名称。"},
                  {kCodeBox, "请输入课程代码。"}};
    s.checkTitle = "输入信息检查";
    s.duplicatePrefix = "该课程代码： ";
    s.codeChangeMessage = "课程代码不能修改！";
    return s;
}
}  // namespace

frmCourseInput::frmCourseInput(QWidget* parent) : MasterDataForm(CourseSettings(), parent) {
    setObjectName("frmCourseInput");
}
