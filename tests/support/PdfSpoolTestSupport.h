// Helpers of the tests that print on the CUPS queue "PDF", which keeps each job's document as
// job-<id>.pdf in a folder of its own: finding a job's document and reading it with poppler's
// tools. scripts/print-queue.sh starts a private scheduler with such a queue and names the
// folder in TW_PDF_SPOOL.
#pragma once

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QSet>
#include <QString>
#include <QStringList>
#include <QThread>

namespace pdfspool {

// What a tool writes to its standard output.
inline QString RunTool(const QString& program, const QStringList& args) {
    QProcess p;
    p.start(program, args);
    p.waitForFinished(60000);
    return QString::fromUtf8(p.readAllStandardOutput());
}

// The folder the queue keeps the documents in: TW_PDF_SPOOL, or else the one its keep: device
// names (a queue set up by hand); empty when there is neither.
inline const QString& SpoolFolder() {
    static const QString folder = [] {
        const QString env = qEnvironmentVariable("TW_PDF_SPOOL");
        if (!env.isEmpty()) return env;
        const QString out = RunTool("lpstat", {"-v", "PDF"});
        const int at = out.indexOf("keep:");
        return at < 0 ? QString() : out.mid(at + 5).section('\n', 0, 0).trimmed();
    }();
    return folder;
}

// Whether the queue and the folder it keeps the documents in are there.
inline bool HasPdfQueue() {
    return !SpoolFolder().isEmpty() && QDir(SpoolFolder()).exists() &&
           RunTool("lpstat", {"-p", "PDF"}).contains("PDF");
}

inline QSet<QString> SpooledJobs() {
    const auto files = QDir(SpoolFolder()).entryList({"job-*.pdf"}, QDir::Files);
    return QSet<QString>(files.begin(), files.end());
}

// A job title no other test (or test program running beside this one) uses.
inline QString UniqueTitle(const QString& stem) {
    static int n = 0;
    return QString("%1 %2-%3").arg(stem).arg(QCoreApplication::applicationPid()).arg(++n);
}

// The document title recorded in a PDF; empty while the file is incomplete.
inline QString PdfTitle(const QString& pdf) {
    for (const QString& line : RunTool("pdfinfo", {pdf}).split('\n'))
        if (line.startsWith("Title:")) return line.mid(6).trimmed();
    return QString();
}

// "595 x 842" for each page of a PDF.
inline QStringList PageSizes(const QString& pdf) {
    QStringList out;
    for (const QString& line : RunTool("pdfinfo", {"-f", "1", "-l", "99", pdf}).split('\n')) {
        if (!line.startsWith("Page") || !line.contains("size:")) continue;
        out << line.section("size:", 1).section(" pts", 0, 0).trimmed();
    }
    return out;
}

// Waits for a new job file whose document bears the title; empty when none comes in time.
inline QString WaitForJob(const QSet<QString>& before, const QString& title, int ms = 30000) {
    QElapsedTimer t;
    t.start();
    QSet<QString> seen = before;
    do {
        for (const QString& f : SpooledJobs()) {
            if (seen.contains(f)) continue;
            const QString path = SpoolFolder() + "/" + f;
            if (PdfTitle(path) == title) return path;
            if (RunTool("pdfinfo", {path}).contains("Pages:")) seen.insert(f);  // someone else's
        }
        QThread::msleep(100);
    } while (t.elapsed() < ms);
    return QString();
}

// Waits for a job file not in before whose text holds text; empty when none comes in time.
inline QString WaitForJobWithText(const QSet<QString>& before, const QString& text,
                                  int ms = 90000) {
    QElapsedTimer t;
    t.start();
    do {
        for (const QString& f : SpooledJobs()) {
            if (before.contains(f)) continue;
            const QString path = SpoolFolder() + "/" + f;
            if (RunTool("pdftotext", {path, "-"}).contains(text)) return path;
        }
        QThread::msleep(200);
    } while (t.elapsed() < ms);
    return QString();
}

}  // namespace pdfspool
