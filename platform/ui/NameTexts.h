// The texts that a list shows for records whose names may repeat. Names need not be unique
// (codes decide), so a list that showed the bare names would show two 王芳 alike and leave the
// user only the position to tell them apart. Each record of a list shows its name; where two or
// more records of the list share a name, each of them shows instead what tells it apart: its
// full name where that differs from the name and from the full names of the others, else the
// name with its code. Stored data keeps the names as they are; only lists show these texts.
#pragma once

#include <QString>
#include <QStringList>
#include <vector>

namespace tw::ui {

struct NamedRecord {
    QString code;
    QString name;
    QString fullName;
};

// The text of each record, in the order given, for one list holding all of them. Names (and
// full names) are compared as the database compares them, blanks around them left out: "王芳"
// and " 王芳" are namesakes. A record without a namesake shows its name unchanged. No two
// records show the same text, as long as the name-and-code texts differ from every name.
QStringList DistinctNameTexts(const std::vector<NamedRecord>& records);

// The text of a record told apart by its code: the name, then the code in brackets.
QString NameWithCode(const QString& name, const QString& code);

}  // namespace tw::ui
