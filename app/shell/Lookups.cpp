// Code/name lookups: the first matching row's field as text; "" when nothing matches or on any
// failure. Every value goes into the statement quoted. Also the name lists that carry codes
// and tell namesakes apart.
#include <QComboBox>
#include <exception>

#include "db/CodeOrder.h"
#include "mdlPublic.h"
#include "ui/Combo.h"
#include "ui/NameTexts.h"

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

std::vector<ListedName> ListedNames(const std::vector<tw::ui::NamedRecord>& records) {
    const QStringList texts = tw::ui::DistinctNameTexts(records);
    std::vector<ListedName> names;
    names.reserve(records.size());
    for (size_t i = 0; i < records.size(); ++i) {
        names.push_back({records[i].code, records[i].name, texts[static_cast<int>(i)]});
    }
    return names;
}

std::vector<ListedName> ReadListedNames(const QString& sql, bool* complete) {
    std::vector<tw::ui::NamedRecord> records;
    bool read = true;
    try {
        auto rs = KbDb().OpenRecordset(sql);
        for (; !rs->Eof(); rs->MoveNext()) {
            records.push_back({rs->Fields("Code").Text(), rs->Fields("Name").Text(),
                               rs->Fields("FullName").Text()});
        }
        rs->Close();
    } catch (const std::exception&) {
        read = false;
    }
    if (complete) *complete = read;
    return ListedNames(records);
}

ShownNames::ShownNames(const std::vector<ListedName>& names) {
    for (const ListedName& n : names) {
        const QByteArray key = tw::db::CodeKey(n.code);
        if (!texts_.contains(key)) texts_.insert(key, n.text);
    }
}

ShownNames ShownNames::OfTable(const QString& table) {
    return ShownNames(ReadListedNames("select Code,Name,FullName from " + table));
}

QString ShownNames::Of(const QString& code) const {
    return texts_.value(tw::db::CodeKey(code));
}

void FillNameCombos(const std::vector<ListedName>& names,
                    std::initializer_list<QComboBox*> combos) {
    for (const ListedName& n : names) {
        for (QComboBox* combo : combos) {
            combo->addItem(n.text, n.code);
            combo->setItemData(combo->count() - 1, n.name, tw::ui::kComboNameRole);
        }
    }
}

bool FillNameCombos(const QString& sql, std::initializer_list<QComboBox*> combos) {
    bool complete = true;
    FillNameCombos(ReadListedNames(sql, &complete), combos);
    return complete;
}
