// The rules the timetable tables keep, checked in one place over the stored data. Every write of
// the data layer keeps them where the stored data kept them before; tests call the checker after
// every step of their random walks.
#pragma once

#include <QString>
#include <QStringList>

namespace tw::db {
class Database;
}

namespace tw::store {

struct TimetableRules {
    // When above 0, every lesson lies in days 1 to 5 and lessons 1 to lessonsPerDay.
    int lessonsPerDay = 0;
    // "class|course" of plans that may hold more than one row (two teachers of one course, from
    // an older file); every other class and course has at most one plan row.
    QStringList sharedCourses;
    // "class|day|lesson" of slots that may hold more than one lesson of the class (an older
    // file); every other slot holds at most one lesson of a class.
    QStringList doubledSlots{};
};

// The first rule the timetable tables break, as "rule N: " with a short text naming the rows;
// "" when all hold. The rules, by number:
//  1. no class twice in one slot (but in rules.doubledSlots);
//  2. no teacher twice in one slot;
//  3. every lesson inside the week (when rules.lessonsPerDay is given);
//  4. every lesson belongs to a plan row of the same class, course and teacher;
//  5. each plan row's BuildCount equals its own placed lessons;
//  6. no plan row twice;
//  7. one plan row per class and course (but rules.sharedCourses);
//  8. one slot limit per kind, code, day and lesson;
//  9. every class, course and teacher code of a plan row or a lesson, and the code of a course's
//     or a teacher's limit, names a stored class, course or teacher. A class's and a classroom's
//     limits are no part of it: the school-year upgrade leaves a class's limits with their code
//     (a class that left keeps none), and deleting a classroom leaves its limits until the data
//     maintenance removes them.
// Codes are grouped and matched as the database compares them. A failing read is reported as
// broken too. The levels of the slot limits bind no stored lesson: pre-setting and hand editing
// place lessons without reading them, a swap by hand keeps each slot's SetFlag, and a limit stored
// later moves no lesson; only the build keeps the lessons it places out of their course's never
// slots, as the limits stand when it places them.
QString BrokenTimetableRule(tw::db::Database& db, const TimetableRules& rules = {});

}  // namespace tw::store
