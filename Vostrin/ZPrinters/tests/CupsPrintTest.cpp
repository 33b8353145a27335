// End-to-end printing on the CUPS queue "PDF" that keeps each job's document as
// /var/spool/tw-pdf/job-<id>.pdf. Skips when the queue is not there.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QPrinterInfo>
#include <QProcess>
#include <QSet>
#include <QTemporaryDir>
#include <QThread>

#include "ZPrinters/ZErrors.h"
#include "ZPrinters/ZPrintDevices.h"
#include "ZPrinters/ZPrinter.h"
#include "ZPrinters/ZPrinterCanvas.h"

using namespace Zprinters;

namespace {

const QString kSpool = QStringLiteral("/var/spool/tw-pdf");

QSet<QString> SpooledJobs() {
    QSet<QString> out;
    for (const QString& f : QDir(kSpool).entryList({"job-*.pdf"}, QDir::Files)) out.insert(f);
    return out;
}

QString RunTool(const QString& program, const QStringList& args);

// A job title no other test (or test program running beside this one) uses.
QString UniqueTitle(const QString& stem) {
    static int n = 0;
    return QString("%1 %2-%3").arg(stem).arg(QCoreApplication::applicationPid()).arg(++n);
}

// The document title recorded in a PDF; empty while the file is incomplete.
QString PdfTitle(const QString& pdf) {
    const QString info = RunTool("pdfinfo", {pdf});
    for (const QString& line : info.split('\n'))
        if (line.startsWith("Title:")) return line.mid(6).trimmed();
    return QString();
}

// Waits for a new job file whose document bears the title; empty when none comes in time.
QString WaitForJob(const QSet<QString>& before, const QString& title, int ms) {
    QElapsedTimer t;
    t.start();
    QSet<QString> seen = before;
    do {
        for (const QString& f : SpooledJobs()) {
            if (seen.contains(f)) continue;
            const QString path = kSpool + "/" + f;
            if (PdfTitle(path) == title) return path;
            if (RunTool("pdfinfo", {path}).contains("Pages:")) seen.insert(f);  // someone else's
        }
        QThread::msleep(100);
    } while (t.elapsed() < ms);
    return QString();
}

QString RunTool(const QString& program, const QStringList& args) {
    QProcess p;
    p.start(program, args);
    p.waitForFinished(20000);
    return QString::fromUtf8(p.readAllStandardOutput());
}

// The "Page N size" lines of pdfinfo, e.g. "595 x 842".
QStringList PageSizes(const QString& pdf) {
    QStringList out;
    const QString info = RunTool("pdfinfo", {"-f", "1", "-l", "99", pdf});
    for (const QString& line : info.split('\n')) {
        if (!line.startsWith("Page") || !line.contains("size:")) continue;
        QString s = line.section("size:", 1).trimmed();
        out << s.section(" pts", 0, 0).trimmed();
    }
    return out;
}

class CupsPrinting : public ::testing::Test {
  protected:
    void SetUp() override {
        if (QPrinterInfo::printerInfo("PDF").isNull() || !QDir(kSpool).exists())
            GTEST_SKIP() << "no PDF print queue";
        SetPrintSystem(nullptr);
    }
};

}  // namespace

TEST_F(CupsPrinting, QueueIsListedWithItsPapersAndResolutions) {
    TZPrintDevices* devices = PrintDevices();
    int i = devices->DeviceIndex("PDF");
    ASSERT_GE(i, 0);
    TZPrintDevice* d = devices->GetDevice(i);
    EXPECT_EQ(d->Port, "");
    TZStringList* papers = d->GetPapers();
    int a4 = papers->IndexOf("A4");
    ASSERT_GE(a4, 0);
    EXPECT_EQ(papers->Strings(a4), "A4");
    EXPECT_EQ(papers->Objects(a4), 9);
    EXPECT_GE(papers->IndexOf("A3"), 0);
    EXPECT_EQ(papers->Objects(papers->IndexOf("A3")), 8);
    EXPECT_GE(papers->IndexOf("Letter"), 0);
    EXPECT_EQ(papers->Objects(papers->IndexOf("Letter")), 1);
    EXPECT_GE(d->GetResolutions()->IndexOf("300 dpi"), 0);
    EXPECT_TRUE(d->GetCapabilities().Contains(zcOrientation));
    EXPECT_EQ(devices->GetDefaultDevice()->Device, QPrinterInfo::defaultPrinterName());
}

TEST_F(CupsPrinting, PrinterSelectsTheQueueAndItsSettings) {
    TZPrinter p;
    p.SetDeviceName("PDF");
    EXPECT_EQ(p.GetPaper(), "A4");
    EXPECT_EQ(p.GetPaperDesc(), "A4, 210x297 mm");
    EXPECT_EQ(p.GetResolutionStr(), "300 dpi");
    p.SetPaper("A3");
    p.SetOrientationStr("Landscape");
    EXPECT_EQ(p.GetPageWidth(), 4200 * 300 / 254);
    EXPECT_EQ(p.GetPageHeight(), 2970 * 300 / 254);
}

TEST_F(CupsPrinting, TwoPagesWithTheirOwnPaperComeOutAsPrinted) {
    const QSet<QString> before = SpooledJobs();
    const QString title = UniqueTitle("Two papers");
    TZPrinter p;
    p.SetDeviceName("PDF");
    p.SetTitle(title);
    p.SetPaper("A4");
    p.StartDoc("");
    p.StartPage();
    p.Canvas->Font.Name = "DejaVu Sans";
    p.Canvas->Font.SetSize(14);
    p.Canvas->TextOut(300, 300, "First page on A4");
    p.EndPage();
    TZDevMode dm = *p.GetDevMode();
    dm.dmPaperSize = 8;
    dm.dmOrientation = DMORIENT_LANDSCAPE;
    ASSERT_TRUE(p.ResetDC(dm));
    p.StartPage();
    p.Canvas->TextOut(300, 300, QString::fromUtf8("Second page 课表"));
    p.EndPage();
    p.EndDoc();

    const QString pdf = WaitForJob(before, title, 15000);
    ASSERT_FALSE(pdf.isEmpty()) << "no job arrived";
    EXPECT_EQ(PageSizes(pdf), (QStringList{"595 x 842", "1191 x 842"}));
    const QString text = RunTool("pdftotext", {pdf, "-"});
    EXPECT_TRUE(text.contains("First page on A4")) << text.toStdString();
    EXPECT_TRUE(text.contains("Second page")) << text.toStdString();
    EXPECT_TRUE(RunTool("pdfinfo", {pdf}).contains("Qt"));
}

TEST_F(CupsPrinting, DocumentWithoutPagesPrintsNothing) {
    const QSet<QString> before = SpooledJobs();
    const QString empty = UniqueTitle("Empty");
    const QString aborted = UniqueTitle("Aborted");
    {
        TZPrinter p;
        p.SetDeviceName("PDF");
        p.SetTitle(empty);
        p.StartDoc("");
        p.EndDoc();
    }
    {
        TZPrinter p;  // aborted after a page: nothing either
        p.SetDeviceName("PDF");
        p.SetTitle(aborted);
        p.StartDoc("");
        p.StartPage();
        p.Canvas->TextOut(10, 10, "never");
        p.AbortDoc();
    }
    EXPECT_TRUE(WaitForJob(before, empty, 3000).isEmpty());
    EXPECT_TRUE(WaitForJob(before, aborted, 100).isEmpty());
}

TEST_F(CupsPrinting, OutputFileReceivesTheDocument) {
    QTemporaryDir dir;
    const QString out = dir.filePath("doc.pdf");
    const QSet<QString> before = SpooledJobs();
    const QString title = UniqueTitle("File");
    TZPrinter p;
    p.SetDeviceName("PDF");
    p.SetTitle(title);
    p.SetPaper("A5");
    p.StartDoc(out);
    p.StartPage();
    p.Canvas->TextOut(100, 100, "written out");
    p.EndPage();
    p.EndDoc();
    EXPECT_EQ(PageSizes(out), QStringList{"420 x 595"});
    EXPECT_TRUE(RunTool("pdftotext", {out, "-"}).contains("written out"));
    EXPECT_EQ(PdfTitle(out), title);
    EXPECT_TRUE(WaitForJob(before, title, 1500).isEmpty());
}

TEST_F(CupsPrinting, SettingsMergeWithoutADialog) {
    TZPrinter p;
    p.SetDeviceName("PDF");
    p.SetPaper("A3");
    p.SetCopies(2);
    EXPECT_TRUE(p.DocumentProperties(false));
    EXPECT_EQ(p.GetPaper(), "A3");
    EXPECT_EQ(p.GetCopies(), 2);
    // The queues have no settings dialog of their own: asking for one is answered as cancelled.
    EXPECT_FALSE(p.DocumentProperties(true));
    EXPECT_EQ(p.GetPaper(), "A3");
}
