// Text fitted into a box: a "text" element with "fitwidth" (tenths of a millimetre) is drawn no
// wider than that, on up to "maxlines" lines (2 when absent), within "fitheight" when given. It
// is drawn at the largest size from "fontsize" down to "minfontsize" points (6 when absent) at
// which the whole text fits the lines that the line count and the height allow, its lines broken
// where TextBreaks.h lets them break. With "fitheight" the lines stand centred in that height,
// below "y"; without it the first line is at "y". The box runs from x when the element is left
// aligned, around x when centred and up to x when right aligned. Tabs, carriage returns and
// line feeds are blanks.
//
// The box and "maxlines" are hard limits: the text never leaves its box, whatever its length. A
// text that does not fit at "minfontsize" is drawn at that size on as many lines as "maxlines"
// and the height allow, and its last line ends with "…" to show that the rest is left out. When
// not even one line of it fits, nothing is drawn.
#pragma once

#include <QString>
#include <vector>

#include "PrintElement/PrintElement.h"
#include "PrintElement/TextLines.h"  // the measures

namespace TVostrin {

// The largest font size a fitted text is ever drawn with, in points: a larger "fontsize" is
// taken as this one.
constexpr int kMaxFitPoints = 1000;

// The widest box a text is fitted into, in dots (about 44 m at 2400 dpi): a wider one is taken
// as this one. A line that fits it stays far below the widths at which a font's measure fails.
constexpr int kMaxFitDots = 1 << 22;

// The size and the lines a text is drawn with.
struct TFittedText {
    int fontSize = 0;  // points
    std::vector<QString> lines;
    bool shortened = false;  // the text did not fit; the last line ends with "…"
};

// The lines of text fitted into width dots on at most maxLines lines (and, when height is
// positive, lines that fit height dots), at the largest size from fontSize (at most
// kMaxFitPoints) down to minFontSize at which the whole text fits; breaks that clash with the
// Chinese punctuation rules only when the text fits no other way at minFontSize, and a Latin
// word cut only when it alone is wider than width at minFontSize. At the size found, the lines
// keep names whole where the lines allowed hold them, else they are as few as can be; they
// break as few names as they can, at their brackets first, and are made as even as that allows.
// Text that fits no way is drawn at minFontSize on the lines that fit, the last one ended with
// "…". No line is wider than width, and with a positive height the lines fit it.
TFittedText FitText(const QString& text, int fontSize, int minFontSize, int maxLines, int width,
                    int height, const TTextWidthAt& widthAt, const TLineHeightAt& lineHeightAt);

// Draws node fitted into its box when it asks for that (a positive "fitwidth" and a value);
// false, with nothing drawn, when it does not.
bool PrintFitted(const TPrintElement& element, TCanvas* canvas, TXml* node);

}  // namespace TVostrin
