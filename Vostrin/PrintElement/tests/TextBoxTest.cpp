// Text boxes on a scripted printer at 254 dpi (one dot is a tenth of a millimetre): wrapping,
// line steps, runs that follow each other, and what the box writes into its runs.
#include <QElapsedTimer>
#include <random>

#include "PrintElement/Print.h"
#include "PrintElement/TextBox.h"
#include "PrintElement/TextWrap.h"
#include "PrintTestSupport.h"
#include "TimingTestSupport.h"

using namespace printtest;
using TVostrin::TPrint;

namespace {

const QColor kGreen(0, 255, 0);
const QColor kBlue(0, 0, 255);

std::string Box(int x1, int y1, int x2, int y2, int ystep, const std::string& runs) {
    return "<textbox x1=\"" + std::to_string(x1) + "\" y1=\"" + std::to_string(y1) + "\" x2=\"" +
           std::to_string(x2) + "\" y2=\"" + std::to_string(y2) + "\" ystep=\"" +
           std::to_string(ystep) + "\">" + runs + "</textbox>";
}

std::string TextRun(const std::string& value, const std::string& more = "") {
    return "<text fontname=\"DejaVu Sans\" fontsize=\"10\" value=\"" + value + "\" " + more + "/>";
}

class TextBoxesTest : public ScriptedRenderer {
  protected:
    QImage PrintPage(const std::string& elements, const std::string& settings = "") {
        tree = LoadTree("<doc>" + Page(settings, elements) + "</doc>");
        EXPECT_TRUE(tree);
        EXPECT_EQ(TPrint().Print(tree.get(), nullptr, 0), 0);
        EXPECT_EQ(Pages().size(), 1u);
        return Pages().empty() ? QImage() : Pages()[0].image;
    }
    // Attribute of run i of the first box of the first page.
    std::string RunAttr(int i, const std::string& name) {
        std::unique_ptr<TXml> box(tree->FindNodeByTag(nullptr, "textbox"));
        std::unique_ptr<TXml> run(box ? box->ChildAt(i) : nullptr);
        return run ? run->AttributeValue(name) : std::string("<none>");
    }
    std::unique_ptr<TXml> tree;
};

const std::string kWords = "alpha beta gamma delta epsilon zeta eta theta iota kappa lambda mu";

}  // namespace

TEST_F(TextBoxesTest, WordsWrapAtBlanksInsideTheBox) {
    const QImage img = PrintPage(Box(100, 100, 500, 1000, 50, TextRun(kWords)));
    const QRect ink = InkBounds(img);
    ASSERT_FALSE(ink.isNull());
    EXPECT_GE(ink.left(), 100);
    EXPECT_LT(ink.right(), 500);
    EXPECT_GT(ink.height(), 100);  // three lines or more
    // The run holds its last line: at x1, further down, with the words not yet drawn.
    EXPECT_EQ(RunAttr(0, "x"), "100");
    EXPECT_GE(std::stoi(RunAttr(0, "y")), 200);
    const std::string last = RunAttr(0, "value");
    ASSERT_FALSE(last.empty());
    EXPECT_NE(last, kWords);
    EXPECT_NE(last.front(), ' ');  // the blank at the cut is dropped
    EXPECT_EQ(kWords.substr(kWords.size() - last.size()), last);
    EXPECT_EQ(kWords[kWords.size() - last.size() - 1], ' ');
}

TEST_F(TextBoxesTest, ChineseWrapsBetweenCharacters) {
    const QString all = QString::fromUtf8("星期一星期二星期三星期四星期五");
    const QImage img =
        PrintPage(Box(100, 100, 500, 1000, 50, TextRun(Gbk("星期一星期二星期三星期四星期五"))));
    EXPECT_LT(InkBounds(img).right(), 500);
    const QString last = tw::text::FromGbk(RunAttr(0, "value"));
    ASSERT_FALSE(last.isEmpty());
    EXPECT_LT(last.size(), all.size());
    EXPECT_TRUE(all.endsWith(last)) << last.toStdString();  // whole characters, no blank added
    EXPECT_FALSE(last.contains(QChar(0xFFFD)));
    EXPECT_EQ(RunAttr(0, "y"), "150");
}

TEST_F(TextBoxesTest, ALongChineseRunWrapsInBoundedTime) {
    const QString sentence = QString::fromUtf8("课程表星期一到星期五每天六节课");
    QString all;
    while (all.size() < 3000) all += sentence;
    // The fonts are looked up once, before the clock starts.
    PrintPage(Box(100, 100, 1900, 2000, 40, TextRun(tw::text::ToGbk(sentence), "fontsize=\"8\"")));
    const double start = testtiming::ThreadCpuMs();
    const QImage img = PrintPage(
        Box(100, 100, 1900, 2000000, 40, TextRun(tw::text::ToGbk(all), "fontsize=\"8\"")));
    EXPECT_LT(testtiming::ThreadCpuMs() - start, 500 * testtiming::kSlowdown);
    EXPECT_LT(InkBounds(img).right(), 1900);
    // Every line was drawn: the run holds the last one, the end of the text.
    const QString last = tw::text::FromGbk(RunAttr(0, "value"));
    ASSERT_FALSE(last.isEmpty());
    EXPECT_TRUE(all.endsWith(last));
    EXPECT_GT(std::stoi(RunAttr(0, "y")), 100 + 40 * 40);
}

TEST_F(TextBoxesTest, LineStepZeroDrawsOneLineAndEnds) {
    const QImage img = PrintPage(Box(100, 100, 400, 1000, 0, TextRun(kWords)));
    const QRect ink = InkBounds(img);
    ASSERT_FALSE(ink.isNull());
    EXPECT_LT(ink.height(), 50);  // one line only, not drawn over and over
    EXPECT_EQ(RunAttr(0, "y"), "100");
    EXPECT_EQ(RunAttr(0, "value"), kWords);
}

TEST_F(TextBoxesTest, AWordWiderThanTheBoxIsNotDrawnAndLinesRunDownToTheBottom) {
    QElapsedTimer timer;
    timer.start();
    const QImage img =
        PrintPage(Box(100, 100, 150, 2000000000, 1, TextRun("Supercalifragilistic")) +
                  Box(100, 100, 150, 300, 30, TextRun("Incomprehensibilities")));
    EXPECT_LT(timer.elapsed(), 20000);
    EXPECT_TRUE(InkBounds(img).isNull());
    EXPECT_EQ(RunAttr(0, "y"), "1999999999");  // the last line above y2
    std::unique_ptr<TXml> second(tree->FindNodeByTag(nullptr, "textbox"));
    std::unique_ptr<TXml> next(tree->FindNodeByTag(second.get(), "textbox"));
    ASSERT_TRUE(next);
    std::unique_ptr<TXml> run(next->ChildAt(0));
    EXPECT_EQ(run->AttributeValue("y"), "280");
    EXPECT_EQ(run->AttributeValue("value"), "Incomprehensibilities");
}

TEST_F(TextBoxesTest, RunsFollowEachOtherAndBrStartsANewLine) {
    const QImage img = PrintPage(
        Box(200, 100, 900, 1000, 60,
            TextRun("Hello", "bgcolor=\"0,255,0\"") + TextRun("World", "bgcolor=\"0,0,255\"") +
                "<br/><other value=\"x\"/>" + TextRun("Next", "bgcolor=\"0,255,0\"")),
        "<offsetx>100</offsetx>");
    const QRect first = BoundsOf(img.copy(0, 0, 1000, 150), kGreen);
    const QRect second = BoundsOf(img, kBlue);
    ASSERT_FALSE(first.isNull());
    ASSERT_FALSE(second.isNull());
    EXPECT_EQ(first.left(), 100);  // x1 200 less the page offset 100
    EXPECT_EQ(second.left(), first.right() + 1);
    EXPECT_EQ(second.top(), first.top());
    // Positions written back are in tenths of a millimetre, the offset added back.
    EXPECT_EQ(RunAttr(0, "x"), "200");
    EXPECT_EQ(RunAttr(1, "x"), std::to_string(200 + first.width()));
    EXPECT_EQ(RunAttr(1, "y"), "100");
    EXPECT_EQ(RunAttr(4, "x"), "200");
    EXPECT_EQ(RunAttr(4, "y"), "160");
    EXPECT_EQ(RunAttr(3, "x"), "");  // other tags are left alone
    const QRect third = BoundsOf(img.copy(0, 150, 1000, 200), kGreen);
    EXPECT_EQ(third.left(), 100);
}

TEST_F(TextBoxesTest, ARunThatDoesNotFitTheRestOfTheLineGoesOnTheNext) {
    // Two runs in a box about as wide as one of them.
    const std::string m = TextRun("MM");
    PrintPage(Box(0, 0, 60, 1000, 40, m + m));
    EXPECT_EQ(RunAttr(1, "x"), "0");
    EXPECT_EQ(RunAttr(1, "y"), "40");
}

TEST_F(TextBoxesTest, WhatIsLeftAtTheBottomIsNotDrawn) {
    const QImage img = PrintPage(
        Box(100, 100, 400, 150, 60, TextRun(kWords) + TextRun("after", "bgcolor=\"0,255,0\"")));
    EXPECT_EQ(RunAttr(0, "y"), "100");  // the second line would start at 160, past 150
    EXPECT_EQ(RunAttr(0, "value"), kWords);
    EXPECT_LT(InkBounds(img).bottom(), 160);
    // The second run goes on after the first line's text, which is still above the bottom.
    EXPECT_FALSE(BoundsOf(img, kGreen).isNull());
}

// The box is a hard limit below too: a line whose top is above y2 but whose text would reach
// below it is not drawn, and neither is a run that goes on there; the runs still take the
// places the box gives them.
TEST_F(TextBoxesTest, NoLineReachesBelowTheBox) {
    std::mt19937 random(30);
    for (int round = 0; round < 12; ++round) {
        const int y2 = 140 + static_cast<int>(random() % 120);
        const int ystep = 20 + static_cast<int>(random() % 40);
        const QImage img = PrintPage(
            Box(100, 100, 400, y2, ystep,
                TextRun(kWords, "bgcolor=\"0,255,0\"") + TextRun("after", "bgcolor=\"0,0,255\"")));
        SCOPED_TRACE("y2 " + std::to_string(y2) + ", ystep " + std::to_string(ystep));
        for (const QColor& c : {kGreen, kBlue}) {
            const QRect box = BoundsOf(img, c);
            if (!box.isNull()) {
                EXPECT_LE(box.bottom(), y2 - 1);
            }
        }
        const QRect ink = InkBounds(img);
        ASSERT_FALSE(ink.isNull());  // the first line fits
        EXPECT_LE(ink.bottom(), y2 - 1);
    }
}

// The box is a hard limit at every length: a run wider than a font measures at once (past 2^25
// dots, where its measure wraps round) is cut to the box like any other.
TEST_F(TextBoxesTest, ARunWiderThanAFontMeasuresAtOnceIsCutToTheBox) {
    const QString sentence = QString::fromUtf8("课程表星期一到星期五每天六节课");
    QString all;
    while (all.size() < 100000) all += sentence;  // 35 million dots at 100 points
    const QImage img = PrintPage(
        Box(100, 50, 900, 590, 100,
            "<text fontname=\"WenQuanYi Micro Hei\" fontsize=\"100\" bgcolor=\"0,255,0\" value=\"" +
                tw::text::ToGbk(all) + "\"/>"));
    const QRect fill = BoundsOf(img, kGreen);
    ASSERT_FALSE(fill.isNull());
    EXPECT_GE(fill.left(), 100);
    EXPECT_LE(fill.right(), 900);
    EXPECT_LE(fill.bottom(), 590);
    // Two characters a line; the lines below the first reach below the box and are not drawn.
    EXPECT_EQ(tw::text::FromGbk(RunAttr(0, "value")).size(), all.size() - 2 * 5);
}

TEST(TextBoxLine, PrintLinePutsWhatDoesNotFitInFrontOfTheRest) {
    // A canvas without a context measures and moves its pen but draws nothing.
    Zprinters::TZCanvas canvas;
    canvas.Font.Name = "DejaVu Sans";
    canvas.Font.SetSize(10);
    auto tree = LoadTree(R"(<r><text x="0" y="0" value="one two three"/></r>)");
    std::unique_ptr<TXml> run(tree->ChildAt(0));
    TVostrin::TTextBox box(tree.get());
    box.DpiX = box.DpiY = 254;
    const int oneTwo = canvas.TextWidth("one two");
    std::string rest = "four";
    EXPECT_TRUE(box.PrintLine(&canvas, run.get(), oneTwo, rest));
    EXPECT_EQ(rest, "three four");
    EXPECT_EQ(canvas.PenPos.X, oneTwo);
    rest.clear();
    EXPECT_TRUE(box.PrintLine(&canvas, run.get(), 100000, rest));
    EXPECT_EQ(rest, "");
    EXPECT_TRUE(box.PrintLine(&canvas, run.get(), -5, rest));  // nothing fits
    EXPECT_EQ(rest, "one two three");
    EXPECT_EQ(canvas.PenPos.X, 0);
    // The canvas keeps its own font.
    EXPECT_EQ(canvas.Font.Name, "DejaVu Sans");
    EXPECT_EQ(canvas.Brush.Style, Zprinters::bsSolid);
}

TEST(TextBoxLine, LinesBreakAsCuttingPieceAfterPieceFromTheEnd) {
    Zprinters::TZCanvas canvas;
    canvas.Font.Name = "DejaVu Sans";
    canvas.Font.SetSize(10);
    auto tree = LoadTree(R"(<r><text x="0" y="0" value="x"/></r>)");
    std::unique_ptr<TXml> run(tree->ChildAt(0));
    TVostrin::TTextBox box(tree.get());
    box.DpiX = box.DpiY = 254;
    const std::vector<std::string> pieces = {"a",       "W",       "il",      " ", "  ",
                                             Gbk("课"), Gbk("表"), Gbk("，"), "-", "\xB1"};
    std::mt19937 random(10);
    for (int round = 0; round < 400; ++round) {
        std::string text;
        for (int n = static_cast<int>(random() % 40); n > 0; --n)
            text += pieces[random() % pieces.size()];
        const std::string before = random() % 2 ? "" : "next";
        const int width = static_cast<int>(random() % 500) - 20;
        // The plain way: take the last piece off again and again until what is left fits.
        std::string line = text;
        std::string expected = before;
        while (!line.empty() && canvas.TextWidth(tw::text::FromGbk(line)) > width)
            if (!TVostrin::CutLastPiece(line, expected)) break;

        run->SetAttribute("value", text);
        std::string rest = before;
        box.PrintLine(&canvas, run.get(), width, rest);
        ASSERT_EQ(rest, expected) << text << " in " << width;
        ASSERT_EQ(canvas.PenPos.X, canvas.TextWidth(tw::text::FromGbk(line))) << text;
    }
}
