// Pie charts: the slice list and label texts, slices drawn in their colours on a scripted
// printer at 254 dpi, the three-dimensional look, and the temporary bitmap file that is always
// removed.
#include <QTemporaryDir>

#include "ElementPageTestSupport.h"
#include "PrintElement/PieDrawing.h"
#include "PrintElement/Print.h"
#include "TimingTestSupport.h"

using namespace printtest;
using TVostrin::ParsePieSlices;
using TVostrin::PieMarksOf;
using TVostrin::PieMarkText;
using TVostrin::TPieMarks;

namespace {

const QColor kRed(255, 0, 0);
const QColor kBlue(0, 0, 255);

int CountOf(const QImage& img, const QColor& c) {
    int n = 0;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x) n += img.pixelColor(x, y) == c;
    return n;
}

// Sets TMPDIR for the length of a test.
class TempFolder {
  public:
    explicit TempFolder(const QString& path) : old_(qgetenv("TMPDIR")) {
        qputenv("TMPDIR", path.toLocal8Bit());
    }
    ~TempFolder() {
        if (old_.isEmpty())
            qunsetenv("TMPDIR");
        else
            qputenv("TMPDIR", old_);
    }

  private:
    QByteArray old_;
};

class PieChartTest : public ElementPage {
  protected:
    void SetUp() override {
        ElementPage::SetUp();
        LoadTree("<warm-up/>");  // the trees' own folder is made before TMPDIR changes
    }
    // Prints one page with the element, expecting the status, and returns its image.
    QImage PrintPage(const std::string& elements, int status = 0) {
        auto tree = LoadTree("<doc>" + Page("", elements) + "</doc>");
        EXPECT_TRUE(tree);
        EXPECT_EQ(TVostrin::TPrint().Print(tree.get(), nullptr, 0), status);
        return Pages().empty() ? QImage() : Pages().back().image;
    }
    static std::string Pie(const std::string& value, const std::string& more = "") {
        return "<piechart x=\"100\" y=\"100\" width=\"600\" height=\"400\" value=\"" + value +
               "\" " + more + "/>";
    }
};

}  // namespace

TEST(PieSlices, ValueLabelAndColourAreCutAtTheirSeparators) {
    auto s = ParsePieSlices("30,Maths,(255,0,0)|70,Other,(0,0,255)");
    ASSERT_EQ(s.size(), 2u);
    EXPECT_EQ(s[0].value, 30);
    EXPECT_EQ(s[0].label, "Maths");
    EXPECT_EQ(s[0].color, kRed);
    EXPECT_EQ(s[1].value, 70);
    EXPECT_EQ(s[1].color, kBlue);

    s = ParsePieSlices("10,A");  // no colour: black
    ASSERT_EQ(s.size(), 1u);
    EXPECT_EQ(s[0].label, "A");
    EXPECT_EQ(s[0].color, QColor(0, 0, 0));

    s = ParsePieSlices("x1,B,junk(9,300,)tail|2.5,C,(0,255|,|7");
    ASSERT_EQ(s.size(), 4u);
    EXPECT_EQ(s[0].value, 0);                        // not a number
    EXPECT_EQ(s[0].color, QColor(9, 300 & 255, 0));  // low 8 bits; a missing part is 0
    EXPECT_EQ(s[1].value, 2.5);
    EXPECT_EQ(s[1].color, QColor(0, 255, 0));  // the colour runs to the end of the piece
    EXPECT_EQ(s[2].value, 0);
    EXPECT_EQ(s[2].label, "");
    EXPECT_EQ(s[3].value, 7);
    EXPECT_EQ(s[3].label, "");

    EXPECT_TRUE(ParsePieSlices("").empty());
    EXPECT_EQ(ParsePieSlices("|1,a||2,b|").size(), 2u);
    EXPECT_EQ(ParsePieSlices(" 1e2 ,c")[0].value, 100);
    EXPECT_EQ(ParsePieSlices("1,5,c")[0].value, 1);  // no decimal comma
    EXPECT_EQ(ParsePieSlices("nan,c")[0].value, 0);

    // The second byte of 珅 (AB 7C) is "|": it does not end the slice.
    s = ParsePieSlices(Gbk("30,张珅,(255,0,0)|70,珅"));
    ASSERT_EQ(s.size(), 2u);
    EXPECT_EQ(s[0].label, Gbk("张珅"));
    EXPECT_EQ(s[0].color, kRed);
    EXPECT_EQ(s[1].label, Gbk("珅"));
}

TEST(PieSlices, LabelsShowTheChosenParts) {
    const auto s = ParsePieSlices("25,Maths|1500.5,Art");
    const double total = 1525.5;
    EXPECT_EQ(PieMarksOf("LABEL"), TPieMarks::Label);
    EXPECT_EQ(PieMarksOf(""), TPieMarks::Label);
    EXPECT_EQ(PieMarkText(s[0], total, PieMarksOf("label")), "Maths");
    EXPECT_EQ(PieMarkText(s[1], total, PieMarksOf("value")), "1,500.5");
    EXPECT_EQ(PieMarkText(s[0], 100, PieMarksOf("percent")), "25 %");
    EXPECT_EQ(PieMarkText(s[0], 300, PieMarksOf("percent")), "8.33 %");
    EXPECT_EQ(PieMarkText(s[0], 100, PieMarksOf("label_value")), "Maths 25");
    EXPECT_EQ(PieMarkText(s[0], 100, PieMarksOf("label_percent")), "Maths 25 %");
    EXPECT_EQ(PieMarkText(s[0], 100, PieMarksOf("percent_total")), "25 % of 100");
    EXPECT_EQ(PieMarkText(s[0], total, PieMarksOf("label_percent_total")),
              "Maths 1.64 % of 1,525.5");
    EXPECT_EQ(PieMarkText(ParsePieSlices(Gbk("1,数学"))[0], 1, TPieMarks::Label),
              QString::fromUtf8("数学"));
}

TEST_F(PieChartTest, SlicesAreDrawnInTheirColoursWithinTheBox) {
    QTemporaryDir tmp;
    TempFolder folder(tmp.path());
    const QImage page = PrintPage(Pie("30,Maths,(255,0,0)|70,Other,(0,0,255)"));
    const QRect red = BoundsOf(page, kRed), blue = BoundsOf(page, kBlue);
    ASSERT_FALSE(red.isNull());
    ASSERT_FALSE(blue.isNull());
    const QRect box(100, 100, 600, 400);
    EXPECT_TRUE(box.contains(red | blue));
    // Seventy against thirty: the blue slice is larger.
    const double share = double(CountOf(page, kRed)) / (CountOf(page, kRed) + CountOf(page, kBlue));
    EXPECT_NEAR(share, 0.3, 0.03);
    // Labels in black outside the pie, within the box.
    const QRect ink = BoundsOf(page, Qt::black);
    ASSERT_FALSE(ink.isNull());
    EXPECT_TRUE(box.contains(ink));
    EXPECT_LT(ink.left(), (red | blue).left());
    // The bitmap file between chart and page is gone.
    EXPECT_TRUE(QDir(tmp.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot).isEmpty());
}

TEST_F(PieChartTest, SliceWithoutColourIsBlackAndZeroTotalDrawsNoPie) {
    QImage page = PrintPage(Pie("10,A", R"(mark_style="LABEL")"));
    // One black slice fills the whole pie.
    EXPECT_GT(CountOf(page, Qt::black), 20000);
    page = PrintPage(Pie("0,A,(255,0,0)|abc,B,(0,0,255)") +
                     R"(<rect left="0" top="0" right="10" bottom="10" fillcolor="0,255,0"/>)");
    EXPECT_EQ(BoundsOf(page, kRed), QRect());
    EXPECT_EQ(BoundsOf(page, kBlue), QRect());
    EXPECT_FALSE(BoundsOf(page, QColor(0, 255, 0)).isNull());
}

TEST_F(PieChartTest, ThreeDimensionalPieHasDarkerSides) {
    const QColor darkRed = kRed.darker(150);
    QImage flat = PrintPage(Pie("1,A,(255,0,0)"));
    EXPECT_EQ(CountOf(flat, darkRed), 0);
    QImage deep = PrintPage(Pie("1,A,(255,0,0)", R"(view3d="true")"));
    const QRect side = BoundsOf(deep, darkRed);
    ASSERT_FALSE(side.isNull());
    EXPECT_GT(side.bottom(), BoundsOf(deep, kRed).bottom());  // the side lies below the top
    QImage deeper = PrintPage(Pie("1,A,(255,0,0)", R"(view3d="true" chart3d_percent="80")"));
    EXPECT_GT(CountOf(deeper, darkRed), CountOf(deep, darkRed));
    QImage other = PrintPage(Pie("1,A,(255,0,0)", R"(view3d="True")"));
    EXPECT_EQ(CountOf(other, darkRed), 0);
}

TEST_F(PieChartTest, LabelFontAndStyleChangeTheLabels) {
    // A box wide enough for the labels at every size tried beside a pie of its fair size.
    const std::string slices = "50,Mathematics,(255,0,0)|50,Art,(0,0,255)";
    auto inkWidth = [&](const std::string& more) {
        const QImage page =
            PrintPage("<piechart x=\"100\" y=\"100\" width=\"1600\" height=\"600\" value=\"" +
                      slices + "\" " + more + "/>");
        return CountOf(page, Qt::black);
    };
    const int plain = inkWidth(R"(mark_fontname="DejaVu Sans")");
    EXPECT_GT(inkWidth(R"(mark_fontname="DejaVu Sans" mark_fontsize="16")"), plain);
    EXPECT_EQ(inkWidth(R"(mark_fontname="DejaVu Sans" mark_fontsize="big")"),
              inkWidth(R"(mark_fontname="DejaVu Sans" mark_fontsize="10")"));
    EXPECT_GT(inkWidth(R"(mark_fontname="DejaVu Sans" mark_style="label_percent_total")"), plain);
}

// Two slices with labels of every length in a box of 60 x 50 mm: the labels give way (smaller,
// then cut short, then left out), and the pie keeps at least a third of the size it has without
// them; whatever is drawn stays in the box.
TEST_F(PieChartTest, LabelsOfAnyLengthLeaveThePieAFairShareOfItsBox) {
    const auto pieWidth = [&](const std::string& label, const std::string& more) {
        const std::string value = "30," + label + ",(255,0,0)|70," + label + ",(0,0,255)";
        const QImage page = PrintPage(
            "<piechart x=\"100\" y=\"100\" width=\"600\" "
            "height=\"500\" value=\"" +
            value + "\" " + more + "/>");
        const QRect pie = BoundsOf(page, kRed) | BoundsOf(page, kBlue);
        const QRect ink = BoundsOf(page, Qt::black);
        EXPECT_TRUE(QRect(100, 100, 600, 500).contains(ink | pie)) << label << more;
        return pie.width();
    };
    const int bare = pieWidth("A", R"(mark_fontsize="1")");
    EXPECT_GT(bare, 400);
    for (int length = 1; length <= 30; length += 3)
        for (const char* more : {R"(mark_style="label_percent_total")",
                                 R"(mark_style="label_percent_total" mark_fontsize="20")"})
            EXPECT_GE(pieWidth(std::string(length, 'M'), more), bare / 3) << length << more;
}

// A label size far beyond any font is held to the largest one before it is multiplied.
TEST(PieDrawing, HugeLabelSizeIsTheLargest) {
    const auto draw = [](int points) {
        QImage image(300, 200, QImage::Format_RGB32);
        image.fill(Qt::white);
        TVostrin::TPieLook look;
        look.fontPoints = points;
        look.marks = TPieMarks::Label;
        TVostrin::DrawPie(image, ParsePieSlices("1,A,(255,0,0)|1,B,(0,0,255)"), look);
        return image;
    };
    EXPECT_EQ(draw(2147483647), draw(1000));
}

TEST_F(PieChartTest, UnusableTemporaryFolderOrEmptyBoxDrawsNothing) {
    {
        QTemporaryDir tmp;
        const QString notAFolder = tmp.filePath("file");
        QFile(notAFolder).open(QIODevice::WriteOnly);
        TempFolder folder(notAFolder);  // no file can be made in it
        const QImage page = PrintPage(Pie("1,A,(255,0,0)"));
        EXPECT_TRUE(BoundsOf(page, kRed).isNull());
    }
    QImage page = PrintPage(
        R"x(<piechart x="100" y="100" width="0" height="400" value="1,A,(255,0,0)"/>)x"
        R"x(<piechart x="100" y="100" width="-50" height="400" value="1,A,(255,0,0)"/>)x");
    EXPECT_TRUE(BoundsOf(page, kRed).isNull());
    // Charts of 9448 x 9448 screen pixels and far beyond: their bitmap would pass the picture
    // cap of 256 MB, so none is made, and the print reports the chart it left out.
    const double start = testtiming::ThreadCpuMs();
    page = PrintPage(R"x(<piechart x="0" y="0" width="25000" height="25000" )x"
                     R"x(value="1,A,(255,0,0)"/>)x",
                     VOSTRIN_PRINT_FAILED);
    EXPECT_TRUE(BoundsOf(page, kRed).isNull());
    page = PrintPage(R"x(<piechart x="100" y="100" width="2000000000" height="2000000000" )x"
                     R"x(value="1,A,(255,0,0)"/>)x",
                     VOSTRIN_PRINT_FAILED);
    EXPECT_LT(testtiming::ThreadCpuMs() - start, 300 * testtiming::kSlowdown);
    EXPECT_TRUE(BoundsOf(page, kRed).isNull());
    Open();
    EXPECT_TRUE(Draw(Pie("")));  // no slices: a white box
    page = Close();
    EXPECT_TRUE(BoundsOf(page, Qt::black).isNull());
}
