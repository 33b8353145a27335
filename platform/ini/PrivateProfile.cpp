// Private-profile files read and written line by line. A write rewrites only the line it
// changes (or adds one line, or a section header and one line); every other byte stays.
#include "PrivateProfile.h"

#include <QFile>
#include <QSaveFile>
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

// Names match without regard to case; GBK text is compared as characters, not bytes.
bool SameName(const std::string& a, const std::string& b) {
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
    return text::FromGbk(a).compare(text::FromGbk(b), Qt::CaseInsensitive) == 0;
}

enum class Kind { Other, Section, Key };

struct Line {
    std::string raw;      // the line as stored, with its line end
    std::string content;  // without the line end
    Kind kind = Kind::Other;
    std::string name;   // section or key name
    std::string value;  // key value, trimmed
};

// Some editors begin a saved file with a UTF-8 byte-order mark; it is no part of the first line.
constexpr char kUtf8Bom[] = "\xEF\xBB\xBF";

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
long FindSection(const std::vector<Line>& lines, const std::string& section) {
    for (size_t i = 0; i < lines.size(); ++i)
        if (lines[i].kind == Kind::Section && SameName(lines[i].name, section))
            return static_cast<long>(i);
    return -1;
}

// Index of the first line of the key inside the section that starts at header, or -1.
long FindKey(const std::vector<Line>& lines, long header, const std::string& key) {
    for (size_t i = static_cast<size_t>(header) + 1; i < lines.size(); ++i) {
        if (lines[i].kind == Kind::Section) break;
        if (lines[i].kind == Kind::Key && SameName(lines[i].name, key)) return static_cast<long>(i);
    }
    return -1;
}

bool Lookup(const std::string& section, const std::string& key, const std::string& file,
            std::string* value) {
    std::string data;
    if (!ReadAll(file, &data)) return false;
    const std::vector<Line> lines = Parse(data);
    const long header = FindSection(lines, Trim(section));
    if (header < 0) return false;
    const long at = FindKey(lines, header, Trim(key));
    if (at < 0) return false;
    *value = lines[static_cast<size_t>(at)].value;
    return true;
}

}  // namespace

std::string GetPrivateProfileString(const std::string& section, const std::string& key,
                                    const std::string& def, size_t bufferSize,
                                    const std::string& file) {
    if (bufferSize == 0) return std::string();
    std::string value;
    if (!Lookup(section, key, file, &value)) {
        value = def;
        while (!value.empty() && value.back() == ' ') value.pop_back();
    } else if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
               value.back() == value.front()) {
        // A value enclosed in quotes is returned without them.
        value = value.substr(1, value.size() - 2);
    }
    value.resize(text::GbkCutLength(value, bufferSize - 1));
    return value;
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
    const std::string sec = Trim(section);
    const std::string k = Trim(key);
    // A line break or a bracket/equals sign in the wrong place would change the file's shape.
    for (const std::string* s : {&sec, &k, &value})
        if (s->find('\n') != std::string::npos || s->find('\r') != std::string::npos) return false;
    if (sec.empty() || k.empty() || k.find('=') != std::string::npos || k[0] == '[' ||
        sec.find(']') != std::string::npos)
        return false;

    std::string data;
    ReadAll(file, &data);  // a missing file is created
    std::vector<Line> lines = Parse(data);
    const std::string newLine = k + "=" + value;
    const long header = FindSection(lines, sec);
    std::string out;
    auto ensureEnd = [](std::string& s) {
        if (!s.empty() && s.back() != '\n') s += "\r\n";
    };
    if (header < 0) {
        out = data;
        ensureEnd(out);
        out += "[" + sec + "]\r\n" + newLine + "\r\n";
    } else {
        const long at = FindKey(lines, header, k);
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
        for (const Line& l : lines) out += l.raw;
    }
    QSaveFile f(QString::fromStdString(file));
    if (!f.open(QIODevice::WriteOnly)) return false;
    if (f.write(out.data(), static_cast<qint64>(out.size())) != static_cast<qint64>(out.size()))
        return false;
    return f.commit();
}

namespace {

// GBK bytes of a text that GBK holds whole; false for a text it would change ('?' in place
// of the characters it lacks).
bool ToGbkExactly(const QString& s, std::string* bytes) {
    *bytes = text::ToGbk(s);
    return text::FromGbk(*bytes) == s;
}

}  // namespace

QString ReadString(const QString& file, const QString& section, const QString& key,
                   const QString& def, size_t bufferSize) {
    return text::FromGbk(GetPrivateProfileString(text::ToGbk(section), text::ToGbk(key),
                                                 text::ToGbk(def), bufferSize, file.toStdString()));
}

unsigned ReadInt(const QString& file, const QString& section, const QString& key, unsigned def) {
    return GetPrivateProfileInt(text::ToGbk(section), text::ToGbk(key), def, file.toStdString());
}

bool WriteString(const QString& file, const QString& section, const QString& key,
                 const QString& value) {
    std::string s, k, v;
    if (!ToGbkExactly(section, &s) || !ToGbkExactly(key, &k) || !ToGbkExactly(value, &v))
        return false;
    return WritePrivateProfileString(s, k, v, file.toStdString());
}

}  // namespace tw::ini
