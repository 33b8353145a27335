#include "frmTeacherInput.h"

using tw::data::kCodeBox;
using tw::data::kFullNameBox;
using tw::data::kNameBox;
using tw::data::kShortNameBox;

namespace {
tw::data::MasterFormSettings TeacherSettings() {
    tw::data::MasterFormSettings s;
    s.caption = "老师名单";
    s.table = tw::store::MasterTable::Teachers;
    s.headings = {"老师代码", "老师名称", "老师全称", "老师简称"};
    s.labels = {"老师代码", "老师姓名", "老师全称", "老师简称"};
    s.boxOrder = {kCodeBox, kNameBox, kFullNameBox, kShortNameBox};
    s.required = {{kShortNameBox, "请输入老师名称。"},
                  {kFullNameBox, "请输入老师名称。"},
                  {kNameBox, "请输入老师名称。"},
                  {kCodeBox, "请输入老师代码。"}};
    s.checkTitle = "输入信息检查";
    s.duplicatePrefix = "该老师代码： ";
    s.codeChangeMessage = "教师代码不能修改！";
    return s;
}
}  // namespace

frmTeacherInput::frmTeacherInput(QWidget* parent) : MasterDataForm(TeacherSettings(), parent) {
    setObjectName("frmTeacherInput");
}
