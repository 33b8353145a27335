// The form runtime's units: twips (1/1440 inch, 15 to a pixel at 96 dpi) and &HBBGGRR colours.
#pragma once

#include <QColor>

namespace tw::ui {

constexpr int TwipsToPixels(int twips) {
    return twips / 15;
}
constexpr int PixelsToTwips(int pixels) {
    return pixels * 15;
}

// &HBBGGRR: red in the low byte, blue in the high byte.
inline QColor VbColor(unsigned int bgr) {
    return QColor(static_cast<int>(bgr & 0xFF), static_cast<int>((bgr >> 8) & 0xFF),
                  static_cast<int>((bgr >> 16) & 0xFF));
}
inline unsigned int ToVbColor(const QColor& c) {
    return static_cast<unsigned int>(c.red()) | (static_cast<unsigned int>(c.green()) << 8) |
           (static_cast<unsigned int>(c.blue()) << 16);
}

}  // namespace tw::ui
