// Plain value types shared by the printer unit: points, rectangles, the device-settings record,
// the printer enumerations and the device-capability indexes.
#pragma once

#include <QString>
#include <cstdint>
#include <initializer_list>

namespace Zprinters {

struct TPoint {
    int X = 0;
    int Y = 0;
    friend bool operator==(const TPoint&, const TPoint&) = default;
};

// Left/top inclusive, right/bottom exclusive, as the drawing calls take them.
struct TRect {
    int Left = 0;
    int Top = 0;
    int Right = 0;
    int Bottom = 0;
    int Width() const { return Right - Left; }
    int Height() const { return Bottom - Top; }
    friend bool operator==(const TRect&, const TRect&) = default;
};

enum TZPrintOrientation { zoPortrait = 0, zoLandscape = 1, zoNotSupported = 2 };

enum TZPrintCapability { zcUnknown = 0, zcCopies = 1, zcOrientation = 2, zcCollation = 3 };

// A set of TZPrintCapability values: bit n stands for the value n.
class TZPrintCapabilities {
  public:
    TZPrintCapabilities() = default;
    TZPrintCapabilities(std::initializer_list<TZPrintCapability> caps) {
        for (auto c : caps) Include(c);
    }
    bool Contains(TZPrintCapability c) const { return (bits_ >> c) & 1u; }
    void Include(TZPrintCapability c) { bits_ |= 1u << c; }
    void Exclude(TZPrintCapability c) { bits_ &= ~(1u << c); }
    bool Empty() const { return bits_ == 0; }
    uint8_t Bits() const { return bits_; }
    friend bool operator==(const TZPrintCapabilities&, const TZPrintCapabilities&) = default;

  private:
    uint8_t bits_ = 0;
};

// Field-mask bits of TZDevMode::dmFields.
enum : uint32_t {
    DM_ORIENTATION = 0x00000001,
    DM_PAPERSIZE = 0x00000002,
    DM_PAPERLENGTH = 0x00000004,
    DM_PAPERWIDTH = 0x00000008,
    DM_COPIES = 0x00000100,
    DM_DEFAULTSOURCE = 0x00000200,
    DM_PRINTQUALITY = 0x00000400,
    DM_DUPLEX = 0x00001000,
    DM_YRESOLUTION = 0x00002000,
    DM_COLLATE = 0x00008000,
};

enum : int16_t { DMORIENT_PORTRAIT = 1, DMORIENT_LANDSCAPE = 2 };
enum : int16_t { DMDUP_SIMPLEX = 1, DMDUP_VERTICAL = 2, DMDUP_HORIZONTAL = 3 };

// The settings of one printer: paper, bin, orientation, copies, resolution. Lengths are in
// tenths of a millimetre, resolutions in dots per inch, paper and bin values are the codes that
// the device reports.
struct TZDevMode {
    QString dmDeviceName;
    uint32_t dmFields = 0;
    int16_t dmOrientation = DMORIENT_PORTRAIT;
    int16_t dmPaperSize = 0;
    int16_t dmPaperLength = 0;
    int16_t dmPaperWidth = 0;
    int16_t dmCopies = 1;
    int16_t dmDefaultSource = 0;
    int16_t dmPrintQuality = 0;
    int16_t dmYResolution = 0;
    int16_t dmDuplex = DMDUP_SIMPLEX;
    int16_t dmCollate = 0;
};

// Indexes of the device capabilities a context reports (GetDeviceCaps).
enum TZDeviceCap : int {
    HORZRES = 8,
    VERTRES = 10,
    LOGPIXELSX = 88,
    LOGPIXELSY = 90,
    PHYSICALWIDTH = 110,
    PHYSICALHEIGHT = 111,
    PHYSICALOFFSETX = 112,
    PHYSICALOFFSETY = 113,
};

}  // namespace Zprinters
