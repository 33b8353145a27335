// The export dialog and its five export commands.
#include "output/frmExport.h"

#include <sys/stat.h>

#include <QComboBox>
#include <QFile>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "db/Database.h"
#include "output/ExportJson.h"
#include "output/ExportProcess.h"
#include "output/ExportTarget.h"
#include "output/OutputRun.h"
#include "output/OutputStatus.h"
#include "shell/AppState.h"
#include "shell/NameLists.h"
#include "shell/OpenDatabase.h"
#include "shell/ProgramFolder.h"
#include "store/Names.h"
#include "store/OutputRows.h"
#include "ui/Combo.h"
#include "ui/MsgBox.h"

namespace tw::output {
namespace {

const char* const kCaption = "导出课表到Excel";

QPushButton* MakeButton(QWidget* parent, const QString& name, const QString& caption) {
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(name);
    button->setAutoDefault(false);
    return button;
}

// The frame of the class or the teacher timetables: the label and the list above the stepping
// buttons and the two export commands, named and worded for the noun.
QGroupBox* AddListFrame(QWidget* parent, const QString& noun, const QString& suffix,
                        const QString& labelName, QComboBox** combo, QPushButton** prev,
                        QPushButton** next, QPushButton** one, QPushButton** all) {
    auto* frame = new QGroupBox(QStringLiteral("导出") + noun + QStringLiteral("课表"), parent);
    auto* label = new QLabel(noun, frame);
    label->setObjectName(labelName);
    *combo = new QComboBox(frame);
    (*combo)->setObjectName("Cmb" + suffix);
    *prev = MakeButton(frame, "CmdPrev" + suffix, QStringLiteral("上一") + noun);
    *next = MakeButton(frame, "CmdNext" + suffix, QStringLiteral("下一") + noun);
    *one = MakeButton(frame, "cmdExport" + suffix, QStringLiteral("导出选定") + noun);
    *all = MakeButton(frame, "cmdExportAll" + suffix, QStringLiteral("导出全部") + noun);
    auto* grid = new QGridLayout(frame);
    grid->addWidget(label, 0, 0);
    grid->addWidget(*combo, 0, 1, 1, 3);
    grid->addWidget(*prev, 1, 0);
    grid->addWidget(*next, 1, 1);
    grid->addWidget(*one, 1, 2);
    grid->addWidget(*all, 1, 3);
    return frame;
}

}  // namespace

frmExport::frmExport(tw::shell::AppState& state, QWidget* parent)
    : OutputDialog(parent), state_(state) {
    setObjectName(QStringLiteral("frmExport"));
    setWindowTitle(QString::fromUtf8(kCaption));
    setModal(true);

    auto* classFrame = AddListFrame(this, QStringLiteral("班级"), QStringLiteral("Class"),
                                    QStringLiteral("lblClass"), &CmbClass, &CmdPrevClass,
                                    &CmdNextClass, &cmdExportClass, &cmdExportAllClass);
    auto* teacherFrame = AddListFrame(this, QStringLiteral("教师"), QStringLiteral("Teacher"),
                                      QStringLiteral("Label1"), &CmbTeacher, &CmdPrevTeacher,
                                      &CmdNextTeacher, &cmdExportTeacher, &cmdExportAllTeacher);

    auto* buttonFrame = new QGroupBox(this);
    CmdExportTotal = MakeButton(buttonFrame, "CmdExportTotal", QStringLiteral("导出总表"));
    cmdOK = MakeButton(buttonFrame, "cmdOK", QStringLiteral("退出(&Q)"));
    auto* buttonRow = new QHBoxLayout(buttonFrame);
    buttonRow->addWidget(CmdExportTotal);
    buttonRow->addStretch();
    buttonRow->addWidget(cmdOK);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(classFrame);
    layout->addWidget(teacherFrame);
    layout->addWidget(buttonFrame);

    using Click = void (frmExport::*)();
    const std::pair<QPushButton*, Click> clicks[] = {
        {CmdPrevClass, &frmExport::CmdPrevClass_Click},
        {CmdNextClass, &frmExport::CmdNextClass_Click},
        {cmdExportClass, &frmExport::cmdExportClass_Click},
        {cmdExportAllClass, &frmExport::cmdExportAllClass_Click},
        {CmdPrevTeacher, &frmExport::CmdPrevTeacher_Click},
        {CmdNextTeacher, &frmExport::CmdNextTeacher_Click},
        {cmdExportTeacher, &frmExport::cmdExportTeacher_Click},
        {cmdExportAllTeacher, &frmExport::cmdExportAllTeacher_Click},
        {CmdExportTotal, &frmExport::CmdExportTotal_Click},
        {cmdOK, &frmExport::cmdOK_Click}};
    for (const auto& [button, click] : clicks) {
        connect(button, &QPushButton::clicked, this, click);
    }
    SetLists(CmbClass, CmbTeacher);
    SetCommandButtons({cmdExportClass, cmdExportAllClass, cmdExportTeacher, cmdExportAllTeacher,
                       CmdExportTotal, cmdOK});

    const shell::ReadFailures::Action opening(reads_);
    FillClassCombo();
    FillTeacherCombo();
}

int frmExport::FillClassCombo() {
    const auto classes = OnOpenDatabase(state_, tw::store::ReadClassList);
    shell::FillNameCombos(shell::ListedNames(classes.value), {CmbClass});
    return reads_.Note(classes.outcome) ? 0 : -1;
}

int frmExport::FillTeacherCombo() {
    const auto teachers = OnOpenDatabase(state_, [](tw::db::Database& db) {
        return tw::store::ReadTeacherList(db, tw::store::TeacherOrder::ByCode);
    });
    shell::FillNameCombos(shell::ListedNames(teachers.value), {CmbTeacher});
    return reads_.Note(teachers.outcome) ? 0 : -1;
}

QString frmExport::AskExportFile(const QString& proposed) {
    // The chooser opens with the path the user chose last, at first with the proposed one. Its
    // filter "Excel(*.xlsx)|*.xlsx" in Qt's notation.
    const QString start = lastPath_.isEmpty() ? proposed : lastPath_;
    const QString path = tw::ui::GetSaveFileName(QStringLiteral("保存为Excel文件"),
                                                 QStringLiteral("Excel(*.xlsx)"), start,
                                                 /*confirmOverwrite=*/false);
    if (path.isEmpty()) {
        return {};
    }
    const QString refused = RefusedExportTarget(path, state_.Path());
    if (!refused.isEmpty()) {
        // Saved over, a file of the program or the database would be gone; the next chooser
        // proposes the last accepted name again, not this one.
        tw::ui::MsgBox(refused, tw::ui::vbExclamation, windowTitle());
        return {};
    }
    lastPath_ = path;
    // An existing workbook stays until the new one has been made in its place.
    if (QFileInfo::exists(path)) {
        const int answer =
            tw::ui::MsgBox(QStringLiteral("文件已存在,是否覆盖?"),
                           tw::ui::vbYesNo | tw::ui::vbQuestion, QStringLiteral("保存提示"));
        if (answer != tw::ui::vbYes) {
            return {};
        }
    }
    return path;
}

void frmExport::cmdExportAllClass_Click() {
    Export(tw::store::OutputTimetable::AllClasses);
}

void frmExport::cmdExportClass_Click() {
    Export(tw::store::OutputTimetable::OneClass);
}

void frmExport::cmdExportAllTeacher_Click() {
    Export(tw::store::OutputTimetable::AllTeachers);
}

void frmExport::cmdExportTeacher_Click() {
    Export(tw::store::OutputTimetable::OneTeacher);
}

void frmExport::CmdExportTotal_Click() {
    Export(tw::store::OutputTimetable::WholeSchool);
}

namespace {

// What tells one file from the one that replaces it: the script writes the workbook under
// another name and renames it onto the target, which gives a new inode.
struct FileIdentity {
    bool exists = false;
    ino_t inode = 0;
    timespec modified{};
    bool operator==(const FileIdentity& o) const {
        return exists == o.exists && inode == o.inode && modified.tv_sec == o.modified.tv_sec &&
               modified.tv_nsec == o.modified.tv_nsec;
    }
};

FileIdentity IdentityOf(const QString& path) {
    struct stat st {};
    if (::stat(QFile::encodeName(path).constData(), &st) != 0) return {};
    return {true, st.st_ino, st.st_mtim};
}

}  // namespace

bool frmExport::RunScript(const QString& templateBase, const QString& target,
                          const QString& dataFile, int* status, QString* failure, QString* report) {
    const QString node = NodeProgram();
    if (node.isEmpty()) {
        *failure = QStringLiteral(
            "找不到 Node.js 运行程序 node（程序文件夹下的 "
            "node/node 或 PATH 中的 node）");
        return false;
    }
    const QStringList args{
        shell::ProgramFile(QStringLiteral("export.js")),
        dataFile,
        shell::ProgramFile(templateBase + QString::number(state_.lessonOfDay) +
                           QStringLiteral(".xlsx")),
        target,
    };
    const FileIdentity before = IdentityOf(target);
    QString error;
    bool succeeded = false;
    SetBusy(true);
    const bool ran = RunAndWait(node, args, shell::ProgramFolder(), &error, &succeeded, report);
    SetBusy(false);
    if (!ran) {
        *failure = QStringLiteral("无法启动 ") + node + QStringLiteral(": ") + error;
        return false;
    }
    // Made: the script ended well and a workbook other than the old one stands at the target.
    const FileIdentity after = IdentityOf(target);
    *status = succeeded && after.exists && !(after == before) ? 0 : kNoWorkbookMade;
    return true;
}

void frmExport::Export(tw::store::OutputTimetable timetable) {
    using tw::store::OutputTimetable;
    if (Busy()) {
        return;  // one export at a time: the running script still reads the data file
    }
    // The one class and one teacher commands do nothing without a choice in their list.
    const QComboBox* list = ChoiceList(timetable, CmbClass, CmbTeacher);
    if (list && list->currentText().isEmpty()) {
        return;
    }
    const QString target =
        AskExportFile(ProposedExportFile(timetable, list ? list->currentText() : QString()));
    if (target.isEmpty()) {
        return;
    }
    const QString title = windowTitle();
    setCursor(Qt::WaitCursor);
    // The one class or teacher is read from its list after the file choice.
    const tw::store::OutputChoice choice = ChoiceFrom(timetable, list);
    const bool classes =
        timetable == OutputTimetable::OneClass || timetable == OutputTimetable::AllClasses;
    const bool total = timetable == OutputTimetable::WholeSchool;
    const QString templateBase = total     ? QStringLiteral("export_all_kb")
                                 : classes ? QStringLiteral("export_class_kb")
                                           : QStringLiteral("export_teacher_kb");
    QString dataFile;
    CommandRun run = WriteChosenRows(state_, tw::store::OutputFile::Export, choice,
                                     QStringLiteral("export_data.json"),
                                     total     ? &WriteTotalJson
                                     : classes ? &WriteClassJson
                                               : &WriteTeacherJson,
                                     &dataFile);
    if (!run.stopped && run.status == 0) {
        int scriptStatus = 0;
        run.stopped =
            !RunScript(templateBase, target, dataFile, &scriptStatus, &run.failure, &run.reason);
        run.status = static_cast<short>(scriptStatus);
    }
    unsetCursor();
    ShowCommandRun(run, timetable, title, QStringLiteral("课表导出失败！"),
                   QStringLiteral("课表导出成功"));
}

}  // namespace tw::output
