// Barcodes drawn through the libzint layer on a scripted printer at 254 dpi: position with the
// page offset, module width from the resolution and "enlarge", bar colour and height, the text
// under the bars, rotation, symbologies with their EAN lengths and GBK text, and every symbology
// read back from its printed image by a barcode reader.
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include "ElementPageTestSupport.h"
#include "PrintElement/Barcode.h"
#include "PrintElement/Print.h"
#include "PrintElement/ZintBarcode.h"

using namespace printtest;

namespace {

const QColor kBlue(0, 0, 255);

// Widths of the runs of dark pixels along row y.
std::vector<int> DarkRuns(const QImage& img, int y) {
    std::vector<int> runs;
    int run = 0;
    for (int x = 0; x < img.width(); ++x) {
        if (qGray(img.pixel(x, y)) < 128) {
            ++run;
        } else if (run) {
            runs.push_back(run);
            run = 0;
        }
    }
    if (run) runs.push_back(run);
    return runs;
}

int ModuleCount(const std::string& type, const std::string& data) {
    TVostrin::TBarcodeModules m;
    EXPECT_TRUE(TVostrin::EncodeBarcode(type, data, m));
    return static_cast<int>(m.modules.size());
}

// What zbarimg reads from the image; empty when the tool is missing or reads nothing.
QString Decode(const QImage& img) {
    const QString tool = QStandardPaths::findExecutable("zbarimg");
    if (tool.isEmpty()) return QString();
    QTemporaryDir dir;
    const QString png = dir.filePath("page.png");
    img.save(png);
    QProcess p;
    p.start(tool, {"--quiet", png});
    p.waitForFinished(30000);
    return QString::fromUtf8(p.readAllStandardOutput()).trimmed();
}

class BarcodeElementTest : public ElementPage {
  protected:
    QImage PrintPage(const std::string& settings, const std::string& elements) {
        auto tree = LoadTree("<doc>" + Page(settings, elements) + "</doc>");
        EXPECT_TRUE(tree);
        EXPECT_EQ(TVostrin::TPrint().Print(tree.get(), nullptr, 0), 0);
        return Pages().empty() ? QImage() : Pages().back().image;
    }
};

}  // namespace

TEST(BarcodeLayer, NarrowBarWidthFollowsResolutionAndScale) {
    EXPECT_EQ(TVostrin::NarrowBarDots(600, 1.0f), 7);
    EXPECT_EQ(TVostrin::NarrowBarDots(300, 1.0f), 3);
    EXPECT_EQ(TVostrin::NarrowBarDots(254, 2.0f), 6);
    EXPECT_EQ(TVostrin::NarrowBarDots(300, -1.0f), -3);
    EXPECT_EQ(TVostrin::NarrowBarDots(300, 1e30f), 2147483647);
    EXPECT_EQ(TVostrin::NarrowBarDots(300, -1e30f), 0);
}

TEST(BarcodeLayer, SymbologiesAreChosenByName) {
    TVostrin::TBarcodeModules m;
    EXPECT_TRUE(TVostrin::EncodeBarcode("128", "AB-12", m));
    EXPECT_EQ(m.text, "AB-12");
    EXPECT_TRUE(m.modules.front());  // a symbol starts and ends with a bar
    EXPECT_TRUE(m.modules.back());
    EXPECT_EQ(m.modules.size(), 11u * 7 + 13);  // start, 5 characters, check, stop
    EXPECT_TRUE(TVostrin::EncodeBarcode("39", "AB-12", m));
    EXPECT_TRUE(TVostrin::EncodeBarcode("ean13", "590123412345", m));
    EXPECT_EQ(m.text, "5901234123457");  // the check digit added
    EXPECT_FALSE(TVostrin::EncodeBarcode("EAN13", "ABC", m));
    // EAN types make their own symbol whatever the number of digits: the check digit, when
    // present, must be right; a number too long for the type is refused.
    EXPECT_TRUE(TVostrin::EncodeBarcode("EAN8", "96385074", m));
    EXPECT_EQ(m.text, "96385074");
    EXPECT_EQ(m.modules.size(), 67u);
    EXPECT_TRUE(TVostrin::EncodeBarcode("EAN8", "123", m));
    EXPECT_EQ(m.text, "00001236");
    EXPECT_TRUE(TVostrin::EncodeBarcode("EAN13", "1234567", m));
    EXPECT_EQ(m.text, "0000012345670");
    EXPECT_TRUE(TVostrin::EncodeBarcode("EAN8", "96385074+12", m));
    EXPECT_EQ(m.text, "96385074+12");
    EXPECT_FALSE(TVostrin::EncodeBarcode("EAN8", "96385075", m));
    EXPECT_FALSE(TVostrin::EncodeBarcode("EAN13", "5901234123458", m));
    EXPECT_FALSE(TVostrin::EncodeBarcode("EAN8", "590123412345", m));
    EXPECT_FALSE(TVostrin::EncodeBarcode("EAN13", "+12", m));
    // The text under a Code 128 symbol reads its data as GBK.
    EXPECT_TRUE(TVostrin::EncodeBarcode("128", Gbk("课表\t1"), m));
    EXPECT_EQ(m.text, "课表 1");
    EXPECT_FALSE(TVostrin::EncodeBarcode("QRX", "AB", m));
    EXPECT_FALSE(TVostrin::EncodeBarcode("128", "", m));
    EXPECT_EQ(TVostrin::BarcodeSymbology("nonsense"), 0);
}

TEST_F(BarcodeElementTest, Code128IsPlacedSizedAndReadable) {
    const QImage page = PrintPage(
        "<offsetx>100</offsetx><offsety>50</offsety>",
        R"(<barcode x="300" y="150" value="AB-12" fontname="DejaVu Sans" fontsize="10"/>)");
    ASSERT_FALSE(page.isNull());
    const QRect bars = InkBounds(page, QRect(0, 0, page.width(), 150));
    EXPECT_EQ(bars.left(), 200);  // (300 - 100) at one dot per tenth of a millimetre
    EXPECT_EQ(bars.top(), 100);
    EXPECT_EQ(bars.width(), ModuleCount("128", "AB-12") * 3);  // 0.33 mm modules: 3 dots
    const std::vector<int> runs = DarkRuns(page, 120);
    ASSERT_FALSE(runs.empty());
    EXPECT_EQ(*std::min_element(runs.begin(), runs.end()), 3);
    EXPECT_EQ(*std::max_element(runs.begin(), runs.end()), 12);
    // Bars 5 mm high (the default height 50), then the text under them.
    const QRect all = InkBounds(page);
    EXPECT_EQ(InkBounds(page, QRect(200, 100, 20, 100)).bottom(), 149);
    EXPECT_GT(all.bottom(), 155);
    if (QStandardPaths::findExecutable("zbarimg").isEmpty()) GTEST_SKIP() << "no zbarimg";
    EXPECT_EQ(Decode(page), "CODE-128:AB-12");
}

TEST_F(BarcodeElementTest, EverySymbologyIsReadBackFromItsPrintedImage) {
    if (QStandardPaths::findExecutable("zbarimg").isEmpty()) GTEST_SKIP() << "no zbarimg";
    // EAN numbers with their check digit and without; the reader gives UPC-A as the EAN-13
    // symbol that it also is.
    const std::pair<const char*, std::string> symbols[] = {
        {"128", "AB-12"},           {"39", "AB-12"},           {"93", "AB-12"},
        {"EAN13", "5901234123457"}, {"EAN13", "400638133393"}, {"EAN8", "96385074"},
        {"EAN8", "5512345"},        {"UPCA", "01234567890"},   {"ITF", "12345678"},
        {"CODABAR", "A1234B"},
    };
    QStringList expected = {"CODE-128:AB-12",       "CODE-39:AB-12",        "CODE-93:AB-12",
                            "EAN-13:5901234123457", "EAN-13:4006381333931", "EAN-8:96385074",
                            "EAN-8:55123457",       "EAN-13:0012345678905", "I2/5:12345678",
                            "Codabar:A1234B"};
    std::string elements;
    int y = 100;
    for (const auto& [type, value] : symbols) {
        elements += "<barcode x=\"300\" y=\"" + std::to_string(y) + "\" type=\"" + type +
                    "\" value=\"" + value + "\"/>";
        y += 250;
    }
    const QImage page = PrintPage("<paperkind>A4</paperkind>", elements);
    QStringList read = Decode(page).split('\n');
    read.sort();
    expected.sort();
    EXPECT_EQ(read.join(' ').toStdString(), expected.join(' ').toStdString());
}

TEST_F(BarcodeElementTest, ScaleColourHeightModeAndRotation) {
    QImage page = PrintPage("", R"(<barcode x="100" y="100" enlarge="2" height="100" mode="1" )"
                                R"(color="0,0,255">AB-12</barcode>)");
    QRect bars = BoundsOf(page, kBlue);
    EXPECT_EQ(bars.width(), ModuleCount("128", "AB-12") * 6);
    EXPECT_EQ(bars.height(), 100);
    EXPECT_TRUE(InkBounds(page).isNull() || InkBounds(page) == bars);  // no text with mode 1
    if (!QStandardPaths::findExecutable("zbarimg").isEmpty()) {
        EXPECT_EQ(Decode(page), "CODE-128:AB-12");
    }

    // "enlarge" that is not a number scales by 1.
    page = PrintPage("", R"(<barcode x="100" y="100" enlarge="abc" mode="1" value="AB-12"/>)");
    EXPECT_EQ(InkBounds(page).width(), ModuleCount("128", "AB-12") * 3);

    // A quarter turn clockwise about the top-left corner: the bars run down the page.
    page = PrintPage("", R"(<barcode x="500" y="100" rotation="90" mode="1" value="AB-12"/>)");
    bars = InkBounds(page);
    EXPECT_EQ(bars.height(), ModuleCount("128", "AB-12") * 3);
    EXPECT_EQ(bars.width(), 50);
    EXPECT_EQ(bars.right(), 499);
    EXPECT_EQ(bars.top(), 100);
}

TEST_F(BarcodeElementTest, NothingIsDrawnForEmptyOrUnencodableData) {
    const QImage page = PrintPage(
        "", R"(<barcode x="100" y="100"/><barcode x="100" y="300" type="nonsense" value="12"/>)"
            R"(<barcode x="100" y="500" type="EAN13" value="ABC"/>)"
            R"(<barcode x="100" y="700" type="39" value="lower"/>)"
            R"(<rect left="0" top="0" right="10" bottom="10" fillcolor="0,0,255"/>)");
    EXPECT_TRUE(InkBounds(page, QRect(0, 50, page.width(), page.height())).isNull());
    EXPECT_FALSE(BoundsOf(page, kBlue).isNull());  // the page went on
}

TEST_F(BarcodeElementTest, CanvasKeepsItsFontBrushAndPen) {
    auto* canvas = Open();
    canvas->Pen.Color = QColor(1, 2, 3);
    canvas->Pen.Width = 4;
    canvas->Brush.Color = QColor(4, 5, 6);
    canvas->Font.Name = "DejaVu Serif";
    canvas->Font.Style = Zprinters::fsItalic;
    const Zprinters::TZFont font = canvas->Font;
    EXPECT_TRUE(Draw(R"(<barcode x="10" y="10" value="1234" type="39" color="255,0,0" )"
                     R"(fontname="DejaVu Sans" fontsize="20" b="true" fontcolor="0,0,255"/>)"));
    EXPECT_EQ(canvas->Pen.Color, QColor(1, 2, 3));
    EXPECT_EQ(canvas->Pen.Width, 4);
    EXPECT_EQ(canvas->Brush.Color, QColor(4, 5, 6));
    EXPECT_EQ(canvas->Font.Name, "DejaVu Serif");
    EXPECT_EQ(canvas->Font.Style, Zprinters::fsItalic);
    EXPECT_EQ(canvas->Font.GetHeight(), font.GetHeight());
    const QImage page = Close();
    const QRect bars = BoundsOf(page, QColor(255, 0, 0));
    const QRect text = BoundsOf(page, kBlue);
    ASSERT_FALSE(bars.isNull());
    ASSERT_FALSE(text.isNull());
    EXPECT_GT(text.top(), bars.bottom());  // the text in its colour under the bars
}
