// GBK <-> UTF-16 through iconv. Conversion goes character by character on failure, so one bad
// character never loses the rest of the text.
#include "Gbk.h"

#include <iconv.h>

#include <cerrno>

namespace tw::text {
namespace {

// An iconv descriptor; each thread keeps one per direction (opening one costs far more than a
// short conversion), and every character resets its state before it is converted.
class Iconv {
  public:
    Iconv(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
    ~Iconv() {
        if (ok()) iconv_close(cd_);
    }
    Iconv(const Iconv&) = delete;
    Iconv& operator=(const Iconv&) = delete;
    bool ok() const { return cd_ != reinterpret_cast<iconv_t>(-1); }
    iconv_t get() const { return cd_; }

  private:
    iconv_t cd_;
};

}  // namespace

std::string ToGbk(const QString& s) {
    std::string out;
    if (s.isEmpty()) return out;
    static thread_local const Iconv cv("GBK", "UTF-16LE");
    if (!cv.ok()) return s.toLatin1().toStdString();
    const char16_t* data = reinterpret_cast<const char16_t*>(s.utf16());
    const qsizetype n = s.size();
    out.reserve(static_cast<size_t>(n) * 2);
    qsizetype i = 0;
    char buf[16];
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
        char* in = const_cast<char*>(reinterpret_cast<const char*>(data + i));
        size_t inLeft = static_cast<size_t>(len) * 2;
        char* o = buf;
        size_t oLeft = sizeof buf;
        iconv(cv.get(), nullptr, nullptr, nullptr, nullptr);
        if (iconv(cv.get(), &in, &inLeft, &o, &oLeft) == static_cast<size_t>(-1) || inLeft != 0)
            out.push_back('?');
        else
            out.append(buf, static_cast<size_t>(o - buf));
        i += len;
    }
    return out;
}

QString FromGbk(const std::string& bytes) {
    QString out;
    if (bytes.empty()) return out;
    static thread_local const Iconv cv("UTF-16LE", "GBK");
    out.reserve(static_cast<qsizetype>(bytes.size()));
    const size_t n = bytes.size();
    size_t i = 0;
    while (i < n) {
        const unsigned char c = static_cast<unsigned char>(bytes[i]);
        if (c < 0x80) {
            out.append(QChar(c));
            ++i;
            continue;
        }
        size_t len = GbkCharLength(bytes, i);
        bool done = false;
        if (len == 2 && cv.ok()) {
            char16_t buf[4];
            char* in = const_cast<char*>(bytes.data() + i);
            size_t inLeft = 2;
            char* o = reinterpret_cast<char*>(buf);
            size_t oLeft = sizeof buf;
            iconv(cv.get(), nullptr, nullptr, nullptr, nullptr);
            if (iconv(cv.get(), &in, &inLeft, &o, &oLeft) != static_cast<size_t>(-1) &&
                inLeft == 0) {
                const size_t units = (sizeof buf - oLeft) / 2;
                for (size_t k = 0; k < units; ++k) out.append(QChar(buf[k]));
                done = true;
            }
        }
        if (!done) {
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
