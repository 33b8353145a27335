// What one build run knows of the teaching plan, the week's lessons, the course limits and the
// shared-resource courses. Read from the database once a run has prepared it; from then on the
// run notes each of its writes here, and reads it anew when anyone else wrote, so every answer
// is the one the statement it stands for would give. Codes are keyed as the database compares
// them (tw::db::CodeKey).
#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>
#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <unordered_map>
#include <vector>

#include "store/Build.h"

namespace tw::timetable {

class RunMemo {
  public:
    // Reads the plan and the week through the run's statements; the course limits and the
    // shared-resource courses are read when first asked for, as the statements they stand for
    // were.
    RunMemo(tw::store::BuildStatements& reads, int lessonOfDay);

    // ---- the plan: known only when every code of it is spelled one way and no class has two
    // rows of one course, so that which row or spelling a statement returns is never in doubt.
    bool PlanKnown() const { return planKnown_; }
    // The teacher with the most classes still to build (ties to the smaller code) and that
    // teacher's course with the most classes, then the most lessons, then the smaller code.
    // nullopt when no unfinished row is left; the teacher is then emptied.
    std::optional<QString> PickTeacherAndCourse(QString& teacher) const;
    // The first unfinished row of the course in storage order, the teacher's rows first; its
    // class, and its teacher written to `teacher`.
    std::optional<QString> PickClass(const QString& course, QString& teacher);
    struct RowCounts {
        long long count = 0, buildCount = 0;
    };
    std::optional<RowCounts> Row(const QString& cls, const QString& course) const;
    // Sum of Count over all the teacher's rows.
    long long TeacherTotal(const QString& teacher) const;
    void SetBuildCount(const QString& cls, const QString& course, long long buildCount);
    void MarkBuilt(const QString& cls, const QString& course, const QString& teacher);

    // ---- the week, for days 1 to 5 and lessons 1 to N.
    bool ClassFree(const QString& cls, int day, int lesson) const;
    bool TeacherFree(const QString& teacher, int day, int lesson) const;
    // Whether any class has the course at the slot.
    bool CourseAt(const QString& course, int day, int lesson) const;
    long TeacherLessons(const QString& teacher, int day) const;
    long CourseLessons(const QString& cls, const QString& course, int day) const;
    // Lessons of the day with a course limit other than normal (index 1 to N).
    std::vector<bool> Limited(const QString& course, int day);
    // Lessons of the day with a course limit of the pass (0 best, 2 avoid) where the class has
    // no lesson, in lesson order.
    std::vector<int> PassLessons(const QString& cls, const QString& course, int day, int pass);
    bool IsShared(const QString& course);
    // Notes a lesson the run has just written.
    void Placed(const QString& cls, const QString& course, const QString& teacher, int day,
                int lesson);

  private:
    struct PlanRow {
        QString cls, course, teacher;  // as stored
        int clsId = -1, courseId = -1, teacherId = -1;
        long long count = 0, buildCount = 0;
        bool finished = true;
    };
    // Rows in storage order with the position of the first that may be unfinished; rows are only
    // ever finished during a run, so the position only moves forward.
    struct RowList {
        std::vector<int> rows;
        size_t first = 0;
    };

    // The key of a code; -1 for a code the memo has never met (nothing matches it).
    int Id(const QString& code) const;
    int Intern(const QString& code);
    size_t Slot(int id, int day, int lesson) const;
    // Two keys (neither negative) as one.
    static long long Pair(int a, int b) {
        return static_cast<long long>((static_cast<std::uint64_t>(a) << 32) |
                                      static_cast<std::uint32_t>(b));
    }
    void LoadPlan();
    void LoadWeek();
    void LoadLimits();
    int FirstOpen(RowList& list);
    void Finish(PlanRow& row);

    tw::store::BuildStatements* reads_;
    int lessonOfDay_;
    QHash<QByteArray, int> ids_;        // tw::db::CodeKey of a code -> key
    std::vector<QByteArray> codeKeys_;  // by key: ordered as the database orders the codes
    // The last codes looked up: a row's class, course and teacher are asked for again and again.
    struct Recent {
        QString code;
        int id = -1;
    };
    mutable std::array<Recent, 4> recent_;
    mutable size_t nextRecent_ = 0;

    bool planKnown_ = false;
    std::vector<PlanRow> rows_;
    std::unordered_map<int, RowList> byCourse_;
    std::unordered_map<long long, RowList> byCourseTeacher_;
    std::unordered_map<long long, int> byClassCourse_;
    std::unordered_map<int, std::vector<int>> rowsOfTeacher_;
    std::unordered_map<int, long long> teacherTotal_;
    // Unfinished rows per teacher and class, and classes with any per teacher.
    std::unordered_map<long long, int> openRows_;
    std::unordered_map<int, int> openClasses_;
    std::vector<int> teachers_;  // keys of the plan's teachers

    // Lessons per slot: as class, as teacher and as course.
    std::vector<std::uint16_t> classAt_, teacherAt_, courseAt_;
    // Days on which a class has a lesson without a lesson number.
    std::vector<bool> classUnnumbered_;
    std::vector<long> teacherDay_;
    std::unordered_map<long long, std::vector<long>> courseDay_;  // class, course -> per day

    // Course limit kinds per slot: bits kBest, kAvoid, kLimited.
    bool limitsRead_ = false;
    std::vector<std::uint8_t> limits_;
    std::optional<std::vector<bool>> shared_;
};

}  // namespace tw::timetable
