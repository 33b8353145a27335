// Conversions between the program's UTF-16 text and the GBK bytes used in files, settings and
// across the library boundaries.
#pragma once

#include <QString>
#include <string>

namespace tw::text {

std::string ToGbk(const QString& s);          // characters GBK lacks become '?'
QString FromGbk(const std::string& bytes);     // invalid bytes become U+FFFD
QString FromGbk(const char* bytes);

// Length of the longest prefix of at most maxBytes bytes that does not end inside a GBK
// double-byte character.
size_t GbkCutLength(const std::string& bytes, size_t maxBytes);

}  // namespace tw::text
