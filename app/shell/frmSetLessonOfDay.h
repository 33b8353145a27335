// Sets the number of lessons per day (6 or 7) in the settings file and in the running program.
#pragma once

#include <QDialog>

#include "shell/AppState.h"

class QLabel;
class QPushButton;
class QRadioButton;

namespace tw::shell {

class frmSetLessonOfDay : public QDialog {
    Q_OBJECT
  public:
    explicit frmSetLessonOfDay(AppState& state, QWidget* parent = nullptr);

    QLabel* Label1;
    QRadioButton* Opt7;
    QRadioButton* Opt6;
    QPushButton* cmdOK;
    QPushButton* cmdCancel;

  public slots:
    void cmdOK_Click();
    void cmdCancel_Click();

  private:
    AppState& state_;
};

}  // namespace tw::shell
