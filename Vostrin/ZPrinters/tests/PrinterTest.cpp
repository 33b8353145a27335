// The printer object on scripted devices: selection, document states, settings and their
// failure texts.
#include <gtest/gtest.h>

#include "ScriptedPrintingTestSupport.h"
#include "ZPrinters/ZErrors.h"
#include "ZPrinters/ZPrinter.h"
#include "ZPrinters/ZPrinterCanvas.h"

using namespace Zprinters;

using PrinterTest = ScriptedPrinting;

TEST_F(PrinterTest, ConstructionSelectsTheDefaultDevice) {
    AddPrinter("A");
    AddPrinter("B");
    sys->defaultPrinter = "A";
    TZPrinter p;
    EXPECT_EQ(p.DeviceName, "A");
    EXPECT_EQ(p.GetDeviceIndex(), 0);
    EXPECT_EQ(p.GetDevice()->Device, "A");
    EXPECT_FALSE(p.GetPrinting());
    EXPECT_EQ(LivePrinterCount(), 1);
}

TEST_F(PrinterTest, UnopenableDefaultFallsBackToTheFirstDevice) {
    AddPrinter("A");
    AddPrinter("B").canOpen = false;
    sys->defaultPrinter = "B";
    TZPrinter p;
    EXPECT_EQ(p.DeviceName, "A");
}

TEST_F(PrinterTest, ConstructionFailsWithoutDevices) {
    EXPECT_THROW(TZPrinter p, Exception);
    EXPECT_EQ(LivePrinterCount(), 0);
    // A device whose settings cannot be read cannot be selected either.
    AddPrinter("A").canReadSettings = false;
    FreePrintDevices();
    EXPECT_EQ(RAISED_MESSAGE(TZPrinter p), "Operation not supported by current printer.");
    EXPECT_EQ(LivePrinterCount(), 0);
}

TEST_F(PrinterTest, UnknownDeviceNameKeepsTheSelection) {
    AddPrinter("Laser");
    AddPrinter("Ink");
    sys->defaultPrinter = "Laser";
    TZPrinter p;
    EXPECT_EQ(RAISED_MESSAGE(p.SetDeviceName("laser")), "No such printer: 'laser'.");
    EXPECT_EQ(p.DeviceName, "Laser");
    p.SetDeviceName("Ink");
    EXPECT_EQ(p.DeviceName, "Ink");
    p.SetDeviceIndex(-1);
    EXPECT_EQ(p.DeviceName, "Laser");
    p.SetDeviceIndex(1);
    EXPECT_EQ(p.DeviceName, "Ink");
    EXPECT_THROW(p.SetDeviceIndex(2), EListError);
    EXPECT_EQ(RAISED_MESSAGE(p.CheckDevice("Nope")), "No such printer: 'Nope'.");
    EXPECT_EQ(RAISED_MESSAGE(p.CheckDevice("")), "");
}

TEST_F(PrinterTest, DeviceThatCannotBeOpenedKeepsTheSelection) {
    AddPrinter("Laser");
    AddPrinter("Broken").canOpen = false;
    sys->defaultPrinter = "Laser";
    TZPrinter p;
    EXPECT_EQ(RAISED_MESSAGE(p.SetDeviceName("Broken")),
              "Operation not supported by current printer.");
    EXPECT_EQ(p.DeviceName, "Laser");
    EXPECT_EQ(p.GetPaper(), "A4");
}

TEST_F(PrinterTest, NoDefaultPrinterText) {
    AddPrinter("Laser");
    TZPrinter p;
    // Only the device list's default rules can leave no default: an empty list.
    SetPrintSystem(std::make_unique<TZScriptedPrintSystem>());
    EXPECT_EQ(RAISED_MESSAGE(p.SetDeviceName("")), "No default printer.");
    EXPECT_EQ(RAISED_MESSAGE(p.GetDevice()), "No such printer: 'Laser'.");
}

TEST_F(PrinterTest, DocumentStateErrors) {
    AddPrinter("Laser");
    TZPrinter p;
    EXPECT_EQ(RAISED_MESSAGE(p.EndDoc()), "Printer is not currently printing.");
    EXPECT_EQ(RAISED_MESSAGE(p.AbortDoc()), "Printer is not currently printing.");
    EXPECT_EQ(RAISED_MESSAGE(p.Canvas->TextOut(0, 0, "x")), "Printer is not currently printing.");
    // Starting or ending a page outside a document must not make the printer look busy.
    EXPECT_EQ(RAISED_MESSAGE(p.StartPage()), "Printer is not currently printing.");
    EXPECT_EQ(RAISED_MESSAGE(p.EndPage()), "Printer is not currently printing.");
    EXPECT_FALSE(p.GetPrinting());

    p.SetTitle("Job");
    p.StartDoc("");
    EXPECT_EQ(p.PageCounter, 1);
    const QString busy = "Printer is already printing.";
    EXPECT_EQ(RAISED_MESSAGE(p.StartDoc("")), busy);
    EXPECT_EQ(RAISED_MESSAGE(p.SetTitle("x")), busy);
    EXPECT_EQ(RAISED_MESSAGE(p.SetDeviceName("Laser")), busy);
    EXPECT_EQ(RAISED_MESSAGE(p.SetPaper("A4")), busy);
    EXPECT_EQ(RAISED_MESSAGE(p.SetBin("x")), busy);
    EXPECT_EQ(RAISED_MESSAGE(p.SetCopies(2)), busy);
    EXPECT_EQ(RAISED_MESSAGE(p.SetOrientation(zoLandscape)), busy);
    EXPECT_EQ(p.Title, "Job");
    p.EndDoc();
    EXPECT_FALSE(p.GetPrinting());
    EXPECT_EQ(p.PageCounter, 0);
}

TEST_F(PrinterTest, PagesAreCountedAndPrinted) {
    AddPrinter("Laser");
    TZPrinter p;
    p.SetTitle("Timetable");
    p.StartDoc("");
    p.StartPage();
    p.Canvas->TextOut(10, 10, "one");
    p.EndPage();
    p.StartPage();
    EXPECT_EQ(p.PageCounter, 3);
    p.EndPage();
    p.EndDoc();
    TZScriptedDoc* doc = sys->LastDoc();
    ASSERT_NE(doc, nullptr);
    EXPECT_EQ(doc->title, "Timetable");
    EXPECT_EQ(doc->outputFile, "");
    EXPECT_EQ(doc->pages.size(), 2u);
    EXPECT_TRUE(doc->ended);
    EXPECT_FALSE(p.Canvas->HandleAllocated());
}

TEST_F(PrinterTest, OutputFileIsPassedToTheSystem) {
    AddPrinter("Laser");
    TZPrinter p;
    p.StartDoc("/tmp/out.prn");
    p.EndDoc();
    EXPECT_EQ(sys->LastDoc()->outputFile, "/tmp/out.prn");
}

TEST_F(PrinterTest, AbortSkipsTheSystemEndDocAndCancelsCallbacks) {
    AddPrinter("Laser");
    TZPrinter p;
    p.StartDoc("");
    HDC dc = p.CurrentHandle();
    EXPECT_TRUE(AbortProc(dc, 0));
    p.StartPage();
    p.AbortDoc();
    EXPECT_FALSE(p.GetPrinting());
    EXPECT_FALSE(p.Aborted);  // EndDoc resets the flag
    TZScriptedDoc* doc = sys->LastDoc();
    EXPECT_TRUE(doc->aborted);
    EXPECT_FALSE(doc->ended);
    // The context stays until the next release; a context of no live printer is cancelled.
    EXPECT_FALSE(AbortProc(nullptr, 0));
}

TEST_F(PrinterTest, AbortProcAnswersFalseForAnAbortedPrinter) {
    AddPrinter("Laser");
    TZPrinter p;
    p.StartDoc("");
    p.Aborted = true;
    EXPECT_FALSE(AbortProc(p.CurrentHandle(), 0));
    p.Aborted = false;
    EXPECT_TRUE(AbortProc(p.CurrentHandle(), 0));
    p.EndDoc();
}

TEST_F(PrinterTest, JobCancelledByTheCallbackIsNotReportedAsPrinted) {
    AddPrinter("Laser");
    TZPrinter p;
    p.StartDoc("");
    p.StartPage();
    p.Aborted = true;  // the callback now cancels the job at the end of the page
    p.EndPage();
    p.Aborted = false;
    EXPECT_EQ(RAISED_MESSAGE(p.EndDoc()), "Selected printer is not valid.");
    EXPECT_FALSE(p.GetPrinting());
    EXPECT_TRUE(sys->LastDoc()->cancelled);
}

TEST_F(PrinterTest, DestroyingAPrintingPrinterEndsItsDocument) {
    AddPrinter("Laser");
    {
        TZPrinter p;
        p.StartDoc("");
        p.StartPage();
        p.EndPage();
    }
    EXPECT_TRUE(sys->LastDoc()->ended);
    EXPECT_EQ(sys->LastDoc()->pages.size(), 1u);
    EXPECT_EQ(LivePrinterCount(), 0);
}

TEST_F(PrinterTest, ContextFailureIsReported) {
    AddPrinter("Laser").canCreateContext = false;
    TZPrinter p;
    EXPECT_EQ(RAISED_MESSAGE(p.StartDoc("")), "Selected printer is not valid.");
    EXPECT_FALSE(p.GetPrinting());
    EXPECT_EQ(RAISED_MESSAGE(p.GetIC()), "Selected printer is not valid.");
    EXPECT_EQ(RAISED_MESSAGE(p.GetResolution()), "Selected printer is not valid.");
}

TEST_F(PrinterTest, CopiesAndOrientation) {
    AddPrinter("Laser");
    TZPrinter p;
    EXPECT_EQ(p.GetCopies(), 1);
    EXPECT_EQ(RAISED_MESSAGE(p.SetCopies(0)), "Bad number of copies.");
    EXPECT_EQ(RAISED_MESSAGE(p.SetCopies(-3)), "Bad number of copies.");
    p.SetCopies(3);
    EXPECT_EQ(p.GetCopies(), 3);

    EXPECT_EQ(p.GetOrientationStr(), "Portrait");
    p.SetOrientationStr("Landscape");
    EXPECT_EQ(p.GetOrientation(), zoLandscape);
    EXPECT_EQ(RAISED_MESSAGE(p.SetOrientationStr("portrait")), "Bad orientation: 'portrait'.");
    EXPECT_EQ(p.GetOrientationStr(), "Landscape");
    p.SetOrientation(zoNotSupported);
    EXPECT_EQ(p.GetOrientation(), zoLandscape);
    p.SetOrientation(zoPortrait);
    EXPECT_EQ(p.GetDevMode()->dmOrientation, DMORIENT_PORTRAIT);
}

TEST_F(PrinterTest, OrientationWithoutSupport) {
    AddPrinter("Roll").defaults.dmFields = DM_PAPERSIZE | DM_COPIES;
    TZPrinter p;
    EXPECT_EQ(p.GetOrientation(), zoNotSupported);
    EXPECT_EQ(p.GetOrientationStr(), "");
}

TEST_F(PrinterTest, PapersByName) {
    AddPrinter("Laser", {"A4", "A3", "Letter"});
    TZPrinter p;
    EXPECT_EQ(p.GetPaper(), "A4");
    EXPECT_EQ(p.GetPaperFmt(), 9);
    EXPECT_EQ(p.GetPaperSize(), (TPoint{2100, 2970}));
    EXPECT_EQ(p.GetPaperDesc(), "A4, 210x297 mm");
    p.SetPaper("letter");  // the list's lookup ignores case
    EXPECT_EQ(p.GetPaperFmt(), 1);
    EXPECT_EQ(p.GetPaperDesc(), "Letter, 215x279 mm");
    EXPECT_EQ(RAISED_MESSAGE(p.SetPaper("A5")), "Unknown or unsupported paper format: 'A5'.");
    EXPECT_EQ(p.GetPaper(), "Letter");
    p.SetPaper("A3");
    p.SetOrientation(zoLandscape);
    EXPECT_EQ(p.GetPaperSizeOriented(), (TPoint{4200, 2970}));
}

TEST_F(PrinterTest, PaperSizeFallsBackToTheSettings) {
    auto& printer = AddPrinter("Roll", {});
    printer.defaults.dmPaperSize = 256;
    printer.defaults.dmPaperWidth = 800;
    printer.defaults.dmPaperLength = 0;
    TZPrinter p;
    EXPECT_EQ(p.GetPaper(), "");
    EXPECT_EQ(p.GetPaperSize(), (TPoint{800, 0}));
    EXPECT_EQ(p.GetPaperDesc(), "");
}

TEST_F(PrinterTest, ForcedPaperSelectsA4WhenTheDeviceHasIt) {
    AddPrinter("Laser", {"Letter", "A4"});
    AddPrinter("US", {"Letter", "Legal"});
    sys->defaultPrinter = "Laser";
    ZPrinter_Force_Paper = "yes";
    {
        TZPrinter p;
        EXPECT_EQ(p.GetPaper(), "A4");
    }
    sys->defaultPrinter = "US";
    {
        TZPrinter p;
        EXPECT_EQ(p.DeviceName, "US");
        EXPECT_EQ(p.GetPaper(), "Letter");
    }
    ZPrinter_Force_Paper.clear();
    sys->defaultPrinter = "Laser";
    TZPrinter p;
    EXPECT_EQ(p.GetPaper(), "Letter");
}

TEST_F(PrinterTest, Bins) {
    auto& printer = AddPrinter("Laser");
    printer.bins = {{"Upper", 1}, {"Manual feed", 4}};
    printer.defaults.dmDefaultSource = 1;
    TZPrinter p;
    EXPECT_EQ(p.GetBin(), "Upper");
    p.SetBin("MANUAL FEED");
    EXPECT_EQ(p.GetBin(), "Manual feed");
    EXPECT_EQ(p.GetDevMode()->dmDefaultSource, 4);
    EXPECT_EQ(RAISED_MESSAGE(p.SetBin("Lower")), "Unknown or unsupported bin: 'Lower'.");
}

TEST_F(PrinterTest, BinCodeOutsideSixteenBitsIsARangeError) {
    auto& printer = AddPrinter("Laser");
    printer.bins = {{"Huge", 70000}};
    TZPrinter p;
    EXPECT_THROW(p.SetBin("Huge"), ERangeError);
    EXPECT_THROW(p.SetResolution({70000, 300}), ERangeError);
    EXPECT_EQ(p.GetDevMode()->dmPrintQuality, 300);
}

TEST_F(PrinterTest, ResolutionTexts) {
    auto& printer = AddPrinter("Laser");
    printer.resolutions = {{600, 600}, {600, 1200}};
    TZPrinter p;
    EXPECT_EQ(p.GetResolutionStr(), "300 dpi");
    p.SetResolutionStr("600x1200 dpi");
    EXPECT_EQ(p.GetResolution(), (TPoint{600, 1200}));
    EXPECT_EQ(p.GetResolutionStr(), "600x1200 dpi");
    p.SetResolutionStr("600 DPI");
    EXPECT_EQ(p.GetResolutionStr(), "600 dpi");
    EXPECT_EQ(RAISED_MESSAGE(p.SetResolutionStr("1200 dpi")),
              "Unknown or unsupported resolution: '1200 dpi'.");
    p.SetResolution({0, 0});
    EXPECT_EQ(p.GetResolutionStr(), "300 dpi");  // the device's default resolution
}

TEST_F(PrinterTest, SettingsReachTheNextContext) {
    auto& printer = AddPrinter("Laser");
    printer.physicalOffset = {10, 20};
    TZPrinter p;
    HDC before = p.GetHandle();
    EXPECT_EQ(p.GetPageWidth(), 2480 - 20);
    EXPECT_EQ(p.GetPhysicalSize(), (TPoint{2480, 3507}));
    EXPECT_EQ(p.GetPhysicalOffset(), (TPoint{10, 20}));
    EXPECT_EQ(p.GetPageRect(), (TRect{0, 0, 2460, 3467}));
    EXPECT_EQ(p.GetClientRect(), (TRect{10, 20, 2470, 3487}));
    p.SetOrientation(zoLandscape);
    EXPECT_EQ(p.CurrentHandle(), nullptr);  // released by the setter
    EXPECT_NE(p.GetHandle(), nullptr);
    EXPECT_EQ(p.GetPhysicalSize(), (TPoint{3507, 2480}));
    (void)before;
}

TEST_F(PrinterTest, DocumentPropertiesMergesTheSettings) {
    AddPrinter("Laser");
    TZPrinter p;
    p.SetCopies(4);
    EXPECT_TRUE(p.DocumentProperties(false));
    EXPECT_EQ(p.GetCopies(), 4);
    EXPECT_FALSE(p.DocumentProperties(true));  // the scripted dialog is cancelled
}

TEST_F(PrinterTest, ResetDcChangesTheNextPages) {
    AddPrinter("Laser");
    TZPrinter p;
    p.StartDoc("");
    p.StartPage();
    p.EndPage();
    TZDevMode dm = *p.GetDevMode();
    dm.dmPaperSize = 8;
    dm.dmOrientation = DMORIENT_LANDSCAPE;
    EXPECT_TRUE(p.ResetDC(dm));
    p.StartPage();
    p.EndPage();
    p.EndDoc();
    const auto& pages = sys->LastDoc()->pages;
    ASSERT_EQ(pages.size(), 2u);
    EXPECT_EQ(pages[0].devMode.dmPaperSize, 9);
    EXPECT_EQ(pages[1].devMode.dmPaperSize, 8);
    EXPECT_EQ(pages[1].image.width(), 4200 * 300 / 254);
}
