// Slot tests: true when no lesson lies in the slot; false when one does, when no database is
// open, or on any failure. The statements are the placed lessons' own (store/Lessons.h).
#include "mdlPublic.h"
#include "store/Lessons.h"

namespace {

template <class Test>
bool FreeInOpenDatabase(Test&& test) {
    tw::db::Database* db = ProgramState().OpenDatabase();
    if (!db) return false;
    const tw::store::Read<bool> read = test(*db);
    return read.Done() && read.value;
}

}  // namespace

bool IsClassSlotFree(const QString& classCode, short day, short lesson) {
    return FreeInOpenDatabase(
        [&](tw::db::Database& db) { return tw::store::ClassSlotFree(db, classCode, day, lesson); });
}

bool IsClassSlotFreeOfPreset(const QString& classCode, short day, short lesson) {
    return FreeInOpenDatabase([&](tw::db::Database& db) {
        return tw::store::ClassSlotFreeOfPreset(db, classCode, day, lesson);
    });
}

bool IsTeacherSlotFree(const QString& teacherCode, short day, short lesson) {
    return FreeInOpenDatabase([&](tw::db::Database& db) {
        return tw::store::TeacherSlotFree(db, teacherCode, day, lesson);
    });
}

bool IsTeacherSlotFreeOfPreset(const QString& teacherCode, short day, short lesson) {
    return FreeInOpenDatabase([&](tw::db::Database& db) {
        return tw::store::TeacherSlotFreeOfPreset(db, teacherCode, day, lesson);
    });
}

bool IsSlotFree(const QString& classCode, const QString& /*courseCode*/, const QString& teacherCode,
                short day, short lesson) {
    return FreeInOpenDatabase([&](tw::db::Database& db) {
        return tw::store::SlotFree(db, classCode, teacherCode, day, lesson);
    });
}

bool IsSlotFreeOfPreset(const QString& classCode, const QString& /*courseCode*/,
                        const QString& teacherCode, short day, short lesson) {
    return FreeInOpenDatabase([&](tw::db::Database& db) {
        return tw::store::SlotFreeOfPreset(db, classCode, teacherCode, day, lesson);
    });
}
