// Codes compared the way the database compares them. Every code column is declared
// COLLATE NOCASE: the stored text is UTF-8, the letters A-Z count as a-z and nothing else is
// folded (full-width letters, Greek or Cyrillic keep their case), and the bytes are compared
// as unsigned numbers, the shorter text first when one is the start of the other. This is the
// order in which the database groups and sorts codes and the equality of its "Code = '...'",
// which UTF-16 comparison does not give: a character above U+FFFF sorts after U+E000-U+FFFF in
// UTF-8 but before it in UTF-16.
#pragma once

#include <QByteArray>
#include <QString>

namespace tw::db {

// A key whose byte order and equality are the database's order and equality of the code, for
// maps and sorting: two codes are the same code exactly when their keys are equal.
QByteArray CodeKey(const QString& code);
// Below 0, 0 or above 0 as the database puts `a` before, level with or after `b`.
int CompareCodes(const QString& a, const QString& b);
inline bool SameCode(const QString& a, const QString& b) {
    return CompareCodes(a, b) == 0;
}
inline bool CodeLess(const QString& a, const QString& b) {
    return CompareCodes(a, b) < 0;
}

}  // namespace tw::db
