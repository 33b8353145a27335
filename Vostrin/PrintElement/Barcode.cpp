#include "PrintElement/Barcode.h"

#include <algorithm>
#include <climits>
#include <cmath>

#include "PrintElement/FontAttributes.h"
#include "PrintElement/NumberFormat.h"
#include "PrintElement/PrintColor.h"
#include "PrintElement/PrintUnits.h"
#include "PrintElement/ZintBarcode.h"
#include "TXml.h"

namespace TVostrin {

int NarrowBarDots(int dpi, float enlarge) {
    const float dots = static_cast<float>(dpi) * 3.3f * enlarge / 254.0f;
    if (!std::isfinite(dots) || dots <= -2147483648.0f) return 0;
    if (dots >= 2147483647.0f) return 2147483647;
    return static_cast<int>(dots);
}

bool TBarcode::Print(TCanvas* canvas) {
    return DrawKeepingCanvas(canvas, [&](const TCanvasState& saved) {
        std::string value = Node->AttributeValue("value");
        if (value.empty()) value = Node->GetContent();
        if (value.empty()) return;
        Zprinters::TZFont font = saved.Font();
        Zprinters::TZPen pen = saved.Pen();

        std::string type = Node->AttributeValue("type");
        if (type.empty()) type = "128";
        const int x = StrToIntDef(Node->AttributeValue("x"), 0);
        const int y = StrToIntDef(Node->AttributeValue("y"), 0);
        const std::string color = Node->AttributeValue("color");
        if (!color.empty()) pen.Color = ToQColor(ParseColor(color, 0));
        const float enlarge = ParsePlainNumber(Node->AttributeValue("enlarge"), 1.0f);
        pen.Width = NarrowBarDots(DpiX, enlarge);
        const int height = StrToIntDef(Node->AttributeValue("height"), 50);
        const int mode = StrToIntDef(Node->AttributeValue("mode"), 0);
        const int rotation = StrToIntDef(Node->AttributeValue("rotation"), 0);

        ApplyFontAttributes(Node, font);

        canvas->Font = font;
        canvas->Pen = pen;
        DrawBarcode(canvas, type,
                    static_cast<int>(std::clamp<long long>(static_cast<long long>(x) - OffsetX,
                                                           INT_MIN, INT_MAX)),
                    static_cast<int>(std::clamp<long long>(static_cast<long long>(y) - OffsetY,
                                                           INT_MIN, INT_MAX)),
                    value, enlarge, height, rotation, mode);
    });
}

}  // namespace TVostrin
