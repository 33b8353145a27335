#include "MultiLang.h"

#include <iconv.h>

#include <cerrno>
#include <cstdio>
#include <string>

namespace velmarq {

namespace {

constexpr int kUtf16 = 1200;
constexpr int kUtf8 = 65001;

void Error(LogBase* log, const char* text) {
    if (log) log->LogError(text);
}

void Data(LogBase* log, const char* name, int value) {
    if (log) log->LogDataLong(name, value);
}

// Converts with iconv, the one route in place of MLangConvert, MultiByteToWide and
// WideToMultiByte. A byte sequence the source charset does not define, or a character the
// target lacks, becomes the replacement ("?" or U+FFFD for UTF-8) and the conversion goes on
// with the next unit, as the system conversions do. False when iconv has no such conversion.
bool Iconv(int from, int to, const unsigned char* data, int length, DataBuffer& out) {
    char a[32], b[32];
    const char* fromName = MultiLangImpl::IconvName(from, a, sizeof a);
    const char* toName = MultiLangImpl::IconvName(to, b, sizeof b);
    iconv_t cd = iconv_open(toName, fromName);
    if (cd == reinterpret_cast<iconv_t>(-1)) return false;
    const std::string replacement = to == kUtf8 ? "\xEF\xBF\xBD" : to == kUtf16 ? "\xFD\xFF" : "?";
    const size_t unit = from == kUtf16 || from == 1201 ? 2 : 1;
    char* in = reinterpret_cast<char*>(const_cast<unsigned char*>(data));
    size_t inLeft = static_cast<size_t>(length);
    char buffer[16384];
    while (inLeft > 0) {
        char* o = buffer;
        size_t oLeft = sizeof buffer;
        size_t r = iconv(cd, &in, &inLeft, &o, &oLeft);
        out.Append(buffer, static_cast<int>(sizeof buffer - oLeft));
        if (r != static_cast<size_t>(-1)) continue;
        if (errno == E2BIG) continue;
        // EILSEQ or EINVAL (a sequence cut off at the end): replace one unit and go on.
        out.Append(replacement.data(), static_cast<int>(replacement.size()));
        size_t skip = unit < inLeft ? unit : inLeft;
        in += skip;
        inLeft -= skip;
    }
    char* o = buffer;
    size_t oLeft = sizeof buffer;
    iconv(cd, nullptr, nullptr, &o, &oLeft);
    out.Append(buffer, static_cast<int>(sizeof buffer - oLeft));
    iconv_close(cd);
    return true;
}

}  // namespace

const char* MultiLangImpl::IconvName(int codePage, char* scratch, int scratchSize) {
    switch (codePage) {
        case 1200:
            return "UTF-16LE";
        case 1201:
            return "UTF-16BE";
        case 65000:
            return "UTF-7";
        case 65001:
            return "UTF-8";
        case 20127:
            return "ASCII";
        case 936:
            return "GBK";
        case 54936:
            return "GB18030";
        case 950:
            return "BIG5";
        case 20866:
            return "KOI8-R";
        case 21866:
            return "KOI8-U";
        case 51932:
            return "EUC-JP";
        case 51936:
            return "EUC-CN";
        case 51949:
            return "EUC-KR";
        case 51950:
            return "EUC-TW";
        case 50220:
            return "ISO-2022-JP";
        case 50221:
            return "ISO-2022-JP-1";
        case 50222:
            return "ISO-2022-JP-2";
        case 50225:
            return "ISO-2022-KR";
        case 52936:
            return "HZ-GB-2312";
        case 10000:
            return "MACINTOSH";
        case 1361:
            return "JOHAB";
        default:
            break;
    }
    if ((codePage >= 28591 && codePage <= 28599) || codePage == 28603 || codePage == 28605) {
        std::snprintf(scratch, static_cast<size_t>(scratchSize), "ISO-8859-%d", codePage - 28590);
    } else {
        std::snprintf(scratch, static_cast<size_t>(scratchSize), "CP%d", codePage);
    }
    return scratch;
}

bool MultiLangImpl::FromUnicode(int toCodePage, const unsigned char* data, int length,
                                DataBuffer& out, LogBase* log) {
    if (length <= 0 || !data) return true;
    if (toCodePage == kUtf16) {
        out.Append(data, length);
        return true;
    }
    length -= length % 2;
    if (toCodePage != kUtf8 && toCodePage != 28591) {
        currentTo_ = toCodePage;
        if (length >= 2 && data[0] == 0xFF && data[1] == 0xFE) {
            data += 2;
            length -= 2;
        }
    }
    if (!Iconv(kUtf16, toCodePage, data, length, out)) {
        Error(log, "Failed to create Unicode charset converter");
        Data(log, "toCodePage", toCodePage);
        Error(log, "Failed to convert from Unicode");
        return false;
    }
    return true;
}

bool MultiLangImpl::ToUnicode(int fromCodePage, const unsigned char* data, int length,
                              DataBuffer& out, LogBase* log) {
    if (length <= 0 || !data) return true;
    if (fromCodePage == kUtf16) {
        out.Append(data, length);
        return true;
    }
    if (fromCodePage != kUtf8 && fromCodePage != 28591) currentFrom_ = fromCodePage;
    if (!Iconv(fromCodePage, kUtf16, data, length, out)) {
        Error(log, "Failed to create Unicode charset converter");
        Data(log, "fromCodePage", fromCodePage);
        Error(log, "Failed to convert to Unicode");
        return false;
    }
    return true;
}

bool MultiLangImpl::ConvertBytes(int fromCodePage, int toCodePage, const unsigned char* data,
                                 int length, DataBuffer& out, LogBase* log) {
    if (length <= 0 || !data) return true;
    if (fromCodePage == toCodePage) {
        out.Append(data, length);
        return true;
    }
    if (toCodePage == kUtf16) return ToUnicode(fromCodePage, data, length, out, log);
    if (fromCodePage == kUtf16) return FromUnicode(toCodePage, data, length, out, log);
    currentFrom_ = fromCodePage;
    currentTo_ = toCodePage;
    if (!Iconv(fromCodePage, toCodePage, data, length, out)) {
        Error(log, "1-Step charset conversion failed");
        Data(log, "fromCodePage", fromCodePage);
        Data(log, "toCodePage", toCodePage);
        Error(log, "Character conversion failed (2)");
        return false;
    }
    return true;
}

bool MultiLangImpl::ConvertInPlace(int fromCodePage, int toCodePage, StringBuffer& text,
                                   LogBase* log) {
    if (fromCodePage == toCodePage) return true;
    DataBuffer scratch;
    const auto* bytes = reinterpret_cast<const unsigned char*>(text.Data());
    if (!ConvertBytes(fromCodePage, toCodePage, bytes, text.Length(), scratch, log)) {
        if (log) log->LogInfo("charset convert NOT successful");
        return false;
    }
    text.SetBytes(reinterpret_cast<const char*>(scratch.Data()), scratch.Size());
    return true;
}

bool MultiLangImpl::DetectInputCodepage(const unsigned char*, int, int&, LogBase* log) {
    Error(log, "Number of detected code pages is zero");
    return false;
}

MultiLang* CreateMultiLang(LogBase*) {
    return new MultiLangImpl();
}

}  // namespace velmarq
