#include "PrintElement/MyRect.h"

#include "PrintElement/PrintColor.h"
#include "PrintElement/PrintUnits.h"
#include "TXml.h"

namespace TVostrin {

bool TMyRect::Print(TCanvas* canvas) {
    if (!canvas || !Node) return true;
    const Zprinters::TZBrush saved = canvas->Brush;
    try {
        Zprinters::TZBrush brush = saved;
        const std::string fill = Node->AttributeValue("fillcolor");
        if (!fill.empty()) brush.Color = ToQColor(ParseColor(fill, 255));
        const Zprinters::TRect r{XToDots(StrToIntDef(Node->AttributeValue("left"), 0)),
                                 YToDots(StrToIntDef(Node->AttributeValue("top"), 0)),
                                 XToDots(StrToIntDef(Node->AttributeValue("right"), 0)),
                                 YToDots(StrToIntDef(Node->AttributeValue("bottom"), 0))};
        canvas->Brush = brush;
        canvas->FillRect(r);
    } catch (...) {
        // A failing element leaves the page to the others.
    }
    canvas->Brush = saved;
    return true;
}

}  // namespace TVostrin
