// Barcodes drawn on a canvas, encoded by libzint. Stands where the printed layouts expect an
// outside barcode library: the element hands over the canvas with the bar colour and the
// narrow bar width in its pen and the human-readable text's font in its font.
//
// Symbologies ("type", case-insensitive): "128" Code 128, "39" Code 39, "93" Code 93, "EAN13",
// "EAN8", "UPCA", "ITF" (interleaved 2 of 5) and "CODABAR". An EAN type always gives its own
// symbol: its full number of digits is taken with the check digit (a wrong one is refused),
// fewer digits get leading zeros and a computed check digit, more are refused. The text under
// a Code 128 symbol reads its data as GBK. Positions and the bar height are in
// tenths of a millimetre, turned into dots with the canvas's resolution. "rotation" turns the
// symbol clockwise about its top-left corner by 90, 180 or 270 degrees (other values: upright);
// "mode" 0 prints the human-readable text under the bars, any other value the bars alone.
#pragma once

#include <string>
#include <vector>

#include "PrintElement/PrintElement.h"

namespace TVostrin {

// One encoded linear symbol: the modules from left to right (true: a bar) and the text to
// print under it (UTF-8).
struct TBarcodeModules {
    std::vector<bool> modules;
    std::string text;
};

// The libzint symbology number of a type name; 0 for an unknown name.
int BarcodeSymbology(const std::string& type);

// Encodes data (bytes as given) in the named symbology; false when the name is unknown or the
// data cannot be encoded in it.
bool EncodeBarcode(const std::string& type, const std::string& data, TBarcodeModules& out);

// Draws the barcode with its top-left corner at (x, y) tenths of a millimetre. Each module is
// as wide as the canvas pen (at least one dot) and drawn in the pen's colour; the text uses the
// canvas font. The canvas keeps its state. Draws nothing when the data cannot be encoded or the
// canvas has no open page.
void DrawBarcode(TCanvas* canvas, const std::string& type, int x, int y, const std::string& data,
                 float enlarge, int height, int rotation, int mode);

}  // namespace TVostrin
