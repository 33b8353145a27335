// Characters of GBK text: a byte 0x81-0xFE followed by another byte is one double-byte
// character (whose second byte may look like ASCII: "|" or "@"); any other byte is a character
// of its own.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace TVostrin {

// Whether c starts a double-byte character when a character starts there.
inline bool IsGbkLeadByte(char c) {
    const auto byte = static_cast<unsigned char>(c);
    return byte >= 0x81 && byte <= 0xFE;
}

// Start offsets of the characters of text, found from its first byte. A lead byte at the very
// end is a character of its own.
std::vector<size_t> GbkCharStarts(const std::string& text);

// The first occurrence of separator in text, at or after from (a character start), that begins
// where a character begins; npos when there is none or separator is empty.
size_t FindOnCharacterStart(const std::string& text, const std::string& separator, size_t from = 0);

}  // namespace TVostrin
