// The program's state: the one open database, the lessons per day and the program's title.
// Start-up makes one and hands it down to the main window, which hands each form what it needs.
// Its parts are the program-wide names of the shared modules: the open database is `KbDatabase`
// (the database layer needs no workspace, `KbWorkspace`), Open and Close are `OpenDb` and
// `CloseDb`, `title` is `AppTitle` and `lessonOfDay` is `LessonOfDay`.
#pragma once

#include <QString>
#include <memory>

#include "db/Database.h"

namespace tw::shell {

// The password every timetable database is encrypted with.
inline constexpr const char* kDbPassword = "731946";

class AppState {
  public:
    AppState() = default;
    ~AppState();
    AppState(const AppState&) = delete;
    AppState& operator=(const AppState&) = delete;

    // OpenDb: opens path exclusively, with the password, when it holds the timetable tables, in
    // place of the one open before. False on any failure, the state unchanged and, when `failure`
    // is given, why. A refused file is never changed.
    bool Open(const QString& path, tw::db::OpenFailure* failure = nullptr);
    void Close();  // CloseDb: does nothing when none is open
    bool IsOpen() const { return db_ != nullptr; }
    // Path of the database that is open now ("" when none).
    QString Path() const;
    // The open database (KbDatabase); throws DbError ("没有打开的数据库") when none is open, so a
    // caller's failure path reports it.
    tw::db::Database& Db();
    // The open database, or null when none is open.
    tw::db::Database* OpenDatabase() { return db_.get(); }

    QString title;        // AppTitle: school name + "排课软件系统"
    int lessonOfDay = 6;  // LessonOfDay: lessons per day, 6 or 7

  private:
    std::unique_ptr<tw::db::Database> db_;
    QString path_;
};

}  // namespace tw::shell
