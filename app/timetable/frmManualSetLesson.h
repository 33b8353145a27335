// Hand editing of a class timetable: the chosen class's week beside the week of a teacher, and
// the list of lessons the teaching plan still owes. An owed lesson is placed on a cyan cell
// (free for the class and the teacher), a lesson is removed with a right click, and a selected
// lesson (red) swaps with, or moves to, a yellow cell where neither teacher would meet another
// class. Every change is stored at once.
#pragma once

#include <QString>
#include <array>

#include "timetable/ClassWeekDialog.h"

class QComboBox;
class QLabel;
class QTreeWidget;
class QTreeWidgetItem;
namespace tw::ui {
class WeekGrid;
}

namespace tw::timetable {

class frmManualSetLesson : public ClassWeekDialog {
    Q_OBJECT
  public:
    explicit frmManualSetLesson(tw::shell::AppState& state, QWidget* parent = nullptr);

    // What the form keeps beside a grid cell. The class grid's table uses the course and
    // teacher fields, the teacher grid's table the class and course fields. The course name is
    // the text its cell shows (namesakes told apart), the other names are as stored.
    struct CellRecord {
        QString classCode, className, classShortName;
        QString courseCode, courseName;
        QString teacherCode, teacherName;
    };

    // Form state, for inspection.
    const QString& CurClassCode() const { return curClassCode_; }
    const QString& PickedCourseCode() const { return pickedCourse_; }
    const QString& PickedTeacherCode() const { return pickedTeacher_; }
    int PickedRemainCount() const { return pickedRemain_; }
    int SelectedDay() const { return selDay_; }
    int SelectedLesson() const { return selLesson_; }
    // Records of day 0 to 5 and lesson 0 to 7 (anything else gives an empty record).
    CellRecord ClassCell(int day, int lesson) const;
    CellRecord TeacherCell(int day, int lesson) const;

    static const QString kHintDefault;
    static const QString kHintPicked;
    static const QString kHintSelected;

    QLabel* Label1;
    QTreeWidget* lstCourse;
    QComboBox* CmbTeacher;
    QLabel* Label2;
    tw::ui::WeekGrid* MSFlexGrid1;
    tw::ui::WeekGrid* grdTeacher;

  public slots:
    void CmbClass_Click() override;
    void CmbTeacher_Click();
    void lstCourse_ItemClick(QTreeWidgetItem* item);
    void MSFlexGrid1_MouseUp(Qt::MouseButton button, int row, int column, const QPoint& globalPos);
    void grdTeacher_MouseUp(Qt::MouseButton button, int row, int column, const QPoint& globalPos);

  private:
    void Form_Load();
    void InitLessonGrid();
    int FillTeacherCombo();
    int LoadUnplacedLessons();
    void ShowOwedTeachersApart();
    int LoadClassLessons();
    int LoadTeacherLessons(const QString& teacherCode);
    void ResetGridColours();
    int PlaceLesson();
    int RemoveLesson();
    int MarkSwapTargets(const QString& classCode, int day, int lesson);
    int SwapLessons(const QString& classCode, int selectedDay, int selectedLesson, int day,
                    int lesson);

    // After a refused or failed edit: the class week and the owed lessons as stored, and the
    // failure in panel 3.
    void ShowStoredAfterFailure(const QString& text);
    // Shows the teacher of the class lesson at (day, lesson); after an edit that was stored the
    // teacher week is read again even when that teacher is shown already.
    void TeacherFollows(int day, int lesson, bool edited);
    void ClearTeacherGrid();
    // The stored name of the teacher of that code; "" when none has it or the read fails.
    QString TeacherName(const QString& teacherCode);
    int Lessons() const;
    CellRecord* ClassRecord(int day, int lesson);

    using CellTable = std::array<std::array<CellRecord, 8>, 6>;
    CellTable classCells_;
    CellTable teacherCells_;
    QString curClassCode_;
    QString pickedCourse_;
    QString pickedTeacher_;
    int pickedRemain_ = 0;
    int selDay_ = 0;
    int selLesson_ = 0;
    shell::ShownNames teacherNames_;  // as the teacher list shows them
};

}  // namespace tw::timetable
