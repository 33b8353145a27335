#include "PrintElement/TextWidth.h"

#include <algorithm>
#include <cmath>

namespace TVostrin {

double MeasureTextWidth(const QFontMetricsF& metrics, const QString& text) {
    // No character is wider than a few times the font's height or its widest character: pieces
    // of this many code units stay below 2^23 dots, far from where the measure wraps round.
    const double em = std::max({metrics.maxWidth(), metrics.height(), 1.0});
    const auto piece = static_cast<qsizetype>(std::max(16.0, std::floor((1 << 23) / (4 * em))));
    if (text.size() <= piece) return metrics.horizontalAdvance(text);
    double width = 0;
    for (qsizetype from = 0; from < text.size();) {
        qsizetype to = std::min(text.size(), from + piece);
        if (to < text.size() && text[to].isLowSurrogate()) ++to;  // keep a pair together
        width += metrics.horizontalAdvance(text.mid(from, to - from));
        from = to;
    }
    return width;
}

}  // namespace TVostrin
