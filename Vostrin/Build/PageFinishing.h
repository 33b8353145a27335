// Completion of the built pages: page numbers and totals, duplex blank pages, envelope marks,
// envelope pages in front of each envelope's pages, and the three counts.
#pragma once

#include <string>

#include "PageList.h"

namespace TVostrin {

// Finishes the pages below *root. envelopePage may be NULL (no envelope template); when given,
// the envelope page itself may be moved into the new root. With an envelope page *root is
// replaced by a new root holding the pages (the old handle is deleted). Always 0.
int FinishPages(bool duplex, const std::string& iniFile, TXml* envelopePage, TXml** root,
                int* envelopes, int* sheets, int* pages);

// The same for the pages of the list, which *root (holding no pages) receives in their
// finished order; the list is left empty. Each step takes one pass over the pages.
int FinishPages(bool duplex, const std::string& iniFile, TXml* envelopePage, PageList& list,
                TXml** root, int* envelopes, int* sheets, int* pages);

// The largest number of printed pages per envelope: key MaxPages of section Envelope of the INI
// file; 5 when the name is empty, the file or key is missing, or the value is not above 0.
int GetMaxPages(const std::string& iniFile);

}  // namespace TVostrin
