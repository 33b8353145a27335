// The export dialog and its five export commands.
#include "output/frmExport.h"

#include <sys/stat.h>

#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStandardPaths>
#include <QVBoxLayout>

#include "db/Database.h"
#include "output/DataFolder.h"
#include "output/ExportJson.h"
#include "output/ExportProcess.h"
#include "output/GridRows.h"
#include "output/OutputStatus.h"
#include "shell/NameLists.h"
#include "shell/OpenDatabase.h"
#include "shell/mdlPublic.h"
#include "store/Names.h"
#include "store/OutputRows.h"
#include "ui/Combo.h"
#include "ui/MsgBox.h"

namespace tw::output {
namespace {

const char* const kCaption = "导出课表到Excel";
const char* const kNoData = "没有课表数据";

QPushButton* MakeButton(QWidget* parent, const char* name, const QString& caption) {
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setAutoDefault(false);
    return button;
}

}  // namespace

frmExport::frmExport(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmExport"));
    setWindowTitle(QString::fromUtf8(kCaption));
    setModal(true);

    auto* classFrame = new QGroupBox(QStringLiteral("导出班级课表"), this);
    auto* lblClass = new QLabel(QStringLiteral("班级"), classFrame);
    lblClass->setObjectName(QStringLiteral("lblClass"));
    CmbClass = new QComboBox(classFrame);
    CmbClass->setObjectName(QStringLiteral("CmbClass"));
    CmdPrevClass = MakeButton(classFrame, "CmdPrevClass", QStringLiteral("上一班级"));
    CmdNextClass = MakeButton(classFrame, "CmdNextClass", QStringLiteral("下一班级"));
    cmdExportClass = MakeButton(classFrame, "cmdExportClass", QStringLiteral("导出选定班级"));
    cmdExportAllClass = MakeButton(classFrame, "cmdExportAllClass", QStringLiteral("导出全部班级"));
    auto* classGrid = new QGridLayout(classFrame);
    classGrid->addWidget(lblClass, 0, 0);
    classGrid->addWidget(CmbClass, 0, 1, 1, 3);
    classGrid->addWidget(CmdPrevClass, 1, 0);
    classGrid->addWidget(CmdNextClass, 1, 1);
    classGrid->addWidget(cmdExportClass, 1, 2);
    classGrid->addWidget(cmdExportAllClass, 1, 3);

    auto* teacherFrame = new QGroupBox(QStringLiteral("导出教师课表"), this);
    auto* Label1 = new QLabel(QStringLiteral("教师"), teacherFrame);
    Label1->setObjectName(QStringLiteral("Label1"));
    CmbTeacher = new QComboBox(teacherFrame);
    CmbTeacher->setObjectName(QStringLiteral("CmbTeacher"));
    CmdPrevTeacher = MakeButton(teacherFrame, "CmdPrevTeacher", QStringLiteral("上一教师"));
    CmdNextTeacher = MakeButton(teacherFrame, "CmdNextTeacher", QStringLiteral("下一教师"));
    cmdExportTeacher = MakeButton(teacherFrame, "cmdExportTeacher", QStringLiteral("导出选定教师"));
    cmdExportAllTeacher =
        MakeButton(teacherFrame, "cmdExportAllTeacher", QStringLiteral("导出全部教师"));
    auto* teacherGrid = new QGridLayout(teacherFrame);
    teacherGrid->addWidget(Label1, 0, 0);
    teacherGrid->addWidget(CmbTeacher, 0, 1, 1, 3);
    teacherGrid->addWidget(CmdPrevTeacher, 1, 0);
    teacherGrid->addWidget(CmdNextTeacher, 1, 1);
    teacherGrid->addWidget(cmdExportTeacher, 1, 2);
    teacherGrid->addWidget(cmdExportAllTeacher, 1, 3);

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

    connect(CmdPrevClass, &QPushButton::clicked, this, &frmExport::CmdPrevClass_Click);
    connect(CmdNextClass, &QPushButton::clicked, this, &frmExport::CmdNextClass_Click);
    connect(cmdExportClass, &QPushButton::clicked, this, &frmExport::cmdExportClass_Click);
    connect(cmdExportAllClass, &QPushButton::clicked, this, &frmExport::cmdExportAllClass_Click);
    connect(CmdPrevTeacher, &QPushButton::clicked, this, &frmExport::CmdPrevTeacher_Click);
    connect(CmdNextTeacher, &QPushButton::clicked, this, &frmExport::CmdNextTeacher_Click);
    connect(cmdExportTeacher, &QPushButton::clicked, this, &frmExport::cmdExportTeacher_Click);
    connect(cmdExportAllTeacher, &QPushButton::clicked, this,
            &frmExport::cmdExportAllTeacher_Click);
    connect(CmdExportTotal, &QPushButton::clicked, this, &frmExport::CmdExportTotal_Click);
    connect(cmdOK, &QPushButton::clicked, this, &frmExport::cmdOK_Click);

    FillClassCombo();
    FillTeacherCombo();
}

int frmExport::FillClassCombo() {
    const auto classes = OnOpenDatabase(tw::store::ReadClassList);
    FillNameCombos(ListedNames(classes.value), {CmbClass});
    return classes.Done() ? 0 : -1;
}

int frmExport::FillTeacherCombo() {
    const auto teachers = OnOpenDatabase([](tw::db::Database& db) {
        return tw::store::ReadTeacherList(db, tw::store::TeacherOrder::ByCode);
    });
    FillNameCombos(ListedNames(teachers.value), {CmbTeacher});
    return teachers.Done() ? 0 : -1;
}

void frmExport::StepCombo(QComboBox* combo, int step) {
    const int index = combo->currentIndex();
    if (step < 0 && index > 0) {
        combo->setCurrentIndex(index - 1);
    } else if (step > 0 && index < combo->count() - 1) {
        combo->setCurrentIndex(index + 1);
    }
}

void frmExport::CmdPrevClass_Click() {
    StepCombo(CmbClass, -1);
}

void frmExport::CmdNextClass_Click() {
    StepCombo(CmbClass, 1);
}

void frmExport::CmdPrevTeacher_Click() {
    StepCombo(CmbTeacher, -1);
}

void frmExport::CmdNextTeacher_Click() {
    StepCombo(CmbTeacher, 1);
}

void frmExport::cmdOK_Click() {
    close();
}

void frmExport::closeEvent(QCloseEvent* event) {
    // The script may still be reading the data file; the form stays until it has ended.
    if (exporting_) {
        event->ignore();
        return;
    }
    QDialog::closeEvent(event);
}

void frmExport::reject() {
    if (!exporting_) {
        QDialog::reject();
    }
}

namespace {

// The absolute path with the symbolic links of its existing part resolved, so that another
// spelling of a folder (a link, "..") compares equal.
QString ResolvedPath(const QString& path) {
    QString existing = QDir::cleanPath(QFileInfo(path).absoluteFilePath());
    QString rest;
    while (!QFileInfo::exists(existing) && existing != QDir::rootPath()) {
        rest = QLatin1Char('/') + QFileInfo(existing).fileName() + rest;
        existing = QFileInfo(existing).absolutePath();
    }
    const QString canonical = QFileInfo(existing).canonicalFilePath();
    return QDir::cleanPath((canonical.isEmpty() ? existing : canonical) + rest);
}

bool IsInside(const QString& path, const QString& folder) {
    const QString f = ResolvedPath(folder);
    return path == f || path.startsWith(f + QLatin1Char('/'));
}

}  // namespace

bool frmExport::IsProgramFile(const QString& path) {
    const QString target = ResolvedPath(path);
    const QString database = OpenDbPath();
    return IsInside(target, ProgramFolder()) || IsInside(target, CacheDataFolder()) ||
           (!database.isEmpty() && SameFile(path, database));
}

QString frmExport::AskExportFile() {
    // The chooser opens where the user saved last, at first in the user's documents folder
    // rather than among the program's templates. Its filter "Excel(*.xlsx)|*.xlsx" in Qt's
    // notation.
    const QString start = lastPath_.isEmpty()
                              ? QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation)
                              : lastPath_;
    const QString path = tw::ui::GetSaveFileName(QStringLiteral("保存为Excel文件"),
                                                 QStringLiteral("Excel(*.xlsx)"), start,
                                                 /*confirmOverwrite=*/false);
    if (path.isEmpty()) {
        return {};
    }
    if (IsProgramFile(path)) {
        // Saved over, the template, the script or the database would be gone; the next chooser
        // proposes the last accepted name again, not this one.
        tw::ui::MsgBox(QStringLiteral("不能保存为程序的课表模板文件，请选择其他文件名"),
                       tw::ui::vbExclamation, windowTitle());
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

tw::store::OutputChoice frmExport::ChosenClass() const {
    // Names may repeat: the code decides, and the workbook shows the stored name (the list may
    // show a namesake's full name or code instead).
    return {tw::store::OutputTimetable::OneClass, tw::ui::ComboName(CmbClass),
            tw::ui::ComboCode(CmbClass)};
}

tw::store::OutputChoice frmExport::ChosenTeacher() const {
    return {tw::store::OutputTimetable::OneTeacher, tw::ui::ComboName(CmbTeacher),
            tw::ui::ComboCode(CmbTeacher)};
}

void frmExport::cmdExportAllClass_Click() {
    Export({{tw::store::OutputTimetable::AllClasses, {}, {}},
            &WriteClassJson,
            QStringLiteral("export_class_kb"),
            QString::fromUtf8(kNoData)});
}

void frmExport::cmdExportClass_Click() {
    if (CmbClass->currentText().isEmpty()) {
        return;
    }
    Export({{},
            &WriteClassJson,
            QStringLiteral("export_class_kb"),
            QStringLiteral("该班级没有课表数据")},
           &frmExport::ChosenClass);
}

void frmExport::cmdExportAllTeacher_Click() {
    Export({{tw::store::OutputTimetable::AllTeachers, {}, {}},
            &WriteTeacherJson,
            QStringLiteral("export_teacher_kb"),
            QString::fromUtf8(kNoData)});
}

void frmExport::cmdExportTeacher_Click() {
    if (CmbTeacher->currentText().isEmpty()) {
        return;
    }
    Export({{},
            &WriteTeacherJson,
            QStringLiteral("export_teacher_kb"),
            QStringLiteral("该教师没有课表数据")},
           &frmExport::ChosenTeacher);
}

void frmExport::CmdExportTotal_Click() {
    Export({{tw::store::OutputTimetable::WholeSchool, {}, {}},
            &WriteTotalJson,
            QStringLiteral("export_all_kb"),
            QString::fromUtf8(kNoData)});
}

void frmExport::SetExporting(bool on) {
    exporting_ = on;
    for (QPushButton* button : {cmdExportClass, cmdExportAllClass, cmdExportTeacher,
                                cmdExportAllTeacher, CmdExportTotal, cmdOK}) {
        button->setEnabled(!on);
    }
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
        ProgramFile(QStringLiteral("export.js")),
        dataFile,
        ProgramFile(templateBase + QString::number(LessonOfDay) + QStringLiteral(".xlsx")),
        target,
    };
    const FileIdentity before = IdentityOf(target);
    QString error;
    bool succeeded = false;
    SetExporting(true);
    const bool ran = RunAndWait(node, args, ProgramFolder(), &error, &succeeded, report);
    SetExporting(false);
    if (!ran) {
        *failure = QStringLiteral("无法启动 ") + node + QStringLiteral(": ") + error;
        return false;
    }
    // Made: the script ended well and a workbook other than the old one stands at the target.
    const FileIdentity after = IdentityOf(target);
    *status = succeeded && after.exists && !(after == before) ? 0 : kNoWorkbookMade;
    return true;
}

void frmExport::Export(Command command, tw::store::OutputChoice (frmExport::*chosen)() const) {
    if (exporting_) {
        return;  // one export at a time: the running script still reads the data file
    }
    const QString target = AskExportFile();
    if (target.isEmpty()) {
        return;
    }
    const QString title = windowTitle();
    setCursor(Qt::WaitCursor);
    if (chosen) {
        command.choice = (this->*chosen)();
    }
    const auto read = OnOpenDatabase([&](tw::db::Database& db) {
        return tw::store::ReadOutputRows(db, tw::store::OutputFile::Export, command.choice);
    });
    int status = 0;
    // A command that stops shows "课表导出失败！" followed by the reason.
    bool failed = false;
    QString failure;
    // Why the data file was not written, or what the script said when it made no workbook.
    QString reason;
    if (!read.Done()) {
        failed = true;
        failure = ReadFailureText(read.outcome);
    } else {
        tw::db::Recordset& rows = *read.value;
        if (!AnyRowInGrid(rows, LessonOfDay)) {
            status = kNoTimetableData;
        } else {
            const QString dataFile = DataFile(QStringLiteral("export_data.json"), &reason);
            status =
                dataFile.isEmpty() ? kDataFileNotWritten : command.writer(dataFile, rows, &reason);
            if (status == 0) {
                int scriptStatus = 0;
                failed = !RunScript(command.templateBase, target, dataFile, &scriptStatus, &failure,
                                    &reason);
                status = static_cast<short>(scriptStatus);
            }
        }
        rows.Close();
    }
    unsetCursor();

    if (failed) {
        tw::ui::MsgBox(QStringLiteral("课表导出失败！") + failure, tw::ui::vbCritical, title);
    } else if (status == 0) {
        tw::ui::MsgBox(QStringLiteral("课表导出成功"), tw::ui::vbInformation, title);
    } else if (status == kNoTimetableData) {
        tw::ui::MsgBox(command.noDataMessage, tw::ui::vbInformation, title);
    } else {
        QString text =
            QStringLiteral("课表导出失败！(ret = ") + QString::number(status) + QStringLiteral(")");
        if (!reason.isEmpty()) {
            text += QLatin1Char('\n') + reason;
        }
        tw::ui::MsgBox(text, tw::ui::vbCritical, title);
    }
}

}  // namespace tw::output
