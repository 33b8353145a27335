#include "frmSimpleManual.h"

#include <QLabel>
#include <QVBoxLayout>

namespace tw::shell {

QStringList frmSimpleManual::Lines() {
    return {
        QStringLiteral("简要使用步骤：（详细操作请参考《使用手册》）"),
        QString(),
        QStringLiteral("一、输入基础数据"),
        QStringLiteral("    1. 加入班级名单"),
        QStringLiteral("    2. 加入课程名单"),
        QStringLiteral("    3. 加入老师名单"),
        QStringLiteral("    4. 调整上课时间限制"),
        QStringLiteral("    5. 输入各班级教学计划"),
        QString(),
        QStringLiteral("二、生成课表"),
        QStringLiteral("    1. 预先安排固定课程。如班队课，先安排在周五的下午两节课。 "
                       "在下一步自动排课时，就不会对这里排好的课程进行重排。"),
        QStringLiteral("    2. 自动生成课表。 运行此功能，会先删除原先排好的课表") +
            QStringLiteral("。"),
        QStringLiteral("    3. 手工调整课表。 调课、安排自动排课时没有排完的课。"),
        QStringLiteral("        删除已排课时：鼠标右键单击想删除的课时即可。"),
        QStringLiteral("        调课：鼠标左键点击一节课时，系统会用黄色显示可以与此课时交换的课"
                       "时，用鼠标右键点击黄色课时，完成调课。"),
        QStringLiteral("        安排未排课程：用鼠标选中未排的课程，在左下方的课表中会显示该班级"
                       "的课表，鼠标左键单击课表中青色的课时。"),
        QStringLiteral("    4. 打印课表。"),
    };
}

frmSimpleManual::frmSimpleManual(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmSimpleManual"));
    setWindowTitle(QStringLiteral("简要使用说明"));
    Label1 = new QLabel(Lines().join(QLatin1Char('\n')), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setWordWrap(true);
    Label1->setTextFormat(Qt::PlainText);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Label1);
    resize(600, 420);
}

}  // namespace tw::shell
