#include "NameTexts.h"

#include <QHash>

#include "db/CodeOrder.h"

namespace tw::ui {

namespace {

QByteArray Key(const QString& text) {
    return tw::db::CodeKey(text.trimmed());
}

// How a record is shown, from the plain name to the one that always tells records apart.
enum class Shown { Name, FullName, Code };

}  // namespace

QString NameWithCode(const QString& name, const QString& code) {
    return name.trimmed() + QStringLiteral("（") + code + QStringLiteral("）");
}

QStringList DistinctNameTexts(const std::vector<NamedRecord>& records) {
    const int n = static_cast<int>(records.size());
    QHash<QByteArray, int> namesakes;
    for (const NamedRecord& r : records) ++namesakes[Key(r.name)];
    // Full names among the namesakes of one name: a full name tells a record apart only when
    // no namesake has the same one.
    QHash<QByteArray, int> fullNames;
    for (const NamedRecord& r : records) {
        if (namesakes.value(Key(r.name)) > 1) ++fullNames[Key(r.name) + '\0' + Key(r.fullName)];
    }
    QStringList texts;
    std::vector<Shown> shown(records.size(), Shown::Name);
    for (int i = 0; i < n; ++i) {
        const NamedRecord& r = records[i];
        const QByteArray name = Key(r.name);
        const QByteArray full = Key(r.fullName);
        if (namesakes.value(name) < 2) {
            texts << r.name;
        } else if (!full.isEmpty() && full != name && fullNames.value(name + '\0' + full) == 1) {
            texts << r.fullName.trimmed();
            shown[i] = Shown::FullName;
        } else {
            texts << NameWithCode(r.name, r.code);
            shown[i] = Shown::Code;
        }
    }
    // A full name may be another record's name or full name ("王芳（语文）" as a name of its
    // own): the records of a text shown twice are shown with their codes, a full name giving way
    // before a plain name. Each round turns at least one record to its code, so this ends.
    for (bool changed = true; changed;) {
        changed = false;
        QHash<QByteArray, std::vector<int>> byText;
        for (int i = 0; i < n; ++i) byText[Key(texts[i])].push_back(i);
        for (const std::vector<int>& same : byText) {
            if (same.size() < 2) continue;
            bool anyFull = false;
            for (int i : same) anyFull = anyFull || shown[i] == Shown::FullName;
            const Shown yielding = anyFull ? Shown::FullName : Shown::Name;
            for (int i : same) {
                if (shown[i] != yielding) continue;
                texts[i] = NameWithCode(records[i].name, records[i].code);
                shown[i] = Shown::Code;
                changed = true;
            }
        }
    }
    return texts;
}

}  // namespace tw::ui
