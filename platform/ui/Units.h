// The form runtime's units: twips (1/1440 inch, 15 to a pixel at 96 dpi) and colour numbers
// (&HBBGGRR, or a system colour &H800000nn).
#pragma once

#include <QColor>

namespace tw::ui {

constexpr int TwipsToPixels(int twips) {
    return twips / 15;
}
constexpr int PixelsToTwips(int pixels) {
    return pixels * 15;
}

// System colours: the application palette's colour of that role.
inline constexpr unsigned int kVbWindowBackground = 0x80000005;
inline constexpr unsigned int kVbWindowText = 0x80000008;
inline constexpr unsigned int kVbHighlight = 0x8000000D;
inline constexpr unsigned int kVbHighlightText = 0x8000000E;
inline constexpr unsigned int kVbButtonFace = 0x8000000F;

// A colour number as a colour: &HBBGGRR (red in the low byte, blue in the high byte), or a
// system colour &H800000nn (window background 5, window text 8, highlight 13, highlight text 14,
// button face 15; any other number the window colour).
QColor VbColor(unsigned int vbColor);
// A colour as &HBBGGRR.
inline unsigned int ToVbColor(const QColor& c) {
    return static_cast<unsigned int>(c.red()) | (static_cast<unsigned int>(c.green()) << 8) |
           (static_cast<unsigned int>(c.blue()) << 16);
}

}  // namespace tw::ui
