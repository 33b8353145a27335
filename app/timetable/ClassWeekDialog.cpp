#include "timetable/ClassWeekDialog.h"

#include <QComboBox>
#include <QFont>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <exception>

#include "shell/AppState.h"
#include "shell/FailureText.h"
#include "shell/OpenDatabase.h"
#include "store/Names.h"
#include "ui/Combo.h"
#include "ui/FitText.h"
#include "ui/FormStyle.h"
#include "ui/StatusBar.h"

namespace tw::timetable {

using tw::ui::MakeButton;
using tw::ui::PlaceTwips;

ClassWeekDialog::ClassWeekDialog(tw::shell::AppState& state, QWidget* parent)
    : QDialog(parent), state_(state), reads_([this](const tw::store::Outcome& failed) {
          Panel(3)->setText(shell::PanelFailureText(QStringLiteral("读取失败"), failed));
      }) {
    setWindowFlags(windowFlags() & ~Qt::WindowContextHelpButtonHint);
}

QLabel* ClassWeekDialog::Panel(int i) const {
    return staMsg->Panel(i);
}

void ClassWeekDialog::keyPressEvent(QKeyEvent* event) {
    // The form closes through its exit button or the close box only.
    if (event->key() == Qt::Key_Escape) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void ClassWeekDialog::MakeClassFrame() {
    Frame1 = new QGroupBox(this);
    Frame1->setObjectName(QStringLiteral("Frame1"));
    lblClass = new QLabel(QStringLiteral("班级"), Frame1);
    lblClass->setObjectName(QStringLiteral("lblClass"));
    CmbClass = new QComboBox(Frame1);
    CmbClass->setObjectName(QStringLiteral("CmbClass"));
    tw::ui::KeepComboTextWhole(CmbClass);
    CmdPrevClass =
        MakeButton(QStringLiteral("CmdPrevClass"), QStringLiteral("上一班级(&P)"), Frame1);
    CmdNextClass =
        MakeButton(QStringLiteral("CmdNextClass"), QStringLiteral("下一班级(&N)"), Frame1);
    connect(CmbClass, &QComboBox::activated, this, [this](int) { CmbClass_Click(); });
    connect(CmdPrevClass, &QPushButton::clicked, this, &ClassWeekDialog::CmdPrevClass_Click);
    connect(CmdNextClass, &QPushButton::clicked, this, &ClassWeekDialog::CmdNextClass_Click);
}

void ClassWeekDialog::MakeExitFrame(int leftTwips, int topTwips) {
    Frame2 = new QGroupBox(this);
    Frame2->setObjectName(QStringLiteral("Frame2"));
    PlaceTwips(Frame2, leftTwips, topTwips, 1815, 735);
    cmdOK = MakeButton(QStringLiteral("cmdOK"), QStringLiteral("退出(&Q)"), Frame2);
    PlaceTwips(cmdOK, 120, 240, 1575, 375);
    connect(cmdOK, &QPushButton::clicked, this, &ClassWeekDialog::cmdOK_Click);
}

void ClassWeekDialog::MakeStatusBar(const std::vector<int>& panelTwips, int topTwips,
                                    int widthTwips) {
    staMsg = new tw::ui::StatusBar(panelTwips, this);
    staMsg->setObjectName(QStringLiteral("staMsg"));
    PlaceTwips(staMsg, 0, topTwips, widthTwips, 375);
}

void ClassWeekDialog::SetBoldColour(QLabel* label, const QString& colourStyle) {
    QFont bold = label->font();
    bold.setBold(true);
    label->setFont(bold);
    label->setStyleSheet(colourStyle);
}

int ClassWeekDialog::FillClassCombo() {
    // The names read so far stay when the read fails.
    const auto classes = OnOpenDatabase(state_, tw::store::ReadClassList);
    shell::FillNameCombos(shell::ListedNames(classes.value), {CmbClass});
    const int status = reads_.Note(classes.outcome) ? 0 : -1;
    if (CmbClass->count() > 0) {
        SelectClass(0);
    } else {
        tw::ui::SetComboIndex(CmbClass, -1);
    }
    return status;
}

void ClassWeekDialog::ReadShownNames() {
    classNames_ = reads_.Value(OnOpenDatabase(state_, shell::ShownNames::OfClasses));
    courseNames_ = reads_.Value(OnOpenDatabase(state_, shell::ShownNames::OfCourses));
}

void ClassWeekDialog::SelectClass(int index) {
    tw::ui::SetComboIndex(CmbClass, index, [this] { CmbClass_Click(); });
}

void ClassWeekDialog::CmdPrevClass_Click() {
    if (CmbClass->currentIndex() > 0) SelectClass(CmbClass->currentIndex() - 1);
}

void ClassWeekDialog::CmdNextClass_Click() {
    if (CmbClass->currentIndex() < CmbClass->count() - 1) SelectClass(CmbClass->currentIndex() + 1);
}

void ClassWeekDialog::cmdOK_Click() {
    close();
}

}  // namespace tw::timetable
