// Package documents: printers kept open by name between BeginPkgDoc and EndPkgDoc, so that
// several print calls add their pages to one job. The C functions are declared in Vostrin.h.
#pragma once

#include <string>

namespace Zprinters {
class TZPrinter;
}

namespace TVostrin {

// The printer that holds the open package document of printerName (null: the empty name);
// null when no document is open under that name.
Zprinters::TZPrinter* FindPackagePrinter(const char* printerName);

// The number of names in the package printer table.
int PackagePrinterCount();

}  // namespace TVostrin
