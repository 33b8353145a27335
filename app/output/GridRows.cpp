#include "output/GridRows.h"

#include "db/CodeOrder.h"
#include "db/Database.h"

namespace tw::output {

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

TimetableGroups::TimetableGroups(const tw::db::Recordset& rows) {
    for (int i = 0; i < rows.FieldCount(); ++i) {
        if (rows.FieldName(i).compare(QStringLiteral("GroupCode"), Qt::CaseInsensitive) == 0)
            byCode_ = true;
    }
}

QString TimetableGroups::Of(const tw::db::Recordset& rows) const {
    return rows.Fields(byCode_ ? QStringLiteral("GroupCode") : QStringLiteral("Name")).Text();
}

bool TimetableGroups::In(const tw::db::Recordset& rows, const QString& group) const {
    const QString id = Of(rows);
    return byCode_ ? tw::db::SameCode(id, group) : id == group;
}

}  // namespace tw::output
