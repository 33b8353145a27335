// Building pages from page templates: one page per template turn, in the order that the
// templates' record cursors and flags decide.
#pragma once

#include "TreeUtils.h"

namespace TVostrin {

// Builds one page from template T at the record cursor (which the elements advance). 0 with
// *page set; 99 (nothing to print) or -1 (failure) with no page.
int BuildPage(const TXml* T, TXml* data, int* cursor, XmlPtr* page);

// The page of the first envelope template (a "page" with envelope="true" below pages) for the
// first record that yields one, or NULL; every envelope template is then removed from pages.
XmlPtr BuildEnvelopePage(TXml* pages, TXml* data, int recordCount);

// Runs the page loop over the children of pages, appending built pages to root. Stops when
// every template has printed all records, when an element fails, when the loop comes back to a
// state it was in before (templates that never move their cursor on), or when pageLimit
// template turns were taken and more were due. False only in that last case: the job was cut
// short (the pages built so far stay in root).
bool RunPageLoop(TXml* pages, TXml* data, int recordCount, TXml* root, int pageLimit);

}  // namespace TVostrin
