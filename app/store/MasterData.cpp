#include "MasterData.h"

#include <QStringList>
#include <utility>

#include "Command.h"
#include "db/Database.h"

using tw::db::SqlQ;

namespace tw::store {

namespace {

// The deletes that remove a record of the table, each followed by the quoted code and "'", in
// the order they run: the rows that name the code first, the record itself last.
QStringList DeletePrefixes(MasterTable table) {
    switch (table) {
        case MasterTable::Courses:
            return {"Delete From LessonListtb Where CourseCode = '",
                    "Delete From ClassPlantb Where CourseCode = '",
                    "Delete From Limittb Where Kind=1 and Code = '",
                    "Delete From Coursetb Where Code = '"};
        case MasterTable::Teachers:
            return {"Delete From LessonListtb Where TeacherCode = '",
                    "Delete From ClassPlantb Where TeacherCode = '",
                    "Delete From Limittb Where Kind=2 and Code = '",
                    "Delete From Teachertb Where Code = '"};
        case MasterTable::ClassRooms:
            // Classroom limits stay; data maintenance removes them later.
            return {"Delete From ClassRoomtb Where Code = '"};
        case MasterTable::Classes:
            return {"Delete From LessonListtb Where ClassCode = '",
                    "Delete From ClassPlantb Where ClassCode = '",
                    "Delete From Limittb Where Kind=0 and Code = '",
                    "Delete From Classtb Where Code = '"};
    }
    return {};
}

}  // namespace

QString MasterTableName(MasterTable table) {
    switch (table) {
        case MasterTable::Courses:
            return QStringLiteral("Coursetb");
        case MasterTable::Teachers:
            return QStringLiteral("Teachertb");
        case MasterTable::ClassRooms:
            return QStringLiteral("ClassRoomtb");
        case MasterTable::Classes:
            return QStringLiteral("Classtb");
    }
    return {};
}

QList<MasterColumn> TooLongColumns(const MasterRecord& record) {
    QList<MasterColumn> columns;
    const std::pair<MasterColumn, const QString*> texts[] = {
        {MasterColumn::Code, &record.code},
        {MasterColumn::Name, &record.name},
        {MasterColumn::FullName, &record.fullName},
        {MasterColumn::ShortName, &record.shortName}};
    for (const auto& [column, text] : texts) {
        if (text->size() > kMasterTextLength) columns << column;
    }
    return columns;
}

Read<QList<MasterRecord>> ReadMasterRecords(tw::db::Database& db, MasterTable table) {
    return ReadRows<MasterRecord>(
        db, "select * from " + MasterTableName(table), [](tw::db::Recordset& rs) {
            return MasterRecord{rs.Fields("Code").Text(), rs.Fields("Name").Text(),
                                rs.Fields("FullName").Text(), rs.Fields("ShortName").Text()};
        });
}

Outcome AddMasterRecord(tw::db::Database& db, MasterTable table, const MasterRecord& record) {
    if (!TooLongColumns(record).isEmpty()) return Outcome::Failed(Reason::TooLong);
    const QString name = MasterTableName(table);
    return RunInTransaction(db, [&] {
        auto rs = db.OpenRecordset("Select Code from " + name + " where  Code = '" +
                                   SqlQ(record.code) + "'");
        const bool taken = !rs->Eof();
        rs->Close();
        if (taken) return Outcome::Failed(Reason::CodeTaken);
        db.Execute("Insert Into " + name + " ( Code,Name,FullName,ShortName) Values ('" +
                       SqlQ(record.code) + "','" + SqlQ(record.name) + "','" +
                       SqlQ(record.fullName) + "','" + SqlQ(record.shortName) + "')",
                   0);
        return Outcome::Ok(db.RecordsAffected());
    });
}

Outcome RenameMasterRecord(tw::db::Database& db, MasterTable table, const MasterRecord& record) {
    return RunInTransaction(db, [&] {
        db.Execute("Update " + MasterTableName(table) + " Set Name = '" + SqlQ(record.name) +
                       "',FullName = '" + SqlQ(record.fullName) + "',ShortName = '" +
                       SqlQ(record.shortName) + "' Where Code = '" + SqlQ(record.code) + "'",
                   0);
        // An update that matched no record changed nothing.
        const long long changed = db.RecordsAffected();
        return changed > 0 ? Outcome::Ok(changed) : Outcome::Failed(Reason::NotFound);
    });
}

Outcome DeleteMasterRecord(tw::db::Database& db, MasterTable table, const QString& code) {
    return RunInTransaction(db, [&] {
        for (const QString& prefix : DeletePrefixes(table)) {
            db.Execute(prefix + SqlQ(code) + "'", 0);
        }
        // The record itself goes last: when it was not found, nothing is deleted.
        const long long deleted = db.RecordsAffected();
        return deleted > 0 ? Outcome::Ok(deleted) : Outcome::Failed(Reason::NotFound);
    });
}

}  // namespace tw::store
