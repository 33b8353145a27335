#include "PrintElement/TextLines.h"

#include <QHash>
#include <algorithm>
#include <cmath>
#include <deque>
#include <tuple>

namespace TVostrin {

namespace {

// No width of a text that is ever drawn comes near this (2^40 dots).
constexpr double kMostDots = 1099511627776.0;

bool Less(const TLineCost& a, const TLineCost& b, TLineOrder order) {
    if (order == TLineOrder::FewestLines) {
        return std::tie(a.lines, a.clashes, a.inside, a.brackets) <
               std::tie(b.lines, b.clashes, b.inside, b.brackets);
    }
    return std::tie(a.clashes, a.inside, a.brackets, a.lines) <
           std::tie(b.clashes, b.inside, b.brackets, b.lines);
}

// The cost of a line that ends before atom (the break before it).
void AddBreak(TLineCost& cost, const TTextAtom& atom) {
    if (atom.clash) ++cost.clashes;
    if (atom.breakBefore == TBreakKind::Inside || atom.breakBefore == TBreakKind::Letter)
        ++cost.inside;
    else if (atom.breakBefore == TBreakKind::Bracket)
        ++cost.brackets;
}

}  // namespace

TUnits ToUnits(double dots) {
    if (!(dots > 0)) return 0;
    return std::llround(std::min(dots, kMostDots) * 64);
}

TMeasuredText::TMeasuredText(const QString& text, const TTextAtoms& atoms, int points,
                             const TTextWidthAt& widthAt) {
    const TUnits blank = ToUnits(widthAt(QStringLiteral(" "), points));
    QHash<QString, TUnits> widths;
    sums_.reserve(atoms.atoms.size() + 1);
    leading_.reserve(atoms.atoms.size() + 1);
    sums_.push_back(0);
    for (const TTextAtom& atom : atoms.atoms) {
        const QString character = text.mid(atom.from, atom.to - atom.from);
        auto it = widths.constFind(character);
        if (it == widths.constEnd())
            it = widths.insert(character, ToUnits(widthAt(character, points)));
        widest_ = std::max(widest_, *it);
        leading_.push_back(atom.blanks * blank);
        sums_.push_back(sums_.back() + leading_.back() + *it);
    }
    leading_.push_back(0);
}

bool TBreakRules::Allows(const TTextAtom& atom) const {
    if (atom.clash && !clashes) return false;
    switch (atom.breakBefore) {
        case TBreakKind::None:
            return false;
        case TBreakKind::Letter:
            return atom.word >= 0 && static_cast<size_t>(atom.word) < cuttableWords.size() &&
                   cuttableWords[atom.word];
        default:
            return true;
    }
}

std::optional<TArrangement> Arrange(const TTextAtoms& atoms, const TMeasuredText& measured,
                                    TUnits limit, const TBreakRules& rules, TLineOrder order) {
    // best[k]: the best arrangement of the atoms before k into lines, the last one ending
    // before k. The lines that may end before k start at a place where a line ended, no
    // farther back than the limit allows; that place only moves on as k does, so the best of
    // them is kept at the front of a queue of candidates, each better than those before it.
    const int count = static_cast<int>(atoms.atoms.size());
    std::vector<TLineCost> best(count + 1);
    std::vector<int> from(count + 1, -1);
    std::vector<char> reached(count + 1, 0);
    reached[0] = 1;
    std::deque<int> starts;
    for (int k = 1; k <= count; ++k) {
        if (reached[k - 1]) {
            while (!starts.empty() && !Less(best[starts.back()], best[k - 1], order))
                starts.pop_back();
            starts.push_back(k - 1);
        }
        while (!starts.empty() && measured.Width(starts.front(), k) > limit) starts.pop_front();
        if (starts.empty() || (k < count && !rules.Allows(atoms.atoms[k]))) continue;
        TLineCost cost = best[starts.front()];
        ++cost.lines;
        if (k < count) AddBreak(cost, atoms.atoms[k]);
        best[k] = cost;
        from[k] = starts.front();
        reached[k] = 1;
    }
    if (!reached[count]) return std::nullopt;
    TArrangement out{best[count], {}};
    for (int k = count; k > 0; k = from[k]) out.ends.push_back(k);
    std::reverse(out.ends.begin(), out.ends.end());
    return out;
}

TArrangement Balance(const TTextAtoms& atoms, const TMeasuredText& measured,
                     const TBreakRules& rules, TLineOrder order, const TArrangement& found) {
    TUnits longest = 0;
    int first = 0;
    for (const int end : found.ends) {
        longest = std::max(longest, measured.Width(first, end));
        first = end;
    }
    // A narrower limit never gives a better cost; the narrowest that gives the same one is
    // found by halving.
    TUnits low = measured.Widest();
    TUnits high = longest;
    TArrangement best = found;
    while (low < high) {
        const TUnits mid = low + (high - low) / 2;
        std::optional<TArrangement> tried = Arrange(atoms, measured, mid, rules, order);
        if (tried && tried->cost == found.cost) {
            high = mid;
            best = std::move(*tried);
        } else {
            low = mid + 1;
        }
    }
    return best;
}

int LongestLine(const TTextAtoms& atoms, const TMeasuredText& measured, int first, TUnits limit,
                const TBreakRules& rules) {
    const int count = static_cast<int>(atoms.atoms.size());
    int any = first;
    int clean = first;
    for (int k = first + 1; k <= count && measured.Width(first, k) <= limit; ++k) {
        if (k < count && !rules.Allows(atoms.atoms[k])) continue;
        any = k;
        if (k == count || !atoms.atoms[k].clash) clean = k;
    }
    return clean > first ? clean : any;
}

}  // namespace TVostrin
