// Literal values lifted out of a Jet statement, so that statements differing only in their
// values share one translation and one prepared statement. Internal to the database layer.
#pragma once

#include <QByteArray>
#include <QChar>
#include <QString>
#include <vector>

namespace tw::db {

// Marks a lifted literal in the statement's shape: the mark, 's' (text) or 'n' (whole
// number), then the parameter's number in decimal. The translator turns it into ?N.
inline constexpr QChar kLiteralMark = QChar(0xE000);

struct JetLiteral {
    bool isText = false;
    QByteArray text;  // UTF-8, for a text literal
    qint64 number = 0;
};

struct JetShape {
    // True for a data statement whose shape may be prepared once and reused; false: run the
    // statement as written.
    bool reusable = false;
    bool data = false;               // a select, insert, update or delete
    QString text;                    // the statement with every lifted literal replaced by its mark
    std::vector<JetLiteral> values;  // parameter N is values[N - 1]
};

// Lifts the text literals and the plain whole numbers out of a data statement (select,
// insert, update, delete). Literals in an ORDER BY or GROUP BY clause stay in the text, as a
// number there names a column. A statement that already holds a parameter or the mark is not
// lifted.
JetShape LiftJetLiterals(const QString& jetSql);

}  // namespace tw::db
