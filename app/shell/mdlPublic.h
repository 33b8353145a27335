// The shared module's slot tests: whether a class or a teacher is free in a slot of the state's
// database, over all placed lessons or over the fixed ones only, and the two combined tests,
// answering false on any failure. The forms ask the data layer's reads of the same tests
// (SlotFree and its siblings in store/Lessons.h), which also hand back why a read failed, so
// that the form can say so. The shared module's
// lookups (GetClassName and its siblings) are the data layer's (store/Names.h); the program
// folder, the settings file and the open database have headers of their own (ProgramFolder.h,
// Settings.h, AppState.h).
#pragma once

#include <QString>

#include "shell/AppState.h"

namespace tw::shell {

// True when free; false on any failure.
bool IsClassSlotFree(AppState& state, const QString& classCode, short day, short lesson);
bool IsClassSlotFreeOfPreset(AppState& state, const QString& classCode, short day, short lesson);
bool IsTeacherSlotFree(AppState& state, const QString& teacherCode, short day, short lesson);
bool IsTeacherSlotFreeOfPreset(AppState& state, const QString& teacherCode, short day,
                               short lesson);
bool IsSlotFree(AppState& state, const QString& classCode, const QString& courseCode,
                const QString& teacherCode, short day, short lesson);
bool IsSlotFreeOfPreset(AppState& state, const QString& classCode, const QString& courseCode,
                        const QString& teacherCode, short day, short lesson);

}  // namespace tw::shell
