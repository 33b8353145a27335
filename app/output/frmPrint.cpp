#include "frmPrint.h"

#include <QApplication>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <limits>

#include "PrintDataWriter.h"
#include "VostrinPrint.h"
#include "db/Database.h"
#include "output/DrawableText.h"
#include "output/OutputRun.h"
#include "shell/AppState.h"
#include "shell/NameLists.h"
#include "shell/OpenDatabase.h"
#include "shell/ProgramFolder.h"
#include "store/Names.h"
#include "store/OutputRows.h"
#include "ui/Combo.h"
#include "ui/FitText.h"
#include "ui/FormStyle.h"
#include "ui/MsgBox.h"

namespace tw::output {

namespace {
QRect TwRect(int left, int top, int width, int height) {
    return {tw::ui::TwipsToPixels(left), tw::ui::TwipsToPixels(top), tw::ui::TwipsToPixels(width),
            tw::ui::TwipsToPixels(height)};
}

QPushButton* Button(QWidget* parent, const QString& name, const QString& caption, QRect r) {
    auto* b = new QPushButton(caption, parent);
    b->setObjectName(name);
    b->setGeometry(r);
    return b;
}

QLabel* Label(QWidget* parent, const QString& caption, QRect r, const char* color = nullptr,
              bool bold = false) {
    auto* l = new QLabel(caption, parent);
    l->setGeometry(r);
    if (color) l->setStyleSheet(QString("color: %1;").arg(color));
    if (bold) {
        QFont f = l->font();
        f.setBold(true);
        l->setFont(f);
    }
    return l;
}

// The frame of the class or the teacher timetables: the list, its stepping buttons and the
// two print commands, at the same places in both frames but for the label, the list and the
// paper note.
struct ListFrame {
    QLabel* label;
    QComboBox* combo;
    QPushButton* prev;
    QPushButton* next;
    QPushButton* print;
    QPushButton* printAll;
};

struct FrameLefts {
    int frame, label, combo, paper;
};

ListFrame AddListFrame(QWidget* parent, const QString& noun, const QString& suffix,
                       FrameLefts left) {
    auto* frame = new QGroupBox(noun + QStringLiteral("课表打印"), parent);
    frame->setGeometry(TwRect(left.frame, 360, 3975, 3015));
    ListFrame f{};
    f.label = Label(frame, noun, TwRect(left.label, 525, 615, 255));
    f.combo = new QComboBox(frame);
    f.combo->setObjectName("Cmb" + suffix);
    f.combo->setGeometry(TwRect(left.combo, 480, 2895, 360));
    tw::ui::KeepComboTextWhole(f.combo);
    f.prev = Button(frame, "CmdPrev" + suffix, QStringLiteral("上一") + noun,
                    TwRect(120, 1080, 1695, 375));
    f.next = Button(frame, "CmdNext" + suffix, QStringLiteral("下一") + noun,
                    TwRect(1920, 1080, 1815, 375));
    f.print = Button(frame, "cmdPrint" + suffix, QStringLiteral("选定") + noun + "打印",
                     TwRect(120, 2040, 1695, 375));
    f.printAll = Button(frame, "cmdPrintAll" + suffix, QStringLiteral("全部") + noun + "打印",
                        TwRect(1920, 2040, 1815, 375));
    Label(frame, QStringLiteral("（A4纸张）"), TwRect(left.paper, 2640, 1455, 255), "blue", true);
    return f;
}

const QString kCaption = QStringLiteral("打印课表");
}  // namespace

frmPrint::frmPrint(tw::shell::AppState& state, QWidget* parent)
    : OutputDialog(parent), state_(state) {
    setObjectName("frmPrint");
    setWindowTitle(kCaption);
    setFixedSize(tw::ui::TwipsToPixels(9180), tw::ui::TwipsToPixels(4485));
    setFont(tw::ui::FormFont(12));

    const ListFrame classes =
        AddListFrame(this, QStringLiteral("班级"), "Class", {360, 120, 840, 1320});
    classes.label->setObjectName("lblClass");
    CmbClass = classes.combo;
    const ListFrame teachers =
        AddListFrame(this, QStringLiteral("教师"), "Teacher", {4800, 240, 960, 1080});
    CmbTeacher = teachers.combo;

    auto* printTotal =
        Button(this, "CmdPrintTotal", QStringLiteral("总表打印"), TwRect(1800, 3600, 2055, 495));
    Label(this, QStringLiteral("（A3纸张）"), TwRect(3840, 3720, 1455, 255), "#c00000", true);
    auto* exitFrame = new QGroupBox(this);
    exitFrame->setGeometry(TwRect(6960, 3360, 1815, 735));
    auto* ok = Button(exitFrame, "cmdOK", QStringLiteral("退出(&Q)"), TwRect(120, 240, 1575, 375));

    using Click = void (frmPrint::*)();
    const std::pair<QPushButton*, Click> clicks[] = {
        {classes.print, &frmPrint::cmdPrintClass_Click},
        {classes.printAll, &frmPrint::cmdPrintAllClass_Click},
        {teachers.print, &frmPrint::cmdPrintTeacher_Click},
        {teachers.printAll, &frmPrint::cmdPrintAllTeacher_Click},
        {printTotal, &frmPrint::CmdPrintTotal_Click},
        {classes.prev, &frmPrint::CmdPrevClass_Click},
        {classes.next, &frmPrint::CmdNextClass_Click},
        {teachers.prev, &frmPrint::CmdPrevTeacher_Click},
        {teachers.next, &frmPrint::CmdNextTeacher_Click},
        {ok, &frmPrint::cmdOK_Click}};
    for (const auto& [button, click] : clicks) connect(button, &QPushButton::clicked, this, click);
    SetLists(CmbClass, CmbTeacher);
    SetCommandButtons(
        {classes.print, classes.printAll, teachers.print, teachers.printAll, printTotal, ok});

    Form_Load();
}

void frmPrint::Form_Load() {
    const shell::ReadFailures::Action opening(reads_);
    FillClassCombo();
    FillTeacherCombo();
}

short frmPrint::FillClassCombo() {
    const auto classes = OnOpenDatabase(state_, tw::store::ReadClassList);
    shell::FillNameCombos(shell::ListedNames(classes.value), {CmbClass});
    return reads_.Note(classes.outcome) ? 0 : -1;
}

short frmPrint::FillTeacherCombo() {
    const auto teachers = OnOpenDatabase(state_, [](tw::db::Database& db) {
        return tw::store::ReadTeacherList(db, tw::store::TeacherOrder::ByCode);
    });
    shell::FillNameCombos(shell::ListedNames(teachers.value), {CmbTeacher});
    return reads_.Note(teachers.outcome) ? 0 : -1;
}

void frmPrint::RunPrint(tw::store::OutputTimetable timetable) {
    using tw::store::OutputTimetable;
    // The one class and one teacher commands print the list's choice and nothing without one.
    const QComboBox* list = ChoiceList(timetable, CmbClass, CmbTeacher);
    if (list && list->currentText().isEmpty()) return;
    const tw::store::OutputChoice choice = ChoiceFrom(timetable, list);
    if (Busy()) return;
    SetBusy(true);
    struct Done {
        frmPrint* form;
        ~Done() { form->SetBusy(false); }
    } done{this};
    const bool total = timetable == OutputTimetable::WholeSchool;
    const bool classes =
        timetable == OutputTimetable::OneClass || timetable == OutputTimetable::AllClasses;
    const QString templateName = total ? QString("TotalSchd%1A3.xml").arg(state_.lessonOfDay)
                                       : QString("%1%2.xml")
                                             .arg(classes ? "ClassSchd" : "TeacherSchd")
                                             .arg(state_.lessonOfDay);
    QApplication::setOverrideCursor(Qt::WaitCursor);
    QString dataFile;
    CommandRun run = WriteChosenRows(state_, tw::store::OutputFile::Print, choice, "tmp.xml",
                                     total ? &WriteTotalXml : &WriteScheduleXml, &dataFile);
    if (!run.stopped && run.status == 0) {
        // A character no installed font has would print as an empty box: the user hears of it
        // first, by name, and may stop here.
        const QStringList undrawable = UndrawableNames(dataFile);
        if (!undrawable.isEmpty()) {
            QApplication::restoreOverrideCursor();
            const int answer = tw::ui::MsgBox(
                QStringLiteral("下列名称中有本机没有字体的字符，打印出来是空白方框：\n") +
                    undrawable.join(QStringLiteral("\n")) + QStringLiteral("\n仍然打印吗？"),
                tw::ui::vbYesNo | tw::ui::vbQuestion | tw::ui::vbDefaultButton2, kCaption);
            if (answer != tw::ui::vbYes) return;
            QApplication::setOverrideCursor(Qt::WaitCursor);
        }
        run.stopped = !CallPrintOneCustomXml(dataFile, shell::ProgramFile(templateName),
                                             &run.status, &run.failure);
        if (!run.stopped && (run.status < std::numeric_limits<short>::min() ||
                             run.status > std::numeric_limits<short>::max())) {
            run.stopped = true;
            run.failure = QStringLiteral("溢出");
        }
    }
    QApplication::restoreOverrideCursor();
    ShowCommandRun(run, timetable, kCaption, QStringLiteral("打印失败！"),
                   QStringLiteral("打印完成"));
}

void frmPrint::cmdPrintClass_Click() {
    RunPrint(tw::store::OutputTimetable::OneClass);
}

void frmPrint::cmdPrintAllClass_Click() {
    RunPrint(tw::store::OutputTimetable::AllClasses);
}

void frmPrint::cmdPrintTeacher_Click() {
    RunPrint(tw::store::OutputTimetable::OneTeacher);
}

void frmPrint::cmdPrintAllTeacher_Click() {
    RunPrint(tw::store::OutputTimetable::AllTeachers);
}

void frmPrint::CmdPrintTotal_Click() {
    RunPrint(tw::store::OutputTimetable::WholeSchool);
}

}  // namespace tw::output
