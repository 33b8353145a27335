// The open timetable database for the forms and actions of hand editing.
#pragma once

#include "db/Database.h"
#include "shell/mdlPublic.h"

namespace tw::build {

// The open database; throws DbError when none is open, so a caller's failure path reports it.
inline tw::db::Database& Kb() {
    if (!KbDatabase) throw tw::db::DbError("no database open");
    return *KbDatabase;
}

}  // namespace tw::build
