#include "PrintElement/WordDoc.h"

#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

#include "TXml.h"
#include "text/Gbk.h"

namespace TVostrin {

namespace {

// How long the office program may take to print one document.
constexpr int kPrintTimeoutMs = 120000;

}  // namespace

bool TWordDoc::Print(TCanvas*) {
    try {
        if (!Node) return false;
        const QString path = tw::text::FromGbk(Node->GetContent());
        const QFileInfo info(path);
        if (!path.endsWith(QLatin1String(".doc")) || !info.isFile()) return false;
        const QString office = QStandardPaths::findExecutable(QStringLiteral("soffice"));
        if (office.isEmpty()) return false;
        // The absolute path, so that no file name can be read as an option.
        const QStringList args{QStringLiteral("--headless"), QStringLiteral("--norestore"),
                               QStringLiteral("--nologo"), QStringLiteral("-p"),
                               info.absoluteFilePath()};
        QProcess run;
        run.setStandardOutputFile(QProcess::nullDevice());
        run.setStandardErrorFile(QProcess::nullDevice());
        run.start(office, args);
        if (!run.waitForStarted()) return false;
        if (!run.waitForFinished(kPrintTimeoutMs)) {
            run.kill();
            run.waitForFinished();
        }
    } catch (...) {
        // A failing element leaves the page to the others.
    }
    return false;
}

}  // namespace TVostrin
