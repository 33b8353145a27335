#include "PrintElement/PrintElement.h"

#include "PrintElement/PrintUnits.h"

namespace TVostrin {

bool TPrintElement::Print(TCanvas*) {
    return true;
}

bool TPrintElement::DrawKeepingCanvas(TCanvas* canvas,
                                      const std::function<void(const TCanvasState& saved)>& draw) {
    if (!canvas || !Node) return true;
    const TCanvasState saved(canvas);
    try {
        draw(saved);
    } catch (...) {
        // A failing element leaves the page to the others.
    }
    return true;
}

int TPrintElement::XToDots(int x) const {
    return PosToDots(x, OffsetX, DpiX);
}

int TPrintElement::YToDots(int y) const {
    return PosToDots(y, OffsetY, DpiY);
}

int TPrintElement::WidthToDots(int w) const {
    return SizeToDots(w, DpiX);
}

int TPrintElement::HeightToDots(int h) const {
    return SizeToDots(h, DpiY);
}

}  // namespace TVostrin
