#include "PrintElement/MyRect.h"

#include "PrintElement/PrintColor.h"
#include "PrintElement/PrintUnits.h"
#include "TXml.h"

namespace TVostrin {

bool TMyRect::Print(TCanvas* canvas) {
    return DrawKeepingCanvas(canvas, [&](const TCanvasState& saved) {
        Zprinters::TZBrush brush = saved.Brush();
        const std::string fill = Node->AttributeValue("fillcolor");
        if (!fill.empty()) brush.Color = ToQColor(ParseColor(fill, 255));
        const Zprinters::TRect r{XToDots(StrToIntDef(Node->AttributeValue("left"), 0)),
                                 YToDots(StrToIntDef(Node->AttributeValue("top"), 0)),
                                 XToDots(StrToIntDef(Node->AttributeValue("right"), 0)),
                                 YToDots(StrToIntDef(Node->AttributeValue("bottom"), 0))};
        canvas->Brush = brush;
        canvas->FillRect(r);
    });
}

}  // namespace TVostrin
