// The class list: adds, changes and deletes the rows of Classtb. A class's code is never typed:
// it is the grade number followed by the class number, both chosen from fixed lists, and the
// form proposes the class's three names from the same two choices.
#pragma once

#include "DataEntry.h"
#include "shell/AppState.h"
#include "store/MasterData.h"

class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;

namespace tw::data {

class frmClassInput : public RecordForm {
    Q_OBJECT
  public:
    explicit frmClassInput(tw::shell::AppState& state, QWidget* parent = nullptr);

    // The grade word of a grade number ("学前", "一" ... "九"); empty text outside 0 to 9.
    static QString GradeName(short grade);

  public slots:
    void cmbGrade_Click();
    void cmbClass_Click();
    void txtName_KeyDown(int keyCode);
    void txtFullName_KeyDown(int keyCode);
    void txtShortName_KeyDown(int keyCode);

  private:
    tw::shell::AppState& state_;
    void BuildControls();
    void Form_Load();
    void MakeClassNames();
    void ShowSelectedClass();
    // True when an input is missing (it is marked and its message was shown), false when all
    // are given. The two lists are looked at only when listsNeeded.
    bool CheckClassInput(bool listsNeeded);
    void ClearClassInputs();
    // AppendClass, DeleteClass and ModifyClass: the class form's own bodies of the operations
    // the record forms' buttons call (DataEntry.h).
    bool AppendRecord() override;
    void DeleteRecord() override;
    void ModifyRecord() override;
    // A record of code and the three boxes' trimmed names.
    tw::store::MasterRecord TrimmedNames(const QString& code) const;
    // The code formed from the two lists; empty text while either has no choice.
    QString ClassCode() const;
    // The code delete and modify act on: the selected row's stored code (whatever its form)
    // while the lists show what its click chose, else the code formed from the lists.
    QString ActingCode() const;
    // Whether delete and modify act on the selected row's stored code, which the lists cannot
    // show (they then need no choice).
    bool ActsOnUnformedCode() const;

    // The stored code of the row last clicked or added; emptied when the user picks in a list.
    QString rowCode_;

    tw::ui::DataListView* lstAllRecord_ = nullptr;
    QLabel* lblCode_ = nullptr;
    QComboBox* cmbGrade_ = nullptr;
    QComboBox* cmbClass_ = nullptr;
    QLabel* Label1_ = nullptr;
    QLineEdit* txtName_ = nullptr;
    QLineEdit* txtFullName_ = nullptr;
    QLineEdit* txtShortName_ = nullptr;
};

}  // namespace tw::data
