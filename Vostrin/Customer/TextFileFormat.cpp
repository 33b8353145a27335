#include "Customer/TextFileFormat.h"

#include <algorithm>

#include "ini/PrivateProfile.h"

namespace TVostrin {

int ReadFormatInt(const std::string& iniFile, const char* key, int def) {
    return static_cast<int>(tw::ini::GetPrivateProfileInt(kSectionTextFileFormat, key,
                                                          static_cast<unsigned>(def), iniFile));
}

std::string ReadFormatString(const std::string& iniFile, const char* key, const std::string& def,
                             size_t maxBytes) {
    return tw::ini::GetPrivateProfileString(kSectionTextFileFormat, key, def, maxBytes + 1,
                                            iniFile);
}

std::string ReadFormatSeparator(const std::string& iniFile, const char* key,
                                const std::string& defHex) {
    return HexToBytes(ReadFormatString(iniFile, key, defHex, kMaxHexDigits));
}

std::vector<std::string> ReadFormatList(const std::string& iniFile, const char* key) {
    return SplitList(ReadFormatString(iniFile, key, ""));
}

namespace {

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return 0;
}

}  // namespace

std::string HexToBytes(const std::string& hex) {
    const size_t digits = std::min(hex.size(), kMaxHexDigits);
    std::string bytes;
    for (size_t i = 0; i < digits; i += 2) {
        const int high = HexDigit(hex[i]);
        const int low = i + 1 < digits ? HexDigit(hex[i + 1]) : 0;
        bytes.push_back(static_cast<char>(high * 16 + low));
    }
    return bytes;
}

std::vector<std::string> SplitList(const std::string& text) {
    std::vector<std::string> items;
    size_t start = 0;
    while (start <= text.size()) {
        size_t comma = text.find(',', start);
        if (comma == std::string::npos) comma = text.size();
        if (comma > start) items.push_back(text.substr(start, comma - start));
        start = comma + 1;
    }
    return items;
}

}  // namespace TVostrin
