// The frame of the forms that edit one class's week: the class frame (class list with previous
// and next buttons), the exit frame, the status bar, and Escape that does not close the form.
// A form creates these parts where its own layout puts them and handles the class choice.
#pragma once

#include <QDialog>
#include <type_traits>
#include <utility>
#include <vector>

#include "shell/AppState.h"
#include "shell/NameLists.h"
#include "shell/ReadFailures.h"

class QComboBox;
class QGroupBox;
class QLabel;
class QPushButton;

namespace tw::ui {
class StatusBar;
}

namespace tw::timetable {

class ClassWeekDialog : public QDialog {
    Q_OBJECT
  public:
    // Panel i (1-based) of staMsg.
    QLabel* Panel(int i) const;

    QGroupBox* Frame1 = nullptr;  // class frame
    QLabel* lblClass = nullptr;
    QComboBox* CmbClass = nullptr;
    QPushButton* CmdPrevClass = nullptr;
    QPushButton* CmdNextClass = nullptr;
    QGroupBox* Frame2 = nullptr;  // exit frame
    QPushButton* cmdOK = nullptr;
    tw::ui::StatusBar* staMsg = nullptr;

  public slots:
    // Runs whenever the chosen class changes, by the user or through SelectClass.
    virtual void CmbClass_Click() = 0;
    void CmdPrevClass_Click();
    void CmdNextClass_Click();
    void cmdOK_Click();

  protected:
    ClassWeekDialog(tw::shell::AppState& state, QWidget* parent);

    tw::shell::AppState& state_;
    // The reads of one click that failed, told once in panel 3 ("读取失败" and the reason).
    mutable shell::ReadFailures reads_;

    void keyPressEvent(QKeyEvent* event) override;

    // Creates the class frame and its controls, wired to their handlers; the form places them.
    void MakeClassFrame();
    // Creates the exit frame with its button; the frame's top-left corner in twips.
    void MakeExitFrame(int leftTwips, int topTwips);
    // Creates the status bar along the bottom edge: its panels, its top and width in twips.
    void MakeStatusBar(const std::vector<int>& panelTwips, int topTwips, int widthTwips);

    // Shows a label's text bold (in the form's font) in the colour a style sheet gives.
    static void SetBoldColour(QLabel* label, const QString& colourStyle);

    // Lists the class names and chooses the first class (or none when there is none); -1 when
    // the names could not all be read (the names read so far stay).
    int FillClassCombo();
    // Chooses a class by position and runs CmbClass_Click, as a user's choice would.
    void SelectClass(int index);

    // Reads the texts that the form's lists and grids show for classes and courses (namesakes
    // told apart); the form reads them when it opens, before it fills its lists.
    void ReadShownNames();
    shell::ShownNames classNames_;
    shell::ShownNames courseNames_;
};

}  // namespace tw::timetable
