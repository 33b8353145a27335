#include "timetable/frmAutoBuild.h"

#include <QCloseEvent>
#include <QEvent>
#include <QFont>
#include <QFrame>
#include <QLabel>
#include <QTimer>

#include "shell/FailureText.h"
#include "timetable/mdlBuildKb.h"
#include "ui/FormStyle.h"
#include "ui/MsgBox.h"

namespace tw::timetable {

namespace {

QFont SongFont(int weight) {
    QFont font = tw::ui::FormFont(12);
    font.setWeight(static_cast<QFont::Weight>(weight));
    return font;
}

}  // namespace

frmAutoBuild::frmAutoBuild(tw::shell::AppState& state, QWidget* parent)
    : QDialog(parent), state_(state) {
    setObjectName(QStringLiteral("frmAutoBuild"));
    setWindowTitle(QStringLiteral("自动生成课表"));
    setFixedSize(tw::ui::TwipsToPixels(4710), tw::ui::TwipsToPixels(1905));
    setWindowFlags(windowFlags() & ~Qt::WindowContextHelpButtonHint);

    Frame1 = new QFrame(this);
    Frame1->setObjectName(QStringLiteral("Frame1"));
    Frame1->setFrameShape(QFrame::Box);
    Frame1->setFrameShadow(QFrame::Sunken);
    tw::ui::PlaceTwips(Frame1, 480, 240, 3735, 1455);

    Label1 = new QLabel(QStringLiteral("正在自动生成课表 ..."), Frame1);
    Label1->setObjectName(QStringLiteral("Label1"));
    tw::ui::PlaceTwips(Label1, 120, 240, 3495, 375);
    Label1->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    Label1->setFont(SongFont(QFont::Normal));
    Label1->setStyleSheet(QStringLiteral("color: rgb(255, 0, 0);"));

    lblStatus = new QLabel(Frame1);
    lblStatus->setObjectName(QStringLiteral("lblStatus"));
    tw::ui::PlaceTwips(lblStatus, 600, 840, 2535, 375);
    lblStatus->setFont(SongFont(QFont::Bold));
    lblStatus->setStyleSheet(QStringLiteral("color: rgb(0, 0, 255);"));

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(500);
    connect(Timer1, &QTimer::timeout, this, &frmAutoBuild::Timer1_Timer);

    Form_Load();
}

void frmAutoBuild::Form_Load() {
    activations_ = 0;
    lblStatus->setText(QString());
    dots_ = 1;
    Timer1->start();
}

void frmAutoBuild::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    // Activation is not reported by every window system (offscreen runs have none), so the
    // first showing counts as an activation too; the count keeps the build to one run.
    QTimer::singleShot(0, this, &frmAutoBuild::Form_Activate);
}

void frmAutoBuild::changeEvent(QEvent* event) {
    QDialog::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow())
        QTimer::singleShot(0, this, &frmAutoBuild::Form_Activate);
}

void frmAutoBuild::Form_Activate() {
    ++activations_;
    if (activations_ != 1) return;
    building_ = true;
    const tw::store::Read<int> r = AutoBuildLessons(state_.OpenDatabase(), state_.lessonOfDay);
    building_ = false;
    const QString title = QStringLiteral("自动生成课表");
    if (r.value >= 0) {
        tw::ui::MsgBox(
            QStringLiteral("课表完成率统计:  ") + QString::number(r.value) + QStringLiteral("％"),
            tw::ui::vbOKOnly | tw::ui::vbInformation, title);
    } else {
        // Why, on the line after the failure: a plan without lessons, or the engine's reason.
        tw::ui::MsgBox(shell::FailureText(QStringLiteral("生成课表失败！"), r.outcome),
                       tw::ui::vbOKOnly | tw::ui::vbCritical, title);
    }
    Timer1->stop();
    accept();
}

void frmAutoBuild::reject() {
    if (!building_) QDialog::reject();
}

void frmAutoBuild::closeEvent(QCloseEvent* event) {
    if (building_)
        event->ignore();
    else
        QDialog::closeEvent(event);
}

void frmAutoBuild::Timer1_Timer() {
    // A row of up to 19 dots, then it starts again from empty.
    if (dots_ < 20) {
        lblStatus->setText(lblStatus->text() + QStringLiteral("."));
        ++dots_;
    } else {
        lblStatus->setText(QString());
        dots_ = 1;
    }
}

}  // namespace tw::timetable
