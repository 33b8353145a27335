// The fixed table of standard paper formats: code, name and portrait size in tenths of a
// millimetre. Names compare case-sensitively.
#pragma once

#include <QString>

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
TPoint StdPaperSize(int code);
TPoint StdPaperSize(const QString& name);
// The code of the first row with that name; -1 when none.
int StdPaperFmt(const QString& name);
// The name of the first row with that code; empty when none.
QString StdPaperFmt(int code);
// Clears the list and adds every row's name with its code as object, in table order.
void EnumStdPaperFmts(TZStringList* list);

}  // namespace Zprinters
