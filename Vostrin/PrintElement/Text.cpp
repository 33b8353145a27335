#include "PrintElement/Text.h"

#include "PrintElement/FontAttributes.h"
#include "PrintElement/NumberFormat.h"
#include "PrintElement/PrintColor.h"
#include "PrintElement/PrintUnits.h"
#include "PrintElement/TextFit.h"
#include "PrintElement/TextWrap.h"
#include "TXml.h"
#include "text/Gbk.h"

namespace TVostrin {

namespace {

using Zprinters::TZBrush;
using Zprinters::TZFont;

// Gives the canvas its font and brush back when the drawing is done or has failed.
class TCanvasRestore {
  public:
    explicit TCanvasRestore(TCanvas* canvas)
        : canvas_(canvas), font_(canvas->Font), brush_(canvas->Brush) {}
    ~TCanvasRestore() {
        canvas_->Font = font_;
        canvas_->Brush = brush_;
    }
    TCanvasRestore(const TCanvasRestore&) = delete;
    TCanvasRestore& operator=(const TCanvasRestore&) = delete;
    const TZFont& Font() const { return font_; }
    const TZBrush& Brush() const { return brush_; }

  private:
    TCanvas* canvas_;
    TZFont font_;
    TZBrush brush_;
};

}  // namespace

bool TText::Print(TCanvas* canvas) {
    if (!PrintFitted(*this, canvas, Node)) DrawRun(*this, canvas, Node, nullptr, nullptr);
    return true;
}

std::string TText::DrawRun(const TPrintElement& element, TCanvas* canvas, TXml* run,
                           const int* maxWidth, std::string* rest) {
    if (!canvas || !run) return std::string();
    TCanvasRestore saved(canvas);
    std::string value;
    try {
        TZFont font = saved.Font();
        TZBrush brush = saved.Brush();
        bool fill = false;
        std::string align;
        value = run->AttributeValue("value");
        if (!value.empty()) {
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
            const std::string format = run->AttributeValue("format");
            if (run->AttributeValue("type") == "number" && !format.empty())
                value = FormatNumberText(value, format);
        }
        const int x = StrToIntDef(run->AttributeValue("x"), 0);
        const int y = StrToIntDef(run->AttributeValue("y"), 0);
        canvas->Font = font;
        canvas->Brush = brush;

        if (maxWidth && rest) {
            const int limit = SizeToDots(*maxWidth, element.DpiX);
            value = FitLine(value, *rest, [canvas, limit](const std::string& line) {
                return canvas->TextWidth(tw::text::FromGbk(line)) <= limit;
            });
        }
        const QString text = tw::text::FromGbk(value);

        int dx = element.XToDots(x);
        const int dy = element.YToDots(y);
        const Zprinters::TPoint extent = canvas->TextExtent(text);
        if (align == "right")
            dx -= extent.X;
        else if (align == "center")
            dx -= extent.X / 2;
        if (fill) canvas->FillRect({dx, dy, dx + extent.X, dy + extent.Y});
        canvas->TextOut(dx, dy, text);
    } catch (...) {
        // A failing element leaves the page to the others.
    }
    return value;
}

}  // namespace TVostrin
