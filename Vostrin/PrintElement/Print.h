// The page renderer: prints a printable page tree, page by page, with each page's printer
// settings and drawing elements.
//
// Printable page tree: a root ("docname": job title; "duplix" "true": two-sided), one child
// per page; a page's "pagesetting" children set the printer (settings carry to later pages) and
// its "reporttable" children are the drawing elements. A page without elements is not printed.
#pragma once

#include "Vostrin.h"  // the status codes
#include "ZPrinters/ZPrinter.h"

class TXml;

namespace TVostrin {

class TPrint {
  public:
    // Prints the tree as one document on a printer of its own: the device named printerName
    // (GBK; null or empty: the default device). 0, also for a null tree; -1003 when the
    // printer cannot be set up, the document cannot be started or ended, a page fails, or a
    // picture was refused (as PrintOn).
    int Print(TXml* xml, const char* printerName, unsigned char reserved);

    // The page loop on a printer whose document is already started. 0, also for a null tree;
    // -1010 when a page fails (pages already ended stay in the document) or printer is null;
    // -1003 when every page printed but an element left out a picture that the picture cap
    // refuses (TPrintElement::Refused).
    int PrintOn(TXml* xml, Zprinters::TZPrinter* printer, unsigned char reserved);
};

}  // namespace TVostrin
