// The typed confirmation that guards the commands which wipe the built timetable: the user must
// type the word OK and press the confirm button. The caller sets lblTitle, empties Text1, shows
// the form modally and then reads Confirmed.
#pragma once

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;

namespace tw::shell {

class frmConfirm : public QDialog {
    Q_OBJECT
  public:
    explicit frmConfirm(QWidget* parent = nullptr);

    // True only after OK was typed and confirmed; false when the form is created.
    bool Confirmed = false;

    QLabel* Label1;
    QLineEdit* Text1;
    QLabel* lblTitle;
    QPushButton* cmdOK;
    QPushButton* cmdCancel;

  public slots:
    void cmdOK_Click();
    void cmdCancel_Click();
};

}  // namespace tw::shell
