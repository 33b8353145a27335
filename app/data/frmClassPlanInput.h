// The teaching plan of one class at a time: which courses the class has, who teaches each and
// how many lessons a week; beside it the load of one teacher over all classes.
#pragma once

#include <QString>

#include "DataEntry.h"
#include "shell/AppState.h"
#include "shell/NameLists.h"
#include "shell/ReadFailures.h"

class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTreeWidgetItem;

namespace tw::data {

class frmClassPlanInput : public tw::ui::DataForm {
    Q_OBJECT
  public:
    explicit frmClassPlanInput(tw::shell::AppState& state, QWidget* parent = nullptr);

    const QString& CurrentClassCode() const { return currentClassCode_; }

  public slots:
    void CmbClass_Click();
    void CmdPrevClass_Click();
    void CmdNextClass_Click();
    void CmbTeacher2_Click();
    void txtCount_KeyDown(int keyCode);
    void cmdAppend_Click();
    void cmdDelete_Click();
    void cmdModify_Click();
    void cmdOK_Click();

  private:
    tw::shell::AppState& state_;
    // The reads of one click that failed, told once in panel 1 and a message box.
    shell::ReadFailures reads_;
    void BuildControls();
    void Form_Load();
    void FillClassCombo();
    void FillCourseCombo();
    void FillTeacherCombos();
    void LoadClassPlan();
    void ShowClassTotals();
    void LoadTeacherPlan(const QString& teacherCode);
    void ShowSelectedPlanRow();
    // True when an input is missing or wrong (its message was shown), false when all pass.
    bool CheckPlanInput();
    void ClearPlanInputs();
    // Each returns true when it did not complete (input refused, declined or a database error)
    // and false when the row was stored, deleted or changed.
    bool AppendPlanRow();
    bool DeletePlanRow();
    bool ModifyPlanRow();
    // The failure path of the add: panel 1 and a message box give the reason; returns true.
    bool AppendFailed(const tw::store::Outcome& outcome);
    // The modify's refusals of another course and of a second teacher: panel 1 and a message
    // box give the reason after the form's own text.
    void ModifyRefused(const tw::store::Outcome& outcome);
    // The failure path of the modify: panel 1 and a message box; returns true.
    bool ModifyFailed(const tw::store::Outcome& outcome);
    // The success of a modify in panel 1; when the new teacher could not take some of the row's
    // lessons, how many were removed, also in a message box.
    void ShowModified(const tw::store::Outcome& outcome);
    // CmbTeacher2 shows the teacher of CmbTeacher, which reloads the teacher summary.
    void FollowTeacher();
    // The list row of the plan row with these codes; nullptr when none.
    QTreeWidgetItem* FindPlanRow(const QString& course, const QString& teacher) const;

    QString currentClassCode_;
    QString selectedCourseCode_;
    QString selectedTeacherCode_;
    short selectedCount_ = 0;
    // The texts the lists show for classes, courses and teachers (namesakes told apart), read
    // with the combos when the form opens.
    shell::ShownNames classNames_;
    shell::ShownNames courseNames_;
    shell::ShownNames teacherNames_;

    QComboBox* CmbClass_ = nullptr;
    QPushButton* CmdPrevClass_ = nullptr;
    QPushButton* CmdNextClass_ = nullptr;
    QComboBox* CmbCourse_ = nullptr;
    QComboBox* CmbTeacher_ = nullptr;
    QLineEdit* txtCount_ = nullptr;
    QPushButton* cmdAppend_ = nullptr;
    QPushButton* cmdDelete_ = nullptr;
    QPushButton* cmdModify_ = nullptr;
    QPushButton* cmdOK_ = nullptr;
    tw::ui::DataListView* lstAllRecord_ = nullptr;
    QComboBox* CmbTeacher2_ = nullptr;
    QLabel* lblTeacherName_ = nullptr;
    tw::ui::DataListView* lstTeacherInfo_ = nullptr;
    QLabel* lblTeacherSum_ = nullptr;
};

}  // namespace tw::data
