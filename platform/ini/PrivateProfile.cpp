// Private-profile files read and written line by line. A write rewrites only the line it
// changes (or adds one line, or a section header and one line); every other byte stays.
#include "PrivateProfile.h"

#include <QFile>
#include <QSaveFile>
#include <QStringDecoder>
#include <vector>

#include "text/Gbk.h"

namespace tw::ini {
namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}

std::string Trim(const std::string& s) {
    size_t b = 0, e = s.size();
    while (b < e && IsBlank(s[b])) ++b;
    while (e > b && IsBlank(s[e - 1])) --e;
    return s.substr(b, e - b);
}

// Some editors begin a saved file with a UTF-8 byte-order mark; the mark is no part of the
// first line.
constexpr char kUtf8Bom[] = "\xEF\xBB\xBF";

enum class Encoding { Gbk, Utf8 };

bool HasWideBytes(const std::string& data) {
    for (const char c : data)
        if (static_cast<unsigned char>(c) >= 0x80) return true;
    return false;
}

// Whether the bytes hold a character beyond ASCII and every one of them is valid UTF-8.
bool IsUtf8Text(const std::string& data) {
    if (!HasWideBytes(data)) return false;
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    // Decoded whole first (the decoder decodes when its result is taken), then asked whether
    // any byte failed.
    [[maybe_unused]] const QString text =
        utf8(QByteArrayView(data.data(), static_cast<qsizetype>(data.size())));
    return !utf8.hasError();
}

// A file with the mark holds UTF-8 text, and so does one without it (as Linux editors save)
// whose bytes are all valid UTF-8 and hold characters beyond ASCII: GBK text with Chinese in it
// is practically never valid UTF-8. Any other file is GBK, the program's own encoding; a file
// of ASCII alone reads the same either way.
Encoding EncodingOf(const std::string& data) {
    if (data.rfind(kUtf8Bom, 0) == 0 || IsUtf8Text(data)) return Encoding::Utf8;
    return Encoding::Gbk;
}

QString Decode(const std::string& bytes, Encoding e) {
    if (e == Encoding::Gbk) return text::FromGbk(bytes);
    return QString::fromUtf8(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

// The bytes of a text in the encoding; false for a text it cannot hold whole (GBK lacks the
// character, or the text is no valid UTF-16).
bool EncodeExactly(const QString& s, Encoding e, std::string* bytes) {
    *bytes = e == Encoding::Gbk ? text::ToGbk(s) : s.toUtf8().toStdString();
    return Decode(*bytes, e) == s;
}

// Length of the longest prefix of at most maxBytes bytes that ends on a character boundary.
size_t CutLength(const std::string& bytes, size_t maxBytes, Encoding e) {
    if (e == Encoding::Gbk) return text::GbkCutLength(bytes, maxBytes);
    if (bytes.size() <= maxBytes) return bytes.size();
    size_t n = maxBytes;
    while (n > 0 && (static_cast<unsigned char>(bytes[n]) & 0xC0) == 0x80) --n;
    return n;
}

// Names match without regard to case; non-ASCII text is compared as characters, not bytes.
bool SameName(const std::string& a, const std::string& b, Encoding e) {
    if (a.size() == b.size()) {
        bool ascii = true, same = true;
        for (size_t i = 0; i < a.size(); ++i) {
            const unsigned char x = static_cast<unsigned char>(a[i]);
            const unsigned char y = static_cast<unsigned char>(b[i]);
            if (x >= 0x80 || y >= 0x80) {
                ascii = false;
                break;
            }
            if (std::tolower(x) != std::tolower(y)) same = false;
        }
        if (ascii) return same;
    }
    return Decode(a, e).compare(Decode(b, e), Qt::CaseInsensitive) == 0;
}

enum class Kind { Other, Section, Key };

struct Line {
    std::string raw;      // the line as stored, with its line end
    std::string content;  // without the line end
    Kind kind = Kind::Other;
    std::string name;   // section or key name
    std::string value;  // key value, trimmed
};

std::vector<Line> Parse(const std::string& data) {
    std::vector<Line> lines;
    size_t pos = 0;
    while (pos < data.size()) {
        size_t end = data.find('\n', pos);
        const size_t next = end == std::string::npos ? data.size() : end + 1;
        Line l;
        l.raw = data.substr(pos, next - pos);
        l.content = pos == 0 && l.raw.rfind(kUtf8Bom, 0) == 0 ? l.raw.substr(3) : l.raw;
        while (!l.content.empty() && (l.content.back() == '\n' || l.content.back() == '\r'))
            l.content.pop_back();
        const std::string t = Trim(l.content);
        if (!t.empty() && t[0] == '[') {
            l.kind = Kind::Section;
            const size_t close = t.rfind(']');
            l.name = Trim(t.substr(
                1, close == std::string::npos || close == 0 ? std::string::npos : close - 1));
        } else if (!t.empty()) {
            l.kind = Kind::Key;
            const size_t eq = t.find('=');
            l.name = Trim(t.substr(0, eq));
            l.value = eq == std::string::npos ? std::string() : Trim(t.substr(eq + 1));
        }
        lines.push_back(std::move(l));
        pos = next;
    }
    return lines;
}

bool ReadAll(const std::string& file, std::string* data) {
    QFile f(QString::fromStdString(file));
    if (!f.open(QIODevice::ReadOnly)) return false;
    const QByteArray bytes = f.readAll();
    data->assign(bytes.constData(), static_cast<size_t>(bytes.size()));
    return true;
}

// Index of the first header of the section, or -1.
long FindSection(const std::vector<Line>& lines, const std::string& section, Encoding e) {
    for (size_t i = 0; i < lines.size(); ++i)
        if (lines[i].kind == Kind::Section && SameName(lines[i].name, section, e))
            return static_cast<long>(i);
    return -1;
}

// Index of the first line of the key inside the section that starts at header, or -1.
long FindKey(const std::vector<Line>& lines, long header, const std::string& key, Encoding e) {
    for (size_t i = static_cast<size_t>(header) + 1; i < lines.size(); ++i) {
        if (lines[i].kind == Kind::Section) break;
        if (lines[i].kind == Kind::Key && SameName(lines[i].name, key, e))
            return static_cast<long>(i);
    }
    return -1;
}

// What the reader gives for the key of the file's bytes `data`: the stored value, trimmed and
// without enclosing quotes, or the default (without trailing blanks) when the key is missing;
// cut to bufferSize-1 bytes on a character boundary.
std::string ReadValue(const std::string& data, const std::string& section, const std::string& key,
                      const std::string& def, size_t bufferSize) {
    if (bufferSize == 0) return std::string();
    const Encoding e = EncodingOf(data);
    const std::vector<Line> lines = Parse(data);
    const long header = FindSection(lines, Trim(section), e);
    const long at = header < 0 ? -1 : FindKey(lines, header, Trim(key), e);
    std::string value;
    if (at < 0) {
        value = def;
        while (!value.empty() && value.back() == ' ') value.pop_back();
    } else {
        value = lines[static_cast<size_t>(at)].value;
        // A value enclosed in quotes is returned without them.
        if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
            value.back() == value.front())
            value = value.substr(1, value.size() - 2);
    }
    value.resize(CutLength(value, bufferSize - 1, e));
    return value;
}

// The file's bytes with the key set to value (the line changed, or one line added, or a
// section header and one line added); false when the names or the value would change the
// file's shape or would not read back as written.
bool Rewrite(const std::string& data, const std::string& section, const std::string& key,
             const std::string& value, Encoding written, std::string* out) {
    const std::string sec = Trim(section);
    const std::string k = Trim(key);
    // A line break or a bracket/equals sign in the wrong place would change the file's shape.
    for (const std::string* s : {&sec, &k, &value})
        if (s->find('\n') != std::string::npos || s->find('\r') != std::string::npos) return false;
    if (sec.empty() || k.empty() || k.find('=') != std::string::npos || k[0] == '[' ||
        sec.find(']') != std::string::npos)
        return false;

    const Encoding e = EncodingOf(data);
    std::vector<Line> lines = Parse(data);
    const std::string newLine = k + "=" + value;
    const long header = FindSection(lines, sec, e);
    out->clear();
    auto ensureEnd = [](std::string& s) {
        if (!s.empty() && s.back() != '\n') s += "\r\n";
    };
    if (header < 0) {
        *out = data;
        ensureEnd(*out);
        *out += "[" + sec + "]\r\n" + newLine + "\r\n";
    } else {
        const long at = FindKey(lines, header, k, e);
        if (at >= 0) {
            Line& l = lines[static_cast<size_t>(at)];
            const std::string ending = l.raw.substr(l.content.size());
            l.raw = l.name + "=" + value + ending;
        } else {
            // After the section's last non-blank line.
            size_t last = static_cast<size_t>(header);
            for (size_t i = last + 1; i < lines.size() && lines[i].kind != Kind::Section; ++i)
                if (lines[i].kind != Kind::Other) last = i;
            ensureEnd(lines[last].raw);
            Line added;
            added.raw = newLine + "\r\n";
            lines.insert(lines.begin() + static_cast<long>(last) + 1, added);
        }
        for (const Line& l : lines) *out += l.raw;
    }
    // The file must read in the encoding the bytes were written in: GBK bytes in a UTF-8 file,
    // or GBK bytes that happen to be valid UTF-8 in a GBK file, would make it read as the other
    // one, every value with it. A file of ASCII alone reads the same either way.
    if (EncodingOf(*out) != written && HasWideBytes(*out)) return false;
    // The reader trims blanks (tabs and other white space included) and drops enclosing
    // quotes: a value it would give back changed is refused rather than stored.
    return ReadValue(*out, sec, k, "", value.size() + 1) == value;
}

bool Save(const std::string& file, const std::string& bytes) {
    QSaveFile f(QString::fromStdString(file));
    if (!f.open(QIODevice::WriteOnly)) return false;
    if (f.write(bytes.data(), static_cast<qint64>(bytes.size())) !=
        static_cast<qint64>(bytes.size()))
        return false;
    return f.commit();
}

}  // namespace

std::string GetPrivateProfileString(const std::string& section, const std::string& key,
                                    const std::string& def, size_t bufferSize,
                                    const std::string& file) {
    std::string data;
    ReadAll(file, &data);  // a missing file gives the default
    return ReadValue(data, section, key, def, bufferSize);
}

unsigned GetPrivateProfileInt(const std::string& section, const std::string& key, unsigned def,
                              const std::string& file) {
    const std::string value = GetPrivateProfileString(section, key, "", 64, file);
    if (value.empty()) return def;
    size_t i = 0;
    while (i < value.size() && IsBlank(value[i])) ++i;
    bool negative = false;
    if (i < value.size() && (value[i] == '+' || value[i] == '-')) {
        negative = value[i] == '-';
        ++i;
    }
    unsigned result = 0;
    for (; i < value.size() && value[i] >= '0' && value[i] <= '9'; ++i)
        result = result * 10u + static_cast<unsigned>(value[i] - '0');
    return negative ? 0u - result : result;
}

bool WritePrivateProfileString(const std::string& section, const std::string& key,
                               const std::string& value, const std::string& file) {
    std::string data;
    ReadAll(file, &data);  // a missing file is created
    std::string out;
    return Rewrite(data, section, key, value, EncodingOf(data), &out) && Save(file, out);
}

QString ReadString(const QString& file, const QString& section, const QString& key,
                   const QString& def, size_t bufferSize) {
    std::string data;
    ReadAll(file.toStdString(), &data);
    const Encoding e = EncodingOf(data);
    std::string s, k, d;
    // Names the file's encoding cannot hold name no key in it.
    if (!EncodeExactly(section, e, &s) || !EncodeExactly(key, e, &k)) return def;
    EncodeExactly(def, e, &d);
    return Decode(ReadValue(data, s, k, d, bufferSize), e);
}

unsigned ReadInt(const QString& file, const QString& section, const QString& key, unsigned def) {
    return GetPrivateProfileInt(text::ToGbk(section), text::ToGbk(key), def, file.toStdString());
}

bool WriteString(const QString& file, const QString& section, const QString& key,
                 const QString& value, size_t readBufferSize) {
    std::string data;
    ReadAll(file.toStdString(), &data);  // a missing file is created
    // The file's encoding; a file of ASCII alone has none of its own yet and takes GBK, the
    // program's own, unless the value's GBK bytes would make it read as UTF-8: then UTF-8,
    // which reads back as written.
    std::vector<Encoding> encodings{EncodingOf(data)};
    if (!HasWideBytes(data)) encodings = {Encoding::Gbk, Encoding::Utf8};
    for (const Encoding e : encodings) {
        std::string s, k, v, out;
        if (!EncodeExactly(section, e, &s) || !EncodeExactly(key, e, &k) ||
            !EncodeExactly(value, e, &v))
            return false;
        if (!Rewrite(data, s, k, v, e, &out)) continue;
        // The reader's buffer would cut a longer value.
        if (readBufferSize != 0 && ReadValue(out, s, k, "", readBufferSize) != v) return false;
        return Save(file.toStdString(), out);
    }
    return false;
}

}  // namespace tw::ini
