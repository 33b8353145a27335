// A Code 39 barcode sent as printer commands ("tessorbar" elements), for printers that carry a
// barcode font: the cursor moves to the element's position, the barcode font is selected and
// the framed data is printed in it. Printers whose context takes no raw bytes print nothing.
#pragma once

#include <string>

#include "PrintElement/PrintElement.h"

namespace TVostrin {

// The data framed with "*" for the barcode font: the first 98 bytes of data, digits, capital
// letters, "-" and "." as they are, the blank as byte 95, "$" 178, "%" 179, "+" 176 and
// "/" 177. False (out untouched) for any other byte, lower-case letters included.
bool ConvertCode39(const std::string& data, std::string& out);

// The command text: cursor to (x, y) dots, one-byte text parsing, the symbol set, the barcode
// font at sizePoints, then the framed data. Numbers are written with "." whatever the locale.
std::string Code39Commands(double xDots, double yDots, int sizePoints, const std::string& framed);

class TTessorBar : public TPrintElement {
  public:
    using TPrintElement::TPrintElement;
    // Sends the commands through the raw channel of PrinterHandle; always true.
    bool Print(TCanvas* canvas) override;
};

}  // namespace TVostrin
