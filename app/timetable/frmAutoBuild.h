// The small window in which one automatic build runs: on its first activation it runs the
// builder to the end while a row of dots grows, reports the result and closes itself.
#pragma once

#include <QDialog>

#include "shell/AppState.h"

class QFrame;
class QLabel;
class QTimer;

namespace tw::timetable {

class frmAutoBuild : public QDialog {
    Q_OBJECT
  public:
    explicit frmAutoBuild(tw::shell::AppState& state, QWidget* parent = nullptr);

    int ActivationCount() const { return activations_; }

  public slots:
    void Form_Activate();
    void Timer1_Timer();
    // Closing is refused while the build runs; the dialog closes itself when it has ended.
    void reject() override;

  protected:
    void showEvent(QShowEvent* event) override;
    void changeEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

  private:
    tw::shell::AppState& state_;
    void Form_Load();

    QFrame* Frame1 = nullptr;
    QLabel* Label1 = nullptr;
    QLabel* lblStatus = nullptr;
    QTimer* Timer1 = nullptr;
    int activations_ = 0;
    int dots_ = 1;
    bool building_ = false;
};

}  // namespace tw::timetable
