// Blank sheet sides made from a printed page, for duplex jobs and the backs of envelope pages.
#pragma once

#include "TXml.h"

namespace TVostrin {

// A new lone page with the source page's tag, content and attributes, a deep copy of its
// "pagesetting", and a "reporttable" holding one empty "text" element. NULL for NULL.
TXml* MakeBlankPage(const TXml* source);

// As MakeBlankPage, with a deep copy of the source's first "linecode" after the "text", so the
// blank side carries envelope marks too.
TXml* MakeMarkedBlankPage(const TXml* source);

}  // namespace TVostrin
