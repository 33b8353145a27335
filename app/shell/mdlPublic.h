// The program's shared module: program-wide variables, the one database connection, the
// settings readers, and the slot tests every form uses.
#pragma once

#include <QString>
#include <memory>

#include "db/Database.h"
#include "shell/AppState.h"

// ---- Program-wide variables ----
// The program's state; the names below are its parts.
tw::shell::AppState& ProgramState();
extern QString& AppTitle;  // school name + "排课软件系统"
extern int& LessonOfDay;   // lessons per day, 6 or 7
// The open database; throws DbError ("没有打开的数据库") when none is open, so a caller's failure
// path reports it.
tw::db::Database& KbDb();

// The folder that holds the program file (tests may point it elsewhere).
QString ProgramFolder();
void SetProgramFolder(const QString& folder);
// Program folder + "/" + name.
QString ProgramFile(const QString& name);

// ---- Connection ----
using tw::shell::kDbPassword;
// Exclusive; false on any failure, the open database unchanged and, when `failure` is given,
// why. A refused file is never changed.
bool OpenDb(const QString& path, tw::db::OpenFailure* failure = nullptr);
void CloseDb();        // does nothing when none is open
QString OpenDbPath();  // path of the database that is open now ("" when none)
// The reason of a failed open as a short Chinese text for the user.
QString OpenFailureText(const tw::db::OpenFailure& failure);
// One line of a failed-open message: the file's path, "：" and the reason in words.
QString OpenDbFailureLine(const QString& path, const tw::db::OpenFailure& failure);
// True when both paths name the same file, through links too (or, for missing files, the same
// absolute path).
bool SameFile(const QString& a, const QString& b);

// ---- Settings file kbxt.ini ----
QString SettingsFile();  // ProgramFile("kbxt.ini")
QString GetDbFileName();
// Writes DB/FILENAME; false, with the file untouched, when the write fails or when the path
// would not read back as it is (GBK lacks one of its characters, or the reader would cut it).
bool WriteDbFileName(const QString& path);
QString GetSchoolName();
QString GetLessonsOfDay();
void OpenWithShell(const QString& target);

// ---- Slot tests in the state's database: true when free; false on any failure ----
bool IsClassSlotFree(tw::shell::AppState& state, const QString& classCode, short day, short lesson);
bool IsClassSlotFreeOfPreset(tw::shell::AppState& state, const QString& classCode, short day,
                             short lesson);
bool IsTeacherSlotFree(tw::shell::AppState& state, const QString& teacherCode, short day,
                       short lesson);
bool IsTeacherSlotFreeOfPreset(tw::shell::AppState& state, const QString& teacherCode, short day,
                               short lesson);
bool IsSlotFree(tw::shell::AppState& state, const QString& classCode, const QString& courseCode,
                const QString& teacherCode, short day, short lesson);
bool IsSlotFreeOfPreset(tw::shell::AppState& state, const QString& classCode,
                        const QString& courseCode, const QString& teacherCode, short day,
                        short lesson);
