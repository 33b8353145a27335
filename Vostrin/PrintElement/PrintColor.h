// Colours of the printable page format: three decimal numbers "r,g,b".
#pragma once

#include <QColor>
#include <string>

namespace TVostrin {

// r + g * 256 + b * 65536, each part cut to its low 8 bits. The text is cut at the first comma
// (r), then at the next one (g); b is what follows. A missing or non-numeric part takes
// defaultPart (0 for text and line colours, 255 for fill and background colours).
int ParseColor(const std::string& text, int defaultPart);
QColor ToQColor(int color);

}  // namespace TVostrin
