#include "PrintElement/TextBox.h"

#include <limits>
#include <memory>

#include "PrintElement/PrintUnits.h"
#include "PrintElement/Text.h"
#include "TXml.h"

namespace TVostrin {

namespace {

int ClampInt(long long v) {
    if (v > std::numeric_limits<int>::max()) return std::numeric_limits<int>::max();
    if (v < std::numeric_limits<int>::min()) return std::numeric_limits<int>::min();
    return static_cast<int>(v);
}

void SetPosition(TXml* run, long long x, long long y) {
    run->SetAttribute("x", std::to_string(ClampInt(x)));
    run->SetAttribute("y", std::to_string(ClampInt(y)));
}

}  // namespace

bool TTextBox::PrintLine(TCanvas* canvas, TXml* run, int maxWidth, std::string& rest) {
    TText::DrawRun(*this, canvas, run, &maxWidth, &rest);
    return true;
}

std::string TTextBox::DrawLine(TCanvas* canvas, TXml* run, long long maxWidth, long long bottom,
                               std::string& rest) {
    rest.clear();
    const int width = ClampInt(maxWidth);
    const int below = YToDots(ClampInt(bottom));
    return TText::DrawRun(*this, canvas, run, &width, &rest, &below);
}

bool TTextBox::Print(TCanvas* canvas) {
    if (!canvas || !Node) return true;
    try {
        const long long x1 = StrToIntDef(Node->AttributeValue("x1"), 0);
        const long long y1 = StrToIntDef(Node->AttributeValue("y1"), 0);
        const long long x2 = StrToIntDef(Node->AttributeValue("x2"), 0);
        const long long y2 = StrToIntDef(Node->AttributeValue("y2"), 0);
        const long long ystep = StrToIntDef(Node->AttributeValue("ystep"), 0);
        long long x = x1, y = y1;
        const int count = Node->ChildCount();
        for (int i = 0; i < count; ++i) {
            std::unique_ptr<TXml> run(Node->ChildAt(i));
            if (!run) continue;
            const std::string tag = run->GetTag();
            if (tag == "br") {
                y += ystep;
                x = x1;
                continue;
            }
            if (tag != "text") continue;

            run->RemoveAttribute("x");
            run->RemoveAttribute("y");
            run->AddAttribute("x", std::to_string(ClampInt(x)));
            run->AddAttribute("y", std::to_string(ClampInt(y)));
            std::string rest;
            DrawLine(canvas, run.get(), x2 - x, y2, rest);
            // Continuation lines. Without a positive line step there is no next line, so the
            // rest of the run is left out rather than drawn over and over on the same line.
            while (!rest.empty() && ystep > 0) {
                y += ystep;
                if (y >= y2) break;
                const std::string value = rest;
                SetPosition(run.get(), x1, y);
                run->SetAttribute("value", value);
                const std::string drawn = DrawLine(canvas, run.get(), x2 - x1, y2, rest);
                if (drawn.empty() && rest.size() >= value.size()) {
                    // Nothing of it fits a whole line, and no later line will take more: the
                    // remaining lines down to y2 stay empty. Go to the last of them at once.
                    const long long last = y + ((y2 - 1 - y) / ystep) * ystep;
                    if (last != y) {
                        y = last;
                        SetPosition(run.get(), x1, y);
                        DrawLine(canvas, run.get(), x2 - x1, y2, rest);
                    }
                    break;
                }
            }
            // The next run goes on where this one's last line ended.
            const Zprinters::TPoint pen = canvas->PenPos;
            y = DotsToPos(pen.Y, DpiY, OffsetY);
            if (y >= y2) break;
            x = DotsToPos(pen.X, DpiX, OffsetX);
            if (x >= x2) {
                x = x1;
                y += ystep;
            }
        }
    } catch (...) {
        // A failing box leaves the page to the other elements.
    }
    return true;
}

}  // namespace TVostrin
