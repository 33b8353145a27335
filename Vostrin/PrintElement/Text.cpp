#include "PrintElement/Text.h"

#include <QFontMetricsF>
#include <cmath>

#include "PrintElement/FontAttributes.h"
#include "PrintElement/NumberFormat.h"
#include "PrintElement/PrintColor.h"
#include "PrintElement/PrintUnits.h"
#include "PrintElement/TextFit.h"
#include "PrintElement/TextWidth.h"
#include "PrintElement/TextWrap.h"
#include "TXml.h"
#include "text/Gbk.h"

namespace TVostrin {

namespace {

using Zprinters::TZBrush;
using Zprinters::TZFont;

}  // namespace

bool TText::Print(TCanvas* canvas) {
    if (!PrintFitted(*this, canvas, Node)) DrawRun(*this, canvas, Node, nullptr, nullptr);
    return true;
}

namespace {

// Draws run as DrawRun describes; with line given, its text, font, top and extent take the place
// of the run's value (not formatted again), font attributes, "y" and the measured extent.
std::string Draw(const TPrintElement& element, TCanvas* canvas, TXml* run, const int* maxWidth,
                 std::string* rest, const int* bottom, const TText::TLine* line) {
    if (!canvas || !run) return std::string();
    TCanvasState saved(canvas);
    std::string value;
    try {
        TZFont font = saved.Font();
        TZBrush brush = saved.Brush();
        bool fill = false;
        std::string align;
        // A fitted line comes from a value; its text is in line.
        if (!line) value = run->AttributeValue("value");
        if (line || !value.empty()) {
            if (line)
                font = *line->font;
            else
                ApplyFontAttributes(run, font);
            const std::string background = run->AttributeValue("bgcolor");
            if (!background.empty()) {
                brush.Color = ToQColor(ParseColor(background, 255));
                brush.Style = Zprinters::bsSolid;
                fill = true;
            } else {
                brush.Style = Zprinters::bsClear;
            }
            align = run->AttributeValue("align");
            const std::string format = line ? std::string() : run->AttributeValue("format");
            if (!format.empty() && run->AttributeValue("type") == "number")
                value = FormatNumberText(value, format);
        }
        const int x = StrToIntDef(run->AttributeValue("x"), 0);
        const int y = line ? 0 : StrToIntDef(run->AttributeValue("y"), 0);
        canvas->Font = font;
        canvas->Brush = brush;

        if (maxWidth && rest) {
            // Measured so that a line of any length is known to be too wide, rounded as the
            // canvas rounds its widths.
            const int limit = SizeToDots(*maxWidth, element.DpiX);
            const QFontMetricsF metrics(font.ToQFont());
            value = FitLine(value, *rest, [&metrics, limit](const std::string& line) {
                return std::llround(MeasureTextWidth(metrics, tw::text::FromGbk(line))) <= limit;
            });
        }
        const QString text = line ? line->text : tw::text::FromGbk(value);

        int dx = element.XToDots(x);
        const int dy = line ? line->top : element.YToDots(y);
        const Zprinters::TPoint extent = line ? line->extent : canvas->TextExtent(text);
        if (align == "right")
            dx -= extent.X;
        else if (align == "center")
            dx -= extent.X / 2;
        if (bottom && dy + extent.Y > *bottom) {
            canvas->PenPos = {dx + extent.X, dy};  // where the text would have left it
        } else {
            if (fill) canvas->FillRect({dx, dy, dx + extent.X, dy + extent.Y});
            canvas->TextOut(dx, dy, text);
        }
    } catch (...) {
        // A failing element leaves the page to the others.
    }
    return value;
}

}  // namespace

std::string TText::DrawRun(const TPrintElement& element, TCanvas* canvas, TXml* run,
                           const int* maxWidth, std::string* rest, const int* bottom) {
    return Draw(element, canvas, run, maxWidth, rest, bottom, nullptr);
}

void TText::DrawLine(const TPrintElement& element, TCanvas* canvas, TXml* node, const TLine& line) {
    Draw(element, canvas, node, nullptr, nullptr, nullptr, &line);
}

}  // namespace TVostrin
