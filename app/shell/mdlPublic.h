// The program's shared module: program-wide variables, the one database connection, the
// settings readers, and the code/name lookups and slot tests every form uses.
#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>
#include <initializer_list>
#include <memory>
#include <vector>

#include "db/Database.h"
#include "shell/AppState.h"
#include "ui/NameTexts.h"

class QComboBox;

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

// ---- Lookups: "" when nothing matches or on any failure ----
QString GetClassName(const QString& classCode);
QString GetClassShortName(const QString& classCode);
QString GetCourseName(const QString& courseCode);
QString GetTeacherName(const QString& teacherCode);
QString GetClassCode(const QString& className);
QString GetCourseCode(const QString& courseName);
QString GetTeacherCode(const QString& teacherName);
QString GetClassRoomCode(const QString& classRoomName);
QString GetPlanTeacher(const QString& classCode, const QString& courseCode);

// ---- Names as lists show them: namesakes told apart (tw::ui::DistinctNameTexts) ----
struct ListedName {
    QString code;
    QString name;  // as stored
    QString text;  // as a list of these records shows it
};
// The rows that sql reads (Code, Name and FullName), in the order read, each with the text that
// a list of all of them shows. A failing read ends the list where it is and gives false in
// *complete.
std::vector<ListedName> ReadListedNames(const QString& sql, bool* complete = nullptr);
// The records, in the order given, each with the text that a list of all of them shows.
std::vector<ListedName> ListedNames(const std::vector<tw::ui::NamedRecord>& records);
// The texts that lists show for the records of one master table, by code.
class ShownNames {
  public:
    ShownNames() = default;
    explicit ShownNames(const std::vector<ListedName>& names);
    // All records of Classtb, Coursetb, Teachertb or ClassRoomtb; empty after a failing read.
    static ShownNames OfTable(const QString& table);
    // The text of the record of that code (compared as the database compares codes); "" when
    // no record has it, as the name lookups give.
    QString Of(const QString& code) const;

  private:
    QHash<QByteArray, QString> texts_;
};
// Adds every row that sql reads (Code, Name and FullName) to each combo in the order read: the
// entry shows the row's text as a list of them shows it (namesakes told apart) and carries the
// row's Code (item data) and its stored Name (tw::ui::kComboNameRole). A failing read ends the
// filling where it is (the rows read so far stay) and gives false.
bool FillNameCombos(const QString& sql, std::initializer_list<QComboBox*> combos);
// Adds the names to each combo in the order given, as the one above adds the rows it reads.
void FillNameCombos(const std::vector<ListedName>& names, std::initializer_list<QComboBox*> combos);

// ---- Slot tests: true when free; false on any failure ----
bool IsClassSlotFree(const QString& classCode, short day, short lesson);
bool IsClassSlotFreeOfPreset(const QString& classCode, short day, short lesson);
bool IsTeacherSlotFree(const QString& teacherCode, short day, short lesson);
bool IsTeacherSlotFreeOfPreset(const QString& teacherCode, short day, short lesson);
bool IsSlotFree(const QString& classCode, const QString& courseCode, const QString& teacherCode,
                short day, short lesson);
bool IsSlotFreeOfPreset(const QString& classCode, const QString& courseCode,
                        const QString& teacherCode, short day, short lesson);
