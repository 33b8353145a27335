// Text runs flowed through a box ("textbox" element): "text" children are drawn one after the
// other, wrapping at blanks or between Chinese characters onto lines "ystep" apart, and "br"
// children start a new line. The box writes the position of each run (and the remaining text
// of continued runs) into its children. The box is a hard limit: a line that would reach below
// "y2" is not drawn (the runs still move on as if it were), and no line is wider than the box.
#pragma once

#include <string>

#include "PrintElement/PrintElement.h"

namespace TVostrin {

class TTextBox : public TPrintElement {
  public:
    using TPrintElement::TPrintElement;

    // Draws the runs; failures are swallowed. Always true.
    bool Print(TCanvas* canvas) override;

    // Draws the part of run's "value" that fits into maxWidth tenths of a millimetre at the
    // run's "x"/"y"; what did not fit is put in front of rest (which stays as it was when all
    // of it fit). True.
    bool PrintLine(TCanvas* canvas, TXml* run, int maxWidth, std::string& rest);

  private:
    // PrintLine's drawing, with nothing drawn when the line would reach below bottom (tenths
    // of a millimetre). The text drawn, or that would have been.
    std::string DrawLine(TCanvas* canvas, TXml* run, long long maxWidth, long long bottom,
                         std::string& rest);
};

}  // namespace TVostrin
