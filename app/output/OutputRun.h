// The steps the print and export commands share: reading the chosen rows, writing them into the
// command's data file, and telling the user the outcome once the printing or the workbook
// script has run on that file.
#pragma once

#include <QString>
#include <functional>

#include "store/OutputRows.h"

class QComboBox;

namespace tw::shell {
class AppState;
}

namespace tw::db {
class Recordset;
}

namespace tw::output {

// Where a command stands.
struct CommandRun {
    bool stopped = false;  // the command stopped: failure says why
    QString failure;
    int status = 0;  // 0, kNoTimetableData, kDataFileNotWritten or the printing's or script's
    QString reason;  // why the data file was not written, or what the script said
};

// A data file writer: 0 when written, else kDataFileNotWritten with the reason in *error.
using DataWriter = std::function<int(const QString& fileName, tw::db::Recordset& rows,
                                     int lessonOfDay, QString* error)>;

// The list the one class or one teacher command takes its choice from (classes or teachers),
// else null.
const QComboBox* ChoiceList(tw::store::OutputTimetable timetable, const QComboBox* classes,
                            const QComboBox* teachers);
// The choice of a command from its list (ChoiceList), if it has one. Names may repeat: the code
// decides, and the page or workbook shows the stored name (the list may show a namesake's full
// name or code instead).
tw::store::OutputChoice ChoiceFrom(tw::store::OutputTimetable timetable, const QComboBox* list);

// Reads the choice's rows for file from the state's open database and writes them with writer into
// the data file called name (DataFile.h): status 0 with the file's path in *dataFile; else stopped
// with the read's reason, kNoTimetableData when no row lies inside the week grid, or
// kDataFileNotWritten with the reason.
CommandRun WriteChosenRows(tw::shell::AppState& state, tw::store::OutputFile file,
                           const tw::store::OutputChoice& choice, const QString& name,
                           const DataWriter& writer, QString* dataFile);

// The message of a choice without lessons inside the week grid.
QString NoTimetableText(tw::store::OutputTimetable timetable);

// Tells the outcome in a message box titled title: failText followed by the failure when the
// command stopped, doneText when done, NoTimetableText when there were no rows, else failText
// with "(ret = " status ")" and the reason, when there is one, on the next line.
void ShowCommandRun(const CommandRun& run, tw::store::OutputTimetable timetable,
                    const QString& title, const QString& failText, const QString& doneText);

}  // namespace tw::output
