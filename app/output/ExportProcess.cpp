// Starting the workbook script and waiting for it without freezing the window.
#include "output/ExportProcess.h"

#include <QEventLoop>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

#include "shell/ProgramFolder.h"

namespace tw::output {

QString NodeProgram() {
    const QFileInfo bundled(shell::ProgramFile(QStringLiteral("node/node")));
    if (bundled.isFile() && bundled.isExecutable()) {
        return bundled.absoluteFilePath();
    }
    return QStandardPaths::findExecutable(QStringLiteral("node"));
}

void WaitForProcess(QProcess& process) {
    if (process.state() == QProcess::NotRunning) {
        return;
    }
    QEventLoop loop;
    QObject::connect(&process, &QProcess::stateChanged, &loop,
                     [&loop](QProcess::ProcessState state) {
                         if (state == QProcess::NotRunning) {
                             loop.quit();
                         }
                     });
    loop.exec();
}

bool RunAndWait(const QString& program, const QStringList& args, const QString& workingDir,
                QString* error, bool* succeeded, QString* report) {
    QProcess process;
    process.setProgram(program);
    process.setArguments(args);
    process.setWorkingDirectory(workingDir);
    // The script's output reaches the program's own; its error output tells why it failed.
    process.setProcessChannelMode(QProcess::ForwardedOutputChannel);
    process.setStandardInputFile(QProcess::nullDevice());

    process.start();
    WaitForProcess(process);
    if (process.error() == QProcess::FailedToStart) {
        if (error) {
            *error = process.errorString();
        }
        return false;
    }
    if (succeeded) {
        *succeeded = process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
    }
    if (report) {
        *report = ErrorReport(process.readAllStandardError());
    }
    return true;
}

QString ErrorReport(const QByteArray& errorOutput) {
    const QStringList lines =
        QString::fromLocal8Bit(errorOutput).trimmed().split(QLatin1Char('\n'));
    for (auto line = lines.crbegin(); line != lines.crend(); ++line) {
        if (line->startsWith(QStringLiteral("export.js: "))) {
            return line->trimmed();
        }
    }
    return lines.mid(0, 10).join(QLatin1Char('\n')).trimmed();
}

}  // namespace tw::output
