// Reading the integers of a printable page tree and turning its lengths (tenths of a
// millimetre) into printer dots.
#pragma once

#include <string>

namespace TVostrin {

// The text as a whole decimal number (blanks around it allowed, an optional sign); def when it
// is empty, holds anything else, or does not fit 32 bits.
int StrToIntDef(const std::string& text, int def);

// The farthest from 0 that a position or size in dots goes: far beyond any paper, and near
// enough that the drawing calls can add a position, a size and a text width in an int.
constexpr int kMaxDots = 1 << 29;

// dots clamped to -kMaxDots..kMaxDots.
int ClampDots(long long dots);

// A position: (value - offset) * dpi / 254, the product first, truncated toward zero. Worked
// out in 64 bits so that large values cannot overflow; the result is clamped with ClampDots.
int PosToDots(int value, int offset, int dpi);
// A size (width, height): value * dpi / 254, computed as a position without an offset.
int SizeToDots(int value, int dpi);
// The way back from dots to tenths of a millimetre: truncate(dots / dpi * 254) + offset; the
// offset alone for a resolution of 0 or less.
long long DotsToPos(int dots, int dpi, int offset);

}  // namespace TVostrin
