// Start-up of the program: settings, the database, the lesson trim and the main window.
#pragma once

#include <QString>
#include <memory>

class frmMain;

// Runs the start-up sequence. Returns the shown main window, or nullptr when neither the
// configured database nor the program folder's kb.mdb opened: the message "打开数据库失败！"
// has then been shown and the program should end without a window.
std::unique_ptr<frmMain> Main();

// The widget toolkit needs no registered control files; this installs the toolkit's Chinese
// texts for its standard buttons and dialogs (once per run, when the translation is installed).
// Returns 0.
int RegisterControls();

// Sets AppTitle (school name + "排课软件系统") and returns it with " -- " and the database path.
QString GetMainCaption();

// Lessons per day from the settings: 6 or 7; any other stored value reads as 6, so the
// start-up trim never empties the timetable.
int LessonsOfDaySetting();

// Deletes the lessons numbered above LessonOfDay. 0 on success, -1 after a failure.
short TrimLessonsToDay();
