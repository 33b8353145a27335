// Conversions between the program's UTF-16 text and the GBK bytes used in files, settings and
// across the library boundaries. GB18030 extends GBK: it keeps GBK's bytes for every character
// GBK has and gives every other character four bytes (or two in the user-defined areas); the
// print data file is written so, and everything read here takes those sequences as well.
#pragma once

#include <QString>
#include <string>
#include <string_view>

namespace tw::text {

std::string ToGbk(const QString& s);  // characters GBK lacks become '?'
// GBK's bytes where GBK has the character, GB18030's for every other one: only an unpaired
// surrogate, which is no character, becomes '?'.
std::string ToGb18030(const QString& s);
// GBK text, the characters GB18030 adds included; invalid bytes become U+FFFD.
QString FromGbk(const std::string& bytes);
QString FromGbk(const char* bytes);

// A double-byte GBK character is a lead byte 0x81-0xFE followed by a second byte 0x40-0x7E or
// 0x80-0xFE; a four-byte GB18030 character is a lead byte, a digit 0x30-0x39, a lead byte and a
// digit. A lead byte followed by anything else (a name cut in half, say) is a byte of its own,
// and the byte after it starts the next character.
inline bool IsGbkLeadByte(unsigned char b) {
    return b >= 0x81 && b <= 0xFE;
}
inline bool IsGbkSecondByte(unsigned char b) {
    return (b >= 0x40 && b <= 0x7E) || (b >= 0x80 && b <= 0xFE);
}

// GB18030's four-byte characters: a lead byte, a digit, a lead byte and a digit.
inline bool IsGb18030FourBytes(std::string_view bytes, size_t i) {
    auto at = [&](size_t k) { return static_cast<unsigned char>(bytes[i + k]); };
    auto digit = [](unsigned char b) { return b >= 0x30 && b <= 0x39; };
    return i + 3 < bytes.size() && IsGbkLeadByte(at(0)) && digit(at(1)) && IsGbkLeadByte(at(2)) &&
           digit(at(3));
}

// The length in bytes (1, 2 or 4) of the character that starts at offset i of bytes
// (i < size).
inline size_t GbkCharLength(std::string_view bytes, size_t i) {
    if (i + 1 >= bytes.size() || !IsGbkLeadByte(static_cast<unsigned char>(bytes[i]))) return 1;
    if (IsGbkSecondByte(static_cast<unsigned char>(bytes[i + 1]))) return 2;
    return IsGb18030FourBytes(bytes, i) ? 4 : 1;
}

// Length of the longest prefix of at most maxBytes bytes that does not end inside a GBK
// double-byte character.
size_t GbkCutLength(const std::string& bytes, size_t maxBytes);

}  // namespace tw::text
