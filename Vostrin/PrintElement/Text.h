// One line of text at a point ("text" and "addition" elements): value, font, colours,
// alignment and an optional number format, drawn with the cell's top-left corner at (x, y).
#pragma once

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
    // front of *rest, and only what fits is drawn. The canvas gets its font and brush back
    // afterwards, also after a failure. Returns the text drawn (GBK bytes).
    static std::string DrawRun(const TPrintElement& element, TCanvas* canvas, TXml* run,
                               const int* maxWidth, std::string* rest);
};

}  // namespace TVostrin
