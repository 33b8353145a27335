// Text elements drawn on a scripted printer at 254 dpi, where one dot is a tenth of a
// millimetre: fills, alignment, fonts, colours, number formats and the canvas left as it was.
#include <QFont>
#include <QFontMetrics>
#include <ctime>
#include <random>
#include <string>
#include <vector>

#include "PrintElement/Print.h"
#include "PrintTestSupport.h"
#include "TimingTestSupport.h"

using namespace printtest;
using TVostrin::TPrint;

namespace {

const QColor kGreen(0, 255, 0);
const QColor kBlue(0, 0, 255);

class TextElementsTest : public ScriptedRenderer {
  protected:
    // Prints one page with the elements and returns its image.
    QImage PrintPage(const std::string& elements) {
        tree = LoadTree("<doc>" + Page("", elements) + "</doc>");
        EXPECT_TRUE(tree);
        EXPECT_EQ(TPrint().Print(tree.get(), nullptr, 0), 0);
        EXPECT_EQ(Pages().size(), 1u);
        return Pages().empty() ? QImage() : Pages()[0].image;
    }
    std::unique_ptr<TXml> tree;
};

std::string Green(const std::string& attrs) {
    return "<text fontname=\"DejaVu Sans\" fontsize=\"12\" bgcolor=\"0,255,0\" " + attrs + "/>";
}

}  // namespace

TEST_F(TextElementsTest, AlignmentMovesTheReferencePoint) {
    const QImage left = PrintPage(Green(R"(x="500" y="50" value="Middle")"));
    const QRect l = BoundsOf(left, kGreen);
    ASSERT_FALSE(l.isNull());
    EXPECT_EQ(l.left(), 500);
    EXPECT_EQ(l.top(), 50);

    const QImage centred = PrintPage(Green(R"(x="500" y="50" value="Middle" align="center")"));
    const QRect c = BoundsOf(centred, kGreen);
    EXPECT_EQ(c.width(), l.width());
    EXPECT_EQ(c.left(), 500 - l.width() / 2);  // the middle lies at 50 mm

    const QImage right = PrintPage(Green(R"(x="500" y="50" value="Middle" align="right")"));
    EXPECT_EQ(BoundsOf(right, kGreen).right(), 499);  // x is the right end
    const QImage other = PrintPage(Green(R"(x="500" y="50" value="Middle" align="Center")"));
    EXPECT_EQ(BoundsOf(other, kGreen).left(), 500);
}

TEST_F(TextElementsTest, NumberFormatChangesTheDrawnText) {
    const QImage img =
        PrintPage(Green(R"(x="10" y="10" value="12.5" type="number" format="0.00")") +
                  Green(R"(x="10" y="100" value="12.50")") +
                  Green(R"(x="10" y="200" value="abc" type="number" format="0.00")") +
                  Green(R"(x="10" y="300" value="abc")") +
                  Green(R"(x="10" y="400" value="12.5" type="Number" format="0.00")") +
                  Green(R"(x="10" y="500" value="12.5")"));
    auto width = [&](int y) { return BoundsOf(img.copy(0, y, 1000, 80), kGreen).width(); };
    EXPECT_EQ(width(10), width(100));
    EXPECT_EQ(width(200), width(300));
    EXPECT_EQ(width(400), width(500));
    EXPECT_GT(width(10), width(500));
}

TEST_F(TextElementsTest, FontSizeStylesAndColours) {
    const QImage img = PrintPage(
        std::string(
            R"(<text x="10" y="10" value="Size" fontname="DejaVu Sans" fontsize="big" bgcolor="0,255,0"/>)") +
        R"(<text x="10" y="100" value="Size" fontname="DejaVu Sans" fontsize="10" bgcolor="0,255,0"/>)" +
        R"(<text x="10" y="200" value="Bold" fontname="DejaVu Sans" bgcolor="0,0,255" b="true"/>)" +
        R"(<text x="10" y="300" value="Bold" fontname="DejaVu Sans" bgcolor="0,0,255" b="True"/>)" +
        R"(<text x="10" y="400" value="HHHH" fontname="DejaVu Sans" fontsize="30" fontcolor="255"/>)");
    auto box = [&](int y, const QColor& c) { return BoundsOf(img.copy(0, y, 1000, 80), c); };
    EXPECT_EQ(box(10, kGreen).size(), box(100, kGreen).size());   // "big" reads as 10 points
    EXPECT_GT(box(200, kBlue).width(), box(300, kBlue).width());  // only "true" makes bold
    EXPECT_FALSE(BoundsOf(img, QColor(255, 0, 0)).isNull());      // "255" is pure red
}

TEST_F(TextElementsTest, BackgroundOnlyWhenGiven) {
    // A wide blue field, then two texts on it: one without a background (the blue shows
    // through its cell) and one with "255,255", which fills its cell white.
    const QImage img = PrintPage(
        R"(<text x="0" y="0" value="MMMMMMMMMMMM" fontname="DejaVu Sans" fontsize="40" bgcolor="0,0,255" fontcolor="0,0,255"/>)"
        R"(<text x="20" y="20" value="ab" fontname="DejaVu Sans"/>)"
        R"(<text x="300" y="20" value="ab" fontname="DejaVu Sans" bgcolor="255,255"/>)");
    auto count = [&](const QRect& r, QRgb rgb) {
        int n = 0;
        for (int y = r.top(); y <= r.bottom(); ++y)
            for (int x = r.left(); x <= r.right(); ++x) n += (img.pixel(x, y) & 0xFFFFFF) == rgb;
        return n;
    };
    const QRect transparent(20, 20, 20, 10), filled(300, 20, 20, 10);
    EXPECT_GT(count(transparent, 0x0000FF), 100);
    EXPECT_EQ(count(transparent, 0xFFFFFF), 0);
    EXPECT_EQ(count(filled, 0x0000FF), 0);
    EXPECT_GT(count(filled, 0xFFFFFF), 0);
}

TEST_F(TextElementsTest, TheCanvasGetsItsFontAndBrushBack) {
    // A bold red text with a blue background, then a text that names nothing: the second must
    // come out in the canvas's own black font, without a background.
    const QImage img = PrintPage(
        R"(<text x="10" y="10" value="First" fontname="DejaVu Sans" fontsize="20" b="true" fontcolor="255,0,0" bgcolor="0,0,255"/>)"
        R"(<text x="10" y="300" value="Second"/>)");
    const QRect lower(0, 290, 1000, 300);
    EXPECT_TRUE(BoundsOf(img.copy(lower), kBlue).isNull());
    EXPECT_TRUE(BoundsOf(img.copy(lower), QColor(255, 0, 0)).isNull());
    EXPECT_FALSE(InkBounds(img, lower).isNull());
}

TEST_F(TextElementsTest, AdditionDrawsLikeText) {
    const QImage img = PrintPage(
        R"(<addition x="100" y="100" value="Sum" fontname="DejaVu Sans" bgcolor="0,255,0"/>)");
    EXPECT_EQ(BoundsOf(img, kGreen).topLeft(), QPoint(100, 100));
}

TEST_F(TextElementsTest, ChineseTextIsDecodedFromGbk) {
    const std::string value = Gbk("星期一课程表");
    const QImage img = PrintPage(
        "<text x=\"100\" y=\"100\" fontsize=\"12\" bgcolor=\"0,255,0\" value=\"" + value + "\"/>");
    const QRect box = BoundsOf(img, kGreen);
    ASSERT_FALSE(box.isNull());
    // Six wide characters, not twelve bytes drawn as replacement characters.
    QFont f(QStringLiteral("MS Sans Serif"));
    f.setPixelSize(42);  // 12 points at 254 dpi
    const int expected = QFontMetrics(f).horizontalAdvance(QString::fromUtf8("星期一课程表"));
    EXPECT_NEAR(box.width(), expected, 2);
    EXPECT_FALSE(InkBounds(img, box).isNull());
}

TEST_F(TextElementsTest, EmptyValueDrawsNothing) {
    const QImage img = PrintPage(R"(<text x="10" y="10" value="" bgcolor="0,255,0"/>)");
    EXPECT_TRUE(BoundsOf(img, kGreen).isNull());
    EXPECT_TRUE(InkBounds(img).isNull());
}

// Texts of up to thirty characters, Chinese, Latin and joined names, drawn with a box that
// holds five Chinese characters of 6 points on a line and two such lines, and often less than
// the text needs: every line stays inside the box whatever the line count allowed, the font is
// never below 6 points, and a text that fits at its own size keeps that size.
TEST_F(TextElementsTest, FittedTextStaysInsideItsBox) {
    std::mt19937 random(20240607);
    const std::vector<std::string> characters = {"语", "文", "信", "息", "高", "班",
                                                 "：", "/",  "、", "（", "）", "A",
                                                 "b",  "W",  "m",  "1",  " "};
    QFont sixPoints(QStringLiteral("WenQuanYi Micro Hei"));
    sixPoints.setPixelSize(21);  // 6 points at 254 dpi
    const int floorLine = QFontMetrics(sixPoints).height();
    for (int round = 0; round < 48; ++round) {
        std::string value;
        const int length = 1 + static_cast<int>(random() % (round % 2 ? 30 : 10));
        for (int i = 0; i < length; ++i) {
            const std::string& c = characters[random() % characters.size()];
            value += (c == " " && (i == 0 || i == length - 1)) ? "W" : c;
        }
        const int width = 110 + static_cast<int>(random() % 300);
        const int height = 2 * floorLine + 2 + static_cast<int>(random() % 150);
        const int points = 8 + static_cast<int>(random() % 12);
        const std::string attrs = "fontname=\"WenQuanYi Micro Hei\" bgcolor=\"0,255,0\" " +
                                  std::string("align=\"center\" x=\"600\" y=\"100\" fontsize=\"") +
                                  std::to_string(points) + "\" value=\"" + Gbk(value.c_str()) +
                                  "\"";
        const int maxLines = 1 + static_cast<int>(random() % 4);
        const QImage img = PrintPage("<text " + attrs + " fitwidth=\"" + std::to_string(width) +
                                     "\" fitheight=\"" + std::to_string(height) + "\" maxlines=\"" +
                                     std::to_string(maxLines) + "\"/>");
        const QRect box = BoundsOf(img, kGreen);
        SCOPED_TRACE(value + " in " + std::to_string(width) + " x " + std::to_string(height) +
                     " at " + std::to_string(points) + " pt, " + std::to_string(maxLines) +
                     " lines");
        ASSERT_FALSE(box.isNull());
        EXPECT_GE(box.left(), 600 - width / 2);
        EXPECT_LE(box.right(), 600 + width / 2);
        EXPECT_GE(box.top(), 100);
        EXPECT_LT(box.bottom(), 100 + height);
        EXPECT_GE(box.height(), floorLine);

        const QRect plain = BoundsOf(PrintPage("<text " + attrs + "/>"), kGreen);
        if (plain.width() <= width && plain.height() <= height) {
            EXPECT_EQ(box.size(), plain.size());  // fits as it is: drawn at its own size
        }
    }
}

// Sizes and line counts far beyond any paper cost little: the fitting searches the size rather
// than trying every one, and never more lines than the text has characters. Counted in
// processor time, which a loaded machine does not stretch; each text still keeps its box.
TEST_F(TextElementsTest, ExtremeFitSizesAndLineCountsEndQuickly) {
    const std::string value = Gbk("物理/化学/生物 张三、李四、王五 Wolfgang Amadeus Mozart");
    const std::vector<std::string> extremes = {
        R"(fontsize="2147483647")",
        R"(fontsize="2147483647" fitheight="300")",
        R"(fontsize="5000" fitheight="300")",
        R"(fontsize="5000" maxlines="10000")",
        R"(fontsize="40" maxlines="10000" fitheight="400")",
        R"(fontsize="5000" maxlines="2147483647" fitheight="500")",
    };
    timespec start{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &start);
    for (const std::string& extreme : extremes) {
        SCOPED_TRACE(extreme);
        const QImage img = PrintPage(
            "<text fontname=\"WenQuanYi Micro Hei\" bgcolor=\"0,255,0\" align=\"center\" "
            "x=\"500\" y=\"50\" fitwidth=\"400\" value=\"" +
            value + "\" " + extreme + "/>");
        const QRect box = BoundsOf(img, kGreen);
        ASSERT_FALSE(box.isNull());
        EXPECT_GE(box.left(), 300);
        EXPECT_LE(box.right(), 700);
        EXPECT_GE(box.top(), 50);
        if (extreme.find("fitheight") != std::string::npos) {
            const int height = std::stoi(extreme.substr(extreme.find("fitheight=\"") + 11));
            EXPECT_LT(box.bottom(), 50 + height);
        }
    }
    timespec end{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &end);
    const double seconds = (end.tv_sec - start.tv_sec) + (end.tv_nsec - start.tv_nsec) / 1e9;
    EXPECT_LT(seconds, 3.0);
}

// Tabs, carriage returns and line feeds in a fitted text are blanks: the text is drawn exactly
// as with blanks in their place, and keeps inside its box.
TEST_F(TextElementsTest, TabsAndLineEndsInAFittedTextAreBlanks) {
    const std::vector<std::pair<std::string, std::string>> texts = {
        {"语文\t数学", "语文 数学"},    {"Wolfgang\tM", "Wolfgang M"},
        {"A\tB\tC\tD\tE", "A B C D E"}, {"张三\r\n李四、王五", "张三  李四、王五"},
        {"\t物理\t", " 物理 "},
    };
    for (const auto& [withTabs, withBlanks] : texts) {
        for (const int width : {120, 250, 600}) {
            SCOPED_TRACE(withBlanks + " in " + std::to_string(width));
            auto element = [&](const std::string& value) {
                return "<text fontname=\"WenQuanYi Micro Hei\" fontsize=\"14\" bgcolor=\"0,255,0\" "
                       "align=\"center\" x=\"500\" y=\"100\" maxlines=\"3\" fitwidth=\"" +
                       std::to_string(width) + "\" value=\"" + Gbk(value.c_str()) + "\"/>";
            };
            const QImage tabs = PrintPage(element(withTabs));
            const QRect fill = BoundsOf(tabs, kGreen);
            ASSERT_FALSE(fill.isNull());
            EXPECT_GE(fill.left(), 500 - width / 2);
            EXPECT_LE(fill.right(), 500 + width / 2);
            const QRect ink = InkBounds(tabs);
            EXPECT_GE(ink.left(), 500 - width / 2);
            EXPECT_LE(ink.right(), 500 + width / 2);
            EXPECT_TRUE(tabs == PrintPage(element(withBlanks)));
        }
    }
}

namespace {

// n Chinese characters without a blank or a mark between them.
std::string UnbrokenChinese(int n) {
    const QString sentence = QStringLiteral("课程表星期一到星期五每天六节课综合实践活动与研究");
    QString text;
    while (text.size() < n) text += sentence;
    return tw::text::ToGbk(text.left(n));
}

}  // namespace

// Long fitted texts: the box is a hard limit at every length, also where the text at the size
// asked for is wider than a font measures at once (past 2^25 dots), and the fitting costs time
// in proportion to the length, however long the lines: twice the characters in a box twice as
// wide take at most about twice the processor time (each figure the least of three runs).
TEST_F(TextElementsTest, LongFittedTextsKeepTheirBoxInTimeInProportionToTheirLength) {
    auto element = [](const std::string& value, const std::string& more) {
        return "<text fontname=\"WenQuanYi Micro Hei\" bgcolor=\"0,255,0\" align=\"center\" "
               "x=\"500\" y=\"20\" fitwidth=\"900\" value=\"" +
               value + "\" " + more + "/>";
    };
    const std::string huge = UnbrokenChinese(10000);  // 35 million dots wide at 1000 pt
    for (const std::string& more :
         {std::string(R"(fontsize="1000")"), std::string(R"(fontsize="1000" maxlines="20")"),
          std::string(R"(fontsize="1000" maxlines="10000" fitheight="560")")}) {
        SCOPED_TRACE(more);
        const QRect fill = BoundsOf(PrintPage(element(huge, more)), kGreen);
        ASSERT_FALSE(fill.isNull());
        EXPECT_GE(fill.left(), 50);
        EXPECT_LE(fill.right(), 950);
        EXPECT_GE(fill.top(), 20);
        if (more.find("fitheight") != std::string::npos) {
            EXPECT_LT(fill.bottom(), 580);
        }
    }

    // A box as wide as half the text at 6 points, on up to three lines: lines of thousands of
    // characters, more the longer the text.
    auto scaled = [&](int n) {
        return "<text fontname=\"WenQuanYi Micro Hei\" x=\"20\" y=\"20\" fontsize=\"12\" "
               "maxlines=\"3\" fitwidth=\"" +
               std::to_string(n * 21 / 2) + "\" value=\"" + UnbrokenChinese(n) + "\"/>";
    };
    const std::string shorter = scaled(4000);
    const std::string longer = scaled(8000);
    PrintPage(shorter);  // the fonts are looked up before the clock runs
    const double once = testtiming::BestCpuMs([&] { PrintPage(shorter); });
    const double twice = testtiming::BestCpuMs([&] { PrintPage(longer); });
    EXPECT_LT(twice, 2.5 * once + 20)
        << once << " ms for 4000 characters, " << twice << " ms for 8000";
}
