// Reading a database in tests: the first field of a query's first row, and every row as text.
// A failing statement throws the database's error, which fails the test that made it.
#pragma once

#include <QString>
#include <QStringList>

#include "db/Database.h"

namespace twtest {

// First field of the first row as a number; -1 when there is no row.
inline long long Count(tw::db::Database& db, const QString& sql) {
    auto rs = db.OpenRecordset(sql);
    return rs->Eof() ? -1 : rs->Fields(0).Int();
}

// First field of the first row as text; "<none>" when there is no row.
inline QString Text(tw::db::Database& db, const QString& sql) {
    auto rs = db.OpenRecordset(sql);
    return rs->Eof() ? QStringLiteral("<none>") : rs->Fields(0).Text();
}

// Every row in the statement's order, its fields joined by '|'.
inline QStringList RowList(tw::db::Database& db, const QString& sql) {
    auto rs = db.OpenRecordset(sql);
    QStringList rows;
    for (; !rs->Eof(); rs->MoveNext()) {
        QStringList fields;
        for (int i = 0; i < rs->FieldCount(); ++i) fields << rs->Fields(i).Text();
        rows << fields.join('|');
    }
    return rows;
}

// Every row as RowList gives it, rows joined by ';'.
inline QString Rows(tw::db::Database& db, const QString& sql) {
    return RowList(db, sql).join(';');
}

// Every timetable table's rows in a fixed order, to tell whether anything changed.
inline QString AllTables(tw::db::Database& db) {
    return Rows(db, "select * from Classtb order by Code") + "#" +
           Rows(db, "select * from Coursetb order by Code") + "#" +
           Rows(db, "select * from Teachertb order by Code") + "#" +
           Rows(db, "select * from ClassRoomtb order by Code") + "#" +
           Rows(db, "select * from ClassPlantb order by ClassCode, CourseCode") + "#" +
           Rows(db, "select * from LessonListtb order by ClassCode, Day, LessonNo") + "#" +
           Rows(db, "select * from Limittb order by Kind, Code, Day, LessonNo");
}

}  // namespace twtest
