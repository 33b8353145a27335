// The parts of the CUPS printing layer that need no queue: reading a PPD's paper sources and
// resolutions, and the page layout and capabilities a context derives from its settings.
#include <gtest/gtest.h>

#include "ZPrinters/ZCupsContext.h"
#include "ZPrinters/ZPpd.h"

using namespace Zprinters;

TEST(Ppd, ReadsInputSlotsAndResolutionsWithDefaults) {
    const QByteArray ppd =
        "*PPD-Adobe: \"4.3\"\n"
        "*OpenUI *InputSlot/Media Source: PickOne\n"
        "*DefaultInputSlot: Lower\n"
        "*InputSlot Upper/Upper Tray: \"<</MediaPosition 0>>setpagedevice\"\n"
        "*InputSlot Lower/Lower Tray: \"<</MediaPosition 1>>setpagedevice\"\n"
        "*InputSlot Tray9: \"\"\n"
        "*CloseUI: *InputSlot\n"
        "*OpenUI *Resolution/Output Resolution: PickOne\n"
        "*DefaultResolution: 600dpi\n"
        "*Resolution 300dpi/300 DPI: \"\"\n"
        "*Resolution 600x1200dpi/600 x 1200 DPI: \"\"\n"
        "*Resolution draft/Draft: \"\"\n";
    TZPpdInfo info = ParsePpd(ppd);
    ASSERT_EQ(info.inputSlots.size(), 3u);
    EXPECT_EQ(info.inputSlots[0].key, "Upper");
    EXPECT_EQ(info.inputSlots[0].text, "Upper Tray");
    EXPECT_EQ(info.inputSlots[2].text, "Tray9");
    EXPECT_EQ(info.defaultInputSlot, "Lower");
    ASSERT_EQ(info.resolutions.size(), 2u);
    EXPECT_EQ(info.resolutions[1], (TPoint{600, 1200}));
    EXPECT_EQ(info.defaultResolution, (TPoint{600, 600}));
    EXPECT_EQ(BinCodeForSlot("Upper", 0), 1);
    EXPECT_EQ(BinCodeForSlot("ManualFeed", 3), 4);
    EXPECT_EQ(BinCodeForSlot("Tray9", 2), 259);
}

TEST(Ppd, EmptyTextGivesNothing) {
    TZPpdInfo info = ParsePpd("");
    EXPECT_TRUE(info.inputSlots.empty());
    EXPECT_TRUE(info.resolutions.empty());
    EXPECT_EQ(ParseResolutionKey("abc"), (TPoint{0, 0}));
}

namespace {

TZCupsJob Job() {
    TZCupsJob job;
    job.queue = "none";
    job.papers.emplace(9, QPageSize(QPageSize::A4));
    job.papers.emplace(8, QPageSize(QPageSize::A3));
    return job;
}

}  // namespace

TEST(CupsContext, LayoutFollowsCodeOrCustomSize) {
    TZDevMode dm;
    dm.dmPaperSize = 8;
    dm.dmOrientation = DMORIENT_LANDSCAPE;
    dm.dmPrintQuality = 200;
    TZCupsContext ic(Job(), dm, false);
    EXPECT_FALSE(ic.IsDeviceContext());
    EXPECT_EQ(ic.LayoutOf(dm).pageSize().id(), QPageSize::A3);
    EXPECT_EQ(ic.LayoutOf(dm).orientation(), QPageLayout::Landscape);
    EXPECT_EQ(ic.GetDeviceCaps(LOGPIXELSX), 200);
    EXPECT_EQ(ic.GetDeviceCaps(LOGPIXELSY), 200);
    EXPECT_EQ(ic.GetDeviceCaps(HORZRES), 3307);  // 420 mm at 200 dpi
    EXPECT_EQ(ic.GetDeviceCaps(VERTRES), 2338);
    EXPECT_EQ(ic.GetDeviceCaps(PHYSICALOFFSETX), 0);

    TZDevMode custom;
    custom.dmPaperSize = 0;  // no paper code: the given width and length
    custom.dmPaperWidth = 1000;
    custom.dmPaperLength = 1500;
    QSizeF mm = ic.LayoutOf(custom).fullRect(QPageLayout::Millimeter).size();
    EXPECT_NEAR(mm.width(), 100.0, 0.01);
    EXPECT_NEAR(mm.height(), 150.0, 0.01);
}

TEST(CupsContext, InformationContextRunsNoDocument) {
    TZCupsContext ic(Job(), TZDevMode{}, false);
    EXPECT_EQ(ic.StartDoc("x", ""), 0);
    EXPECT_EQ(ic.StartPage(), 0);
    EXPECT_EQ(ic.EndDoc(), 0);
    EXPECT_EQ(ic.Painter(), nullptr);
    EXPECT_EQ(ic.GetDeviceCaps(LOGPIXELSY), 300);  // no resolution set: the default
}
