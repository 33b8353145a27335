#include "output/OutputDialog.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QPushButton>

#include "shell/FailureText.h"
#include "ui/MsgBox.h"

namespace tw::output {

OutputDialog::OutputDialog(QWidget* parent)
    : QDialog(parent), reads_([this](const tw::store::Outcome& failed) {
          tw::ui::MsgBox(shell::FailureText(QStringLiteral("读取失败"), failed), tw::ui::vbCritical,
                         windowTitle());
      }) {}

void OutputDialog::SetBusy(bool busy) {
    busy_ = busy;
    for (QPushButton* button : buttons_) button->setEnabled(!busy);
}

void OutputDialog::StepCombo(QComboBox* combo, int step) {
    if (!combo) return;
    const int index = combo->currentIndex();
    if (step < 0 && index > 0) {
        combo->setCurrentIndex(index - 1);
    } else if (step > 0 && index < combo->count() - 1) {
        combo->setCurrentIndex(index + 1);
    }
}

void OutputDialog::closeEvent(QCloseEvent* event) {
    if (busy_) {
        event->ignore();
        return;
    }
    QDialog::closeEvent(event);
}

void OutputDialog::reject() {
    // Escape while a command runs would close the dialog under it.
    if (!busy_) QDialog::reject();
}

}  // namespace tw::output
