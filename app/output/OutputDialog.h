// What the print and export dialogs share: one command at a time. While a command runs (the
// print library spools, the workbook script runs) window events are handled, so the dialog
// keeps its command buttons off and does not close until the command has ended.
#pragma once

#include <QDialog>
#include <QList>
#include <utility>

class QComboBox;
class QPushButton;

namespace tw::output {

class OutputDialog : public QDialog {
  public:
    explicit OutputDialog(QWidget* parent = nullptr) : QDialog(parent) {}

    // True while a command runs.
    bool Busy() const { return busy_; }

  protected:
    // The buttons that are off while a command runs.
    void SetCommandButtons(QList<QPushButton*> buttons) { buttons_ = std::move(buttons); }
    // Marks a command running or ended and turns the command buttons off or on.
    void SetBusy(bool busy);
    // Moves the list's choice one entry up (step < 0) or down, staying inside the list.
    static void StepCombo(QComboBox* combo, int step);

    void closeEvent(QCloseEvent* event) override;
    void reject() override;

  private:
    bool busy_ = false;
    QList<QPushButton*> buttons_;
};

}  // namespace tw::output
