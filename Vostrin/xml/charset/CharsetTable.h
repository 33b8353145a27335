// The table of recognised charset names.
#pragma once

namespace velmarq {

// Code page of a name found exactly (byte for byte) in the table, or 0.
int CodePageOfCharsetName(const char* name);
int CharsetTableSize();

}  // namespace velmarq
