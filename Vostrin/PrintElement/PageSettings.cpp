#include "PrintElement/PageSettings.h"

#include <algorithm>
#include <cstdint>

#include "PrintElement/PrintUnits.h"
#include "ZPrinters/ZPrintDevice.h"
#include "ZPrinters/ZPrintSystem.h"
#include "ZPrinters/ZPrinter.h"
#include "text/Gbk.h"

namespace TVostrin {

using namespace Zprinters;

namespace {

// Longest names the driver lists for a paper source and a paper.
constexpr int kBinNameLength = 24;
constexpr int kPaperNameLength = 64;

int16_t To16(int v) {
    return static_cast<int16_t>(std::clamp(v, -32768, 32767));
}

// A name as the driver lists it: cut to its field length, blanks around it removed.
QString ListedName(const QString& name, int length) {
    return name.left(length).trimmed();
}

}  // namespace

void TPageSettings::Update(const std::string& tag, const std::string& value) {
    if (tag == "offsetx")
        OffsetX = StrToIntDef(value, 0);
    else if (tag == "offsety")
        OffsetY = StrToIntDef(value, 0);
    else if (tag == "paperkind")
        PaperKind = value;
    else if (tag == "paperwidth")
        PaperWidth = StrToIntDef(value, 0);
    else if (tag == "paperheight")
        PaperHeight = StrToIntDef(value, 0);
    else if (tag == "bin")
        Bin = value;
    else if (tag == "landscape")
        Landscape = StrToIntDef(value, 0) != 0;
}

void SetPageFields(TZDevMode& dm, const TPageSettings& settings, int binCode, int paperCode,
                   bool duplex) {
    if (binCode >= 0) {
        dm.dmDefaultSource = To16(binCode);
        dm.dmFields |= DM_DEFAULTSOURCE;
    }
    if (!settings.PaperKind.empty()) {
        dm.dmPaperSize = To16(paperCode);
        dm.dmPaperLength = To16(settings.PaperHeight);
        dm.dmPaperWidth = To16(settings.PaperWidth);
        dm.dmFields |= DM_PAPERSIZE | DM_PAPERLENGTH | DM_PAPERWIDTH;
    }
    dm.dmOrientation = settings.Landscape ? DMORIENT_LANDSCAPE : DMORIENT_PORTRAIT;
    dm.dmDuplex = duplex ? DMDUP_VERTICAL : DMDUP_SIMPLEX;
    dm.dmFields |= DM_ORIENTATION | DM_DUPLEX;
}

bool ApplyPageSettings(TZPrinter& printer, const TPageSettings& settings, bool duplex) {
    try {
        TZPrintSystem& system = PrintSystem();
        TZPrintDevice* device = printer.GetDevice();

        int binCode = -1;
        if (!settings.Bin.empty()) {
            const QString wanted = tw::text::FromGbk(settings.Bin).trimmed();
            for (const TZSysBin& bin : system.DeviceBins(device->Device, device->Port)) {
                if (ListedName(bin.name, kBinNameLength) == wanted) {
                    binCode = bin.code;
                    break;
                }
            }
        }
        int paperCode = 0;
        if (!settings.PaperKind.empty()) {
            const QString wanted = tw::text::FromGbk(settings.PaperKind).trimmed();
            for (const TZSysPaper& paper : system.DevicePapers(device->Device, device->Port)) {
                if (ListedName(paper.name, kPaperNameLength) == wanted) {
                    paperCode = paper.code;
                    break;
                }
            }
        }

        QString name = printer.DeviceName;
        const qsizetype on = name.indexOf(QStringLiteral(" on"));
        if (on >= 0) name = name.left(on);
        std::unique_ptr<TZSysPrinterHandle> handle = system.OpenPrinter(name);
        if (!handle) return false;

        // Start from the settings the document runs with, so that what the caller chose for
        // the printer (resolution, copies) stays; the driver's own when there are none.
        TZDevMode dm;
        if (const TZDevMode* current = printer.GetDevMode())
            dm = *current;
        else if (handle->DocumentProperties(nullptr, &dm, false) < 1)
            return false;
        SetPageFields(dm, settings, binCode, paperCode, duplex);
        TZDevMode merged;
        if (handle->DocumentProperties(&dm, &merged, false) < 1) return false;
        return printer.ResetDC(merged);
    } catch (const std::exception&) {
        return false;  // the page prints with the settings it had
    }
}

}  // namespace TVostrin
