#include "frmPrint.h"

#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <limits>

#include "PrintDataWriter.h"
#include "VostrinPrint.h"
#include "db/Database.h"
#include "output/DataFolder.h"
#include "output/GridRows.h"
#include "output/OutputStatus.h"
#include "shell/NameLists.h"
#include "shell/OpenDatabase.h"
#include "shell/mdlPublic.h"
#include "store/Names.h"
#include "store/OutputRows.h"
#include "ui/Combo.h"
#include "ui/FitText.h"
#include "ui/FormStyle.h"
#include "ui/MsgBox.h"

namespace {
QRect TwRect(int left, int top, int width, int height) {
    return {tw::ui::TwipsToPixels(left), tw::ui::TwipsToPixels(top), tw::ui::TwipsToPixels(width),
            tw::ui::TwipsToPixels(height)};
}

QPushButton* Button(QWidget* parent, const char* name, const QString& caption, QRect r) {
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

const QString kCaption = QStringLiteral("打印课表");
}  // namespace

frmPrint::frmPrint(QWidget* parent) : QDialog(parent) {
    setObjectName("frmPrint");
    setWindowTitle(kCaption);
    setFixedSize(tw::ui::TwipsToPixels(9180), tw::ui::TwipsToPixels(4485));
    setFont(tw::ui::FormFont(12));

    auto* classFrame = new QGroupBox(QStringLiteral("班级课表打印"), this);
    classFrame->setGeometry(TwRect(360, 360, 3975, 3015));
    auto* lblClass = Label(classFrame, QStringLiteral("班级"), TwRect(120, 525, 615, 255));
    lblClass->setObjectName("lblClass");
    CmbClass = new QComboBox(classFrame);
    CmbClass->setObjectName("CmbClass");
    CmbClass->setGeometry(TwRect(840, 480, 2895, 360));
    tw::ui::KeepComboTextWhole(CmbClass);
    auto* prevClass = Button(classFrame, "CmdPrevClass", QStringLiteral("上一班级"),
                             TwRect(120, 1080, 1695, 375));
    auto* nextClass = Button(classFrame, "CmdNextClass", QStringLiteral("下一班级"),
                             TwRect(1920, 1080, 1815, 375));
    auto* printClass = Button(classFrame, "cmdPrintClass", QStringLiteral("选定班级打印"),
                              TwRect(120, 2040, 1695, 375));
    auto* printAllClass = Button(classFrame, "cmdPrintAllClass", QStringLiteral("全部班级打印"),
                                 TwRect(1920, 2040, 1815, 375));
    Label(classFrame, QStringLiteral("（A4纸张）"), TwRect(1320, 2640, 1455, 255), "blue", true);

    auto* teacherFrame = new QGroupBox(QStringLiteral("教师课表打印"), this);
    teacherFrame->setGeometry(TwRect(4800, 360, 3975, 3015));
    Label(teacherFrame, QStringLiteral("教师"), TwRect(240, 525, 615, 255));
    CmbTeacher = new QComboBox(teacherFrame);
    CmbTeacher->setObjectName("CmbTeacher");
    CmbTeacher->setGeometry(TwRect(960, 480, 2895, 360));
    tw::ui::KeepComboTextWhole(CmbTeacher);
    auto* prevTeacher = Button(teacherFrame, "CmdPrevTeacher", QStringLiteral("上一教师"),
                               TwRect(120, 1080, 1695, 375));
    auto* nextTeacher = Button(teacherFrame, "CmdNextTeacher", QStringLiteral("下一教师"),
                               TwRect(1920, 1080, 1815, 375));
    auto* printTeacher = Button(teacherFrame, "cmdPrintTeacher", QStringLiteral("选定教师打印"),
                                TwRect(120, 2040, 1695, 375));
    auto* printAllTeacher = Button(teacherFrame, "cmdPrintAllTeacher",
                                   QStringLiteral("全部教师打印"), TwRect(1920, 2040, 1815, 375));
    Label(teacherFrame, QStringLiteral("（A4纸张）"), TwRect(1080, 2640, 1455, 255), "blue", true);

    auto* printTotal =
        Button(this, "CmdPrintTotal", QStringLiteral("总表打印"), TwRect(1800, 3600, 2055, 495));
    Label(this, QStringLiteral("（A3纸张）"), TwRect(3840, 3720, 1455, 255), "#c00000", true);
    auto* exitFrame = new QGroupBox(this);
    exitFrame->setGeometry(TwRect(6960, 3360, 1815, 735));
    auto* ok = Button(exitFrame, "cmdOK", QStringLiteral("退出(&Q)"), TwRect(120, 240, 1575, 375));

    connect(printClass, &QPushButton::clicked, this, &frmPrint::cmdPrintClass_Click);
    connect(printAllClass, &QPushButton::clicked, this, &frmPrint::cmdPrintAllClass_Click);
    connect(printTeacher, &QPushButton::clicked, this, &frmPrint::cmdPrintTeacher_Click);
    connect(printAllTeacher, &QPushButton::clicked, this, &frmPrint::cmdPrintAllTeacher_Click);
    connect(printTotal, &QPushButton::clicked, this, &frmPrint::CmdPrintTotal_Click);
    connect(prevClass, &QPushButton::clicked, this, &frmPrint::CmdPrevClass_Click);
    connect(nextClass, &QPushButton::clicked, this, &frmPrint::CmdNextClass_Click);
    connect(prevTeacher, &QPushButton::clicked, this, &frmPrint::CmdPrevTeacher_Click);
    connect(nextTeacher, &QPushButton::clicked, this, &frmPrint::CmdNextTeacher_Click);
    connect(ok, &QPushButton::clicked, this, &frmPrint::cmdOK_Click);

    Form_Load();
}

void frmPrint::Form_Load() {
    FillClassCombo();
    FillTeacherCombo();
}

namespace {
void Step(QComboBox* combo, int delta) {
    const int i = combo->currentIndex();
    if (delta < 0 && i > 0) combo->setCurrentIndex(i - 1);
    if (delta > 0 && i < combo->count() - 1) combo->setCurrentIndex(i + 1);
}
}  // namespace

short frmPrint::FillClassCombo() {
    const auto classes = OnOpenDatabase(tw::store::ReadClassList);
    FillNameCombos(ListedNames(classes.value), {CmbClass});
    return classes.Done() ? 0 : -1;
}

short frmPrint::FillTeacherCombo() {
    const auto teachers = OnOpenDatabase([](tw::db::Database& db) {
        return tw::store::ReadTeacherList(db, tw::store::TeacherOrder::ByCode);
    });
    FillNameCombos(ListedNames(teachers.value), {CmbTeacher});
    return teachers.Done() ? 0 : -1;
}

void frmPrint::CmdPrevClass_Click() {
    Step(CmbClass, -1);
}
void frmPrint::CmdNextClass_Click() {
    Step(CmbClass, +1);
}
void frmPrint::CmdPrevTeacher_Click() {
    Step(CmbTeacher, -1);
}
void frmPrint::CmdNextTeacher_Click() {
    Step(CmbTeacher, +1);
}
void frmPrint::cmdOK_Click() {
    close();
}

void frmPrint::closeEvent(QCloseEvent* event) {
    if (printing_) {
        event->ignore();
        return;
    }
    QDialog::closeEvent(event);
}

void frmPrint::reject() {
    // Escape while the library spools would close the dialog under the running print.
    if (!printing_) QDialog::reject();
}

void frmPrint::SetPrintButtonsEnabled(bool enabled) {
    for (const char* name : {"cmdPrintClass", "cmdPrintAllClass", "cmdPrintTeacher",
                             "cmdPrintAllTeacher", "CmdPrintTotal", "cmdOK"}) {
        if (auto* b = findChild<QPushButton*>(name)) b->setEnabled(enabled);
    }
}

void frmPrint::RunPrint(const tw::store::OutputChoice& choice, Writer writer,
                        const QString& templateName, const QString& noDataText) {
    if (printing_) return;
    printing_ = true;
    SetPrintButtonsEnabled(false);
    struct Done {
        frmPrint* form;
        ~Done() {
            form->printing_ = false;
            form->SetPrintButtonsEnabled(true);
        }
    } done{this};
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const auto read = OnOpenDatabase([&](tw::db::Database& db) {
        return tw::store::ReadOutputRows(db, tw::store::OutputFile::Print, choice);
    });
    // A command that stops shows "打印失败！" followed by the reason.
    bool stopped = false;
    QString failure;
    int status = tw::output::kDataFileNotWritten;
    QString writeError;
    if (!read.Done()) {
        stopped = true;
        failure = tw::output::ReadFailureText(read.outcome);
    } else if (tw::db::Recordset& rs = *read.value; !tw::output::AnyRowInGrid(rs, LessonOfDay)) {
        // Nothing would be printed (the library prints no page without a row), so saying
        // "打印完成" would be untrue.
        status = tw::output::kNoTimetableData;
    } else {
        const QString dataFile = tw::output::DataFile("tmp.xml", &writeError);
        if (dataFile.isEmpty()) {
            status = tw::output::kDataFileNotWritten;
        } else {
            status = writer == Writer::Schedule ? WriteScheduleXml(dataFile, rs, &writeError)
                                                : WriteTotalXml(dataFile, rs, &writeError);
        }
        rs.Close();
        if (status == 0) {
            stopped =
                !CallPrintOneCustomXml(dataFile, ProgramFile(templateName), &status, &failure);
        }
        if (!stopped && (status < std::numeric_limits<short>::min() ||
                         status > std::numeric_limits<short>::max())) {
            stopped = true;
            failure = QStringLiteral("溢出");
        }
    }
    QApplication::restoreOverrideCursor();
    if (stopped) {
        tw::ui::MsgBox(QStringLiteral("打印失败！") + failure, tw::ui::vbCritical, kCaption);
    } else if (status == 0) {
        tw::ui::MsgBox(QStringLiteral("打印完成"), tw::ui::vbInformation, kCaption);
    } else if (status == tw::output::kNoTimetableData) {
        tw::ui::MsgBox(noDataText, tw::ui::vbInformation, kCaption);
    } else {
        QString text = QStringLiteral("打印失败！(ret = ") + QString::number(status) + ")";
        if (status == tw::output::kDataFileNotWritten && !writeError.isEmpty())
            text += QLatin1Char('\n') + writeError;
        tw::ui::MsgBox(text, tw::ui::vbCritical, kCaption);
    }
}

namespace {
QString ScheduleTemplate(const char* kind) {
    return QString("%1%2.xml").arg(kind).arg(LessonOfDay);
}

// The class or teacher chosen in a list. Names may repeat: the code decides, and the page shows
// the stored name (the list may show a namesake's full name or code instead).
tw::store::OutputChoice Chosen(tw::store::OutputTimetable timetable, const QComboBox* combo) {
    return {timetable, tw::ui::ComboName(combo), tw::ui::ComboCode(combo)};
}
}  // namespace

void frmPrint::cmdPrintClass_Click() {
    if (CmbClass->currentText().isEmpty()) return;
    RunPrint(Chosen(tw::store::OutputTimetable::OneClass, CmbClass), Writer::Schedule,
             ScheduleTemplate("ClassSchd"), QStringLiteral("该班级没有课表数据"));
}

void frmPrint::cmdPrintAllClass_Click() {
    RunPrint({tw::store::OutputTimetable::AllClasses, {}, {}}, Writer::Schedule,
             ScheduleTemplate("ClassSchd"), QStringLiteral("没有课表数据"));
}

void frmPrint::cmdPrintTeacher_Click() {
    if (CmbTeacher->currentText().isEmpty()) return;
    RunPrint(Chosen(tw::store::OutputTimetable::OneTeacher, CmbTeacher), Writer::Schedule,
             ScheduleTemplate("TeacherSchd"), QStringLiteral("该教师没有课表数据"));
}

void frmPrint::cmdPrintAllTeacher_Click() {
    RunPrint({tw::store::OutputTimetable::AllTeachers, {}, {}}, Writer::Schedule,
             ScheduleTemplate("TeacherSchd"), QStringLiteral("没有课表数据"));
}

void frmPrint::CmdPrintTotal_Click() {
    RunPrint({tw::store::OutputTimetable::WholeSchool, {}, {}}, Writer::Total,
             QString("TotalSchd%1A3.xml").arg(LessonOfDay), QStringLiteral("没有课表数据"));
}
