// Code/name lookups: the first matching row's field as text; "" when nothing matches or on any
// failure. Every value goes into the statement quoted. Also the name lists that carry codes.
#include <QComboBox>
#include <exception>

#include "mdlPublic.h"

using tw::db::SqlQ;

namespace {

QString FirstField(const QString& sql, const QString& field) {
    try {
        auto rs = KbDb().OpenRecordset(sql);
        QString result;
        if (!rs->Eof()) result = rs->Fields(field).Text();
        rs->Close();
        return result;
    } catch (const tw::db::DbError&) {
        return QString();
    }
}

}  // namespace

QString GetClassName(const QString& classCode) {
    return FirstField("select Name from Classtb where Code='" + SqlQ(classCode) + "'", "Name");
}

QString GetClassShortName(const QString& classCode) {
    return FirstField("select ShortName from Classtb where Code='" + SqlQ(classCode) + "'",
                      "ShortName");
}

QString GetCourseName(const QString& courseCode) {
    return FirstField("select Name from Coursetb where Code='" + SqlQ(courseCode) + "'", "Name");
}

QString GetTeacherName(const QString& teacherCode) {
    return FirstField("select Name from Teachertb where Code='" + SqlQ(teacherCode) + "'", "Name");
}

QString GetClassCode(const QString& className) {
    return FirstField("select Code from Classtb where Name='" + SqlQ(className) + "'", "Code");
}

QString GetCourseCode(const QString& courseName) {
    return FirstField("select Code from Coursetb where Name='" + SqlQ(courseName) + "'", "Code");
}

QString GetTeacherCode(const QString& teacherName) {
    return FirstField("select Code from Teachertb where Name='" + SqlQ(teacherName) + "'", "Code");
}

QString GetClassRoomCode(const QString& classRoomName) {
    return FirstField("select Code from ClassRoomtb where Name='" + SqlQ(classRoomName) + "'",
                      "Code");
}

QString GetPlanTeacher(const QString& classCode, const QString& courseCode) {
    return FirstField(QString("select TeacherCode from ClassPlantb where ") + " ClassCode='" +
                          SqlQ(classCode) + "'" + " and CourseCode='" + SqlQ(courseCode) + "'",
                      "TeacherCode");
}

bool FillNameCombos(const QString& sql, std::initializer_list<QComboBox*> combos) {
    try {
        auto rs = KbDb().OpenRecordset(sql);
        for (; !rs->Eof(); rs->MoveNext()) {
            const QString code = rs->Fields("Code").Text();
            const QString name = rs->Fields("Name").Text();
            for (QComboBox* combo : combos) {
                combo->addItem(name, code);
            }
        }
        rs->Close();
    } catch (const std::exception&) {
        return false;
    }
    return true;
}
