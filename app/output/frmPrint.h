// The print dialog: class, teacher and whole-school timetables printed through the print
// library from the data file "tmp.xml" and a layout template in the program folder.
#pragma once

#include "output/OutputDialog.h"
#include "shell/AppState.h"
#include "store/OutputRows.h"

class QComboBox;

namespace tw::output {

class frmPrint : public OutputDialog {
    Q_OBJECT
  public:
    explicit frmPrint(tw::shell::AppState& state, QWidget* parent = nullptr);

  public slots:
    void cmdPrintClass_Click();
    void cmdPrintAllClass_Click();
    void cmdPrintTeacher_Click();
    void cmdPrintAllTeacher_Click();
    void CmdPrintTotal_Click();

  private:
    tw::shell::AppState& state_;
    void Form_Load();
    short FillClassCombo();
    short FillTeacherCombo();
    // Runs one print command: read the rows of the timetable (for one class or teacher, the
    // list's choice), write tmp.xml, call the library with the timetable's layout template, tell
    // the outcome.
    void RunPrint(tw::store::OutputTimetable timetable);

    QComboBox* CmbClass;
    QComboBox* CmbTeacher;
};

}  // namespace tw::output
