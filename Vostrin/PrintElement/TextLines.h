// The lines of a fitted text at one font size: its characters measured once, line widths added
// up from them in 64 bits, and the arrangements of the characters into lines no wider than a
// limit, each found in one pass over the text.
#pragma once

#include <QString>
#include <functional>
#include <optional>
#include <vector>

#include "PrintElement/TextBreaks.h"

namespace TVostrin {

// Measures in dots: the width of a text of any length, or the line height, at a font size in
// points.
using TTextWidthAt = std::function<double(const QString& text, int points)>;
using TLineHeightAt = std::function<int(int points)>;

// Widths in 64ths of a dot.
using TUnits = long long;
TUnits ToUnits(double dots);

// The characters of a text measured at one size, each character and blank once.
class TMeasuredText {
  public:
    TMeasuredText(const QString& text, const TTextAtoms& atoms, int points,
                  const TTextWidthAt& widthAt);

    // The width of the line of atoms first to last - 1 (the blanks before first left out), as
    // the sum of its characters' and blanks' widths.
    TUnits Width(int first, int last) const { return sums_[last] - sums_[first] - leading_[first]; }
    TUnits Widest() const { return widest_; }

  private:
    std::vector<TUnits> sums_;     // sums_[k]: the atoms before k, each with its blanks before it
    std::vector<TUnits> leading_;  // the blanks before each atom
    TUnits widest_ = 0;            // the widest character
};

// The breaks an arrangement may take.
struct TBreakRules {
    bool clashes = false;             // those that clash with the punctuation rules
    std::vector<bool> cuttableWords;  // per Latin word: whether it may be cut
    bool Allows(const TTextAtom& atom) const;
};

// What the lines and breaks of an arrangement add up to.
struct TLineCost {
    long long lines = 0;
    long long clashes = 0;   // breaks that clash with the punctuation rules
    long long inside = 0;    // breaks inside a name or a Latin word
    long long brackets = 0;  // breaks between a name and its bracketed addition
    bool operator==(const TLineCost&) const = default;
};

enum class TLineOrder {
    FewestBreaks,  // the fewest clashes, then names broken, then brackets, then lines
    FewestLines,   // the fewest lines, then as FewestBreaks
};

struct TArrangement {
    TLineCost cost;
    std::vector<int> ends;  // for each line, the atom after its last one
};

// The best arrangement, in the given order, of the atoms into lines at most limit wide; none
// when no arrangement keeps to the limit.
std::optional<TArrangement> Arrange(const TTextAtoms& atoms, const TMeasuredText& measured,
                                    TUnits limit, const TBreakRules& rules, TLineOrder order);

// found (the best arrangement in that order within some limit) made as even as its cost
// allows: the arrangement of the same cost whose longest line is the shortest.
TArrangement Balance(const TTextAtoms& atoms, const TMeasuredText& measured,
                     const TBreakRules& rules, TLineOrder order, const TArrangement& found);

// The end of the longest line from atom first that is at most limit wide, at a break that
// does not clash where one can be had; first when not even one character fits.
int LongestLine(const TTextAtoms& atoms, const TMeasuredText& measured, int first, TUnits limit,
                const TBreakRules& rules);

}  // namespace TVostrin
