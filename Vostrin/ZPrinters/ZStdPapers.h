// The fixed table of standard paper formats: code, name and portrait size in tenths of a
// millimetre. Names compare case-sensitively.
#pragma once

#include <QString>

#include "ZPrinters/ZExport.h"
#include "ZPrinters/ZStringList.h"
#include "ZPrinters/ZTypes.h"

namespace Zprinters {

struct TZStdPaper {
    int code;
    const char* name;
    int width;
    int height;
};

// The table rows in their fixed order.
const TZStdPaper* StdPaperTable();
int StdPaperCount();

// (width, height) of the first row with that code or name; (0, 0) when none.
ZPRINTERS_API TPoint StdPaperSize(int code);
ZPRINTERS_API TPoint StdPaperSize(const QString& name);
// The code of the first row with that name; -1 when none.
ZPRINTERS_API int StdPaperFmt(const QString& name);
// The name of the first row with that code; empty when none.
ZPRINTERS_API QString StdPaperFmt(int code);
// Clears the list and adds every row's name with its code as object, in table order.
ZPRINTERS_API void EnumStdPaperFmts(TZStringList* list);

}  // namespace Zprinters
