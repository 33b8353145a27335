// Printable trees printed on the CUPS queue "PDF", which keeps each job's document as
// job-<id>.pdf in its folder; the PDF is read back with poppler's tools. Skips when the
// queue is not there.
#include <gtest/gtest.h>

#include <QRegularExpression>
#include <QSet>

#include "PdfSpoolTestSupport.h"
#include "PrintElement/Print.h"
#include "PrintTestSupport.h"
#include "ZPrinters/ZPrintDevices.h"
#include "ZPrinters/ZPrinter.h"

using namespace pdfspool;
using namespace printtest;
using TVostrin::TPrint;

namespace {

constexpr double kPointsPerMm = 72.0 / 25.4;

struct TWordBox {
    QString text;
    double xMin, yMin, xMax, yMax;  // points
};

// The words of page 1 with their boxes, as pdftotext -bbox gives them.
std::vector<TWordBox> Words(const QString& pdf) {
    std::vector<TWordBox> out;
    const QString html = RunTool("pdftotext", {"-bbox", "-f", "1", "-l", "1", pdf, "-"});
    static const QRegularExpression re(
        R"re(<word xMin="([\d.]+)" yMin="([\d.]+)" xMax="([\d.]+)" yMax="([\d.]+)">([^<]*)</word>)re");
    for (auto it = re.globalMatch(html); it.hasNext();) {
        const auto m = it.next();
        out.push_back({m.captured(5), m.captured(1).toDouble(), m.captured(2).toDouble(),
                       m.captured(3).toDouble(), m.captured(4).toDouble()});
    }
    return out;
}

const TWordBox* Find(const std::vector<TWordBox>& words, const QString& text) {
    for (const auto& w : words)
        if (w.text == text) return &w;
    return nullptr;
}

class PdfQueueTest : public ::testing::Test {
  protected:
    void SetUp() override {
        if (!HasPdfQueue()) GTEST_SKIP() << "no PDF print queue";
        Zprinters::SetPrintSystem(nullptr);
    }
};

}  // namespace

TEST_F(PdfQueueTest, PagesSizesAndTextComeOutAsPrinted) {
    const QString title = UniqueTitle("Timetable");
    const std::string ascii = R"( fontname="DejaVu Sans" fontsize="12")";
    auto tree = LoadTree("<doc docname=\"" + title.toStdString() + "\">" +
                         Page("<paperkind>A3</paperkind><landscape>1</landscape>",
                              "<text x=\"200\" y=\"200\" value=\"First\"" + ascii + "/>" +
                                  "<text x=\"200\" y=\"400\" value=\"" + Gbk("课程表") +
                                  "\" fontsize=\"14\"/>") +
                         Page("", "<text x=\"200\" y=\"200\" value=\"Second\"" + ascii + "/>") +
                         Page("<paperkind>A4</paperkind><landscape>0</landscape>", "") +
                         Page("",
                              "<textbox x1=\"200\" y1=\"200\" x2=\"900\" y2=\"2000\" ystep=\"80\">"
                              "<text value=\"" +
                                  Gbk("星期一星期二星期三星期四星期五星期六星期日") +
                                  "\" fontsize=\"14\"/></textbox>") +
                         "</doc>");
    ASSERT_TRUE(tree);
    const QSet<QString> before = SpooledJobs();
    ASSERT_EQ(TPrint().Print(tree.get(), "PDF", 0), 0);
    const QString pdf = WaitForJob(before, title);
    ASSERT_FALSE(pdf.isEmpty()) << "no job arrived";

    // Page 2 keeps page 1's A3 landscape; the empty page is not printed; A4 portrait after it.
    EXPECT_EQ(PageSizes(pdf), (QStringList{"1191 x 842", "1191 x 842", "595 x 842"}));
    const QString text = RunTool("pdftotext", {pdf, "-"});
    EXPECT_TRUE(text.contains("First")) << text.toStdString();
    EXPECT_TRUE(text.contains("Second")) << text.toStdString();
    EXPECT_TRUE(text.contains(QString::fromUtf8("课程表"))) << text.toStdString();
    // The box's characters come out whole over several lines.
    QString page3 = RunTool("pdftotext", {"-f", "3", "-l", "3", pdf, "-"});
    page3.remove(QRegularExpression("\\s"));
    EXPECT_EQ(page3, QString::fromUtf8("星期一星期二星期三星期四星期五星期六星期日"));
}

TEST_F(PdfQueueTest, PositionsAndCentringAt600Dpi) {
    const QString title = UniqueTitle("Positions");
    auto tree = LoadTree(
        "<doc>" +
        Page(
            "<offsetx>100</offsetx><paperkind>A4</paperkind>",
            R"(<text x="354" y="600" value="Left" fontname="DejaVu Sans" fontsize="12"/>)"
            R"(<text x="1150" y="1200" value="Centred" fontname="DejaVu Sans" fontsize="12" align="center"/>)"
            R"(<text x="2000" y="1800" value="Right" fontname="DejaVu Sans" fontsize="12" align="right"/>)") +
        "</doc>");
    ASSERT_TRUE(tree);
    Zprinters::TZPrinter printer;
    printer.SetDeviceName("PDF");
    printer.SetResolution({600, 600});
    printer.SetTitle(title);
    const QSet<QString> before = SpooledJobs();
    printer.StartDoc(QString());
    EXPECT_EQ(TPrint().PrintOn(tree.get(), &printer, 0), 0);
    printer.EndDoc();
    const QString pdf = WaitForJob(before, title);
    ASSERT_FALSE(pdf.isEmpty()) << "no job arrived";

    const auto words = Words(pdf);
    const TWordBox* left = Find(words, "Left");
    const TWordBox* centred = Find(words, "Centred");
    const TWordBox* right = Find(words, "Right");
    ASSERT_TRUE(left && centred && right);
    // (354 - 100) * 600 / 254 = dot 600: one inch, 72 points.
    EXPECT_NEAR(left->xMin, 72.0, 0.3 * kPointsPerMm);
    // The middle of the centred text at 115 mm less the 10 mm offset.
    EXPECT_NEAR((centred->xMin + centred->xMax) / 2, 105.0 * kPointsPerMm, 0.3 * kPointsPerMm);
    EXPECT_NEAR(right->xMax, 190.0 * kPointsPerMm, 0.3 * kPointsPerMm);
    // Text is placed by the top of its cell: the word box starts near y = 60 mm.
    EXPECT_NEAR(left->yMin, 60.0 * kPointsPerMm, 1.0 * kPointsPerMm);
}
