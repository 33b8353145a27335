// Slot tests: true when no lesson lies in the slot; false when one does, when no database is
// open, or on any failure. The statements are the placed lessons' own (store/Lessons.h).
#include "mdlPublic.h"

#include "store/Lessons.h"

namespace tw::shell {

namespace {

template <class Test>
bool FreeInOpenDatabase(AppState& state, Test&& test) {
    tw::db::Database* db = state.OpenDatabase();
    if (!db) return false;
    const tw::store::Read<bool> read = test(*db);
    return read.Done() && read.value;
}

}  // namespace

bool IsClassSlotFree(AppState& state, const QString& classCode, short day, short lesson) {
    return FreeInOpenDatabase(state, [&](tw::db::Database& db) {
        return tw::store::ClassSlotFree(db, classCode, day, lesson);
    });
}

bool IsClassSlotFreeOfPreset(AppState& state, const QString& classCode, short day, short lesson) {
    return FreeInOpenDatabase(state, [&](tw::db::Database& db) {
        return tw::store::ClassSlotFreeOfPreset(db, classCode, day, lesson);
    });
}

bool IsTeacherSlotFree(AppState& state, const QString& teacherCode, short day, short lesson) {
    return FreeInOpenDatabase(state, [&](tw::db::Database& db) {
        return tw::store::TeacherSlotFree(db, teacherCode, day, lesson);
    });
}

bool IsTeacherSlotFreeOfPreset(AppState& state, const QString& teacherCode, short day,
                               short lesson) {
    return FreeInOpenDatabase(state, [&](tw::db::Database& db) {
        return tw::store::TeacherSlotFreeOfPreset(db, teacherCode, day, lesson);
    });
}

bool IsSlotFree(AppState& state, const QString& classCode, const QString& /*courseCode*/,
                const QString& teacherCode, short day, short lesson) {
    return FreeInOpenDatabase(state, [&](tw::db::Database& db) {
        return tw::store::SlotFree(db, classCode, teacherCode, day, lesson);
    });
}

bool IsSlotFreeOfPreset(AppState& state, const QString& classCode, const QString& /*courseCode*/,
                        const QString& teacherCode, short day, short lesson) {
    return FreeInOpenDatabase(state, [&](tw::db::Database& db) {
        return tw::store::SlotFreeOfPreset(db, classCode, teacherCode, day, lesson);
    });
}

}  // namespace tw::shell
