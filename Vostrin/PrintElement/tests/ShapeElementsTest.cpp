// Rectangles and lines drawn on a scripted printer at 254 dpi (one dot per tenth of a
// millimetre): fill colours, corners with the page offset, pen widths and styles, and the
// canvas left as it was.
#include "ElementPageTestSupport.h"
#include "PrintElement/Print.h"

using namespace printtest;

namespace {

const QColor kRed(255, 0, 0);
const QColor kBlue(0, 0, 255);

class ShapeElementsTest : public ElementPage {};

// Dark pixels on the row y between x0 and x1.
int InkOnRow(const QImage& img, int y, int x0, int x1) {
    int n = 0;
    for (int x = x0; x <= x1; ++x) n += qGray(img.pixel(x, y)) < 128;
    return n;
}

}  // namespace

TEST_F(ShapeElementsTest, RectangleIsFilledWithItsColourWithinItsCorners) {
    auto tree = LoadTree("<doc>" +
                         Page("<offsetx>100</offsetx><offsety>50</offsety>",
                              R"(<rect left="200" top="150" right="400" bottom="250" )"
                              R"(fillcolor="255,0,0"/><rect left="500" top="300" right="600" )"
                              R"(bottom="350" fillcolor="0,,255"/>)") +
                         "</doc>");
    ASSERT_TRUE(tree);
    ASSERT_EQ(TVostrin::TPrint().Print(tree.get(), nullptr, 0), 0);
    ASSERT_EQ(Pages().size(), 1u);
    EXPECT_EQ(BoundsOf(Pages()[0].image, kRed), QRect(QPoint(100, 100), QPoint(299, 199)));
    // A missing part of a fill colour is 255: "0,,255" is cyan; no outline is drawn.
    EXPECT_EQ(BoundsOf(Pages()[0].image, QColor(0, 255, 255)),
              QRect(QPoint(400, 250), QPoint(499, 299)));
    EXPECT_TRUE(BoundsOf(Pages()[0].image, Qt::black).isNull());
}

TEST_F(ShapeElementsTest, RectangleFarBeyondThePageOnBothSidesCoversIt) {
    // Its corners lie near the ends of the int range: its width in dots must not wrap round.
    Open();
    EXPECT_TRUE(Draw(R"(<rect left="-2000000000" top="-2147483648" right="2000000000" )"
                     R"(bottom="2147483647" fillcolor="255,0,0"/>)"));
    const QImage img = Close();
    EXPECT_EQ(BoundsOf(img, kRed), img.rect());
}

TEST_F(ShapeElementsTest, RectangleWithoutColourUsesTheCanvasBrushAndGivesItBack) {
    auto* canvas = Open();
    canvas->Brush.Color = kBlue;
    EXPECT_TRUE(Draw(R"(<rect left="10" top="10" right="60" bottom="30"/>)"));
    EXPECT_TRUE(Draw(R"(<rect left="100" top="10" right="160" bottom="30" fillcolor="255,0,0"/>)"));
    EXPECT_EQ(canvas->Brush.Color, kBlue);
    EXPECT_EQ(canvas->Brush.Style, Zprinters::bsSolid);
    const QImage img = Close();
    EXPECT_EQ(BoundsOf(img, kBlue), QRect(QPoint(10, 10), QPoint(59, 29)));
    EXPECT_EQ(BoundsOf(img, kRed), QRect(QPoint(100, 10), QPoint(159, 29)));
}

TEST_F(ShapeElementsTest, LineRunsBetweenItsEndPointsWithItsPen) {
    auto* canvas = Open();
    canvas->Pen.Color = kBlue;
    EXPECT_TRUE(Draw(R"(<line xfrom="120" yfrom="70" xto="520" yto="70" width="5"/>)", 20, 20));
    EXPECT_TRUE(Draw(R"(<line xfrom="100" yfrom="100" xto="100" yto="300"/>)"));
    EXPECT_EQ(canvas->Pen.Color, kBlue);
    EXPECT_EQ(canvas->Pen.Width, 1);
    const QImage img = Close();
    // The first line: from (100, 50) to (500, 50), five dots thick, in the canvas pen colour.
    const QRect thick = BoundsOf(img.copy(0, 0, 700, 90), kBlue);
    EXPECT_NEAR(thick.left(), 100, 3);
    EXPECT_NEAR(thick.right(), 500, 3);
    EXPECT_EQ(thick.height(), 5);
    // The second: the canvas pen's width of one dot.
    const QRect thin = BoundsOf(img.copy(0, 90, 700, 300), kBlue);
    EXPECT_EQ(thin.width(), 1);
    EXPECT_EQ(thin.left(), 100);
}

TEST_F(ShapeElementsTest, LineWidthAndStyleThatAreNotNumbersOrDrawNothing) {
    auto* canvas = Open();
    canvas->Pen.Width = 9;
    canvas->Pen.Style = Zprinters::psDash;
    // A width that is not a number is one dot; a style that is not a number is solid.
    EXPECT_TRUE(Draw(R"(<line xfrom="10" yfrom="50" xto="610" yto="50" width="x" style="?"/>)"));
    // Style 5 draws nothing; style 2 dots; style 6 draws a solid line.
    EXPECT_TRUE(Draw(R"(<line xfrom="10" yfrom="150" xto="610" yto="150" width="3" style="5"/>)"));
    EXPECT_TRUE(Draw(R"(<line xfrom="10" yfrom="250" xto="610" yto="250" width="1" style="2"/>)"));
    EXPECT_TRUE(Draw(R"(<line xfrom="10" yfrom="350" xto="610" yto="350" width="1" style="6"/>)"));
    // Without attributes the canvas pen's width and style are used: a dashed line of 9 dots.
    EXPECT_TRUE(Draw(R"(<line xfrom="10" yfrom="450" xto="610" yto="450"/>)"));
    EXPECT_EQ(canvas->Pen.Width, 9);
    EXPECT_EQ(canvas->Pen.Style, Zprinters::psDash);
    const QImage img = Close();
    EXPECT_EQ(InkBounds(img, QRect(0, 30, 700, 40)).height(), 1);
    EXPECT_EQ(InkOnRow(img, 50, 10, 610), 601);
    EXPECT_TRUE(InkBounds(img, QRect(0, 120, 700, 60)).isNull());
    const int dotted = InkOnRow(img, 250, 10, 610);
    EXPECT_GT(dotted, 100);
    EXPECT_LT(dotted, 500);
    EXPECT_EQ(InkOnRow(img, 350, 10, 610), 601);
    EXPECT_EQ(InkBounds(img, QRect(0, 400, 700, 100)).height(), 9);
    EXPECT_LT(InkOnRow(img, 450, 10, 610), 550);  // dashes leave gaps
}
