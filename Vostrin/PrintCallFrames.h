// The frames the exported tree prints share: the file variant that loads its data first, and
// the counted build that reports its counts after printing.
#pragma once

#include <functional>

#include "Vostrin.h"

namespace TVostrin {

// Loads dataXmlFile and hands the tree to printTree, answering its status:
// VOSTRIN_XML_NOT_LOADED when there is no file name or the file is no XML, and every
// exception becomes VOSTRIN_PRINT_FAILED.
int PrintLoadedXml(const char* dataXmlFile, const std::function<int(TXml* data)>& printTree);

// Makes sure of the application object, lets print build with fresh counts and writes each
// count whose pointer is not null; answers print's status. Every exception becomes
// VOSTRIN_PRINT_FAILED, and the counts are then left as they were.
int PrintCounted(int* envelopeCount, int* sheetCount, int* pageCount,
                 const std::function<int(PrintCounts& counts)>& print);

}  // namespace TVostrin
