// Writes a made-up but realistic school into an open timetable database: classes, courses,
// teachers, a teaching plan, course slot limits, shared-resource courses and fixed lessons.
// Used by the builder tests, the build benchmark and the build tool that makes demo.mdb.
#pragma once

#include <QString>
#include <vector>

#include "db/Database.h"

namespace tw::timetable::demo {

struct SchoolParams {
    int classes = 24;         // six grades, classes spread over them
    int courses = 15;         // at most 15, unless every course is taken by one or two classes
    int lessonsPerWeek = 34;  // per class
    int lessonsPerDay = 7;    // 6 or 7; lessons per week must fit into 5 days
    int teacherLoad = 14;     // lessons a week a teacher aims at; fixes the number of teachers
    bool limits = true;       // course slot limits (best, avoid, never)
    int sharedCourses = 1;    // the last courses become shared-resource courses
    int sharedClasses = 6;    // classes that take each shared-resource course
    int fixedLessons = 20;    // pre-set lessons (SetFlag 0)
    int staleLessons = 10;    // lessons of an earlier build (1) and placed by hand (2)
    unsigned seed = 1;
    // Above 0: the school of a course system. Each of `courses` courses (any number) is taken
    // by one class, every few by two; this many teachers hold several courses each, and the
    // whole school has `schoolLessons` lessons a week (lessonsPerWeek and teacherLoad unused).
    int courseTeachers = 0;
    int schoolLessons = 0;
    // Class codes and names as the class form makes them: grade and number ("11", "62") and the
    // names it proposes ("一（1）班", "一年级（1）班", "一（1）"); at most 20 classes a grade.
    bool formCodes = false;
};

struct SchoolSummary {
    int classes = 0;
    int courses = 0;
    int teachers = 0;
    int planRows = 0;
    int plannedLessons = 0;
    int fixedLessons = 0;
};

// Fills an empty database (all tables empty) in one transaction. Throws tw::db::DbError.
SchoolSummary WriteSchool(tw::db::Database& db, const SchoolParams& params);

// The common school of the build benchmark: classes that take 15 common courses, 34 lessons a
// week of 7 a day, one shared-resource course in 8 classes, 40 pre-set lessons and nothing left
// of an earlier build.
SchoolParams BenchmarkSchool(int classes);
// The course system of the build benchmark: 111 classes, 560 courses that one or two classes
// take each, 100 teachers with several courses each, 1,371 lessons a week of 7 a day.
SchoolParams CourseSystem();
// The demo school of the program folder: 12 classes coded and named as the class form makes
// them, 28 lessons a week of 6 a day (as a new settings file has it), 6 pre-set lessons.
SchoolParams DemoSchool();

}  // namespace tw::timetable::demo
