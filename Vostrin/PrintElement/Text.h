// One line of text at a point ("text" and "addition" elements): value, font, colours,
// alignment and an optional number format, drawn with the cell's top-left corner at (x, y).
#pragma once

#include <QString>
#include <string>

#include "PrintElement/PrintElement.h"

namespace TVostrin {

class TText : public TPrintElement {
  public:
    using TPrintElement::TPrintElement;

    // Draws the element; failures are swallowed. Always true.
    bool Print(TCanvas* canvas) override;

    // Draws the text node `run` with the geometry of `element`. With maxWidth (tenths of a
    // millimetre) given, the last pieces of the text that do not fit are taken off and put in
    // front of *rest, and only what fits is drawn. With bottom (dots) given, a line that would
    // reach below it is not drawn at all, though the canvas's pen moves as if it were. The
    // canvas gets its font and brush back afterwards, also after a failure. Returns the text
    // drawn, or that would have been drawn (GBK bytes).
    static std::string DrawRun(const TPrintElement& element, TCanvas* canvas, TXml* run,
                               const int* maxWidth, std::string* rest, const int* bottom = nullptr);

    // One line of a fitted text: drawn as the node would be, but with this text (already
    // formatted), this font (the node's, at the fitted size) and this top (in dots); its
    // extent, as the font measures it, is known already.
    struct TLine {
        QString text;
        const Zprinters::TZFont* font = nullptr;
        int top = 0;
        Zprinters::TPoint extent;
    };
    static void DrawLine(const TPrintElement& element, TCanvas* canvas, TXml* node,
                         const TLine& line);
};

}  // namespace TVostrin
