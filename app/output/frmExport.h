// The export dialog: writes the timetable of all classes, one class, all teachers, one teacher or
// the whole school into the export data file and runs the workbook script on it, which saves an
// .xlsx workbook where the user chose.
#pragma once

#include <QString>

#include "output/OutputDialog.h"
#include "shell/AppState.h"
#include "store/OutputRows.h"

class QComboBox;
class QPushButton;

namespace tw::output {

class frmExport : public OutputDialog {
    Q_OBJECT
  public:
    explicit frmExport(tw::shell::AppState& state, QWidget* parent = nullptr);

    // Fill the lists; 0, or -1 after a failure (the list keeps what was added).
    int FillClassCombo();
    int FillTeacherCombo();
    // The chosen target path, or empty text when there is nothing to export to. The chooser
    // proposes the last chosen path, at first `proposed`. An existing file is kept (the export
    // replaces it only when it has made the new workbook); a file of the program or of its data
    // files, and the open database, are refused with a text that names it (ExportTarget.h), and
    // a refused name is not proposed again.
    QString AskExportFile(const QString& proposed);
    // True while the workbook script of an export runs.
    bool Exporting() const { return Busy(); }

  public slots:
    void cmdExportClass_Click();
    void cmdExportAllClass_Click();
    void cmdExportTeacher_Click();
    void cmdExportAllTeacher_Click();
    void CmdExportTotal_Click();

  private:
    tw::shell::AppState& state_;
    // The export road shared by the five commands; the one class or teacher is read from its
    // list after the file choice.
    void Export(tw::store::OutputTimetable timetable);
    // Runs the script on the data file: true with the status of the export (0 or
    // kNoWorkbookMade) in *status and the script's account of a failure in *report, or false
    // with the reason in *failure when the script cannot be started. The export is made only
    // when the script ends with exit code 0 and leaves a new workbook at the target.
    bool RunScript(const QString& templateBase, const QString& target, const QString& dataFile,
                   int* status, QString* failure, QString* report);

    QComboBox* CmbClass;
    QComboBox* CmbTeacher;
    QPushButton* CmdPrevClass;
    QPushButton* CmdNextClass;
    QPushButton* cmdExportClass;
    QPushButton* cmdExportAllClass;
    QPushButton* CmdPrevTeacher;
    QPushButton* CmdNextTeacher;
    QPushButton* cmdExportTeacher;
    QPushButton* cmdExportAllTeacher;
    QPushButton* CmdExportTotal;
    QPushButton* cmdOK;

    QString lastPath_;  // the save dialog opens with the last chosen path
};

}  // namespace tw::output
