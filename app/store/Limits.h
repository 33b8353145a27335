// Slot limits (Limittb): for one class, course, teacher or classroom, how welcome each slot of
// the week is. A row holds Kind (whose limit), Code (the entry's code), Day (1 to 5), LessonNo
// (1 to the lessons a day) and Attr (the level). A slot has one row at most; a slot without a
// row has no stored level. The commands write a level the same way whichever slot it is: the
// slot's row is updated where one is stored, else a row is inserted.
#pragma once

#include <QList>
#include <QString>

#include "MasterData.h"
#include "Outcome.h"

namespace tw::db {
class Database;
}

namespace tw::store {

// Whose limits: the value stored in Limittb.Kind.
enum class LimitKind { Class = 0, Course = 1, Teacher = 2, ClassRoom = 3 };

// The levels a slot can have (Limittb.Attr).
enum LimitLevel : int { kBestSlot = 0, kNormalSlot = 1, kAvoidSlot = 2, kNeverSlot = 3 };

// The week that limits can be stored for: days 1 to kLimitDays, lessons 1 to kMostLimitLessons.
inline constexpr int kLimitDays = 5;
inline constexpr int kMostLimitLessons = 7;

// One stored row of an entry's limits, as stored: its slot may lie outside the week, and its
// level is -1 where the stored Attr is Null or none of the four.
struct StoredLimit {
    long long day = 0;
    long long lesson = 0;
    int level = -1;
};

struct StoredLimits {
    bool statementRan = false;  // false when the read failed before giving any row
    QList<StoredLimit> rows;    // in the order the database gives them
};

// The entries of kind (Code, Name and FullName of every row of its master table, in the order
// the database gives them; shortName stays empty). When the read fails, value holds the rows
// read before the failure.
Read<QList<MasterRecord>> ReadLimitEntries(tw::db::Database& db, LimitKind kind);

// Every row of kind stored for code. When the read fails, value holds the rows read before the
// failure; a failure after the statement ran can only come at a row, so a read that gave no row
// and is done means the code has no limits.
Read<StoredLimits> ReadLimits(tw::db::Database& db, LimitKind kind, const QString& code);

// Stores level for one slot of code. BadLimit, before anything is sent, for an empty code, a
// slot outside the week or a level that is none of the four.
Outcome StoreLimit(tw::db::Database& db, LimitKind kind, const QString& code, int day, int lesson,
                   int level);

// Stores every slot of lessons 1 to lessons as normal, lesson by lesson and within a lesson day
// 1 to 5, all or nothing. value is the number of slots the command reached in that order: all of
// them when done; after a failure the slots stored before it and the one whose store failed (0
// when the transaction could not begin), none of them kept. BadLimit, with nothing sent, for an
// empty code or lessons outside 1 to kMostLimitLessons.
Read<int> StoreAllNormal(tw::db::Database& db, LimitKind kind, const QString& code, int lessons);

}  // namespace tw::store
