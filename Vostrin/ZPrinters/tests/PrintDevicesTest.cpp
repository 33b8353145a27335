// The device list: enumeration, display names, lookups, the default device, and what each
// device reports (bins, papers, resolutions, orientations, fonts, capabilities).
#include <gtest/gtest.h>

#include <cstring>

#include "ScriptedPrintingTestSupport.h"
#include "ZPrinters/ZErrors.h"

using namespace Zprinters;

using PrintDevicesTest = ScriptedPrinting;

TEST_F(PrintDevicesTest, NtFamilyGivesOneDevicePerPrinterWithoutPort) {
    AddPrinter("Laser");
    AddPrinter("Ink Jet");
    TZPrintDevices devices;
    ASSERT_EQ(devices.GetCount(), 2);
    EXPECT_EQ(devices.GetDevice(0)->GetName(), "Laser");
    EXPECT_EQ(devices.GetDevice(1)->GetName(), "Ink Jet");
    EXPECT_EQ(devices.GetDevice(1)->Port, "");
    EXPECT_EQ(devices.GetDevice(1)->Driver, "");
}

TEST_F(PrintDevicesTest, PortListsGiveOneDevicePerPort) {
    sys->ntFamily = false;
    AddPrinter("Laser").ports = "LPT1:, FILE:";
    AddPrinter("Plotter").ports = "COM2:";
    TZPrintDevices devices;
    ASSERT_EQ(devices.GetCount(), 3);
    EXPECT_EQ(devices.GetDevice(0)->GetName(), "Laser on LPT1:");
    EXPECT_EQ(devices.GetDevice(1)->GetName(), "Laser on FILE:");
    EXPECT_EQ(devices.GetDevice(1)->Device, "Laser");
    EXPECT_EQ(devices.GetDevice(2)->GetName(), "Plotter on COM2:");
    EXPECT_EQ(devices.DeviceIndex("Laser on FILE:"), 1);
    EXPECT_EQ(devices.DeviceIndex("Laser"), -1);
}

TEST_F(PrintDevicesTest, PrinterWithoutPortsGivesNoDevice) {
    sys->ntFamily = false;
    AddPrinter("Laser").ports = "";
    TZPrintDevices devices;
    EXPECT_EQ(devices.GetCount(), 0);
}

TEST(FetchStr, SplitsCommaFieldsSkippingLeadingBlanks) {
    char text[] = "  Laser Jet,winspool, LPT1:";
    char* cursor = text;
    EXPECT_STREQ(TZPrintDevices::FetchStr(cursor), "Laser Jet");
    EXPECT_STREQ(TZPrintDevices::FetchStr(cursor), "winspool");
    EXPECT_STREQ(TZPrintDevices::FetchStr(cursor), "LPT1:");
    EXPECT_EQ(*cursor, '\0');
    EXPECT_STREQ(TZPrintDevices::FetchStr(cursor), "");  // at the end: the empty text
    char* none = nullptr;
    EXPECT_EQ(TZPrintDevices::FetchStr(none), nullptr);
}

TEST_F(PrintDevicesTest, LookupsCompareDisplayNamesExactly) {
    AddPrinter("Laser");
    TZPrintDevices devices;
    EXPECT_EQ(devices.DeviceIndex("Laser"), 0);
    EXPECT_EQ(devices.DeviceIndex("laser"), -1);
    EXPECT_EQ(devices.FindDevice("LASER"), nullptr);
    EXPECT_EQ(devices.DeviceByName("Laser"), devices.GetDevice(0));
    EXPECT_EQ(RAISED_MESSAGE(devices.DeviceByName("laser")), "No such printer: 'laser'.");
    EXPECT_THROW(devices.GetDevice(1), EListError);
    EXPECT_THROW(devices.GetDevice(-1), EListError);
    EXPECT_TRUE(devices.GetDevice(0)->IsDevice("Laser"));
    EXPECT_FALSE(devices.GetDevice(0)->IsDevice("laser"));
    EXPECT_FALSE(devices.GetDevice(0)->IsDevice(static_cast<const char*>(nullptr)));
}

TEST_F(PrintDevicesTest, DefaultDeviceIsTheSystemDefault) {
    AddPrinter("A");
    AddPrinter("B");
    AddPrinter("C");
    sys->defaultPrinter = "B";
    sys->profileDevice = "C,winspool,LPT1:";
    TZPrintDevices devices;
    EXPECT_EQ(devices.GetDefaultDevice()->Device, "B");
    EXPECT_EQ(devices.GetDefaultIndex(), 1);
}

TEST_F(PrintDevicesTest, DefaultFallsBackToTheProfileEntry) {
    AddPrinter("A");
    AddPrinter("Office Laser");
    AddPrinter("C");
    sys->profileDevice = "   Office Laser,winspool,LPT1:";
    TZPrintDevices devices;
    EXPECT_EQ(devices.GetDefaultIndex(), 1);
}

TEST_F(PrintDevicesTest, UnmatchedDefaultNameGivesTheLastDevice) {
    AddPrinter("A");
    AddPrinter("B");
    sys->defaultPrinter = "Gone";
    TZPrintDevices devices;
    EXPECT_EQ(devices.GetDefaultDevice()->Device, "B");
    sys->defaultPrinter = "b";  // names compare case-sensitively
    EXPECT_EQ(devices.GetDefaultIndex(), 1);
}

TEST_F(PrintDevicesTest, NoDevicesNoDefault) {
    sys->defaultPrinter = "A";
    TZPrintDevices devices;
    EXPECT_EQ(devices.GetDefaultDevice(), nullptr);
    EXPECT_EQ(devices.GetDefaultIndex(), -1);
    EXPECT_EQ(RAISED_MESSAGE(PrintDevicesCheckAvailable()),
              "No printers installed.\rPlease install a printer driver from your Windows control "
              "panel, or ask your system administrator.");
}

TEST_F(PrintDevicesTest, SharedListIsEnumeratedOnce) {
    AddPrinter("A");
    EXPECT_EQ(PrintDevicesCnt(), 1);
    AddPrinter("B");  // installed later: not seen
    EXPECT_EQ(PrintDevicesCnt(), 1);
    EXPECT_EQ(PrintDevices(), PrintDevices());
    EXPECT_EQ(sys->enumCalls, 1);
    EXPECT_EQ(PrintDevicesCheckAvailable(), 1);

    TZStringList names;
    names.Add("old");
    EnumPrintDevices(&names);
    EXPECT_EQ(names.Texts(), QStringList{"A"});
    EXPECT_EQ(names.UpdateCount(), 0);
}

TEST_F(PrintDevicesTest, DeviceWithoutNameIsAnAssertionFailure) {
    EXPECT_THROW(TZPrintDevice(nullptr, nullptr, nullptr), EAssertionFailed);
    TZPrintDevice d(nullptr, "Laser", nullptr);
    EXPECT_EQ(d.Driver, "");
    EXPECT_EQ(d.GetName(), "Laser");
}

TEST_F(PrintDevicesTest, BinsKeepTheFirstOfEachNameAndCode) {
    auto& p = AddPrinter("Laser");
    p.bins = {{"  Upper tray ", 1}, {"Lower tray", 2}, {"UPPER TRAY", 3}, {"Manual", 2}, {"", 5},
              {"Envelope", 5},      {"Auto select", 7}};
    TZPrintDevices devices;
    TZStringList* bins = devices.GetDevice(0)->GetBins();
    // "Envelope" shares its code with an earlier (unnamed) entry, so it goes too.
    EXPECT_EQ(bins->Texts(), (QStringList{"Upper tray", "Lower tray", "Auto select"}));
    EXPECT_EQ(bins->Objects(0), 1);
    EXPECT_EQ(bins->Objects(2), 7);
    EXPECT_EQ(bins->IndexOf("upper TRAY"), 0);  // lookups ignore case
}

TEST_F(PrintDevicesTest, PaperNamesAreCutToTheDriverFieldAndTrimmed) {
    auto& p = AddPrinter("Laser", {});
    QString longName = QString(70, 'x');
    p.papers = {{" A4 ", 9, 2100, 2970}, {longName, 300, 1000, 1000}, {"a4", 10, 2100, 2970}};
    TZPrintDevices devices;
    TZStringList* papers = devices.GetDevice(0)->GetPapers();
    ASSERT_EQ(papers->Count(), 2);
    EXPECT_EQ(papers->Strings(0), "A4");
    EXPECT_EQ(papers->Strings(1), QString(64, 'x'));
    EXPECT_EQ(papers->Objects(1), 300);
}

TEST_F(PrintDevicesTest, ResolutionTextsAndPackedCodes) {
    auto& p = AddPrinter("Laser");
    p.resolutions = {{0, 0}, {300, 300}, {300, 600}, {300, 300}};
    TZPrintDevices devices;
    TZStringList* res = devices.GetDevice(0)->GetResolutions();
    EXPECT_EQ(res->Texts(), (QStringList{"300 dpi", "300x600 dpi"}));
    EXPECT_EQ(UnpackResolution(res->Objects(1)), (TPoint{300, 600}));
    EXPECT_EQ(res->Objects(1), 300 | (600 << 16));
}

TEST_F(PrintDevicesTest, CapabilitiesAndOrientationsFollowTheSettingsMask) {
    auto& p = AddPrinter("Laser");
    p.defaults.dmFields = DM_ORIENTATION | DM_COPIES;
    auto& q = AddPrinter("Roll");
    q.defaults.dmFields = DM_COLLATE;
    auto& closed = AddPrinter("Closed");
    closed.canOpen = false;
    TZPrintDevices devices;

    TZPrintDevice* laser = devices.GetDevice(0);
    EXPECT_EQ(laser->Capabilities, TZPrintCapabilities{zcUnknown});
    EXPECT_EQ(laser->GetCapabilities(), (TZPrintCapabilities{zcOrientation, zcCopies}));
    EXPECT_EQ(laser->GetOrientations()->Texts(), (QStringList{"Portrait", "Landscape"}));
    EXPECT_EQ(laser->GetOrientations()->Objects(1), 1);

    TZPrintDevice* roll = devices.GetDevice(1);
    EXPECT_EQ(roll->GetCapabilities(), TZPrintCapabilities{zcCollation});
    EXPECT_EQ(roll->GetOrientations()->Count(), 0);

    TZPrintDevice* c = devices.GetDevice(2);
    EXPECT_TRUE(c->GetCapabilities().Empty());
    // The empty set is kept even when the printer can be opened later, until Refresh.
    sys->Find("Closed")->canOpen = true;
    EXPECT_TRUE(c->GetCapabilities().Empty());
    c->Refresh();
    EXPECT_FALSE(c->GetCapabilities().Empty());
}

TEST_F(PrintDevicesTest, ListsAreCachedUntilRefresh) {
    auto& p = AddPrinter("Laser");
    p.bins = {{"Upper", 1}};
    TZPrintDevices devices;
    TZPrintDevice* d = devices.GetDevice(0);
    EXPECT_EQ(d->GetBins()->Count(), 1);
    sys->Find("Laser")->bins.push_back({"Lower", 2});
    EXPECT_EQ(d->GetBins()->Count(), 1);
    EXPECT_EQ(sys->binQueries, 1);
    d->Refresh();
    EXPECT_EQ(d->GetBins()->Count(), 2);
}

TEST_F(PrintDevicesTest, FontsComeFromAnInformationContext) {
    auto& p = AddPrinter("Laser");
    p.fonts = {"Courier", "SimSun"};
    auto& closed = AddPrinter("Closed");
    closed.fonts = {"Arial"};
    closed.canReadSettings = false;
    TZPrintDevices devices;
    EXPECT_EQ(devices.GetDevice(0)->GetFonts()->Texts(), (QStringList{"Courier", "SimSun"}));
    EXPECT_EQ(devices.GetDevice(1)->GetFonts()->Count(), 0);
}

TEST_F(PrintDevicesTest, NamesPassedAsBytesAreGbk) {
    // "课表" in the GBK code page.
    const char gbk[] = "\xbf\xce\xb1\xed";
    TZPrintDevice d(nullptr, gbk, nullptr);
    EXPECT_EQ(d.Device, QString::fromUtf8("课表"));
    EXPECT_TRUE(d.IsDevice(gbk));
}
