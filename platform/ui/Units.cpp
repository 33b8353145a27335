#include "Units.h"

#include <QApplication>
#include <QPalette>

namespace tw::ui {

QColor VbColor(unsigned int vbColor) {
    if (vbColor & 0x80000000u) {
        const QPalette pal = QApplication::palette();
        switch (vbColor & 0xFFu) {
            case 0x05:
                return pal.color(QPalette::Active, QPalette::Base);
            case 0x08:
                return pal.color(QPalette::Active, QPalette::Text);
            case 0x0D:
                return pal.color(QPalette::Active, QPalette::Highlight);
            case 0x0E:
                return pal.color(QPalette::Active, QPalette::HighlightedText);
            case 0x0F:
                return pal.color(QPalette::Active, QPalette::Button);
            default:
                return pal.color(QPalette::Active, QPalette::Window);
        }
    }
    return QColor(static_cast<int>(vbColor & 0xFFu), static_cast<int>((vbColor >> 8) & 0xFFu),
                  static_cast<int>((vbColor >> 16) & 0xFFu));
}

}  // namespace tw::ui
