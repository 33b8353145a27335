// The width of a text of any length. The font's own measure counts in 32 bits of 64ths of a dot
// and so wraps round past 2^25 dots (a few thousand characters of a large font): a long text is
// measured in pieces short enough never to come near that, and the pieces are added in 64 bits.
#pragma once

#include <QFontMetricsF>
#include <QString>

namespace TVostrin {

// The width of text in dots, as metrics measure it (the whole text at once where it is short).
double MeasureTextWidth(const QFontMetricsF& metrics, const QString& text);

}  // namespace TVostrin
