// The common design of the four slot-limit grid forms (class, course, teacher, classroom).
//
// One entry (class, course, teacher or classroom) is chosen in the combo box; its week grid shows
// the level of every slot (best position, normal, avoid if possible, never). A level set through
// the grid's popup menu is stored at once in Limittb, one row per slot, under the form's Kind and
// the entry's code. Outcomes go to panel 1 of the status bar, the entry's name to panel 2.
#pragma once

#include <QString>

#include "DataEntry.h"
#include "shell/AppState.h"
#include "shell/ReadFailures.h"
#include "store/Limits.h"

class QAction;
class QComboBox;
class QGroupBox;
class QLabel;
class QMenu;
class QPushButton;
namespace tw::ui {
class WeekGrid;
}

namespace tw::data {

class frmLimitInput : public tw::ui::DataForm {
    Q_OBJECT
  public:
    // The levels a slot can have (Limittb.Attr) with their cell texts.
    static QString LevelText(int attr);           // "" outside 0..3
    static int LevelOfText(const QString& text);  // -1 for any other text
    static QColor LevelColor(int attr);

    // The code of the entry shown ("" when none).
    const QString& CurrentCode() const { return currentCode_; }
    // Lessons a day the grid shows.
    int GridLessons() const;

    QGroupBox* Frame1;
    QGroupBox* Frame2;
    QComboBox* Combo;
    QLabel* Label;
    QPushButton* Prev;
    QPushButton* Next;
    tw::ui::WeekGrid* MSFlexGrid1;
    QPushButton* cmdNormalAll;
    QPushButton* cmdOK;
    QMenu* PopMenu;
    QAction* mnuZuiJiaWeiZhi;
    QAction* mnuNormal;
    QAction* mnuJinLiangBuPai;
    QAction* mnuBuPai;

  public slots:
    void MSFlexGrid1_MouseUp(Qt::MouseButton button, int row, int column, const QPoint& globalPos);
    void mnuZuiJiaWeiZhi_Click();
    void mnuNormal_Click();
    void mnuJinLiangBuPai_Click();
    void mnuBuPai_Click();
    void cmdNormalAll_Click();
    void cmdOK_Click();

  protected:
    frmLimitInput(tw::shell::AppState& state, tw::store::LimitKind kind, QWidget* parent);

    // Handlers of the combo box and the previous/next buttons; each form names them after its
    // own controls.
    void Combo_Click();
    void Prev_Click();
    void Next_Click();

  private:
    tw::shell::AppState& state_;
    // The reads of one choice that failed, told once in panel 1.
    tw::shell::ReadFailures reads_;
    // What tells the four forms apart (their names, captions and grid height).
    struct Setup;
    static const Setup& SetupOf(tw::store::LimitKind kind);

    void Form_Load();
    void FillLimitCombo();
    void InitLimitGrid();
    void LoadLimits();
    // Stores the level of the current cell and shows the outcome (nothing is stored for a cell
    // that is no slot, a text that is no level, no entry or without a database).
    void SaveLimitCell();
    // Selects a name by its position and runs the selection, as a user's choice would.
    void SelectName(int index);
    // Paints the current cell with a level, then stores it.
    void SetCurrentCellLevel(int attr);
    void PaintCell(int row, int column, int attr);
    void ShowStatus(const QString& text);

    const Setup& setup_;
    QString currentCode_;
};

// One of the four forms: the common design for one kind of entry, with the handlers of the combo
// box and the previous/next buttons under the names of that form's own controls.
template <tw::store::LimitKind K>
class LimitForm : public frmLimitInput {
  public:
    explicit LimitForm(tw::shell::AppState& state, QWidget* parent = nullptr)
        : frmLimitInput(state, K, parent) {}

    void CmbClass_Click() requires(K == tw::store::LimitKind::Class) { Combo_Click(); }
    void CmdPrevClass_Click() requires(K == tw::store::LimitKind::Class) { Prev_Click(); }
    void CmdNextClass_Click() requires(K == tw::store::LimitKind::Class) { Next_Click(); }
    void CmbCourse_Click() requires(K == tw::store::LimitKind::Course) { Combo_Click(); }
    void CmbTeacher_Click() requires(K == tw::store::LimitKind::Teacher) { Combo_Click(); }
    void CmbClassRoom_Click() requires(K == tw::store::LimitKind::ClassRoom) { Combo_Click(); }
    void CmdPrev_Click() requires(K != tw::store::LimitKind::Class) { Prev_Click(); }
    void CmdNext_Click() requires(K != tw::store::LimitKind::Class) { Next_Click(); }
};

}  // namespace tw::data
