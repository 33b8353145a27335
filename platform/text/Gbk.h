// Conversions between the program's UTF-16 text and the GBK bytes used in files, settings and
// across the library boundaries.
#pragma once

#include <QString>
#include <string>
#include <string_view>

namespace tw::text {

std::string ToGbk(const QString& s);        // characters GBK lacks become '?'
QString FromGbk(const std::string& bytes);  // invalid bytes become U+FFFD
QString FromGbk(const char* bytes);

// A double-byte GBK character is a lead byte 0x81-0xFE followed by a second byte 0x40-0x7E or
// 0x80-0xFE. A lead byte followed by anything else (a name cut in half, say) is a byte of its
// own, and the byte after it starts the next character.
inline bool IsGbkLeadByte(unsigned char b) {
    return b >= 0x81 && b <= 0xFE;
}
inline bool IsGbkSecondByte(unsigned char b) {
    return (b >= 0x40 && b <= 0x7E) || (b >= 0x80 && b <= 0xFE);
}

// The length in bytes (1 or 2) of the character that starts at offset i of bytes (i < size).
inline size_t GbkCharLength(std::string_view bytes, size_t i) {
    return i + 1 < bytes.size() && IsGbkLeadByte(static_cast<unsigned char>(bytes[i])) &&
                   IsGbkSecondByte(static_cast<unsigned char>(bytes[i + 1]))
               ? 2
               : 1;
}

// Length of the longest prefix of at most maxBytes bytes that does not end inside a GBK
// double-byte character.
size_t GbkCutLength(const std::string& bytes, size_t maxBytes);

}  // namespace tw::text
