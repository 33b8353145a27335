// Fixture of the pre-setting and hand-editing tests: a fresh timetable database with a small
// school in it (classes, courses, teachers, plan rows and lessons written through helpers),
// scripted mouse releases over a week grid and a way to make a statement fail.
#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QFontMetrics>
#include <QLabel>
#include <QMouseEvent>
#include <QString>
#include <QStringList>
#include <QStyle>
#include <QStyleOptionComboBox>
#include <initializer_list>
#include <memory>

#include "AppTestSupport.h"
#include "WeekGridTestSupport.h"
#include "db/Database.h"
#include "timetable/GridMarks.h"
#include "ui/WeekGrid.h"

class HandEditTest : public ::testing::Test {
  public:
    void SetUp() override {
        env_ = std::make_unique<twtest::AppTestEnv>();
        twtest::State().lessonOfDay = 6;
    }
    void TearDown() override { env_.reset(); }

    static QString Q(const QString& s) { return tw::db::SqlQ(s); }
    void Exec(const QString& sql) { env_->Exec(sql); }
    long long Count(const QString& sql) { return env_->Count(sql); }
    QString Rows(const QString& sql) { return env_->Rows(sql); }

    void AddMaster(const QString& table, const QString& code, const QString& name,
                   const QString& shortName = QString()) {
        Exec("insert into " + table + " (Code,Name,FullName,ShortName) values ('" + Q(code) +
             "','" + Q(name) + "','" + Q(name) + "','" + Q(shortName.isEmpty() ? name : shortName) +
             "')");
    }
    void AddClass(const QString& code, const QString& name, const QString& shortName = {}) {
        AddMaster("Classtb", code, name, shortName);
    }
    void AddCourse(const QString& code, const QString& name) { AddMaster("Coursetb", code, name); }
    void AddTeacher(const QString& code, const QString& name) {
        AddMaster("Teachertb", code, name);
    }
    void AddPlan(const QString& cls, const QString& course, const QString& teacher, int count,
                 int buildCount = 0) {
        Exec(
            "insert into ClassPlantb (ClassCode,CourseCode,TeacherCode,Count,BuildCount) values "
            "('" +
            Q(cls) + "','" + Q(course) + "','" + Q(teacher) + "'," + QString::number(count) + "," +
            QString::number(buildCount) + ")");
    }
    void AddLesson(const QString& cls, int day, int lesson, const QString& course,
                   const QString& teacher, int flag) {
        Exec("insert into LessonListtb values('" + Q(cls) + "'," + QString::number(day) + "," +
             QString::number(lesson) + ",'" + Q(course) + "','" + Q(teacher) + "'," +
             QString::number(flag) + ")");
    }
    // Takes each table away in turn while a form of kind Form opens on the state: its panel 3
    // must say that a read failed and why.
    template <class Form>
    void ExpectEachMissingTableSaidInPanelThree(std::initializer_list<const char*> tables) {
        for (const char* table : tables) {
            Exec(QString("alter table %1 rename to Gone").arg(table));
            {
                Form f(twtest::State());
                EXPECT_EQ(f.Panel(3)->text(), "读取失败：数据库出错") << table;
            }
            Exec(QString("alter table Gone rename to %1").arg(table));
        }
    }
    long long BuildCount(const QString& cls, const QString& course) {
        return Count("select BuildCount from ClassPlantb where ClassCode='" + Q(cls) +
                     "' and CourseCode='" + Q(course) + "'");
    }
    // "course|teacher|flag" of the class's lessons in a slot, rows joined by ';'.
    QString Slot(const QString& cls, int day, int lesson) {
        return Rows("select CourseCode,TeacherCode,SetFlag from LessonListtb where ClassCode='" +
                    Q(cls) + "' and Day=" + QString::number(day) +
                    " and LessonNo=" + QString::number(lesson));
    }
    // Every lesson as "class.day.lesson.course.teacher.flag" in a fixed order.
    QString AllLessons() {
        return Rows(
            "select ClassCode,Day,LessonNo,CourseCode,TeacherCode,SetFlag from LessonListtb "
            "order by ClassCode,Day,LessonNo,CourseCode");
    }
    QString AllPlans() {
        return Rows(
            "select ClassCode,CourseCode,TeacherCode,Count,BuildCount from ClassPlantb order by "
            "ClassCode,CourseCode,TeacherCode");
    }

    // Makes every later change of a plan row of the course fail, as a failing statement would.
    void FailPlanUpdatesOf(const QString& course) {
        Exec("create trigger FailPlan before update on ClassPlantb when new.CourseCode='" +
             Q(course) + "' begin select raise(abort, 'refused by test'); end");
    }
    // Makes every later insert into LessonListtb fail.
    void FailLessonInserts() {
        Exec(
            "create trigger FailInsert before insert on LessonListtb begin select raise(abort, "
            "'refused by test'); end");
    }

    // Presses and releases a mouse button over a grid cell.
    static void Release(tw::ui::WeekGrid& grid, int row, int column, Qt::MouseButton button) {
        twtest::Release(grid, row, column, button);
    }
    // Releases over the cell of a day and lesson.
    static void ReleaseSlot(tw::ui::WeekGrid& grid, int day, int lesson, Qt::MouseButton button) {
        Release(grid, tw::ui::WeekGridRowOfLesson(lesson), day, button);
    }

    // The text and the painted mark of a slot of a form's week grid.
    template <class Form>
    static QString Cell(Form& f, int day, int lesson) {
        return f.MSFlexGrid1->TextMatrix(tw::ui::WeekGridRowOfLesson(lesson), day);
    }
    template <class Form>
    static unsigned int Mark(Form& f, int day, int lesson) {
        return tw::timetable::CellMark(*f.MSFlexGrid1, tw::ui::WeekGridRowOfLesson(lesson), day);
    }
    // Slots of a form's week grid painted with a colour, as "day.lesson".
    template <class Form>
    static QStringList Marked(Form& f, unsigned int colour) {
        QStringList out;
        for (int d = 1; d <= 5; ++d)
            for (int l = 1; l <= f.MSFlexGrid1->LessonsPerDay(); ++l)
                if (Mark(f, d, l) == colour) out << QString("%1.%2").arg(d).arg(l);
        return out;
    }

    std::unique_ptr<twtest::AppTestEnv> env_;
};
