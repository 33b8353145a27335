// The shared module's slot tests, which the forms call instead of writing the statements
// themselves: whether a class or a teacher is free in a slot of the state's database, over all
// placed lessons or over the fixed ones only, and the two combined tests. The shared module's
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
