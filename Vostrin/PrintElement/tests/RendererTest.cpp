// The page loop on a scripted printer: pages started, settings carried from page to page,
// positions in dots, and the results of Print and PrintOn.
#include <QCoreApplication>
#include <QTimer>

#include "PrintElement/Print.h"
#include "PrintElement/PrintElementFactory.h"
#include "PrintElement/Text.h"
#include "PrintElement/TextBox.h"
#include "PrintTestSupport.h"
#include "ZPrinters/ZPrinter.h"

using namespace printtest;
using namespace Zprinters;
using TVostrin::TPrint;

namespace {

const std::string kGreenBox =
    R"(fontname="DejaVu Sans" fontsize="10" bgcolor="0,255,0" fontcolor="0,0,0")";

std::string Text(int x, int y, const std::string& value, const std::string& more = kGreenBox) {
    return "<text x=\"" + std::to_string(x) + "\" y=\"" + std::to_string(y) + "\" value=\"" +
           value + "\" " + more + "/>";
}

const QColor kGreen(0, 255, 0);

class RendererTest : public ScriptedRenderer {};

}  // namespace

TEST_F(RendererTest, PositionsBecomeDotsWithThePageOffset) {
    UsePrinter(600);
    auto tree = LoadTree("<doc>" +
                         Page("<offsetx>100</offsetx><offsety>50</offsety>", Text(354, 304, "X")) +
                         "</doc>");
    ASSERT_TRUE(tree);
    EXPECT_EQ(TPrint().Print(tree.get(), nullptr, 0), 0);
    ASSERT_EQ(Pages().size(), 1u);
    const QRect box = BoundsOf(Pages()[0].image, kGreen);
    EXPECT_EQ(box.left(), 600);  // (354 - 100) * 600 / 254
    EXPECT_EQ(box.top(), 600);   // (304 - 50) * 600 / 254
}

TEST_F(RendererTest, EmptyPageIsSkippedButItsSettingsCarryOn) {
    auto tree = LoadTree(
        "<doc>" +
        Page("<paperkind>A3</paperkind><landscape>1</landscape><offsetx>100</offsetx>", "") +
        Page("", Text(300, 100, "second")) +
        Page("<landscape>true</landscape><paperkind>Card</paperkind>", Text(300, 100, "third")) +
        "</doc>");
    ASSERT_TRUE(tree);
    EXPECT_EQ(TPrint().Print(tree.get(), nullptr, 0), 0);
    ASSERT_EQ(Pages().size(), 2u);
    const TZDevMode& second = Pages()[0].devMode;
    EXPECT_EQ(second.dmPaperSize, StdPaperFmt("A3"));
    EXPECT_EQ(second.dmOrientation, DMORIENT_LANDSCAPE);
    EXPECT_GT(Pages()[0].image.width(), Pages()[0].image.height());
    EXPECT_EQ(BoundsOf(Pages()[0].image, kGreen).left(), 200);  // offset of the empty page
    // "true" is not a whole number: portrait; the offset still carries.
    const TZDevMode& third = Pages()[1].devMode;
    EXPECT_EQ(third.dmOrientation, DMORIENT_PORTRAIT);
    EXPECT_EQ(third.dmPaperSize, kCardCode);
    EXPECT_EQ(BoundsOf(Pages()[1].image, kGreen).left(), 200);
}

TEST_F(RendererTest, LaterSettingsOfAPageWinAndUnknownOnesAreIgnored) {
    auto tree = LoadTree(
        "<doc>" +
        Page("<offsetx>10</offsetx><colour>9</colour><offsetx>50</offsetx><offsety>x</offsety>",
             Text(150, 100, "a")) +
        "</doc>");
    EXPECT_EQ(TPrint().Print(tree.get(), nullptr, 0), 0);
    ASSERT_EQ(Pages().size(), 1u);
    const QRect box = BoundsOf(Pages()[0].image, kGreen);
    EXPECT_EQ(box.left(), 100);
    EXPECT_EQ(box.top(), 100);  // "x" reads as 0
}

TEST_F(RendererTest, BinAndPaperAreFoundByTheirListedNames) {
    auto tree = LoadTree(
        "<doc>" +
        Page("<bin> Upper tray</bin><paperkind>Custom</paperkind><paperwidth>800</paperwidth>"
             "<paperheight>500</paperheight>",
             Text(0, 0, "a")) +
        Page("<bin>Manual</bin><paperkind>A4</paperkind>", Text(0, 0, "b")) + "</doc>");
    EXPECT_EQ(TPrint().Print(tree.get(), nullptr, 0), 0);
    ASSERT_EQ(Pages().size(), 2u);
    const TZDevMode& first = Pages()[0].devMode;
    EXPECT_EQ(first.dmDefaultSource, 1);
    EXPECT_EQ(first.dmPaperSize, 0);  // not listed: the given size
    EXPECT_EQ(first.dmPaperWidth, 800);
    EXPECT_EQ(first.dmPaperLength, 500);
    EXPECT_EQ(Pages()[0].image.size(), QSize(800, 500));
    // A bin nobody lists selects none: the tray chosen before stays with the printer's own.
    const TZDevMode& second = Pages()[1].devMode;
    EXPECT_EQ(second.dmDefaultSource, 0);
    EXPECT_EQ(second.dmPaperSize, StdPaperFmt("A4"));
}

TEST_F(RendererTest, RepeatedSettingsAreAppliedOnceAndChangesStillReachTheirPages) {
    const std::string a4 = "<paperkind>A4</paperkind>";
    const std::string a3Wide = "<paperkind>A3</paperkind><landscape>1</landscape>";
    auto tree = LoadTree("<doc>" + Page(a4, Text(0, 0, "1")) + Page(a4, Text(0, 0, "2")) +
                         Page("", Text(0, 0, "3")) + Page(a3Wide, Text(0, 0, "4")) +
                         Page(a3Wide, Text(0, 0, "5")) +
                         Page(a4 + "<landscape>0</landscape>", Text(0, 0, "6")) + "</doc>");
    ASSERT_TRUE(tree);
    const int queriesBefore = sys->paperQueries;
    EXPECT_EQ(TPrint().Print(tree.get(), nullptr, 0), 0);
    ASSERT_EQ(Pages().size(), 6u);
    const int a4Code = StdPaperFmt("A4");
    const int a3Code = StdPaperFmt("A3");
    const int papers[] = {a4Code, a4Code, a4Code, a3Code, a3Code, a4Code};
    const int orientations[] = {DMORIENT_PORTRAIT,  DMORIENT_PORTRAIT,  DMORIENT_PORTRAIT,
                                DMORIENT_LANDSCAPE, DMORIENT_LANDSCAPE, DMORIENT_PORTRAIT};
    for (size_t i = 0; i < 6; ++i) {
        EXPECT_EQ(Pages()[i].devMode.dmPaperSize, papers[i]) << "page " << i + 1;
        EXPECT_EQ(Pages()[i].devMode.dmOrientation, orientations[i]) << "page " << i + 1;
    }
    EXPECT_GT(Pages()[3].image.width(), Pages()[3].image.height());
    EXPECT_LT(Pages()[5].image.width(), Pages()[5].image.height());
    // The paper list is looked up for the three changes only, not for every page.
    EXPECT_EQ(sys->paperQueries - queriesBefore, 3);
}

TEST_F(RendererTest, DuplexOnlyForTheExactWordTrue) {
    for (auto [value, mode] : {std::pair{"true", DMDUP_VERTICAL}, std::pair{"True", DMDUP_SIMPLEX},
                               std::pair{"", DMDUP_SIMPLEX}}) {
        auto tree = LoadTree(std::string("<doc duplix=\"") + value + "\">" +
                             Page("", Text(0, 0, "a")) + "</doc>");
        EXPECT_EQ(TPrint().Print(tree.get(), nullptr, 0), 0);
        ASSERT_EQ(Pages().size(), 1u);
        EXPECT_EQ(Pages()[0].devMode.dmDuplex, mode) << value;
    }
}

TEST_F(RendererTest, DocumentNameAndPrinterName) {
    auto& other = sys->printers.emplace_back(
        TZScriptedPrintSystem::MakePrinter(QString::fromUtf8("教务处"), {"A4"}));
    other.defaults.dmPrintQuality = other.defaults.dmYResolution = 100;
    FreePrintDevices();
    auto tree =
        LoadTree("<doc docname=\"" + Gbk("课表") + "\">" + Page("", Text(0, 0, "a")) + "</doc>");
    EXPECT_EQ(TPrint().Print(tree.get(), Gbk("教务处").c_str(), 0), 0);
    ASSERT_TRUE(sys->LastDoc());
    EXPECT_EQ(sys->LastDoc()->device, QString::fromUtf8("教务处"));
    EXPECT_EQ(sys->LastDoc()->title, QString::fromUtf8("课表"));
    EXPECT_TRUE(sys->LastDoc()->ended);
    EXPECT_EQ(TPrint().Print(tree.get(), "", 0), 0);
    EXPECT_EQ(sys->LastDoc()->device, "Scripted");
}

TEST_F(RendererTest, UnknownElementsDrawNothingAndLetThePageEnd) {
    auto tree = LoadTree("<doc>" + Page("", "<sparkle x=\"1\"/><Text value=\"A\"/>") +
                         Page("", "<note/>") + "</doc>");
    EXPECT_EQ(TPrint().Print(tree.get(), nullptr, 0), 0);
    ASSERT_EQ(Pages().size(), 2u);
    EXPECT_TRUE(InkBounds(Pages()[0].image).isNull());
}

TEST_F(RendererTest, APageIsEndedOnlyWhenItsLastElementAllowsIt) {
    // Ending a page asks the abort callback, which lets pending events through: an event
    // posted before printing shows whether the page was ended.
    auto pageEnded = [this](const std::string& elements) {
        auto tree = LoadTree("<doc>" + Page("", elements) + "</doc>");
        bool ended = false;
        QTimer::singleShot(0, [&ended] { ended = true; });
        EXPECT_EQ(TPrint().Print(tree.get(), nullptr, 0), 0);
        EXPECT_EQ(Pages().size(), 1u);
        const bool result = ended;
        QCoreApplication::processEvents();  // the event must not outlive `ended`
        return result;
    };
    EXPECT_FALSE(pageEnded(Text(0, 0, "a") + "<prndoc/>"));
    EXPECT_TRUE(pageEnded("<prndoc/>" + Text(0, 0, "a")));
    EXPECT_TRUE(pageEnded("<prndoc/><unknown/>"));
}

TEST_F(RendererTest, PagesWithoutSettingsOrTableAreTakenAsEmpty) {
    auto tree = LoadTree(
        "<doc><page><reporttable>" + Text(0, 0, "a") +
        "</reporttable></page><page><pagesetting><landscape>1</landscape></pagesetting></page>"
        "<page/><page><reporttable>" +
        Text(0, 0, "b") + "</reporttable></page></doc>");
    EXPECT_EQ(TPrint().Print(tree.get(), nullptr, 0), 0);
    ASSERT_EQ(Pages().size(), 2u);
    EXPECT_EQ(Pages()[1].devMode.dmOrientation, DMORIENT_LANDSCAPE);
}

TEST_F(RendererTest, NullTreesAndEmptyDocumentsPrintNoPage) {
    EXPECT_EQ(TPrint().Print(nullptr, nullptr, 0), 0);
    EXPECT_EQ(sys->LastDoc(), nullptr);
    auto tree = LoadTree("<doc>" + Page("<landscape>1</landscape>", "") + "</doc>");
    EXPECT_EQ(TPrint().Print(tree.get(), nullptr, 0), 0);
    ASSERT_TRUE(sys->LastDoc());
    EXPECT_TRUE(Pages().empty());
}

TEST_F(RendererTest, FailuresOutsideThePagesAreReported) {
    auto tree = LoadTree("<doc>" + Page("", Text(0, 0, "a")) + "</doc>");
    EXPECT_EQ(TPrint().Print(tree.get(), "No such queue", 0), -1003);
    sys->printers[0].canCreateContext = false;
    EXPECT_EQ(TPrint().Print(tree.get(), nullptr, 0), -1003);
    EXPECT_EQ(sys->LastDoc(), nullptr);
}

TEST_F(RendererTest, AFailedPageIsReportedAndEarlierPagesStayPrinted) {
    auto tree =
        LoadTree("<doc>" + Page("", Text(0, 0, "one")) + Page("", Text(0, 0, "two")) + "</doc>");
    // While the first page ends, the printing system stops taking pages.
    QTimer::singleShot(0, [this] {
        if (sys->LastDoc()) sys->LastDoc()->ended = true;
    });
    EXPECT_EQ(TPrint().Print(tree.get(), nullptr, 0), -1003);
    EXPECT_EQ(Pages().size(), 1u);
}

TEST_F(RendererTest, PrintOnNeedsARunningDocument) {
    auto tree = LoadTree("<doc>" + Page("", Text(0, 0, "a")) + "</doc>");
    TPrint print;
    EXPECT_EQ(print.PrintOn(tree.get(), nullptr, 0), -1010);
    TZPrinter printer;
    EXPECT_EQ(print.PrintOn(tree.get(), &printer, 0), -1010);  // not printing
    EXPECT_EQ(print.PrintOn(nullptr, &printer, 0), 0);
    printer.SetTitle("two runs");
    printer.StartDoc(QString());
    EXPECT_EQ(print.PrintOn(tree.get(), &printer, 0), 0);
    EXPECT_EQ(print.PrintOn(tree.get(), &printer, 0), 0);
    printer.EndDoc();
    EXPECT_EQ(Pages().size(), 2u);
}

TEST_F(RendererTest, ElementsAreChosenByTheirExactTag) {
    auto tree = LoadTree("<r><text/><addition/><textbox/><TEXT/><rectangle/><br/></r>");
    ASSERT_TRUE(tree);
    std::vector<std::string> kinds;
    for (int i = 0; i < tree->ChildCount(); ++i) {
        std::unique_ptr<TXml> node(tree->ChildAt(i));
        auto element = TVostrin::CreatePrintElement(node.get());
        EXPECT_EQ(element->Node, node.get());
        kinds.push_back(dynamic_cast<TVostrin::TTextBox*>(element.get()) ? "box"
                        : dynamic_cast<TVostrin::TText*>(element.get())  ? "text"
                                                                         : "plain");
        EXPECT_TRUE(element->Print(nullptr));
    }
    EXPECT_EQ(kinds, (std::vector<std::string>{"text", "text", "box", "plain", "plain", "plain"}));
    EXPECT_TRUE(TVostrin::CreatePrintElement(nullptr)->Print(nullptr));
}
