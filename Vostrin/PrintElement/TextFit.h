// Text fitted into a box: a "text" element with "fitwidth" (tenths of a millimetre) is drawn no
// wider than that. Its font shrinks by the measured width of the text down to "minfontsize"
// points (6 when absent); text still too wide at that size is wrapped onto up to "maxlines"
// lines (2 when absent) at the largest size that lets the lines fit. With "fitheight" the lines
// also fit that height and stand centred in it, below "y"; without it the first line is at
// "y". The box runs from x when the element is left aligned, around x when centred and up to x
// when right aligned.
//
// The box and "maxlines" are hard limits: the text never leaves its box. A text that does not
// fit at "minfontsize" is drawn at that size on as many lines as "maxlines" and the height
// allow, and its last line ends with "…" to show that the rest is left out. When not even one
// line of it fits, nothing is drawn.
#pragma once

#include <QString>
#include <functional>
#include <vector>

#include "PrintElement/PrintElement.h"

namespace TVostrin {

// The largest font size a fitted text is ever drawn with, in points: a larger "fontsize" is
// taken as this one.
constexpr int kMaxFitPoints = 1000;

// The size and the lines a text is drawn with.
struct TFittedText {
    int fontSize = 0;  // points
    std::vector<QString> lines;
    bool shortened = false;  // the text did not fit; the last line ends with "…"
};

// Measures in dots: the width of a text, or the line height, at a font size in points.
using TTextWidthAt = std::function<int(const QString& text, int points)>;
using TLineHeightAt = std::function<int(int points)>;

// Lines of text at most limit dots wide, filled from the front. A line breaks at blanks (the
// blanks at a break are dropped) and after the marks that end a name in a list (、，/ and the
// like), so names and Latin words stay whole; a run of characters between such breaks that
// alone is wider than the limit is cut, between Chinese characters or, inside a Latin word
// that alone is wider, between its letters. Chinese rules hold at every break between Chinese
// characters: no line starts with closing punctuation (、，。；：？！）」』】》 and the like)
// and no line ends with an opening bracket (（「『【《 and the like), so "（10）" stays whole.
// Every line holds at least one character.
std::vector<QString> WrapText(const QString& text, int limit, int points,
                              const TTextWidthAt& width);

// The largest size from fontSize (at most kMaxFitPoints) down to minFontSize at which text fits
// into width dots on one line, else on as few lines as that size range allows, up to maxLines,
// each time within height dots when height is positive; wrapped lines are balanced (the
// longest kept as short as the line count allows, without cutting a word that fits a line).
// Text that fits no way is drawn at minFontSize on the lines that fit, the last one ended with
// "…"; no line is wider than width and, with a positive height, the lines fit it.
TFittedText FitText(const QString& text, int fontSize, int minFontSize, int maxLines, int width,
                    int height, const TTextWidthAt& widthAt, const TLineHeightAt& lineHeightAt);

// Draws node fitted into its box when it asks for that (a positive "fitwidth" and a value);
// false, with nothing drawn, when it does not.
bool PrintFitted(const TPrintElement& element, TCanvas* canvas, TXml* node);

}  // namespace TVostrin
