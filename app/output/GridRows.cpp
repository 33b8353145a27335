#include "output/GridRows.h"

#include "db/CodeOrder.h"
#include "db/Database.h"

namespace tw::output {

bool HasColumns(const tw::db::Recordset& rows, std::initializer_list<const char*> names,
                QString* error) {
    for (const char* name : names) {
        bool found = false;
        for (int i = 0; i < rows.FieldCount() && !found; ++i)
            found = rows.FieldName(i).compare(QLatin1String(name), Qt::CaseInsensitive) == 0;
        if (!found) {
            if (error) *error = QStringLiteral("Item not found in this collection: ") + name;
            return false;
        }
    }
    return true;
}

bool InGrid(const tw::db::Recordset& rows, int lessons) {
    const long long day = rows.Fields(QStringLiteral("Day")).Int();
    const long long lesson = rows.Fields(QStringLiteral("LessonNo")).Int();
    return day >= 1 && day <= 5 && lesson >= 1 && lesson <= lessons;
}

void SkipOutsideGrid(tw::db::Recordset& rows, int lessons) {
    while (!rows.Eof() && !InGrid(rows, lessons)) rows.MoveNext();
}

bool AnyRowInGrid(tw::db::Recordset& rows, int lessons) {
    rows.MoveFirst();
    SkipOutsideGrid(rows, lessons);
    const bool any = !rows.Eof();
    rows.MoveFirst();
    return any;
}

TimetableGroups::TimetableGroups(const tw::db::Recordset& rows)
    : byCode_(HasColumns(rows, {"GroupCode"})) {}

QString TimetableGroups::Of(const tw::db::Recordset& rows) const {
    return rows.Fields(byCode_ ? QStringLiteral("GroupCode") : QStringLiteral("Name")).Text();
}

bool TimetableGroups::In(const tw::db::Recordset& rows, const QString& group) const {
    const QString id = Of(rows);
    return byCode_ ? tw::db::SameCode(id, group) : id == group;
}

}  // namespace tw::output
