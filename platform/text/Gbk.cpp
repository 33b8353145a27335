// GBK and GB18030 <-> UTF-16 through iconv. Conversion goes character by character, so one bad
// character never loses the rest of the text, and a character GBK has always keeps GBK's bytes.
#include "Gbk.h"

#include <iconv.h>

#include <cerrno>

namespace tw::text {
namespace {

// An iconv descriptor; each thread keeps one per direction and code (opening one costs far more
// than a short conversion), and every character resets its state before it is converted.
class Iconv {
  public:
    Iconv(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
    ~Iconv() {
        if (ok()) iconv_close(cd_);
    }
    Iconv(const Iconv&) = delete;
    Iconv& operator=(const Iconv&) = delete;
    bool ok() const { return cd_ != reinterpret_cast<iconv_t>(-1); }

    // Converts the whole of in into out (appended); false, with out unchanged, when it cannot.
    template <class Out>
    bool Convert(const char* in, size_t inLength, Out& out) const {
        if (!ok()) return false;
        alignas(char16_t) char buf[16];
        char* from = const_cast<char*>(in);
        size_t inLeft = inLength;
        char* to = buf;
        size_t outLeft = sizeof buf;
        iconv(cd_, nullptr, nullptr, nullptr, nullptr);
        if (iconv(cd_, &from, &inLeft, &to, &outLeft) == static_cast<size_t>(-1) || inLeft != 0)
            return false;
        out.append(buf, static_cast<size_t>(to - buf));
        return true;
    }

  private:
    iconv_t cd_;
};

const Iconv& GbkFromUtf16() {
    static thread_local const Iconv cv("GBK", "UTF-16LE");
    return cv;
}

const Iconv& Gb18030FromUtf16() {
    static thread_local const Iconv cv("GB18030", "UTF-16LE");
    return cv;
}

// Encodes s code point by code point: ASCII as it is, every other one by the first of the
// converters that has it, '?' when none has.
template <class... Converters>
std::string Encode(const QString& s, const Converters&... converters) {
    std::string out;
    if (s.isEmpty()) return out;
    const char16_t* data = reinterpret_cast<const char16_t*>(s.utf16());
    const qsizetype n = s.size();
    out.reserve(static_cast<size_t>(n) * 2);
    qsizetype i = 0;
    while (i < n) {
        // One code point at a time keeps the replacement exact: a surrogate pair is one unit.
        qsizetype len = 1;
        if (QChar::isHighSurrogate(data[i]) && i + 1 < n && QChar::isLowSurrogate(data[i + 1]))
            len = 2;
        if (data[i] < 0x80) {
            out.push_back(static_cast<char>(data[i]));
            i += 1;
            continue;
        }
        const char* in = reinterpret_cast<const char*>(data + i);
        const size_t inLength = static_cast<size_t>(len) * 2;
        if (!(converters.Convert(in, inLength, out) || ...)) out.push_back('?');
        i += len;
    }
    return out;
}

// Appends UTF-16LE bytes to a QString.
struct Utf16Sink {
    QString& text;
    void append(const char* bytes, size_t length) const {
        text.append(QStringView(reinterpret_cast<const char16_t*>(bytes),
                                static_cast<qsizetype>(length / 2)));
    }
};

}  // namespace

std::string ToGbk(const QString& s) {
    if (!GbkFromUtf16().ok()) return s.toLatin1().toStdString();
    return Encode(s, GbkFromUtf16());
}

std::string ToGb18030(const QString& s) {
    return Encode(s, GbkFromUtf16(), Gb18030FromUtf16());
}

QString FromGbk(const std::string& bytes) {
    QString out;
    if (bytes.empty()) return out;
    static thread_local const Iconv gbk("UTF-16LE", "GBK");
    static thread_local const Iconv gb18030("UTF-16LE", "GB18030");
    out.reserve(static_cast<qsizetype>(bytes.size()));
    const Utf16Sink sink{out};
    const size_t n = bytes.size();
    size_t i = 0;
    while (i < n) {
        const unsigned char c = static_cast<unsigned char>(bytes[i]);
        if (c < 0x80) {
            out.append(QChar(c));
            ++i;
            continue;
        }
        // GBK's reading first (it also has the euro sign as the single byte 0x80), so GBK text
        // reads as it always did; then GB18030's.
        size_t len = GbkCharLength(bytes, i);
        const char* at = bytes.data() + i;
        if (!((len <= 2 && gbk.Convert(at, len, sink)) ||
              (len > 1 && gb18030.Convert(at, len, sink)))) {
            out.append(QChar(0xFFFD));
            len = 1;  // resynchronise on the next byte
        }
        i += len;
    }
    return out;
}

QString FromGbk(const char* bytes) {
    return bytes ? FromGbk(std::string(bytes)) : QString();
}

size_t GbkCutLength(const std::string& bytes, size_t maxBytes) {
    size_t i = 0;
    const size_t n = bytes.size();
    while (i < n) {
        const size_t len = GbkCharLength(bytes, i);
        if (i + len > maxBytes) break;
        i += len;
    }
    return i;
}

}  // namespace tw::text
