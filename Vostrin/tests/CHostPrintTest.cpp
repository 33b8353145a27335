// The library in host programs of its own: loaded at run time by a plain C program, as a host
// without Qt loads it (status codes across the C boundary), and linked into a Qt program whose
// application object goes before the library; real jobs on the CUPS queue "PDF" are read back
// from the PDF files that the queue keeps.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

#include "PdfSpoolTestSupport.h"
#include "ScriptedPrinterTestSupport.h"

using vostrintest::DataFile;

namespace {

// Runs the C host with the library at libPath; its standard output. display, when given, is
// a display the host names (whether or not one can be reached there).
QString RunHost(const QString& libPath, const QStringList& args,
                const QString& display = QString()) {
    QProcess host;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    // The library has to find its own way without a display or a chosen platform.
    env.remove("QT_QPA_PLATFORM");
    env.remove("DISPLAY");
    env.remove("WAYLAND_DISPLAY");
    if (!display.isEmpty()) {
        env.insert("DISPLAY", display);
        env.insert("WAYLAND_DISPLAY", "tw-none" + display);
    }
    host.setProcessEnvironment(env);
    host.start(TW_C_HOST, QStringList{libPath} + args);
    EXPECT_TRUE(host.waitForFinished(120000));
    EXPECT_EQ(host.exitStatus(), QProcess::NormalExit) << host.readAllStandardError().toStdString();
    EXPECT_EQ(host.exitCode(), 0) << host.readAllStandardError().toStdString();
    return QString::fromUtf8(host.readAllStandardOutput());
}

QString Library() {
    return QString(TW_DIST_DIR) + "/libVostrin.so";
}

using pdfspool::RunTool;
using pdfspool::WaitForJobWithText;

int PdfPages(const QString& path) {
    const auto m = QRegularExpression("Pages:\\s+(\\d+)").match(RunTool("pdfinfo", {path}));
    return m.hasMatch() ? m.captured(1).toInt() : -1;
}

// A copy of the roll data whose names carry a token unique to this run.
QString RollWithToken(const QTemporaryDir& dir, const QString& file, const QString& token) {
    QFile in(QString::fromStdString(DataFile("roll.xml")));
    EXPECT_TRUE(in.open(QIODevice::ReadOnly));
    QByteArray xml = in.readAll();
    for (const char* name : {"Alder", "Birch", "Cedar"})
        xml.replace(name, (QString(name) + token).toUtf8());
    const QString path = dir.filePath(file);
    QFile out(path);
    EXPECT_TRUE(out.open(QIODevice::WriteOnly));
    out.write(xml);
    return path;
}

QString Token() {
    return QString("Q%1X%2")
        .arg(QCoreApplication::applicationPid())
        .arg(QDateTime::currentMSecsSinceEpoch());
}

}  // namespace

TEST(CHost, MissingDataFileLeavesTheCountsUntouched) {
    const QString out =
        RunHost(Library(), {"xml", QString::fromStdString(DataFile("missing.xml")), "",
                            QString::fromStdString(DataFile("roll_layout.xml")), "-"});
    EXPECT_EQ(out.trimmed(), "status=-1001 envelopes=-77 sheets=-77 pages=-77");
}

TEST(CHost, ADisplayThatCannotBeReachedIsNeverUsed) {
    const QString out = RunHost(Library(),
                                {"xml", QString::fromStdString(DataFile("missing.xml")), "",
                                 QString::fromStdString(DataFile("roll_layout.xml")), "-"},
                                ":77");
    EXPECT_EQ(out.trimmed(), "status=-1001 envelopes=-77 sheets=-77 pages=-77");
}

TEST(CHost, MissingExpressionLibraryGivesMinus1100) {
    QTemporaryDir dir;
    const QString copy = dir.filePath("libVostrin.so");
    ASSERT_TRUE(QFile::copy(Library(), copy));
    const QString out = RunHost(copy, {"xml", QString::fromStdString(DataFile("roll.xml")), "",
                                       QString::fromStdString(DataFile("roll_layout.xml")), "-"});
    EXPECT_TRUE(out.startsWith("status=-1100 ")) << out.toStdString();
}

TEST(CHost, PrintsADataFileToTheQueue) {
    if (!pdfspool::HasPdfQueue()) GTEST_SKIP() << "no CUPS queue PDF";
    QTemporaryDir dir;
    const QString token = Token();
    const QString data = RollWithToken(dir, "roll.xml", token);
    const QString out = RunHost(
        Library(), {"xml", data, "", QString::fromStdString(DataFile("roll_layout.xml")), "PDF"});
    EXPECT_EQ(out.trimmed(), "status=0 envelopes=2 sheets=2 pages=2");
    const QString job = WaitForJobWithText({}, "Alder" + token);
    ASSERT_FALSE(job.isEmpty()) << "no job with the token arrived";
    EXPECT_EQ(PdfPages(job), 2);
    const QString text = RunTool("pdftotext", {job, "-"});
    EXPECT_TRUE(text.contains("Birch" + token));
    EXPECT_TRUE(text.contains("Cedar" + token));
}

TEST(CHost, PackageOfThreeDataFilesIsOneJob) {
    if (!pdfspool::HasPdfQueue()) GTEST_SKIP() << "no CUPS queue PDF";
    QTemporaryDir dir;
    const QString token = Token();
    QStringList args{"pkg", "Bundle", "PDF", QString::fromStdString(DataFile("roll_layout.xml"))};
    for (int i = 0; i < 3; ++i)
        args << RollWithToken(dir, QString("roll%1.xml").arg(i), token + QString::number(i));
    const QString out = RunHost(Library(), args);
    EXPECT_EQ(out.count("status=0 envelopes=2 sheets=2 pages=2"), 3) << out.toStdString();
    EXPECT_TRUE(out.contains("begin=0"));
    EXPECT_TRUE(out.contains("end=0"));
    const QString job = WaitForJobWithText({}, "Alder" + token + "0");
    ASSERT_FALSE(job.isEmpty());
    EXPECT_EQ(PdfPages(job), 6);
    const QString text = RunTool("pdftotext", {job, "-"});
    EXPECT_TRUE(text.contains("Cedar" + token + "1"));
    EXPECT_TRUE(text.contains("Cedar" + token + "2"));
}

TEST(CHost, PackageLeftOpenAtExitIsDeliveredNotLost) {
    if (!pdfspool::HasPdfQueue()) GTEST_SKIP() << "no CUPS queue PDF";
    QTemporaryDir dir;
    const QString token = Token();
    const QString out = RunHost(Library(), {"pkg-open", "Left open", "PDF",
                                            QString::fromStdString(DataFile("roll_layout.xml")),
                                            RollWithToken(dir, "roll.xml", token)});
    EXPECT_TRUE(out.contains("begin=0"));
    EXPECT_FALSE(out.contains("end="));
    const QString job = WaitForJobWithText({}, "Alder" + token);
    ASSERT_FALSE(job.isEmpty());
    EXPECT_EQ(PdfPages(job), 2);
}

TEST(QtHost, PackageLeftOpenWhenTheApplicationGoesIsEndedBeforeIt) {
    if (!pdfspool::HasPdfQueue()) GTEST_SKIP() << "no CUPS queue PDF";
    QTemporaryDir dir;
    const QString token = Token();
    const QString title = token + ".pdf";
    // Mode 'T' writes the document into the host program's folder.
    const QString file = QFileInfo(TW_QT_HOST).absolutePath() + "/" + title;
    QProcess host;
    host.start(TW_QT_HOST, {title, QString::fromStdString(DataFile("roll_layout.xml")),
                            RollWithToken(dir, "roll.xml", token)});
    ASSERT_TRUE(host.waitForFinished(120000));
    EXPECT_EQ(host.exitStatus(), QProcess::NormalExit) << host.readAllStandardError().toStdString();
    EXPECT_EQ(host.exitCode(), 0);
    EXPECT_EQ(QString::fromUtf8(host.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts),
              (QStringList{"begin=0", "status=0"}));
    EXPECT_EQ(PdfPages(file), 2);
    EXPECT_TRUE(RunTool("pdftotext", {file, "-"}).contains("Cedar" + token));
    QFile::remove(file);
}
