// Pre-setting fixed lessons: for one class at a time, the week grid shows the lessons fixed
// beforehand (SetFlag 0), the list offers the plan courses that may still get a fixed lesson,
// cyan cells mark where the chosen course may go. A left click on a cyan cell fixes the course
// there, a right click on a fixed lesson removes it. Every change is stored at once; the
// automatic build keeps these lessons.
#pragma once

#include <QDialog>
#include <QString>

class QComboBox;
class QGroupBox;
class QLabel;
class QListWidget;
class QPushButton;
class WeekGrid;

namespace tw::ui {
class StatusBar;
}

class frmSetLesson : public QDialog {
    Q_OBJECT
  public:
    explicit frmSetLesson(QWidget* parent = nullptr);

    const QString& CurClassCode() const { return curClassCode_; }
    const QString& CurCourseCode() const { return curCourseCode_; }
    const QString& CurTeacherCode() const { return curTeacherCode_; }
    // Panel i (1-based) of staMsg.
    QLabel* Panel(int i) const;

    QLabel* Label1;
    QGroupBox* Frame1;  // class frame
    QLabel* lblClass;
    QComboBox* CmbClass;
    QPushButton* CmdPrevClass;
    QPushButton* CmdNextClass;
    QGroupBox* Frame2;  // exit frame
    QPushButton* cmdOK;
    QGroupBox* Frame3;  // course frame
    QListWidget* lstCourse;
    WeekGrid* MSFlexGrid1;
    tw::ui::StatusBar* staMsg;

  public slots:
    void CmbClass_Click();
    void CmdPrevClass_Click();
    void CmdNextClass_Click();
    void lstCourse_Click();
    void MSFlexGrid1_MouseUp(Qt::MouseButton button, int row, int column, const QPoint& globalPos);
    void cmdOK_Click();

  protected:
    void keyPressEvent(QKeyEvent* event) override;

  private:
    void Form_Load();
    int FillClassCombo();
    void InitLessonGrid();
    int LoadPresetLessons();
    int LoadPresetCourses();
    void MarkPresetSlots();
    void ClearGridColours();
    int WritePresetLesson();
    int RemovePresetLesson();

    // Chooses a class or a course by position and runs its handler, as a user's choice would.
    void SelectClass(int index);
    void SelectCourse(int index);
    int GridLessons() const;
    bool IsCyan(int row, int column) const;

    QString curClassCode_;
    QString curCourseCode_;
    QString curTeacherCode_;
    bool selectingCourse_ = false;
};
