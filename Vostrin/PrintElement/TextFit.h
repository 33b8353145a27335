// Text fitted into a box: a "text" element with "fitwidth" (tenths of a millimetre) is drawn no
// wider than that. Its font shrinks by the measured width of the text down to "minfontsize"
// points (6 when absent); text still too wide at that size is wrapped onto up to "maxlines"
// lines (2 when absent) at the largest size that lets the lines fit. With "fitheight" the lines
// also fit that height and stand centred in it, below "y"; without it the first line is at
// "y". The box runs from x when the element is left aligned, around x when centred and up to x
// when right aligned.
#pragma once

#include <QString>
#include <functional>
#include <vector>

#include "PrintElement/PrintElement.h"

namespace TVostrin {

// The size and the lines a text is drawn with.
struct TFittedText {
    int fontSize = 0;  // points
    std::vector<QString> lines;
};

// Measures in dots: the width of a text, or the line height, at a font size in points.
using TTextWidthAt = std::function<int(const QString& text, int points)>;
using TLineHeightAt = std::function<int(int points)>;

// Lines of text at most limit dots wide, filled from the front: a line breaks between Chinese
// characters or at blanks (the blanks at a break are dropped); a word wider than the limit is
// broken between its characters. Every line holds at least one character.
std::vector<QString> WrapText(const QString& text, int limit, int points,
                              const TTextWidthAt& width);

// The largest size from fontSize down to minFontSize at which text fits into width dots on one
// line, else on two lines, and so on up to maxLines, each time within height dots when height
// is positive; wrapped lines are balanced (the longest kept as short as the line count allows).
// Text that fits no way is wrapped at minFontSize onto as many lines as it needs.
TFittedText FitText(const QString& text, int fontSize, int minFontSize, int maxLines, int width,
                    int height, const TTextWidthAt& widthAt, const TLineHeightAt& lineHeightAt);

// Draws node fitted into its box when it asks for that (a positive "fitwidth" and a value);
// false, with nothing drawn, when it does not.
bool PrintFitted(const TPrintElement& element, TCanvas* canvas, TXml* node);

}  // namespace TVostrin
