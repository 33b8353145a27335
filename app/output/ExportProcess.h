// Running the workbook script: finding the Node.js runtime and waiting for the script to end
// while the window keeps handling its events.
#pragma once

#include <QString>
#include <QStringList>

class QProcess;

namespace tw::output {

// The runtime that runs the script: "node/node" below the program folder when that file is
// there, else "node" found on the PATH. Empty text when neither exists.
QString NodeProgram();

// Returns when process has ended (at once when it is not running); window events are handled
// meanwhile, so the form repaints and stays usable.
void WaitForProcess(QProcess& process);

// Starts program with args (no shell, so blanks and Chinese in paths are safe) in workingDir
// and returns when it has ended; window events are handled meanwhile. Returns false with a
// description in *error when the process could not be started. *succeeded tells whether it
// ended by itself with exit code 0. What the process prints on its standard output reaches the
// program's own; its error output is read and, when report is given, put there as
// ErrorReport() says.
bool RunAndWait(const QString& program, const QStringList& args, const QString& workingDir,
                QString* error, bool* succeeded = nullptr, QString* report = nullptr);

// The reason a script gives on its error output: its last line that starts with "export.js: "
// (the script reports each failure so); without one, the first ten lines of whatever the runtime
// printed instead (a runtime that cannot load the script tells why there). Empty text when it
// printed nothing.
QString ErrorReport(const QByteArray& errorOutput);

}  // namespace tw::output
