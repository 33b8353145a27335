// The print dialog: class, teacher and whole-school timetables printed through the print
// library from the data file "tmp.xml" and a layout template in the program folder.
#pragma once

#include <QDialog>

#include "store/OutputRows.h"

class QComboBox;
class QPushButton;

class frmPrint : public QDialog {
    Q_OBJECT
  public:
    explicit frmPrint(QWidget* parent = nullptr);

  public slots:
    void cmdPrintClass_Click();
    void cmdPrintAllClass_Click();
    void cmdPrintTeacher_Click();
    void cmdPrintAllTeacher_Click();
    void CmdPrintTotal_Click();
    void CmdPrevClass_Click();
    void CmdNextClass_Click();
    void CmdPrevTeacher_Click();
    void CmdNextTeacher_Click();
    void cmdOK_Click();

  private:
    void Form_Load();
    short FillClassCombo();
    short FillTeacherCombo();
    enum class Writer { Schedule, Total };
    // Runs one print command: read the chosen rows, write tmp.xml, call the library, tell the
    // outcome.
    void RunPrint(const tw::store::OutputChoice& choice, Writer writer, const QString& templateName,
                  const QString& noDataText);

    void SetPrintButtonsEnabled(bool enabled);

    QComboBox* CmbClass;
    QComboBox* CmbTeacher;
    // True while a print command runs: the library lets window messages through while it
    // spools, and a second command then must not start, nor the dialog close.
    bool printing_ = false;

  protected:
    void closeEvent(QCloseEvent* event) override;
    void reject() override;
};
