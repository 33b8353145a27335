// Texts that must show whole in a control of fixed size. The forms' sizes were drawn for a
// narrower font than the CJK font in use here; where a text does not fit, the control's font
// steps down in half points (never below kMinFitPoints) until it does.
#pragma once

#include <QFont>

class QComboBox;
class QLabel;
class QString;

namespace tw::ui {

inline constexpr double kMinFitPoints = 5.0;

// base, or base stepped down in half points (pixels for a pixel-sized font), at which text is at
// most width pixels wide; the smallest step when even that is too wide.
QFont FittingFont(const QFont& base, const QString& text, int width);
// Gives label the font at which its text fits the label's inner width, stepped down from the
// font of its parent. A label whose text changes calls it again (status panels do on painting).
void FitLabelFont(QLabel* label);
// From now on the current text of combo shows whole: the combo's font follows its current text
// and its size; the drop-down list keeps the font of the parent.
void KeepComboTextWhole(QComboBox* combo);

}  // namespace tw::ui
