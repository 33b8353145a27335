#include "PlanLessons.h"

#include <vector>

#include "db/Database.h"
#include "shell/mdlPublic.h"

namespace tw::data {

using tw::db::SqlQ;

namespace {

QString RowOf(const QString& cls, const QString& course, const QString& teacher) {
    return "ClassCode='" + SqlQ(cls) + "' and CourseCode='" + SqlQ(course) + "' and TeacherCode='" +
           SqlQ(teacher) + "'";
}

}  // namespace

bool MovePlanLessons(tw::db::Database& db, const QString& cls, const QString& course,
                     const QString& oldTeacher, const QString& newTeacher) {
    struct Lesson {
        long long day;
        long long lesson;
        bool fixed;
    };
    const QString row = RowOf(cls, course, oldTeacher);
    std::vector<Lesson> lessons;
    auto rs = db.OpenRecordset("select Day,LessonNo,SetFlag from LessonListtb where " + row);
    for (; !rs->Eof(); rs->MoveNext()) {
        lessons.push_back({rs->Fields("Day").Int(), rs->Fields("LessonNo").Int(),
                           IsFixedFlag(rs->Fields("SetFlag"))});
    }
    rs->Close();
    for (const Lesson& l : lessons) {
        const QString slot =
            " and Day=" + QString::number(l.day) + " and LessonNo=" + QString::number(l.lesson);
        auto busy = db.OpenRecordset("select Day from LessonListtb where TeacherCode='" +
                                     SqlQ(newTeacher) + "'" + slot);
        const bool free = busy->Eof();
        busy->Close();
        if (free) {
            db.Execute("update LessonListtb set TeacherCode='" + SqlQ(newTeacher) + "' where " +
                       row + slot);
        } else if (l.fixed) {
            return false;
        } else {
            db.Execute("delete from LessonListtb where " + row + slot);
        }
    }
    return true;
}

void RecountBuildCount(tw::db::Database& db, const QString& cls, const QString& course,
                       const QString& teacher) {
    const QString row = RowOf(cls, course, teacher);
    auto rs = db.OpenRecordset("select count(*) as Placed from LessonListtb where " + row);
    const long long placed = rs->Fields("Placed").Int();
    rs->Close();
    db.Execute("update ClassPlantb set BuildCount=" + QString::number(placed) + " where " + row);
}

}  // namespace tw::data
