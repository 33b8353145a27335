// Lifting literals out of a Jet statement. The scan follows the translator's tokens (blanks,
// quoted text, [names] and [SELECT ...] derived tables, numbers, names, operators), so the
// shape translates exactly as the statement would, with ?N where the values were.
#include "JetLiterals.h"

#include <cassert>
#include <cstring>
#include <vector>

namespace tw::db {
namespace {

constexpr int kMaxLiterals = 999;  // below every SQLite build's parameter limit

bool IsIdentStart(QChar c) {
    const char16_t u = c.unicode();
    if (u < 0x80) return (u >= 'a' && u <= 'z') || (u >= 'A' && u <= 'Z') || u == '_';
    return true;
}
bool IsIdentChar(QChar c) {
    const char16_t u = c.unicode();
    if (u < 0x80)
        return (u >= 'a' && u <= 'z') || (u >= 'A' && u <= 'Z') || (u >= '0' && u <= '9') ||
               u == '_';
    return true;
}

// A short ASCII word in lower case, for comparing with keywords; "" for anything else.
struct Lower {
    char text[12] = {};
    qsizetype len = 0;
    Lower(const QString& s, qsizetype at, qsizetype n) {
        if (n <= 0 || n >= static_cast<qsizetype>(sizeof text)) return;
        for (qsizetype k = 0; k < n; ++k) {
            const char16_t u = s[at + k].unicode();
            if (u >= 0x80) {
                text[0] = 0;
                return;
            }
            text[k] = static_cast<char>(u >= 'A' && u <= 'Z' ? u + ('a' - 'A') : u);
        }
        len = n;
    }
    template <size_t N>
    bool Is(const char (&word)[N]) const {
        return len == static_cast<qsizetype>(N - 1) && std::memcmp(text, word, N - 1) == 0;
    }
};

bool IsDataStatement(const QString& s) {
    qsizetype i = 0;
    while (i < s.size() && s[i].isSpace()) ++i;
    qsizetype j = i;
    while (j < s.size() && IsIdentChar(s[j])) ++j;
    const Lower w(s, i, j - i);
    return w.Is("select") || w.Is("insert") || w.Is("update") || w.Is("delete");
}

class Lifter {
  public:
    explicit Lifter(const QString& s) : s_(s), p_(s.constData()), n_(s.size()) {
        clause_.reserve(8);
        clause_.push_back(false);
        values_.reserve(8);
    }

    bool Run() {
        while (i_ < n_) {
            const char16_t c = p_[i_].unicode();
            switch (c) {
                case u'?':
                case u':':
                case u'@':
                case u'$':
                    return false;  // a parameter of its own: leave the statement as written
                case u'\'':
                case u'"':
                    if (!Text(c)) return false;
                    continue;
                case u'[':
                    Bracket();
                    continue;
                case u']':
                    if (brackets_ > 0) {
                        --brackets_;
                        Close();
                    }
                    break;
                case u'(':
                    Open();
                    break;
                case u')':
                    Close();
                    break;
                default:
                    // The translator's order: blanks, numbers, then names.
                    if (c == kLiteralMark.unicode()) return false;
                    if (p_[i_].isSpace()) {
                        ++i_;
                        continue;  // blanks keep "order" and "by" together
                    }
                    if (p_[i_].isDigit() || (c == u'.' && i_ + 1 < n_ && p_[i_ + 1].isDigit())) {
                        if (!Number()) return false;
                        continue;
                    }
                    if (IsIdentStart(p_[i_])) {
                        Word();
                        continue;
                    }
            }
            afterOrderOrGroup_ = false;
            ++i_;
        }
        return true;
    }

    JetShape Take() {
        // Parameter N is values[N - 1]: one mark for each value lifted.
        assert((values_.empty() ? s_ : out_).count(kLiteralMark) ==
               static_cast<qsizetype>(values_.size()));
        JetShape shape;
        shape.reusable = true;
        if (values_.empty()) {
            shape.text = s_;
        } else {
            out_.append(p_ + copied_, n_ - copied_);
            shape.text = std::move(out_);
        }
        shape.values = std::move(values_);
        return shape;
    }

  private:
    // A quoted text; a doubled quote stands for one. An unclosed text runs to the end, as the
    // translator reads it.
    bool Text(char16_t quote) {
        const qsizetype start = i_;
        qsizetype j = i_ + 1;
        bool doubled = false;
        while (j < n_) {
            if (p_[j] == quote) {
                if (j + 1 < n_ && p_[j + 1] == quote) {
                    doubled = true;
                    j += 2;
                    continue;
                }
                break;
            }
            ++j;
        }
        const qsizetype valueEnd = j;
        i_ = j < n_ ? j + 1 : n_;
        afterOrderOrGroup_ = false;
        if (clause_.back()) return true;
        JetLiteral lit;
        lit.isText = true;
        if (doubled) {
            QString value = s_.mid(start + 1, valueEnd - start - 1);
            const QChar q(quote);
            value.replace(QString(2, q), QString(q));
            lit.text = value.toUtf8();
        } else {
            lit.text = QStringView(p_ + start + 1, valueEnd - start - 1).toUtf8();
        }
        return Add(start, u's', std::move(lit));
    }

    // [SELECT ...] is a derived table whose inside is scanned like the rest; any other [name]
    // is kept as it stands, matched the way the translator matches it.
    void Bracket() {
        qsizetype k = i_ + 1;
        while (k < n_ && p_[k].isSpace()) ++k;
        afterOrderOrGroup_ = false;
        if (QStringView(s_).mid(k, 6).compare(QLatin1String("select"), Qt::CaseInsensitive) == 0) {
            ++brackets_;
            Open();
            ++i_;
            return;
        }
        qsizetype depth = 0, j = i_;
        for (; j < n_; ++j) {
            if (p_[j] == u'[') ++depth;
            if (p_[j] == u']' && --depth == 0) break;
        }
        i_ = j < n_ ? j + 1 : n_;
    }

    // Plain whole numbers are lifted; decimals, long digit runs and a number run into a name
    // ("1e5", "0x1F") stay as written.
    bool Number() {
        const qsizetype start = i_;
        qsizetype j = i_;
        bool digitsOnly = true;
        while (j < n_ && (p_[j].isDigit() || p_[j] == u'.')) {
            if (p_[j] == u'.' || p_[j].unicode() > u'9') digitsOnly = false;
            ++j;
        }
        const bool glued = j < n_ && IsIdentChar(p_[j]);
        i_ = j;
        afterOrderOrGroup_ = false;
        if (!digitsOnly || glued || j - start > 18 || clause_.back()) return true;
        JetLiteral lit;
        for (qsizetype k = start; k < j; ++k)
            lit.number = lit.number * 10 + (p_[k].unicode() - u'0');
        return Add(start, u'n', std::move(lit));
    }

    void Word() {
        qsizetype j = i_;
        while (j < n_ && IsIdentChar(p_[j])) ++j;
        const qsizetype len = j - i_;
        i_ = j;
        if (len < 2 || len > 9) {
            afterOrderOrGroup_ = false;
            return;
        }
        const Lower w(s_, j - len, len);
        bool orderOrGroup = false;
        switch (len) {
            case 2:
                if (w.Is("by") && afterOrderOrGroup_) clause_.back() = true;
                break;
            case 4:
                if (w.Is("from")) clause_.back() = false;
                break;
            case 5:
                orderOrGroup = w.Is("order") || w.Is("group");
                if (w.Is("limit") || w.Is("union") || w.Is("where")) clause_.back() = false;
                break;
            case 6:
                if (w.Is("having") || w.Is("except") || w.Is("select")) clause_.back() = false;
                break;
            case 9:
                if (w.Is("intersect")) clause_.back() = false;
                break;
        }
        afterOrderOrGroup_ = orderOrGroup;
    }

    // Replaces the literal from `start` up to the scan position by its mark.
    bool Add(qsizetype start, char16_t kind, JetLiteral lit) {
        if (static_cast<int>(values_.size()) >= kMaxLiterals) return false;
        assert(copied_ <= start && start < i_);  // a literal lies past what is already copied
        values_.push_back(std::move(lit));
        if (out_.isEmpty()) out_.reserve(n_ + 16);
        out_.append(p_ + copied_, start - copied_);
        out_ += kLiteralMark;
        out_ += QChar(kind);
        char digits[8];
        int d = 0;
        for (size_t v = values_.size(); v > 0; v /= 10)
            digits[d++] = static_cast<char>('0' + v % 10);
        while (d > 0) out_ += QChar(digits[--d]);
        copied_ = i_;
        return true;
    }

    // A parenthesis or derived table inherits the clause it stands in.
    void Open() { clause_.push_back(clause_.back()); }
    void Close() {
        if (clause_.size() > 1) clause_.pop_back();
        assert(!clause_.empty());  // the statement's own level is never left
    }

    const QString& s_;
    const QChar* p_;
    const qsizetype n_;
    qsizetype i_ = 0;
    qsizetype copied_ = 0;  // s_ before this is in out_
    QString out_;
    std::vector<JetLiteral> values_;
    std::vector<bool> clause_;  // per nesting level: inside an ORDER BY or GROUP BY clause
    bool afterOrderOrGroup_ = false;
    int brackets_ = 0;
};

}  // namespace

JetShape LiftJetLiterals(const QString& jetSql) {
    JetShape shape;
    shape.data = IsDataStatement(jetSql);
    if (!shape.data) return shape;
    Lifter lifter(jetSql);
    if (!lifter.Run()) return shape;
    shape = lifter.Take();
    shape.data = true;
    assert(shape.values.size() <= static_cast<size_t>(kMaxLiterals));
    return shape;
}

}  // namespace tw::db
