#include "CharsetConvert.h"

#include <cstdio>
#include <cstring>

#include "CharsetTable.h"

namespace velmarq {

CharsetConvert::CharsetConvert(LogBase* log) : multiLang_(CreateMultiLang(log)) {}

CharsetConvert::~CharsetConvert() = default;

bool CharsetConvert::SetToCharset(const char* name, LogBase* log) {
    StringBuffer normalized(name ? name : "");
    NormalizeCharsetName(normalized);
    int codePage = CodePageOfName(normalized.Data());
    if (codePage == 0) {
        if (log) {
            log->LogError("TO Charset not recognized");
            log->LogData("charset", name ? name : "");
        }
        return false;
    }
    toCodePage_ = codePage;
    toCharset_.Assign(name);
    return true;
}

bool CharsetConvert::Convert(const unsigned char* data, int length, DataBuffer& out, LogBase* log) {
    if (!multiLang_) {
        if (log) log->LogError("CharsetConvert: no multi-language object");
        return false;
    }
    if (length <= 0) return true;
    if (toCodePage_ == 1200) {
        out.Append(data, length);
        return true;
    }
    bool ok = multiLang_->FromUnicode(toCodePage_, data, length, out, log);
    if (ok && toCodePage_ == 950 && fullWidthBig5_) ToFullWidthBig5(out);
    return ok;
}

void CharsetConvert::NormalizeCharsetName(StringBuffer& name) {
    name.Trim();
    name.ToLower();
    name.ReplaceByte('_', '-');
    static const char* const kFirst[][2] = {
        {"iso8859", "iso-8859"},      {"x-cp", "windows-"},         {"x-euc", "euc"},
        {"iso-ir-127", "iso-8859-6"}, {"arabic", "iso-8859-6"},     {"cp1256", "windows-1256"},
        {"latin4", "iso-8859-4"},     {"iso-ir-110", "iso-8859-4"}, {"latin2", "iso-8859-2"},
        {"iso-ir-101", "iso-8859-2"}, {"chinese", "gb2312"},        {"cn-gb", "gb2312"},
        {"iso-ir-58", "gb2312"},      {"cn-big5", "big5"},          {"csbig5", "big5"},
        {"cyrillic", "iso-8859-5"},   {"iso-ir-144", "iso-8859-5"}, {"koi8r", "koi8-r"},
    };
    for (const auto& r : kFirst) name.ReplaceFirst(r[0], r[1]);
    if (name.EqualsExact("koi") || name.EqualsExact("koi8")) name.Assign("koi8-r");
    static const char* const kSecond[][2] = {
        {"koi8-ru", "koi8-u"},       {"greek", "iso-8859-7"},      {"iso-ir-126", "iso-8859-7"},
        {"hebrew", "iso-8859-8"},    {"iso-ir-138", "iso-8859-8"}, {"ms-kanji", "shift-jis"},
        {"x-ms-cp932", "shift-jis"}, {"x-sjis", "shift-jis"},      {"korean", "euc-kr"},
    };
    for (const auto& r : kSecond) name.ReplaceFirst(r[0], r[1]);
    static const char* const kContains[][2] = {
        {"utf-7", "utf-7"}, {"utf-8", "utf-8"},    {"ucs-2", "unicode"},
        {"ucs-4", "ucs-4"}, {"ascii", "us-ascii"},
    };
    for (const auto& r : kContains) {
        if (name.Contains(r[0])) name.Assign(r[1]);
    }
    static const char* const kThird[][2] = {
        {"iso646-us", "us-ascii"}, {"iso-ir-6us", "us-ascii"},   {"cp819", "iso-8859-1"},
        {"latin1", "iso-8859-1"},  {"iso-ir-100", "iso-8859-1"}, {"cp367", "windows-1252"},
        {"cp819", "windows-1252"}, {"iso-ir-6", "windows-1252"},
    };
    for (const auto& r : kThird) name.ReplaceFirst(r[0], r[1]);
    if (name.Contains("vietnam") || name.Contains("cp1258")) name.Assign("windows-1258");
    if (name.Contains("thai") || name.Contains("cp874")) name.Assign("windows-874");
}

int CharsetConvert::CodePageOfName(const char* normalized) {
    if (!normalized) return 0;
    if (int cp = CodePageOfCharsetName(normalized)) return cp;
    if (std::strncmp(normalized, "windows-", 8) == 0 && normalized[8] >= '0' &&
        normalized[8] <= '9') {
        int n = 0;
        std::sscanf(normalized + 8, "%d", &n);
        return n;
    }
    return 0;
}

void CharsetConvert::ToFullWidthBig5(DataBuffer& buffer) {
    DataBuffer result;
    const unsigned char* p = buffer.Data();
    int n = buffer.Size();
    auto put = [&](unsigned char lead, unsigned char trail) {
        result.AppendByte(lead);
        result.AppendByte(trail);
    };
    for (int i = 0; i < n; ++i) {
        unsigned char c = p[i];
        if (c & 0x80) {
            result.AppendByte(c);
            if (i + 1 < n) result.AppendByte(p[++i]);
            continue;
        }
        if (c == '\r' || c == '\n') {
            result.AppendByte(c);
            continue;
        }
        if (c >= '0' && c <= '9') {
            put(0xA2, static_cast<unsigned char>(0xAF + (c - '0')));
        } else if (c >= 'A' && c <= 'Z') {
            put(0xA2, static_cast<unsigned char>(0xCF + (c - 'A')));
        } else if (c >= 'a' && c <= 'v') {
            put(0xA2, static_cast<unsigned char>(0xE9 + (c - 'a')));
        } else if (c >= 'w' && c <= 'z') {
            put(0xA3, static_cast<unsigned char>(0x40 + (c - 'w')));
        } else {
            static const struct {
                char c;
                unsigned char lead, trail;
            } kSigns[] = {
                {' ', 0xA1, 0x40}, {',', 0xA1, 0x41}, {';', 0xA1, 0x46}, {':', 0xA1, 0x47},
                {'?', 0xA1, 0x48}, {'!', 0xA1, 0x49}, {'(', 0xA1, 0x5D}, {')', 0xA1, 0x5E},
                {'{', 0xA1, 0x61}, {'}', 0xA1, 0x62}, {'#', 0xA1, 0xAD}, {'&', 0xA1, 0xAE},
                {'*', 0xA1, 0xAF}, {'+', 0xA1, 0xCF}, {'-', 0xA1, 0xD0}, {'<', 0xA1, 0xD5},
                {'>', 0xA1, 0xD6}, {'=', 0xA1, 0xD7}, {'~', 0xA1, 0xE3}, {'$', 0xA2, 0x43},
                {'%', 0xA2, 0x48}, {'@', 0xA2, 0x49},
            };
            for (const auto& s : kSigns) {
                if (s.c == static_cast<char>(c)) {
                    put(s.lead, s.trail);
                    break;
                }
            }
        }
    }
    buffer.TakeOver(result);
}

}  // namespace velmarq
