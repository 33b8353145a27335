#include "frmConfirm.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace tw::shell {

namespace {
// Removes leading and trailing blanks (spaces only, as typed).
QString TrimBlanks(const QString& s) {
    qsizetype begin = 0;
    qsizetype end = s.size();
    while (begin < end && s.at(begin) == QLatin1Char(' ')) ++begin;
    while (end > begin && s.at(end - 1) == QLatin1Char(' ')) --end;
    return s.mid(begin, end - begin);
}
}  // namespace

frmConfirm::frmConfirm(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmConfirm"));
    setWindowTitle(QStringLiteral("请确认"));

    Label1 = new QLabel(QStringLiteral("请在右边框中输入OK，然后按<确认>按钮"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Text1 = new QLineEdit(this);
    Text1->setObjectName(QStringLiteral("Text1"));
    lblTitle = new QLabel(QStringLiteral("自动生成课表将会清除您以前排好的课表！"), this);
    lblTitle->setObjectName(QStringLiteral("lblTitle"));
    lblTitle->setStyleSheet(QStringLiteral("color: rgb(255, 0, 0);"));
    lblTitle->setWordWrap(true);
    cmdOK = new QPushButton(QStringLiteral("确认(&Y)"), this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdOK->setAutoDefault(false);
    cmdCancel = new QPushButton(QStringLiteral("取消(&C)"), this);
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    cmdCancel->setAutoDefault(false);

    auto* layout = new QGridLayout(this);
    layout->addWidget(lblTitle, 0, 0, 1, 3);
    layout->addWidget(Label1, 1, 0, 1, 2);
    layout->addWidget(Text1, 1, 2);
    layout->addWidget(cmdOK, 2, 1);
    layout->addWidget(cmdCancel, 2, 2);

    connect(cmdOK, &QPushButton::clicked, this, &frmConfirm::cmdOK_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &frmConfirm::cmdCancel_Click);
}

void frmConfirm::cmdOK_Click() {
    if (TrimBlanks(Text1->text()).toUpper() == QLatin1String("OK")) {
        Confirmed = true;
        hide();
        return;
    }
    Text1->setSelection(0, static_cast<int>(Text1->text().size()));
    Text1->setFocus();
}

void frmConfirm::cmdCancel_Click() {
    Confirmed = false;
    hide();
}

}  // namespace tw::shell
