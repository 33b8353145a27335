// Shapes, a pie chart, a picture and a Code 128 barcode printed on the CUPS queue "PDF" (which
// keeps each job's document as job-<id>.pdf in its folder), the PDF rendered to PNG with
// pdftoppm and read back: colours where the elements lie, the barcode decoded with zbarimg.
// Skips when the queue or the tools are not there.
#include <QCoreApplication>
#include <QDateTime>
#include <QSet>
#include <QStandardPaths>
#include <QTemporaryDir>

#include "PdfSpoolTestSupport.h"
#include "PrintElement/Print.h"
#include "PrintTestSupport.h"

using namespace pdfspool;
using namespace printtest;

namespace {

constexpr int kDpi = 150;

// Pixels within tolerance of the colour inside the area (in tenths of a millimetre).
int Near(const QImage& img, const QRect& area, const QColor& c, int tolerance = 40) {
    const QRect px(area.x() * kDpi / 254, area.y() * kDpi / 254, area.width() * kDpi / 254,
                   area.height() * kDpi / 254);
    int n = 0;
    for (int y = px.top(); y <= px.bottom(); ++y)
        for (int x = px.left(); x <= px.right(); ++x) {
            const QColor p = img.pixelColor(x, y);
            n += std::abs(p.red() - c.red()) <= tolerance &&
                 std::abs(p.green() - c.green()) <= tolerance &&
                 std::abs(p.blue() - c.blue()) <= tolerance;
        }
    return n;
}

class PrintedShapesTest : public ::testing::Test {
  protected:
    void SetUp() override {
        if (!HasPdfQueue()) GTEST_SKIP() << "no PDF print queue";
        for (const char* tool : {"pdftoppm", "pdfinfo", "zbarimg"})
            if (QStandardPaths::findExecutable(tool).isEmpty()) GTEST_SKIP() << "no " << tool;
        Zprinters::SetPrintSystem(nullptr);
    }
};

}  // namespace

TEST_F(PrintedShapesTest, ColoursAndBarcodeComeOutInThePdf) {
    QTemporaryDir dir;
    QImage picture(20, 20, QImage::Format_RGB32);
    picture.fill(QColor(255, 0, 255));
    const QString jpg = dir.filePath("magenta.jpg");
    ASSERT_TRUE(picture.save(jpg, "JPG", 100));

    const QString title = QString("Shapes %1-%2")
                              .arg(QCoreApplication::applicationPid())
                              .arg(QDateTime::currentMSecsSinceEpoch());
    auto tree = LoadTree(
        "<doc docname=\"" + title.toStdString() + "\">" +
        Page("<paperkind>A4</paperkind>",
             R"x(<rect left="200" top="200" right="600" bottom="400" fillcolor="255,0,0"/>)x"
             R"x(<piechart x="200" y="500" width="800" height="600" )x"
             R"x(value="50,G,(0,160,0)|50,B,(0,0,255)"/>)x"
             "<image x=\"1200\" y=\"200\" width=\"300\" height=\"200\" value=\"" +
                 jpg.toStdString() +
                 "\"/>"
                 R"x(<barcode x="200" y="1300" value="TT-2026" height="150"/>)x") +
        "</doc>");
    ASSERT_TRUE(tree);
    const QSet<QString> before = SpooledJobs();
    ASSERT_EQ(TVostrin::TPrint().Print(tree.get(), "PDF", 0), 0);
    const QString pdf = WaitForJob(before, title);
    ASSERT_FALSE(pdf.isEmpty()) << "no job arrived";

    const QString stem = dir.filePath("page");
    RunTool("pdftoppm", {"-r", QString::number(kDpi), "-png", "-singlefile", pdf, stem});
    const QImage page(stem + ".png");
    ASSERT_FALSE(page.isNull());
    QFile::remove(pdf);

    const QRect rect(210, 210, 380, 180);
    EXPECT_GT(Near(page, rect, QColor(255, 0, 0), 2), rect.width() * rect.height() * 0.2);
    EXPECT_EQ(Near(page, QRect(210, 410, 380, 50), QColor(255, 0, 0)), 0);
    const QRect pie(200, 500, 800, 600);
    EXPECT_GT(Near(page, pie, QColor(0, 160, 0)), 5000);
    EXPECT_GT(Near(page, pie, QColor(0, 0, 255)), 5000);
    EXPECT_GT(Near(page, QRect(1210, 210, 280, 180), QColor(255, 0, 255)), 5000);
    EXPECT_EQ(RunTool("zbarimg", {"--quiet", stem + ".png"}).trimmed(), "CODE-128:TT-2026");
}
