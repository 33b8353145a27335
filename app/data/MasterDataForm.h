// One design for the forms that keep a master table of four texts (Code, Name, FullName,
// ShortName): courses, teachers and classrooms. Each form passes its own settings: captions,
// table, required boxes and their messages. The data layer (store/MasterData.h) reads and
// writes the table and the rows that go with a deleted code.
#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include "DataEntry.h"
#include "shell/AppState.h"

class QGroupBox;
class QLabel;
class QLineEdit;
class QTreeWidgetItem;

namespace tw::data {

// The four boxes, in the order of the table's columns.
enum MasterBox : int { kCodeBox = 0, kNameBox = 1, kFullNameBox = 2, kShortNameBox = 3 };

struct MasterFormSettings {
    QString caption;  // window caption
    tw::store::MasterTable table = tw::store::MasterTable::Courses;
    QStringList headings;  // four list headings
    QStringList labels;    // captions of the code, name, full name and short name boxes
    QList<int> boxOrder;   // boxes from top to bottom (also the tab order)
    struct Required {
        int box;
        QString message;
    };
    QList<Required> required;  // required boxes in check order
    QString checkTitle;
    QString duplicatePrefix;  // "该课程代码： "
    // Shown when the code box does not hold the selected row's code: on a modify (unless
    // modifyByTypedCode) the code-change refusal, on a delete the request to choose the row.
    QString codeChangeMessage;
    QString chooseRowMessage;
    bool modifyByTypedCode = false;  // modify updates the record of the typed code
};

// The settings whose texts all name the entry by noun: the caption <noun>名单, headings and
// labels <noun>代码, <noun>名称, <noun>全称, <noun>简称, boxes in that order, each required
// ("请输入<noun>简称。" first, the code last), the check title 输入信息检查, "该<noun>代码： ",
// <noun>代码不能修改！ and 请在列表中选择要删除的<noun>。.
MasterFormSettings SettingsNaming(const QString& noun, tw::store::MasterTable table);

class MasterDataForm : public RecordForm {
    Q_OBJECT
  public:
    MasterDataForm(tw::shell::AppState& state, const MasterFormSettings& settings,
                   QWidget* parent = nullptr);

  public slots:
    void txtCode_KeyDown(int keyCode);
    void txtName_KeyDown(int keyCode);
    void txtFullName_KeyDown(int keyCode);
    void txtShortName_KeyDown(int keyCode);

  protected:
    // Each serves the three forms, which name it with their entry's noun (Course, Teacher,
    // ClassRoom): ShowSelectedRecord is ShowSelectedCourse and its siblings,
    // CheckInput CheckCourseInput, ClearInputs ClearCourseInputs, AppendRecord AppendCourse,
    // DeleteRecord DeleteCourse and ModifyRecord ModifyCourse.
    void Form_Load();
    void ShowSelectedRecord();
    // True when a required box is empty (it is marked and its message was shown), false when
    // all are filled.
    bool CheckInput();
    void ClearInputs();
    bool AppendRecord() override;
    void DeleteRecord() override;
    void ModifyRecord() override;

  private:
    tw::shell::AppState& state_;
    void BuildControls();
    QString Trimmed(int box) const;
    // The four boxes' trimmed texts.
    tw::store::MasterRecord TrimmedRecord() const;
    // The selected row when the code box holds its code exactly; nullptr otherwise.
    QTreeWidgetItem* RowInCodeBox() const;
    // Paints the code box red, focuses it and shows codeChangeMessage.
    void RefuseCodeChange();

    MasterFormSettings settings_;
    DataListView* lstAllRecord_ = nullptr;
    QLineEdit* boxes_[4] = {};
    QLabel* labels_[4] = {};
    QGroupBox* fraData_ = nullptr;
};

}  // namespace tw::data
