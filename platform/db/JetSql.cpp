// Rewrites Jet SQL into SQLite. The statement is split into tokens, parentheses become nested
// groups, and four rewrites run on every level:
//  - left(x,n) -> substr(x,1,n), mid(x,n[,m]) -> substr(x,n[,m]) (LEFT is a keyword in SQLite);
//  - "text" -> 'text' (Jet's double quotes delimit text, not names);
//  - a & b -> (a) || (b): & binds looser than arithmetic in Jet, || tighter in SQLite;
//  - left(...) = 6 compares as numbers, as Jet converts a digit text to meet a number;
// plus [SELECT ...]. AS t -> (SELECT ...) AS t, an ORDER BY for a top-level GROUP BY without
// one (Jet returns groups in key order), and ORDER BY rowid for a plain read of a whole table
// (Jet returns the rows in the order they were stored, where SQLite may read a covering index).
#include <QHash>
#include <QMutex>
#include <QSet>
#include <vector>

#include "Database.h"
#include "JetLiterals.h"

namespace tw::db {
namespace {

enum class T { Space, Word, Number, String, Op, Group, Raw };

struct Node {
    T type;
    QString text;            // Word/Number/String/Op/Space/Raw text (String with its quotes)
    std::vector<Node> kids;  // Group contents, without the parentheses
    bool textFunc = false;   // a Word that names a rewritten left/mid
};

bool IsIdentStart(QChar c) {
    return c.isLetter() || c == u'_' || c.unicode() >= 0x80;
}
bool IsIdentChar(QChar c) {
    return c.isLetterOrNumber() || c == u'_' || c.unicode() >= 0x80;
}

const QSet<QString>& Keywords() {
    static const QSet<QString> k = {
        "SELECT", "FROM",    "WHERE",  "AND",    "OR",     "NOT",      "IN",   "IS",
        "LIKE",   "BETWEEN", "AS",     "ON",     "JOIN",   "INNER",    "LEFT", "RIGHT",
        "OUTER",  "GROUP",   "BY",     "ORDER",  "HAVING", "ASC",      "DESC", "SET",
        "VALUES", "INTO",    "INSERT", "UPDATE", "DELETE", "DISTINCT", "TOP",  "UNION",
        "ALL",    "EXISTS",  "CASE",   "WHEN",   "THEN",   "ELSE",     "END",  "LIMIT"};
    return k;
}

bool IsKeyword(const Node& n) {
    return n.type == T::Word && Keywords().contains(n.text.toUpper());
}
bool IsKw(const Node& n, const char* kw) {
    return n.type == T::Word && n.text.compare(QLatin1String(kw), Qt::CaseInsensitive) == 0;
}

QString TranslateStatement(const QString& sql, bool topLevel);

// Flat tokens; a bracketed subquery is translated at once and kept as one Raw token.
std::vector<Node> Tokenize(const QString& s) {
    std::vector<Node> out;
    const qsizetype n = s.size();
    qsizetype i = 0;
    while (i < n) {
        const QChar c = s[i];
        if (c == kLiteralMark && i + 1 < n) {
            // A lifted literal: ?N of the kind it stands for, so it translates as the value did.
            const bool number = s[i + 1] == u'n';
            qsizetype j = i + 2;
            while (j < n && s[j].isDigit()) ++j;
            out.push_back({number ? T::Number : T::String, u'?' + s.mid(i + 2, j - i - 2), {}});
            i = j;
        } else if (c.isSpace()) {
            qsizetype j = i;
            while (j < n && s[j].isSpace()) ++j;
            out.push_back({T::Space, s.mid(i, j - i), {}});
            i = j;
        } else if (c == u'\'' || c == u'"') {
            // A text literal; the quote is doubled inside it.
            QString value;
            qsizetype j = i + 1;
            while (j < n) {
                if (s[j] == c) {
                    if (j + 1 < n && s[j + 1] == c) {
                        value += c;
                        j += 2;
                        continue;
                    }
                    break;
                }
                value += s[j++];
            }
            i = j < n ? j + 1 : n;
            QString quoted = value;
            quoted.replace(u'\'', QStringLiteral("''"));
            out.push_back({T::String, u'\'' + quoted + u'\'', {}});
        } else if (c == u'[') {
            qsizetype depth = 0, j = i;
            for (; j < n; ++j) {
                if (s[j] == u'[') ++depth;
                if (s[j] == u']' && --depth == 0) break;
            }
            const QString inner = s.mid(i + 1, j - i - 1);
            i = j < n ? j + 1 : n;
            if (inner.trimmed().startsWith(QLatin1String("select"), Qt::CaseInsensitive)) {
                // Jet's derived table: [SELECT ...]. AS alias
                out.push_back({T::Raw, u'(' + TranslateStatement(inner, false) + u')', {}});
                if (i < n && s[i] == u'.') ++i;
            } else {
                QString name = inner;
                name.replace(u'"', QStringLiteral("\"\""));
                out.push_back({T::Word, u'"' + name + u'"', {}});
            }
        } else if (c.isDigit() || (c == u'.' && i + 1 < n && s[i + 1].isDigit())) {
            qsizetype j = i;
            while (j < n && (s[j].isDigit() || s[j] == u'.')) ++j;
            out.push_back({T::Number, s.mid(i, j - i), {}});
            i = j;
        } else if (IsIdentStart(c)) {
            qsizetype j = i;
            while (j < n && IsIdentChar(s[j])) ++j;
            out.push_back({T::Word, s.mid(i, j - i), {}});
            i = j;
        } else {
            QString op(c);
            if (i + 1 < n) {
                const QString two = s.mid(i, 2);
                if (two == "<>" || two == "<=" || two == ">=" || two == "!=" || two == "||")
                    op = two;
            }
            out.push_back({T::Op, op, {}});
            i += op.size();
        }
    }
    return out;
}

// Nests the tokens at parentheses. An unbalanced statement is left for SQLite to refuse.
std::vector<Node> Nest(const std::vector<Node>& flat, size_t& pos, bool inner) {
    std::vector<Node> out;
    while (pos < flat.size()) {
        const Node& t = flat[pos];
        if (t.type == T::Op && t.text == "(") {
            ++pos;
            Node g{T::Group, {}, Nest(flat, pos, true)};
            out.push_back(std::move(g));
            continue;
        }
        if (t.type == T::Op && t.text == ")") {
            if (inner) {
                ++pos;
                return out;
            }
            out.push_back({T::Raw, ")", {}});  // stray: keep it so the statement still fails
            ++pos;
            continue;
        }
        out.push_back(t);
        ++pos;
    }
    return out;
}

QString Serialize(const std::vector<Node>& nodes) {
    QString s;
    for (const Node& n : nodes) {
        if (n.type == T::Group)
            s += u'(' + Serialize(n.kids) + u')';
        else
            s += n.text;
    }
    return s;
}

// The runs of nodes between the operators op on one level: one run when there is none.
std::vector<std::vector<Node>> SplitAtOp(const std::vector<Node>& nodes, const QString& op) {
    std::vector<std::vector<Node>> runs(1);
    for (const Node& n : nodes) {
        if (n.type == T::Op && n.text == op)
            runs.emplace_back();
        else
            runs.back().push_back(n);
    }
    return runs;
}

std::vector<std::vector<Node>> SplitArgs(const std::vector<Node>& kids) {
    return SplitAtOp(kids, QStringLiteral(","));
}

// left/mid (and a few other Jet text functions) on one level; groups are already done.
void RewriteFunctions(std::vector<Node>& nodes) {
    for (size_t i = 0; i + 1 < nodes.size(); ++i) {
        Node& w = nodes[i];
        if (w.type != T::Word) continue;
        size_t j = i + 1;  // Jet allows blanks between a function's name and its arguments
        while (j < nodes.size() && nodes[j].type == T::Space) ++j;
        if (j >= nodes.size() || nodes[j].type != T::Group) continue;
        Node& g = nodes[j];
        const QString name = w.text.toLower();
        if (name == "left") {
            auto args = SplitArgs(g.kids);
            if (args.size() != 2) continue;
            std::vector<Node> kids = args[0];
            kids.push_back({T::Op, ",", {}});
            kids.push_back({T::Number, "1", {}});
            kids.push_back({T::Op, ",", {}});
            kids.insert(kids.end(), args[1].begin(), args[1].end());
            g.kids = std::move(kids);
            w.text = "substr";
            w.textFunc = true;
        } else if (name == "mid") {
            auto args = SplitArgs(g.kids);
            if (args.size() != 2 && args.size() != 3) continue;
            w.text = "substr";
            w.textFunc = true;
        } else if (name == "len") {
            w.text = "length";
        } else if (name == "ucase") {
            w.text = "upper";
        } else if (name == "lcase") {
            w.text = "lower";
        }
    }
}

bool IsOperandNode(const Node& n) {
    switch (n.type) {
        case T::Space:
        case T::Number:
        case T::String:
        case T::Group:
        case T::Raw:
            return true;
        case T::Word:
            return !IsKeyword(n) || IsKw(n, "null");
        case T::Op:
            return n.text == "." || n.text == "+" || n.text == "-" || n.text == "*" ||
                   n.text == "/" || n.text == "&" || n.text == "||" || n.text == "\\" ||
                   n.text == "^" || n.text == "%";
    }
    return false;
}

bool IsComparison(const Node& n) {
    return n.type == T::Op && (n.text == "=" || n.text == "<>" || n.text == "<" || n.text == ">" ||
                               n.text == "<=" || n.text == ">=" || n.text == "!=");
}

std::vector<Node> Stripped(const std::vector<Node>& seg) {
    size_t b = 0, e = seg.size();
    while (b < e && seg[b].type == T::Space) ++b;
    while (e > b && seg[e - 1].type == T::Space) --e;
    return std::vector<Node>(seg.begin() + static_cast<long>(b),
                             seg.begin() + static_cast<long>(e));
}

bool IsNumberLiteral(const std::vector<Node>& seg) {
    const auto s = Stripped(seg);
    if (s.size() == 1) return s[0].type == T::Number;
    return s.size() == 2 && s[0].type == T::Op && (s[0].text == "-" || s[0].text == "+") &&
           s[1].type == T::Number;
}

bool IsTextFunctionCall(const std::vector<Node>& seg) {
    const auto s = Stripped(seg);
    if (s.size() < 2 || !s.front().textFunc || s.back().type != T::Group) return false;
    for (size_t i = 1; i + 1 < s.size(); ++i)
        if (s[i].type != T::Space) return false;
    return true;
}

// One operand run: a & b & c -> (a) || (b) || (c).
void RewriteConcat(std::vector<Node>& seg) {
    const std::vector<std::vector<Node>> parts = SplitAtOp(seg, QStringLiteral("&"));
    if (parts.size() == 1) return;
    std::vector<Node> out;
    // Keep the spacing around the whole run.
    size_t lead = 0;
    while (lead < seg.size() && seg[lead].type == T::Space) out.push_back(seg[lead++]);
    for (size_t i = 0; i < parts.size(); ++i) {
        if (i) {
            out.push_back({T::Space, " ", {}});
            out.push_back({T::Op, "||", {}});
            out.push_back({T::Space, " ", {}});
        }
        out.push_back({T::Group, {}, Stripped(parts[i])});
    }
    size_t trail = seg.size();
    std::vector<Node> tail;
    while (trail > lead && seg[trail - 1].type == T::Space) tail.insert(tail.begin(), seg[--trail]);
    out.insert(out.end(), tail.begin(), tail.end());
    seg = std::move(out);
}

void WrapNumeric(std::vector<Node>& seg) {
    std::vector<Node> lead, tail;
    size_t b = 0, e = seg.size();
    while (b < e && seg[b].type == T::Space) lead.push_back(seg[b++]);
    while (e > b && seg[e - 1].type == T::Space) tail.insert(tail.begin(), seg[--e]);
    std::vector<Node> kids(seg.begin() + static_cast<long>(b), seg.begin() + static_cast<long>(e));
    kids.push_back({T::Raw, " AS NUMERIC", {}});
    std::vector<Node> out = lead;
    out.push_back({T::Word, "CAST", {}});
    out.push_back({T::Group, {}, std::move(kids)});
    out.insert(out.end(), tail.begin(), tail.end());
    seg = std::move(out);
}

void RewriteLevel(std::vector<Node>& nodes) {
    for (Node& n : nodes)
        if (n.type == T::Group) RewriteLevel(n.kids);
    RewriteFunctions(nodes);

    // Pieces: operand runs and the single nodes between them.
    struct Piece {
        bool operand;
        std::vector<Node> nodes;
    };
    std::vector<Piece> pieces;
    for (Node& n : nodes) {
        const bool op = IsOperandNode(n);
        if (op && !pieces.empty() && pieces.back().operand)
            pieces.back().nodes.push_back(std::move(n));
        else
            pieces.push_back({op, {std::move(n)}});
    }
    for (Piece& p : pieces)
        if (p.operand) RewriteConcat(p.nodes);
    for (size_t i = 1; i + 1 < pieces.size(); ++i) {
        if (pieces[i].operand || !IsComparison(pieces[i].nodes[0])) continue;
        Piece& l = pieces[i - 1];
        Piece& r = pieces[i + 1];
        if (!l.operand || !r.operand) continue;
        if (IsNumberLiteral(r.nodes) && IsTextFunctionCall(l.nodes)) WrapNumeric(l.nodes);
        if (IsNumberLiteral(l.nodes) && IsTextFunctionCall(r.nodes)) WrapNumeric(r.nodes);
    }
    nodes.clear();
    for (Piece& p : pieces)
        for (Node& n : p.nodes) nodes.push_back(std::move(n));
}

// Index of the next non-space node at or after i.
size_t NextSolid(const std::vector<Node>& nodes, size_t i) {
    while (i < nodes.size() && nodes[i].type == T::Space) ++i;
    return i;
}

void AddGroupOrder(std::vector<Node>& nodes) {
    size_t groupAt = nodes.size();
    for (size_t i = 0; i < nodes.size(); ++i) {
        if (IsKw(nodes[i], "order")) {
            const size_t j = NextSolid(nodes, i + 1);
            if (j < nodes.size() && IsKw(nodes[j], "by")) return;
        }
        if (IsKw(nodes[i], "union")) return;
        if (IsKw(nodes[i], "group")) {
            const size_t j = NextSolid(nodes, i + 1);
            if (j < nodes.size() && IsKw(nodes[j], "by")) groupAt = j + 1;
        }
    }
    if (groupAt >= nodes.size()) return;
    std::vector<Node> keys;
    size_t end = groupAt;
    while (end < nodes.size() && !IsKw(nodes[end], "having") && !IsKw(nodes[end], "limit") &&
           !(nodes[end].type == T::Op && nodes[end].text == ";"))
        keys.push_back(nodes[end++]);
    keys = Stripped(keys);
    if (keys.empty()) return;
    // Drop a trailing ';' and blanks, then append the order.
    while (!nodes.empty() && (nodes.back().type == T::Space ||
                              (nodes.back().type == T::Op && nodes.back().text == ";")))
        nodes.pop_back();
    nodes.push_back({T::Raw, " ORDER BY ", {}});
    nodes.insert(nodes.end(), keys.begin(), keys.end());
}

// "select a, b from T" (columns or *, one table, nothing after it) reads the table in stored
// order. SQLite would read an index that holds every column asked for (Name, say) and return
// the rows in that index's order; rowid order is the order the rows were entered.
void AddStoredOrder(std::vector<Node>& nodes) {
    size_t i = NextSolid(nodes, 0);
    if (i >= nodes.size() || !IsKw(nodes[i], "select")) return;
    for (i = NextSolid(nodes, i + 1); i < nodes.size() && !IsKw(nodes[i], "from");
         i = NextSolid(nodes, i + 1)) {
        const Node& n = nodes[i];
        const bool column = n.type == T::Word && !IsKeyword(n);
        const bool punct = n.type == T::Op && (n.text == "," || n.text == "*" || n.text == ".");
        if (!column && !punct) return;
    }
    const size_t table = NextSolid(nodes, i + 1);
    if (table >= nodes.size() || nodes[table].type != T::Word || IsKeyword(nodes[table])) return;
    for (size_t j = table + 1; j < nodes.size(); ++j)
        if (nodes[j].type != T::Space && !(nodes[j].type == T::Op && nodes[j].text == ";")) return;
    nodes.resize(table + 1);
    nodes.push_back({T::Raw, " ORDER BY rowid", {}});
}

QString TranslateStatement(const QString& sql, bool topLevel) {
    const std::vector<Node> flat = Tokenize(sql);
    size_t pos = 0;
    std::vector<Node> nodes = Nest(flat, pos, false);
    RewriteLevel(nodes);
    if (topLevel) {
        AddGroupOrder(nodes);
        AddStoredOrder(nodes);
    }
    return Serialize(nodes);
}

}  // namespace

QString SqlQ(const QString& value) {
    QString s = value;
    s.replace(u'\'', QStringLiteral("''"));
    return s;
}

QString SqlDQ(const QString& value) {
    QString s = value;
    s.replace(u'"', QStringLiteral("\"\""));
    return s;
}

QString TranslateJetSql(const QString& jetSql) {
    static QMutex mutex;
    static QHash<QString, QString> cache;
    {
        QMutexLocker lock(&mutex);
        auto it = cache.constFind(jetSql);
        if (it != cache.constEnd()) return *it;
    }
    const QString out = TranslateStatement(jetSql, true);
    QMutexLocker lock(&mutex);
    if (cache.size() > 4000) cache.clear();
    cache.insert(jetSql, out);
    return out;
}

}  // namespace tw::db
