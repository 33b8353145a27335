// Characters of GBK text: a lead byte 0x81-0xFE followed by a valid second byte (0x40-0x7E or
// 0x80-0xFE; it may look like ASCII: "|" or "@") is one double-byte character; any other byte,
// a lead byte without a valid second byte included, is a character of its own.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "text/Gbk.h"

namespace TVostrin {

// Start offsets of the characters of text, found from its first byte. A lead byte at the very
// end is a character of its own.
std::vector<size_t> GbkCharStarts(const std::string& text);

// The first occurrence of separator in text, at or after from (a character start), that begins
// where a character begins; npos when there is none or separator is empty.
size_t FindOnCharacterStart(const std::string& text, const std::string& separator, size_t from = 0);

}  // namespace TVostrin
