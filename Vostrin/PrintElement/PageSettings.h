// The printer settings of printable pages: read from each page's "pagesetting", carried from
// page to page, and applied to the printer before a page is started.
#pragma once

#include <string>

namespace Zprinters {
class TZPrinter;
struct TZDevMode;
}  // namespace Zprinters

namespace TVostrin {

struct TPageSettings {
    int OffsetX = 0;        // tenths of a millimetre
    int OffsetY = 0;        // tenths of a millimetre
    int PaperWidth = 0;     // tenths of a millimetre
    int PaperHeight = 0;    // tenths of a millimetre
    std::string PaperKind;  // paper name as the printer lists it (GBK); empty: no selection
    std::string Bin;        // paper source name as the printer lists it (GBK); empty: none
    bool Landscape = false;

    // Takes one setting, named by its tag; unknown tags are ignored. Integers that are not
    // whole numbers read as 0.
    void Update(const std::string& tag, const std::string& value);

    bool operator==(const TPageSettings&) const = default;
};

// The settings for the pages to come, worked out from the printer's current ones: bin and
// paper looked up by name among those the device lists (a paper name nobody lists selects
// paper 0, the given width and height), orientation and duplex. False when the printer cannot
// be opened or its settings cannot be read or merged; the pages then keep the settings they had.
bool ApplyPageSettings(Zprinters::TZPrinter& printer, const TPageSettings& settings, bool duplex);

// The same, as far as it changes the settings record itself (for tests and the above).
void SetPageFields(Zprinters::TZDevMode& dm, const TPageSettings& settings, int binCode,
                   int paperCode, bool duplex);

}  // namespace TVostrin
