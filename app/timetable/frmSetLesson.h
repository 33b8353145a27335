// Pre-setting fixed lessons: for one class at a time, the week grid shows the lessons fixed
// beforehand (SetFlag 0), the list offers the plan courses that may still get a fixed lesson,
// cyan cells mark where the chosen course may go. A left click on a cyan cell fixes the course
// there, a right click on a fixed lesson removes it. Every change is stored at once; the
// automatic build keeps these lessons.
#pragma once

#include <QString>

#include "timetable/ClassWeekDialog.h"

class QGroupBox;
class QLabel;
class QListWidget;
namespace tw::ui {
class WeekGrid;
}

namespace tw::timetable {

class frmSetLesson : public ClassWeekDialog {
    Q_OBJECT
  public:
    explicit frmSetLesson(tw::shell::AppState& state, QWidget* parent = nullptr);

    const QString& CurClassCode() const { return curClassCode_; }
    const QString& CurCourseCode() const { return curCourseCode_; }
    const QString& CurTeacherCode() const { return curTeacherCode_; }

    QLabel* Label1;
    QGroupBox* Frame3;  // course frame
    QListWidget* lstCourse;
    tw::ui::WeekGrid* MSFlexGrid1;

  public slots:
    void CmbClass_Click() override;
    void lstCourse_Click();
    void MSFlexGrid1_MouseUp(Qt::MouseButton button, int row, int column, const QPoint& globalPos);

  private:
    void Form_Load();
    void InitLessonGrid();
    int LoadPresetLessons();
    int LoadPresetCourses();
    // Adds the course's name to the course list, the entry carrying the course's code.
    void AddCourse(const QString& courseCode);
    // The course of the class's fixed lesson at day and lesson; "" when none (or on failure).
    QString PresetCourseAt(int day, int lesson) const;
    // Whether neither the class nor the teacher of the chosen course has a fixed lesson at day
    // and lesson; false on failure.
    bool SlotFree(int day, int lesson) const;
    void MarkPresetSlots();
    void ClearGridColours();
    int WritePresetLesson();
    int RemovePresetLesson();
    // Panel 3 tells whether an edit was stored (0) or not (-1); after a failure the grid shows
    // again what the database holds.
    int ShowOutcome(const tw::store::Outcome& outcome, const QString& doneText,
                    const QString& failedText);

    // Chooses a course by position and runs its handler, as a user's choice would.
    void SelectCourse(int index);
    int GridLessons() const;
    bool IsCyan(int row, int column) const;

    QString curClassCode_;
    QString curCourseCode_;
    QString curTeacherCode_;
    bool selectingCourse_ = false;
};

}  // namespace tw::timetable
