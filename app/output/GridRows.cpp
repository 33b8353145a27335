#include "output/GridRows.h"

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

}  // namespace tw::output
