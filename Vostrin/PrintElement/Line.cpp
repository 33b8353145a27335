#include "PrintElement/Line.h"

#include "PrintElement/PrintUnits.h"
#include "TXml.h"

namespace TVostrin {

namespace {

// The pen style of a style number. "Inside frame" only differs from solid for closed shapes,
// so a line draws it solid; numbers outside the list draw solid too.
Zprinters::TZPenStyle PenStyleOf(int style) {
    switch (style) {
        case 1:
            return Zprinters::psDash;
        case 2:
            return Zprinters::psDot;
        case 3:
            return Zprinters::psDashDot;
        case 4:
            return Zprinters::psDashDotDot;
        case 5:
            return Zprinters::psClear;
        default:
            return Zprinters::psSolid;
    }
}

}  // namespace

bool TLine::Print(TCanvas* canvas) {
    return DrawKeepingCanvas(canvas, [&](const TCanvasState& saved) {
        Zprinters::TZPen pen = saved.Pen();
        const std::string width = Node->AttributeValue("width");
        if (!width.empty()) pen.Width = StrToIntDef(width, 1);
        const std::string style = Node->AttributeValue("style");
        if (!style.empty()) pen.Style = PenStyleOf(StrToIntDef(style, 0));
        const int x1 = XToDots(StrToIntDef(Node->AttributeValue("xfrom"), 0));
        const int y1 = YToDots(StrToIntDef(Node->AttributeValue("yfrom"), 0));
        const int x2 = XToDots(StrToIntDef(Node->AttributeValue("xto"), 0));
        const int y2 = YToDots(StrToIntDef(Node->AttributeValue("yto"), 0));
        canvas->Pen = pen;
        canvas->MoveTo(x1, y1);
        canvas->LineTo(x2, y2);
    });
}

}  // namespace TVostrin
