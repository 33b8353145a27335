#include "ZPrinters/ZStdPapers.h"

#include <iterator>

namespace Zprinters {

namespace {

// Codes 24 to 26 are not in the table, and code 28 comes after 30.
const TZStdPaper kPapers[] = {
    {1, "Letter", 2159, 2794},
    {2, "Letter Small", 2159, 2794},
    {3, "Tabloid", 2794, 4318},
    {4, "Ledger", 4318, 2794},
    {5, "Legal", 2159, 3556},
    {6, "Statement", 1397, 2159},
    {7, "Executive", 1842, 2667},
    {8, "A3", 2970, 4200},
    {9, "A4", 2100, 2970},
    {10, "A4 Small", 2100, 2970},
    {11, "A5", 1480, 2100},
    {12, "B4", 2500, 3540},
    {13, "B5", 1820, 2570},
    {14, "Folio", 2159, 3302},
    {15, "Quarto", 2150, 2750},
    {16, "10x14", 2540, 3556},
    {17, "11x17", 2794, 4318},
    {18, "Note", 2159, 2794},
    {19, "Env 9", 984, 2254},
    {20, "Env 10", 1048, 2413},
    {21, "Env 11", 1143, 2635},
    {22, "Env 12", 1207, 2794},
    {23, "Env 14", 1270, 2921},
    {27, "Env DL", 1100, 2200},
    {29, "Env C3", 3240, 4580},
    {30, "Env C4", 2290, 3240},
    {28, "Env C5", 1620, 2290},
    {31, "Env C6", 1140, 1620},
    {32, "Env C65", 1140, 2290},
    {33, "Env B4", 2500, 3530},
    {34, "Env B5", 1760, 2500},
    {35, "Env B6", 1760, 1250},
    {36, "Env Italy", 1100, 2300},
    {37, "Env Monarch", 984, 1905},
    {38, "Env Personal", 921, 1651},
    {39, "US Fanfold", 3778, 2794},
    {40, "German Std FanFold", 2159, 3048},
    {41, "German Legal FanFold", 2159, 3302},
};

const TZStdPaper* FindByCode(int code) {
    for (const auto& p : kPapers)
        if (p.code == code) return &p;
    return nullptr;
}

const TZStdPaper* FindByName(const QString& name) {
    for (const auto& p : kPapers)
        if (name == QLatin1String(p.name)) return &p;
    return nullptr;
}

}  // namespace

const TZStdPaper* StdPaperTable() {
    return kPapers;
}
int StdPaperCount() {
    return static_cast<int>(std::size(kPapers));
}

TPoint StdPaperSize(int code) {
    const TZStdPaper* p = FindByCode(code);
    return p ? TPoint{p->width, p->height} : TPoint{};
}

TPoint StdPaperSize(const QString& name) {
    const TZStdPaper* p = FindByName(name);
    return p ? TPoint{p->width, p->height} : TPoint{};
}

int StdPaperFmt(const QString& name) {
    const TZStdPaper* p = FindByName(name);
    return p ? p->code : -1;
}

QString StdPaperFmt(int code) {
    const TZStdPaper* p = FindByCode(code);
    return p ? QString::fromLatin1(p->name) : QString();
}

void EnumStdPaperFmts(TZStringList* list) {
    list->BeginUpdate();
    try {
        list->Clear();
        for (const auto& p : kPapers) list->AddObject(QString::fromLatin1(p.name), p.code);
    } catch (...) {
        list->EndUpdate();
        throw;
    }
    list->EndUpdate();
}

}  // namespace Zprinters
