// The school's master tables: courses (Coursetb), teachers (Teachertb), classrooms
// (ClassRoomtb) and classes (Classtb), each row four texts: Code, Name, FullName, ShortName.
// Codes are unique as the database compares them. A deleted course, teacher or class takes the
// lessons, plan rows and limits that name it along; a deleted classroom leaves its limits to
// the data maintenance command.
#pragma once

#include <QList>
#include <QString>

#include "Outcome.h"

namespace tw::db {
class Database;
}

namespace tw::store {

enum class MasterTable { Courses, Teachers, ClassRooms, Classes };

// The table's name in the database: Coursetb, Teachertb, ClassRoomtb, Classtb.
QString MasterTableName(MasterTable table);

enum class MasterColumn { Code, Name, FullName, ShortName };

struct MasterRecord {
    QString code;
    QString name;
    QString fullName;
    QString shortName;
};

// Characters a new record's code and each of its names hold at most. Records stored before
// (from an older file or another program) may hold longer texts; they are kept as they are.
inline constexpr int kMasterTextLength = 10;

// The columns of record whose text is longer than kMasterTextLength, in column order.
QList<MasterColumn> TooLongColumns(const MasterRecord& record);

// Every row of the table, in the order the database gives them; a Null text reads as empty.
// When the read fails, value holds the rows read before the failure.
Read<QList<MasterRecord>> ReadMasterRecords(tw::db::Database& db, MasterTable table);

// Stores a new record with the texts as given (the forms trim them first). TooLong, before
// anything is read, when TooLongColumns(record) names a column; CodeTaken when a record of that
// code is stored already. rows is 1 when the record was stored.
Outcome AddMasterRecord(tw::db::Database& db, MasterTable table, const MasterRecord& record);

// Writes the three names of record into the stored record of record.code. NotFound when no
// record has that code.
Outcome RenameMasterRecord(tw::db::Database& db, MasterTable table, const MasterRecord& record);

// Deletes the record of code together with the rows that name it, all or nothing: for a course
// its lessons, plan rows and course limits; for a teacher the same with teacher limits; for a
// class the same with class limits; for a classroom its own row alone. NotFound, with nothing
// deleted, when no record has the code.
Outcome DeleteMasterRecord(tw::db::Database& db, MasterTable table, const QString& code);

}  // namespace tw::store
