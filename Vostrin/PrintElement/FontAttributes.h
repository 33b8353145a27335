// The font attributes of a printable element: "fontname", "fontsize", "b", "i", "u" and
// "fontcolor".
#pragma once

#include "ZPrinters/ZCanvas.h"

class TXml;

namespace TVostrin {

// Sets on font what the node's attributes give: a name and a size when present (a size that is
// not a number is 10), bold, italic and underline only when "true" (the style is set anew), and
// a colour when present.
void ApplyFontAttributes(const TXml* node, Zprinters::TZFont& font);

}  // namespace TVostrin
