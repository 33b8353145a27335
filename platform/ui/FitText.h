// Texts in controls of fixed size. The forms' sizes were drawn for a narrower font than the CJK
// font in use here; where a text does not fit, it is drawn in a smaller font, in half-point steps,
// but never below kMinFitPoints (8 pt), below which it no longer reads. A text that does not fit
// even at that size is drawn cut at its end with "…" and shows whole as the control's tooltip.
#pragma once

#include <QFont>
#include <QLabel>
#include <QSize>
#include <QStringList>

class QAbstractItemView;
class QComboBox;
class QModelIndex;
class QString;

namespace tw::ui {

inline constexpr double kMinFitPoints = 8.0;

// base, or base stepped down in half points (pixels for a pixel-sized font), at which text is at
// most width pixels wide; the kMinFitPoints size when even that is too wide. Never larger than
// base.
QFont FittingFont(const QFont& base, const QString& text, int width);
// text in font cut at its end with "…" so that it is at most width pixels wide; text itself when
// it fits.
QString ElideToWidth(const QFont& font, const QString& text, int width);

// The text a fitted control draws: for a FitLabel, a ColumnLabel or a combo given to
// KeepComboTextWhole, its text as drawn (cut with "…" when it does not fit at kMinFitPoints);
// for any other label or combo its text.
QString ShownText(QWidget* widget);

// A one-line label that draws its text in the font at which it fits the label's inner width,
// stepped down from the font of its parent; cut with "…" and shown whole as the tooltip when it
// does not fit at kMinFitPoints. font() is the font drawn in. It refits whenever it paints.
class FitLabel : public QLabel {
  public:
    using QLabel::QLabel;
    // Refits to the current text and size; the text as drawn.
    QString Refit();

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    bool ownTip_ = false;
};

// A label whose text has one character a line (a heading set in a narrow column). Each character
// gets an equal share of the label's height and is drawn in the largest size, up to the label's
// own font and at least kMinFitPoints, whose glyphs fit that share and the label's width, so a
// column too short for the font's line spacing still shows every character whole.
class ColumnLabel : public QLabel {
  public:
    using QLabel::QLabel;
    // The font the characters are drawn in at the label's current size.
    QFont ShownFont() const;

  protected:
    void paintEvent(QPaintEvent* event) override;
};

// From now on the current text of combo shows whole where it can: the combo's font follows its
// current text and its size (down to kMinFitPoints); a text still too wide is drawn cut with "…"
// and shows whole as the combo's tooltip. The drop-down list keeps the font of the parent.
void KeepComboTextWhole(QComboBox* combo);

// From now on an item that view draws cut with "…" (its column too narrow for its text) shows its
// whole text as a tooltip.
void ShowCutItemsAsTips(QAbstractItemView* view);
// The tooltip such an item shows: its whole text when the view draws it cut, else empty.
QString CutItemTip(const QAbstractItemView* view, const QModelIndex& index);

// A text of one or more lines (separated by line feeds) laid out in a box, as a week-grid cell
// shows it. The last line of a text of several lines names what the cell belongs to (the class
// under a course) and is never wrapped; the other lines wrap at word boundaries (between any two
// Chinese characters). All lines share one font, the largest from base down to kMinFitPoints at
// which everything fits the box. When nothing fits at kMinFitPoints, the leading lines give way
// first: the last line keeps its own line (cut with "…" only when it alone is too wide) and the
// leading lines fill the lines left, the last of them cut with "…".
struct FittedText {
    QFont font;
    QStringList lines;  // the lines as drawn, top to bottom
    bool whole = true;  // false when something was cut
};
FittedText FitBoxText(const QFont& base, const QString& text, const QSize& box);

}  // namespace tw::ui
