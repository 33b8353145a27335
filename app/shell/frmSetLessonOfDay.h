// Sets the number of lessons per day (6 or 7) in the settings file and in the running program.
#pragma once

#include <QDialog>

class QLabel;
class QPushButton;
class QRadioButton;

class frmSetLessonOfDay : public QDialog {
    Q_OBJECT
  public:
    explicit frmSetLessonOfDay(QWidget* parent = nullptr);

    QLabel* Label1;
    QRadioButton* Opt7;
    QRadioButton* Opt6;
    QPushButton* cmdOK;
    QPushButton* cmdCancel;

  public slots:
    void cmdOK_Click();
    void cmdCancel_Click();
};
