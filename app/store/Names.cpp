#include "Names.h"

#include "Command.h"
#include "db/Database.h"

using tw::db::SqlQ;

namespace tw::store {

namespace {

// The field of the first row that sql reads; "" when it reads none.
Read<QString> FirstField(tw::db::Database& db, const QString& sql, const QString& field) {
    Read<QString> read;
    read.outcome = RunGuarded([&] {
        auto rs = db.OpenRecordset(sql);
        if (!rs->Eof()) read.value = rs->Fields(field).Text();
        rs->Close();
        return Outcome::Ok();
    });
    // A failure after the row was read leaves no value either.
    if (!read.Done()) read.value.clear();
    return read;
}

// "select <field> from <table> where <key>='<value>'" and its first row's field.
Read<QString> FieldWhere(tw::db::Database& db, const QString& field, const QString& table,
                         const QString& key, const QString& value) {
    return FirstField(
        db, "select " + field + " from " + table + " where " + key + "='" + SqlQ(value) + "'",
        field);
}

Read<QList<MasterRecord>> NameList(tw::db::Database& db, const QString& sql) {
    return ReadRows<MasterRecord>(db, sql, [](tw::db::Recordset& rs) {
        return MasterRecord{rs.Fields("Code").Text(), rs.Fields("Name").Text(),
                            rs.Fields("FullName").Text(), QString()};
    });
}

}  // namespace

Read<QString> GetClassName(tw::db::Database& db, const QString& classCode) {
    return FieldWhere(db, "Name", "Classtb", "Code", classCode);
}

Read<QString> GetClassShortName(tw::db::Database& db, const QString& classCode) {
    return FieldWhere(db, "ShortName", "Classtb", "Code", classCode);
}

Read<QString> GetCourseName(tw::db::Database& db, const QString& courseCode) {
    return FieldWhere(db, "Name", "Coursetb", "Code", courseCode);
}

Read<QString> GetTeacherName(tw::db::Database& db, const QString& teacherCode) {
    return FieldWhere(db, "Name", "Teachertb", "Code", teacherCode);
}

Read<QString> GetClassCode(tw::db::Database& db, const QString& className) {
    return FieldWhere(db, "Code", "Classtb", "Name", className);
}

Read<QString> GetCourseCode(tw::db::Database& db, const QString& courseName) {
    return FieldWhere(db, "Code", "Coursetb", "Name", courseName);
}

Read<QString> GetTeacherCode(tw::db::Database& db, const QString& teacherName) {
    return FieldWhere(db, "Code", "Teachertb", "Name", teacherName);
}

Read<QString> GetClassRoomCode(tw::db::Database& db, const QString& classRoomName) {
    return FieldWhere(db, "Code", "ClassRoomtb", "Name", classRoomName);
}

Read<QString> GetPlanTeacher(tw::db::Database& db, const QString& classCode,
                             const QString& courseCode) {
    return FirstField(db,
                      QString("select TeacherCode from ClassPlantb where ") + " ClassCode='" +
                          SqlQ(classCode) + "'" + " and CourseCode='" + SqlQ(courseCode) + "'",
                      "TeacherCode");
}

Read<QList<MasterRecord>> ReadClassList(tw::db::Database& db) {
    return NameList(db, QStringLiteral("select Code,Name,FullName from Classtb"));
}

Read<QList<MasterRecord>> ReadCourseList(tw::db::Database& db) {
    return NameList(db, QStringLiteral("select Code,Name,FullName from Coursetb"));
}

Read<QList<MasterRecord>> ReadTeacherList(tw::db::Database& db, TeacherOrder order) {
    return NameList(db,
                    order == TeacherOrder::ByCode
                        ? QStringLiteral("select Code,Name,FullName from Teachertb order by Code")
                        : QStringLiteral("select Code,Name,FullName from Teachertb"));
}

Read<QList<MasterRecord>> ReadClassRoomList(tw::db::Database& db) {
    return NameList(db, QStringLiteral("select Code,Name,FullName from ClassRoomtb"));
}

}  // namespace tw::store
