// The program's shared module: the program folder, the words for a failed open, the settings
// readers, and the slot tests. The open database, the lessons per day and the title are the
// AppState's (AppState.h), made by the program's entry point and handed down.
#pragma once

#include <QString>
#include <memory>

#include "db/Database.h"
#include "shell/AppState.h"

namespace tw::shell {

// ---- Program folder ----
// The folder that holds the program file (tests may point it elsewhere).
QString ProgramFolder();
void SetProgramFolder(const QString& folder);
// Program folder + "/" + name.
QString ProgramFile(const QString& name);

// ---- Opening a database ----
// The reason of a failed open as a short Chinese text for the user.
QString OpenFailureText(const tw::db::OpenFailure& failure);
// One line of a failed-open message: the file's path, "：" and the reason in words.
QString OpenDbFailureLine(const QString& path, const tw::db::OpenFailure& failure);
// True when both paths name the same file, through links too (or, for missing files, the same
// absolute path).
bool SameFile(const QString& a, const QString& b);

// ---- Settings file kbxt.ini ----
QString SettingsFile();  // ProgramFile("kbxt.ini")
// DB/FILENAME; empty gives the program folder's kb.mdb, and a relative path is taken inside the
// program folder.
QString GetDbFileName();
// Writes DB/FILENAME; false, with the file untouched, when the write fails or when the path
// would not read back as it is (GBK lacks one of its characters, or the reader would cut it).
bool WriteDbFileName(const QString& path);
QString GetSchoolName();
QString GetLessonsOfDay();
void OpenWithShell(const QString& target);

// ---- Slot tests in the state's database: true when free; false on any failure ----
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
