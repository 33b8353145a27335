// Lifting literals out of a Jet statement. The scan follows the translator's tokens (blanks,
// quoted text, [names] and [SELECT ...] derived tables, numbers, names, operators), so the
// shape translates exactly as the statement would, with ?N where the values were.
#include "JetLiterals.h"

#include <vector>

namespace tw::db {
namespace {

constexpr int kMaxLiterals = 999;  // below every SQLite build's parameter limit

bool IsIdentStart(QChar c) {
    return c.isLetter() || c == u'_' || c.unicode() >= 0x80;
}
bool IsIdentChar(QChar c) {
    return c.isLetterOrNumber() || c == u'_' || c.unicode() >= 0x80;
}

bool IsWord(const QString& s, qsizetype at, qsizetype len, const char* word) {
    return QStringView(s).mid(at, len).compare(QLatin1String(word), Qt::CaseInsensitive) == 0;
}

bool IsDataStatement(const QString& s) {
    qsizetype i = 0;
    while (i < s.size() && s[i].isSpace()) ++i;
    qsizetype j = i;
    while (j < s.size() && IsIdentChar(s[j])) ++j;
    for (const char* w : {"select", "insert", "update", "delete"})
        if (IsWord(s, i, j - i, w)) return true;
    return false;
}

class Lifter {
  public:
    explicit Lifter(const QString& s) : s_(s), n_(s.size()) {
        out_.reserve(n_ + 16);
        clause_.push_back(false);
    }

    bool Run() {
        while (i_ < n_) {
            const QChar c = s_[i_];
            if (c == kLiteralMark || c == u'?' || c == u':' || c == u'@' || c == u'$')
                return false;  // a parameter of its own (or the mark): leave it as written
            if (c.isSpace()) {
                out_ += c;
                ++i_;
            } else if (c == u'\'' || c == u'"') {
                if (!Text(c)) return false;
            } else if (c == u'[') {
                Bracket();
            } else if (c == u']' && brackets_ > 0) {
                --brackets_;
                Close();
                out_ += c;
                ++i_;
            } else if (c.isDigit() || (c == u'.' && i_ + 1 < n_ && s_[i_ + 1].isDigit())) {
                if (!Number()) return false;
            } else if (IsIdentStart(c)) {
                Word();
            } else {
                if (c == u'(') Open();
                if (c == u')') Close();
                afterOrderOrGroup_ = false;
                out_ += c;
                ++i_;
            }
        }
        return true;
    }

    JetShape Take() {
        JetShape shape;
        shape.reusable = true;
        shape.text = std::move(out_);
        shape.values = std::move(values_);
        return shape;
    }

  private:
    // A quoted text; a doubled quote stands for one. An unclosed text runs to the end, as the
    // translator reads it.
    bool Text(QChar quote) {
        const qsizetype start = i_;
        QString value;
        qsizetype j = i_ + 1;
        while (j < n_) {
            if (s_[j] == quote) {
                if (j + 1 < n_ && s_[j + 1] == quote) {
                    value += quote;
                    j += 2;
                    continue;
                }
                break;
            }
            value += s_[j++];
        }
        i_ = j < n_ ? j + 1 : n_;
        afterOrderOrGroup_ = false;
        if (clause_.back()) {
            out_ += QStringView(s_).mid(start, i_ - start);
            return true;
        }
        JetLiteral lit;
        lit.isText = true;
        lit.text = value.toUtf8();
        return Add(u's', std::move(lit));
    }

    // [SELECT ...] is a derived table whose inside is scanned like the rest; any other [name]
    // is copied as it stands, matched the way the translator matches it.
    void Bracket() {
        qsizetype k = i_ + 1;
        while (k < n_ && s_[k].isSpace()) ++k;
        afterOrderOrGroup_ = false;
        if (IsWord(s_, k, 6, "select")) {
            ++brackets_;
            Open();
            out_ += u'[';
            ++i_;
            return;
        }
        qsizetype depth = 0, j = i_;
        for (; j < n_; ++j) {
            if (s_[j] == u'[') ++depth;
            if (s_[j] == u']' && --depth == 0) break;
        }
        const qsizetype end = j < n_ ? j + 1 : n_;
        out_ += QStringView(s_).mid(i_, end - i_);
        i_ = end;
    }

    // Plain whole numbers are lifted; decimals, long digit runs and a number run into a name
    // ("1e5", "0x1F") stay as written.
    bool Number() {
        qsizetype j = i_;
        bool digitsOnly = true;
        while (j < n_ && (s_[j].isDigit() || s_[j] == u'.')) {
            if (s_[j] == u'.') digitsOnly = false;
            ++j;
        }
        const QStringView token = QStringView(s_).mid(i_, j - i_);
        const bool glued = j < n_ && IsIdentChar(s_[j]);
        afterOrderOrGroup_ = false;
        if (!digitsOnly || glued || token.size() > 18 || clause_.back()) {
            out_ += token;
            i_ = j;
            return true;
        }
        i_ = j;
        JetLiteral lit;
        lit.number = token.toLongLong();
        return Add(u'n', std::move(lit));
    }

    void Word() {
        qsizetype j = i_;
        while (j < n_ && IsIdentChar(s_[j])) ++j;
        const qsizetype len = j - i_;
        if (IsWord(s_, i_, len, "by") && afterOrderOrGroup_) {
            clause_.back() = true;
        } else {
            for (const char* w :
                 {"having", "limit", "union", "except", "intersect", "where", "from", "select"})
                if (IsWord(s_, i_, len, w)) clause_.back() = false;
        }
        afterOrderOrGroup_ = IsWord(s_, i_, len, "order") || IsWord(s_, i_, len, "group");
        out_ += QStringView(s_).mid(i_, len);
        i_ = j;
    }

    bool Add(QChar kind, JetLiteral lit) {
        if (static_cast<int>(values_.size()) >= kMaxLiterals) return false;
        values_.push_back(std::move(lit));
        out_ += kLiteralMark;
        out_ += kind;
        out_ += QString::number(values_.size());
        return true;
    }

    // A parenthesis or derived table inherits the clause it stands in.
    void Open() { clause_.push_back(clause_.back()); }
    void Close() {
        if (clause_.size() > 1) clause_.pop_back();
    }

    const QString& s_;
    const qsizetype n_;
    qsizetype i_ = 0;
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
    return shape;
}

}  // namespace tw::db
