// The canvas: defaults, font sizes at a resolution, text placed by its top-left corner, the pen
// position after text, and the printer canvases' resolution handling.
#include <gtest/gtest.h>

#include <QPainter>
#include <functional>

#include "ScriptedPrintingTestSupport.h"
#include "ZPrinters/ZErrors.h"
#include "ZPrinters/ZPrinter.h"
#include "ZPrinters/ZPrinterCanvas.h"

using namespace Zprinters;

namespace {

// The bounding box of the non-white pixels of an image; null when all is white.
QRect InkBox(const QImage& img) {
    QRect box;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            if (img.pixel(x, y) != qRgb(255, 255, 255)) box |= QRect(x, y, 1, 1);
    return box;
}

}  // namespace

TEST(Font, SizeAndHeightFollowTheResolution) {
    TZFont f;
    EXPECT_EQ(f.GetPixelsPerInch(), 96);
    EXPECT_EQ(f.GetSize(), 8);
    f.SetSize(12);
    EXPECT_EQ(f.GetHeight(), -16);
    f.SetPixelsPerInch(600);  // only the resolution changes: the points shrink
    EXPECT_EQ(f.GetHeight(), -16);
    EXPECT_EQ(f.GetSize(), 2);
    UpdateFontResolution(f, 300);
    EXPECT_EQ(f.GetHeight(), -8);
    EXPECT_EQ(f.GetSize(), 2);
    TZFont g;
    g.SetSize(12);
    UpdateFontResolution(g, 600);
    EXPECT_EQ(g.GetHeight(), -100);
    EXPECT_EQ(g.GetSize(), 12);
}

// A size from a page may be any int: the height is worked out in 64 bits and held to what an
// int holds on either side, so that it can be negated and its magnitude taken.
TEST(Font, HugeSizesKeepTheirSignAndFit) {
    TZFont f;
    f.SetPixelsPerInch(600);
    f.SetSize(2147483647);
    EXPECT_EQ(f.GetHeight(), -2147483647);
    EXPECT_EQ(f.ToQFont().pixelSize(), 2147483647);
    f.SetSize(-2147483647 - 1);
    EXPECT_EQ(f.GetHeight(), 2147483647);
    f.SetHeight(-2147483647 - 1);
    EXPECT_EQ(f.ToQFont().pixelSize(), 2147483647);
}

TEST(Canvas, DefaultsAreThoseOfAClassicCanvas) {
    TZCanvas c;
    EXPECT_EQ(c.Brush.Color, QColor(Qt::white));
    EXPECT_EQ(c.Brush.Style, bsSolid);
    EXPECT_EQ(c.Pen.Color, QColor(Qt::black));
    EXPECT_EQ(c.Pen.Width, 1);
    EXPECT_EQ(c.PenPos, (TPoint{0, 0}));
    EXPECT_FALSE(c.HandleAllocated());
    c.TextOut(5, 6, "abc");  // no context: nothing drawn, the pen still moves
    EXPECT_EQ(c.PenPos, (TPoint{5 + c.TextWidth("abc"), 6}));
    c.MoveTo(1, 2);
    c.LineTo(7, 8);
    EXPECT_EQ(c.PenPos, (TPoint{7, 8}));
}

class PrinterCanvasTest : public ScriptedPrinting {
  protected:
    // Adds the printer "Laser" at dpi dots per inch.
    void AddLaser(int16_t dpi) {
        auto& printer = AddPrinter("Laser");
        printer.defaults.dmPrintQuality = printer.defaults.dmYResolution = dpi;
    }
    // The page of a one-page document that draw draws on a 100 dpi printer.
    QImage DrawnPage(const std::function<void(TZPrinterCanvas& c)>& draw) {
        AddLaser(100);
        TZPrinter p;
        p.StartDoc("");
        p.StartPage();
        draw(*p.Canvas);
        p.EndPage();
        p.EndDoc();
        return sys->LastDoc()->pages[0].image;
    }
};

TEST_F(PrinterCanvasTest, TextIsPlacedByItsTopLeftCorner) {
    int cellHeight = 0;
    const QImage page = DrawnPage([&](TZPrinterCanvas& c) {
        c.Font.SetSize(20);
        EXPECT_EQ(c.Font.GetPixelsPerInch(), 100);
        EXPECT_EQ(c.Font.GetHeight(), -28);
        c.Brush.Style = bsClear;
        c.TextOut(100, 200, "HHHH");
        EXPECT_EQ(c.PenPos, (TPoint{100 + c.TextWidth("HHHH"), 200}));
        cellHeight = c.TextHeight("HHHH");
    });
    QRect ink = InkBox(page);
    ASSERT_FALSE(ink.isNull());
    // Capital letters start a little below the top of the cell and end above its bottom.
    EXPECT_GE(ink.top(), 200);
    EXPECT_LT(ink.top(), 200 + 14);
    EXPECT_LE(ink.bottom(), 200 + cellHeight);
    EXPECT_GE(ink.left(), 100);
    EXPECT_LT(ink.left(), 110);
}

TEST_F(PrinterCanvasTest, SolidBrushFillsTheTextCell) {
    int w = 0, h = 0;
    const QImage img = DrawnPage([&](TZPrinterCanvas& c) {
        c.Brush.Color = QColor(255, 0, 0);
        c.TextOut(50, 60, "x");
        w = c.TextWidth("x");
        h = c.TextHeight("x");
        c.Brush.Style = bsSolid;
        c.Brush.Color = QColor(0, 0, 255);
        c.Pen.Style = psClear;
        c.FillRect({300, 300, 310, 320});
    });
    EXPECT_EQ(img.pixel(50, 60), qRgb(255, 0, 0));
    EXPECT_EQ(img.pixel(50 + w - 1, 60 + h - 1), qRgb(255, 0, 0));
    EXPECT_EQ(img.pixel(50 + w + 1, 60), qRgb(255, 255, 255));
    EXPECT_EQ(img.pixel(300, 300), qRgb(0, 0, 255));
    EXPECT_EQ(img.pixel(309, 319), qRgb(0, 0, 255));
    EXPECT_EQ(img.pixel(310, 320), qRgb(255, 255, 255));
}

TEST_F(PrinterCanvasTest, ShapesUseThePenAndBrush) {
    const QImage img = DrawnPage([](TZPrinterCanvas& c) {
        c.Brush.Color = QColor(0, 255, 0);
        c.Rectangle(10, 10, 50, 50);
        c.MoveTo(100, 100);
        c.LineTo(200, 100);
        c.Pie(300, 300, 400, 400, 400, 350, 350, 300);  // the upper right quarter
    });
    EXPECT_EQ(img.pixel(10, 10), qRgb(0, 0, 0));    // outline
    EXPECT_EQ(img.pixel(30, 30), qRgb(0, 255, 0));  // fill
    EXPECT_EQ(img.pixel(50, 50), qRgb(255, 255, 255));
    EXPECT_EQ(img.pixel(150, 100), qRgb(0, 0, 0));
    EXPECT_EQ(img.pixel(370, 330), qRgb(0, 255, 0));
    EXPECT_EQ(img.pixel(330, 370), qRgb(255, 255, 255));
}

TEST_F(PrinterCanvasTest, CompatibleCanvasMeasuresAtThePrinterResolution) {
    AddLaser(600);
    TZPrinter p;
    auto c = p.CreateCompatibleCanvas();
    EXPECT_EQ(c->PixelsPerInch(), 600);
    c->Font.SetSize(12);
    c->TextOut(0, 0, "x");  // an information context draws nothing and raises nothing
    EXPECT_EQ(c->Font.GetPixelsPerInch(), 600);
    EXPECT_EQ(c->Font.GetSize(), 12);
    EXPECT_EQ(c->Font.GetHeight(), -100);
    EXPECT_EQ(RAISED_MESSAGE(TZPrinterCompatibleCanvas(nullptr)), "Selected printer is not valid.");
}
