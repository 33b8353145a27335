// Master records as the forms' lists show them: namesakes told apart (tw::ui::DistinctNameTexts),
// each entry carrying its record's code and stored name.
#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QString>
#include <initializer_list>
#include <vector>

class QLabel;

#include "store/MasterData.h"
#include "store/Outcome.h"

class QComboBox;

namespace tw::db {
class Database;
}

namespace tw::shell {

struct ListedName {
    QString code;
    QString name;  // as stored
    QString text;  // as a list of these records shows it
};

// The records (Code, Name and FullName), in the order given, each with the text that a list of
// all of them shows.
std::vector<ListedName> ListedNames(const QList<tw::store::MasterRecord>& records);

// The texts that lists show for the records of one master table, by code.
class ShownNames {
  public:
    ShownNames() = default;
    explicit ShownNames(const std::vector<ListedName>& names);
    // All classes, all courses or all teachers, as the data layer's lists read them. After a
    // failing read, the records read before the failure, and the reason.
    static tw::store::Read<ShownNames> OfClasses(tw::db::Database& db);
    static tw::store::Read<ShownNames> OfCourses(tw::db::Database& db);
    static tw::store::Read<ShownNames> OfTeachers(tw::db::Database& db);
    // The text of the record of that code (compared as the database compares codes); "" when
    // no record has it, as the name lookups give.
    QString Of(const QString& code) const;

  private:
    QHash<QByteArray, QString> texts_;
};

// Adds the names to each combo in the order given: the entry shows the name's text and carries
// its code (item data) and its stored name (tw::ui::kComboNameRole).
void FillNameCombos(const std::vector<ListedName>& names, std::initializer_list<QComboBox*> combos);

// The code of the entry a name combo shows now; panel shows the entry's text, followed by two
// blanks and caption when one is given (what the form shows of the entry).
QString ShowChosenEntry(const QComboBox* combo, QLabel* panel, const QString& caption = {});

}  // namespace tw::shell
