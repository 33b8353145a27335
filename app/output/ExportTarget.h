// Where the export may save its workbook, and the name its save chooser proposes. The program's
// own files (the program, its libraries and pictures, the layout and workbook templates, the
// export script with its runtime and modules, the user manual), its data files and settings,
// its databases and the database open now are refused, each with a text that names what it is;
// any other file, in the program folder or below it too, is the user's.
#pragma once

#include <QString>

#include "store/OutputRows.h"

namespace tw::output {

// The text that refuses path as the workbook's target, or empty text when the user may save
// there. openDatabase is the path of the open database ("" when none).
QString RefusedExportTarget(const QString& path, const QString& openDatabase);

// The name the save chooser proposes first, before the user chose a file: in the user's
// documents folder when it exists, else in the home folder, the timetable's own name
// ("<name>课程表.xlsx" for one class or teacher, named as the list shows it).
QString ProposedExportFile(tw::store::OutputTimetable timetable, const QString& listedName);

}  // namespace tw::output
