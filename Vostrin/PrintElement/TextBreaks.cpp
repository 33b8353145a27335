#include "PrintElement/TextBreaks.h"

namespace TVostrin {

namespace {

// Characters no line should start with: closing punctuation and brackets, pause and stop marks,
// and the "/" that joins names.
bool NoLineStart(QChar c) {
    static const QString set =
        QStringLiteral("、，。．；：？！）」』】》〉〕〗〙］｝”’…‥·～％,.;:?!)]}%/／");
    return set.contains(c);
}

// Characters no line should end with: opening brackets and quotes.
bool NoLineEnd(QChar c) {
    static const QString set = QStringLiteral("（「『【《〈〔〖〘［｛“‘([{");
    return set.contains(c);
}

bool Closing(QChar c) {
    static const QString set = QStringLiteral("）」』】》〉〕〗〙］｝”’)]}");
    return set.contains(c);
}

// Marks after which a line may break inside a run of characters: those that end a name in a
// list or a clause.
bool EndsName(QChar c) {
    static const QString set = QStringLiteral("、，。；：？！,;/／");
    return set.contains(c);
}

bool IsAscii(QChar c) {
    return c.unicode() < 0x80;
}

bool IsMark(char32_t code) {
    const QChar::Category category = QChar::category(code);
    return category == QChar::Mark_NonSpacing || category == QChar::Mark_SpacingCombining ||
           category == QChar::Mark_Enclosing;
}

TBreakKind KindBetween(QChar before, QChar after, int blanks) {
    if (blanks > 0) return TBreakKind::Name;
    if (IsAscii(before) && IsAscii(after))
        return before == QLatin1Char('/') ? TBreakKind::Name : TBreakKind::Letter;
    if (EndsName(before)) return TBreakKind::Name;
    if (NoLineEnd(after) || Closing(before)) return TBreakKind::Bracket;
    return TBreakKind::Inside;
}

}  // namespace

bool IsFitBlank(QChar c) {
    return c == QLatin1Char(' ') || c == QLatin1Char('\t') || c == QLatin1Char('\r') ||
           c == QLatin1Char('\n');
}

TTextAtoms SplitText(const QString& text) {
    TTextAtoms out;
    std::vector<TTextAtom>& atoms = out.atoms;
    int blanks = 0;
    for (qsizetype i = 0; i < text.size();) {
        const QChar c = text[i];
        if (IsFitBlank(c)) {
            ++blanks;
            ++i;
            continue;
        }
        const bool pair =
            c.isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate();
        const qsizetype next = i + (pair ? 2 : 1);
        const char32_t code = pair ? QChar::surrogateToUcs4(c, text[i + 1]) : c.unicode();
        if (IsMark(code) && !atoms.empty() && blanks == 0) {
            atoms.back().to = next;  // combines with the character before it
            i = next;
            continue;
        }
        TTextAtom atom{i, next, atoms.empty() ? 0 : blanks, TBreakKind::None, false, -1};
        if (!atoms.empty()) {
            const QChar before = text[atoms.back().from];
            atom.breakBefore = KindBetween(before, c, atom.blanks);
            atom.clash = NoLineStart(c) || NoLineEnd(before);
            if (atom.breakBefore == TBreakKind::Letter) {
                TTextAtom& last = atoms.back();
                if (last.word < 0) {
                    last.word = static_cast<int>(out.words.size());
                    out.words.emplace_back(static_cast<int>(atoms.size()) - 1,
                                           static_cast<int>(atoms.size()));
                }
                atom.word = last.word;
                out.words[atom.word].second = static_cast<int>(atoms.size()) + 1;
            }
        }
        atoms.push_back(atom);
        blanks = 0;
        i = next;
    }
    return out;
}

}  // namespace TVostrin
