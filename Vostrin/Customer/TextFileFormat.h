// The settings of a customer text file (INI section TextFileFormat) and the notations they use:
// separators written as hexadecimal byte pairs and comma-separated lists.
#pragma once

#include <string>
#include <vector>

namespace TVostrin {

inline constexpr const char* kSectionTextFileFormat = "TextFileFormat";
inline constexpr const char* kKeyCustomerSepType = "CustomerSepType";
inline constexpr const char* kKeyCustomerRecordCnt = "CustomerRecordCnt";
inline constexpr const char* kKeyFieldSeparator = "FieldSeparator";
inline constexpr const char* kKeySepType = "SepType";
inline constexpr const char* kKeyRecordLen = "RecordLen";
inline constexpr const char* kKeyRecordSeparator = "RecordSeparator";
inline constexpr const char* kKeyFieldLen = "FieldLen";
inline constexpr const char* kKeyFieldName = "FieldName";
inline constexpr const char* kKeyIdentifyFields = "IdentifyFields";

// The most hexadecimal digits of a separator that are converted; further digits are cut off.
constexpr size_t kMaxHexDigits = 64;
// The most bytes of a list value that are read.
constexpr size_t kMaxListBytes = 4095;

// A key of section TextFileFormat as a number (leading digits; def when the key is missing).
int ReadFormatInt(const std::string& iniFile, const char* key, int def);
// A key of section TextFileFormat as text (def when the key is missing), at most maxBytes.
std::string ReadFormatString(const std::string& iniFile, const char* key, const std::string& def,
                             size_t maxBytes = kMaxListBytes);
// A separator key: its hex text (def when the key is missing) converted to bytes.
std::string ReadFormatSeparator(const std::string& iniFile, const char* key,
                                const std::string& defHex);
// A list key split at its commas.
std::vector<std::string> ReadFormatList(const std::string& iniFile, const char* key);

// Pairs of hex digits, either case, one byte each ("2C" -> ","). A character that is not a hex
// digit counts as 0; an odd last digit is the high half of a final byte. At most kMaxHexDigits
// digits are converted.
std::string HexToBytes(const std::string& hex);

// Split at every comma; empty items are dropped.
std::vector<std::string> SplitList(const std::string& text);

}  // namespace TVostrin
