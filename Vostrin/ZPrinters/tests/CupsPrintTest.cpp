// End-to-end printing on the CUPS queue "PDF" that keeps each job's document as
// job-<id>.pdf in its folder. Skips when the queue is not there.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QFile>
#include <QPrinterInfo>
#include <QSet>
#include <QTemporaryDir>

#include "PdfSpoolTestSupport.h"
#include "ZPrinters/ZErrors.h"
#include "ZPrinters/ZPrintDevices.h"
#include "ZPrinters/ZPrinter.h"
#include "ZPrinters/ZPrinterCanvas.h"

using namespace Zprinters;
using namespace pdfspool;

namespace {

class CupsPrintingTest : public ::testing::Test {
  protected:
    void SetUp() override {
        if (!HasPdfQueue()) GTEST_SKIP() << "no PDF print queue";
        SetPrintSystem(nullptr);
    }

    // Starts a document titled title on the queue, on paper unless that is empty, sent to file
    // (none: printed).
    static void StartOnPdfQueue(TZPrinter& p, const QString& title, const QString& paper,
                                const QString& file = QString()) {
        p.SetDeviceName("PDF");
        p.SetTitle(title);
        if (!paper.isEmpty()) p.SetPaper(paper);
        p.StartDoc(file);
    }
};

}  // namespace

TEST_F(CupsPrintingTest, QueueIsListedWithItsPapersAndResolutions) {
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

TEST_F(CupsPrintingTest, PrinterSelectsTheQueueAndItsSettings) {
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

TEST_F(CupsPrintingTest, TwoPagesWithTheirOwnPaperComeOutAsPrinted) {
    const QSet<QString> before = SpooledJobs();
    const QString title = UniqueTitle("Two papers");
    TZPrinter p;
    StartOnPdfQueue(p, title, "A4");
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

TEST_F(CupsPrintingTest, DocumentWithoutPagesPrintsNothing) {
    const QSet<QString> before = SpooledJobs();
    const QString empty = UniqueTitle("Empty");
    const QString aborted = UniqueTitle("Aborted");
    {
        TZPrinter p;
        StartOnPdfQueue(p, empty, "");
        p.EndDoc();
    }
    {
        TZPrinter p;  // aborted after a page: nothing either
        StartOnPdfQueue(p, aborted, "");
        p.StartPage();
        p.Canvas->TextOut(10, 10, "never");
        p.AbortDoc();
    }
    EXPECT_TRUE(WaitForJob(before, empty, 3000).isEmpty());
    EXPECT_TRUE(WaitForJob(before, aborted, 100).isEmpty());
}

TEST_F(CupsPrintingTest, OutputFileReceivesTheDocument) {
    // The file is made like any file the process creates: 0666 less the creation mask.
    const mode_t mask = umask(022);
    QTemporaryDir dir;
    const QString out = dir.filePath("doc.pdf");
    const QSet<QString> before = SpooledJobs();
    const QString title = UniqueTitle("File");
    TZPrinter p;
    StartOnPdfQueue(p, title, "A5", out);
    p.StartPage();
    p.Canvas->TextOut(100, 100, "written out");
    p.EndPage();
    p.EndDoc();
    EXPECT_EQ(PageSizes(out), QStringList{"420 x 595"});
    EXPECT_TRUE(RunTool("pdftotext", {out, "-"}).contains("written out"));
    EXPECT_EQ(PdfTitle(out), title);
    EXPECT_TRUE(WaitForJob(before, title, 1500).isEmpty());
    struct stat info {};
    EXPECT_EQ(stat(QFile::encodeName(out).constData(), &info), 0);
    umask(mask);
    EXPECT_EQ(info.st_mode & 0777, 0644u);
}

TEST_F(CupsPrintingTest, SettingsMergeWithoutADialog) {
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
