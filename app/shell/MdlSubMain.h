// Start-up of the program: settings, the database, the lesson trim and the main window.
#pragma once

#include <QString>
#include <memory>
#include <optional>

#include "store/Outcome.h"

namespace tw::shell {

class AppState;
class frmMain;

// Runs the start-up sequence. Returns the shown main window, or nullptr when neither the
// configured database nor the program folder's kb.mdb opened: the message "打开数据库失败！",
// with each file tried and why it failed, has then been shown and the program should end
// without a window.
std::unique_ptr<frmMain> Main(AppState& state);

// The widget toolkit needs no registered control files; this makes Chinese (China) the
// program's default locale and installs the toolkit's Chinese texts for its standard buttons
// and dialogs (once per run, when the translation is installed). Returns 0.
int RegisterControls();

// Sets the state's title (school name + "排课软件系统") and returns it with " -- " and the path of
// the database that is open (the configured one while none is).
QString GetMainCaption(AppState& state);

// Lessons per day as the settings file holds them: 6 or 7, or nothing when the key is missing
// or holds any other value (the file may be lost, empty or damaged).
std::optional<int> StoredLessonsOfDay();

// Deletes the lessons numbered above the state's lessons per day from the open database; NoDatabase
// without one, DatabaseError with the database's text when the delete fails. Start-up runs it only
// when the settings file holds 6 or 7 and the user, asked how many lessons lie beyond the day,
// answers Yes (the default answer keeps them).
tw::store::Outcome TrimLessonsToDay(AppState& state);

}  // namespace tw::shell
