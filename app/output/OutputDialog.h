// What the print and export dialogs share: one command at a time. While a command runs (the
// print library spools, the workbook script runs) window events are handled, so the dialog
// keeps its command buttons off and does not close until the command has ended.
#pragma once

#include <QDialog>
#include <QList>
#include <utility>

#include "shell/ReadFailures.h"

class QComboBox;
class QPushButton;

namespace tw::output {

class OutputDialog : public QDialog {
  public:
    explicit OutputDialog(QWidget* parent = nullptr);

    // True while a command runs.
    bool Busy() const { return busy_; }

    // The stepping buttons move the class or the teacher list one entry up or down, staying
    // inside the list; the exit button closes the dialog.
    void CmdPrevClass_Click() { StepCombo(classes_, -1); }
    void CmdNextClass_Click() { StepCombo(classes_, 1); }
    void CmdPrevTeacher_Click() { StepCombo(teachers_, -1); }
    void CmdNextTeacher_Click() { StepCombo(teachers_, 1); }
    void cmdOK_Click() { close(); }

  protected:
    // The buttons that are off while a command runs.
    void SetCommandButtons(QList<QPushButton*> buttons) { buttons_ = std::move(buttons); }
    // The class and teacher lists the stepping buttons move.
    void SetLists(QComboBox* classes, QComboBox* teachers) {
        classes_ = classes;
        teachers_ = teachers;
    }
    // Marks a command running or ended and turns the command buttons off or on.
    void SetBusy(bool busy);
    void closeEvent(QCloseEvent* event) override;
    void reject() override;

    // The reads of the dialog's opening that failed, told once in a message box ("读取失败"
    // and the reason) titled with the dialog's caption.
    tw::shell::ReadFailures reads_;

  private:
    static void StepCombo(QComboBox* combo, int step);

    bool busy_ = false;
    QComboBox* classes_ = nullptr;
    QComboBox* teachers_ = nullptr;
    QList<QPushButton*> buttons_;
};

}  // namespace tw::output
