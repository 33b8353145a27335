#include "ClassOrder.h"

#include <algorithm>
#include <tuple>

#include "db/CodeOrder.h"

namespace tw::store {

namespace {

bool IsAsciiDigit(QChar c) {
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

// The place of a code in the order: codes of a grade digit and a class number by grade and
// number (the number's digits without leading zeros, shorter first), then the others; the
// database's order of codes last.
std::tuple<bool, int, qsizetype, QString, QByteArray> OrderKey(const QString& code) {
    const bool graded = code.size() >= 2 && std::all_of(code.begin(), code.end(), IsAsciiDigit);
    if (!graded) return {true, 0, 0, QString(), tw::db::CodeKey(code)};
    QString number = code.mid(1);
    while (number.startsWith(QLatin1Char('0'))) number.remove(0, 1);
    return {false, code[0].digitValue(), number.size(), number, tw::db::CodeKey(code)};
}

}  // namespace

bool ClassCodeLess(const QString& a, const QString& b) {
    return OrderKey(a) < OrderKey(b);
}

QString ClassOrderBy(const QString& column) {
    const QString graded =
        QStringLiteral("(length(%1) >= 2 and %1 not glob '*[^0-9]*')").arg(column);
    const QString number = QStringLiteral("ltrim(substr(%1,2),'0')").arg(column);
    return QStringLiteral(
               "case when %1 then 0 else 1 end, case when %1 then substr(%2,1,1) end, case when "
               "%1 then length(%3) end, case when %1 then %3 end, %2")
        .arg(graded, column, number);
}

}  // namespace tw::store
