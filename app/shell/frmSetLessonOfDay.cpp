#include "frmSetLessonOfDay.h"

#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>

#include "AppState.h"
#include "Settings.h"
#include "ini/PrivateProfile.h"
#include "ui/MsgBox.h"

namespace tw::shell {

frmSetLessonOfDay::frmSetLessonOfDay(AppState& state, QWidget* parent)
    : QDialog(parent), state_(state) {
    setObjectName(QStringLiteral("frmSetLessonOfDay"));
    setWindowTitle(QStringLiteral("每天课时数设置"));
    Label1 = new QLabel(QStringLiteral("每天课时数"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Opt7 = new QRadioButton(QStringLiteral("7节"), this);
    Opt7->setObjectName(QStringLiteral("Opt7"));
    Opt6 = new QRadioButton(QStringLiteral("6节"), this);
    Opt6->setObjectName(QStringLiteral("Opt6"));
    cmdOK = new QPushButton(QStringLiteral("确定"), this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdCancel = new QPushButton(QStringLiteral("取消"), this);
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));

    auto* layout = new QGridLayout(this);
    layout->addWidget(Label1, 0, 0);
    layout->addWidget(Opt7, 0, 1);
    layout->addWidget(Opt6, 0, 2);
    layout->addWidget(cmdOK, 1, 1);
    layout->addWidget(cmdCancel, 1, 2);

    connect(cmdOK, &QPushButton::clicked, this, &frmSetLessonOfDay::cmdOK_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &frmSetLessonOfDay::cmdCancel_Click);

    if (state_.lessonOfDay == 6) {
        Opt6->setChecked(true);
    } else {
        Opt7->setChecked(true);
    }
}

void frmSetLessonOfDay::cmdOK_Click() {
    const QString value = Opt6->isChecked() ? QStringLiteral("6") : QStringLiteral("7");
    if (tw::ini::WriteString(SettingsFile(), QStringLiteral("LESSON"),
                             QStringLiteral("LESSON_OF_DAY"), value)) {
        bool ok = false;
        const int readBack = GetLessonsOfDay().toInt(&ok);
        if (ok) {
            state_.lessonOfDay = readBack;
            close();
            return;
        }
    }
    tw::ui::MsgBox(QStringLiteral("存盘失败！"), tw::ui::vbCritical | tw::ui::vbOKOnly,
                   windowTitle());
}

void frmSetLessonOfDay::cmdCancel_Click() {
    close();
}

}  // namespace tw::shell
