// Where a fitted text may break between lines, and how good each break is. The text is read as
// a row of characters with the blanks between them (tabs, carriage returns and line feeds count
// as blanks). Between two characters a line may break:
// - at blanks, and after the marks that end a name in a list (、，/ and the like): the names
//   stay whole;
// - before an opening bracket or after a closing one: a name parts from its bracketed addition,
//   as in 欧阳明月 / （初二数学）;
// - between any two other characters of which one is Chinese (or another non-ASCII character);
// - between two characters of a Latin word (a run of ASCII characters up to a blank or a "/"),
//   which the fitting allows only for a word wider than a line.
// The Chinese rules are preferences: a break that would start a line with closing punctuation
// (、，。；：？！）」』】》 and the like) or end one with an opening bracket (（「『【《 and the
// like) is a clash, taken only when the text fits no other way.
#pragma once

#include <QString>
#include <utility>
#include <vector>

namespace TVostrin {

enum class TBreakKind : unsigned char {
    None,     // no break: before the first character
    Name,     // at blanks or after a mark that ends a name
    Bracket,  // between a name and its bracketed addition
    Inside,   // between two characters of a name
    Letter,   // between two characters of a Latin word
};

// One character of a text (two UTF-16 code units outside the BMP, with the marks that combine
// with it) and the break before it.
struct TTextAtom {
    qsizetype from = 0;  // its place in the text, in code units
    qsizetype to = 0;
    int blanks = 0;  // blanks between the character before it and it
    TBreakKind breakBefore = TBreakKind::None;
    bool clash = false;  // a break before it breaks the Chinese punctuation rules
    int word = -1;       // the Latin word it belongs to (index into TTextAtoms::words), or -1
};

struct TTextAtoms {
    std::vector<TTextAtom> atoms;
    // The Latin words of two or more characters, as ranges [first, last) of atoms.
    std::vector<std::pair<int, int>> words;
};

// Whether c counts as a blank in a fitted text: a blank, a tab, a carriage return, a line feed.
bool IsFitBlank(QChar c);

// The characters of text and the breaks between them; blanks before the first character and
// after the last are left out.
TTextAtoms SplitText(const QString& text);

}  // namespace TVostrin
