#include "NameLists.h"

#include <QComboBox>
#include <QLabel>

#include "db/CodeOrder.h"
#include "store/Names.h"
#include "ui/Combo.h"
#include "ui/NameTexts.h"

namespace tw::shell {

namespace {

tw::store::Read<ShownNames> ShownNamesOf(
    const tw::store::Read<QList<tw::store::MasterRecord>>& read) {
    return {read.outcome, ShownNames(ListedNames(read.value))};
}

}  // namespace

std::vector<ListedName> ListedNames(const QList<tw::store::MasterRecord>& records) {
    std::vector<tw::ui::NamedRecord> named;
    named.reserve(records.size());
    for (const tw::store::MasterRecord& r : records) named.push_back({r.code, r.name, r.fullName});
    const QStringList texts = tw::ui::DistinctNameTexts(named);
    std::vector<ListedName> names;
    names.reserve(named.size());
    for (size_t i = 0; i < named.size(); ++i) {
        names.push_back({named[i].code, named[i].name, texts[static_cast<int>(i)]});
    }
    return names;
}

ShownNames::ShownNames(const std::vector<ListedName>& names) {
    for (const ListedName& n : names) {
        const QByteArray key = tw::db::CodeKey(n.code);
        if (!texts_.contains(key)) texts_.insert(key, n.text);
    }
}

tw::store::Read<ShownNames> ShownNames::OfClasses(tw::db::Database& db) {
    return ShownNamesOf(tw::store::ReadClassList(db));
}

tw::store::Read<ShownNames> ShownNames::OfCourses(tw::db::Database& db) {
    return ShownNamesOf(tw::store::ReadCourseList(db));
}

tw::store::Read<ShownNames> ShownNames::OfTeachers(tw::db::Database& db) {
    return ShownNamesOf(tw::store::ReadTeacherList(db, tw::store::TeacherOrder::AsStored));
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

QString ShowChosenEntry(const QComboBox* combo, QLabel* panel, const QString& caption) {
    const QString text = combo->currentText();
    panel->setText(caption.isEmpty() ? text : text + QStringLiteral("  ") + caption);
    return tw::ui::ComboCode(combo);
}

}  // namespace tw::shell
