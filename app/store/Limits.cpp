#include "Limits.h"

#include "Command.h"
#include "Names.h"
#include "db/Database.h"

using tw::db::SqlQ;

namespace tw::store {

namespace {

QString KindText(LimitKind kind) {
    return QString::number(static_cast<int>(kind));
}

bool InWeek(int day, int lesson) {
    return day >= 1 && day <= kLimitDays && lesson >= 1 && lesson <= kMostLimitLessons;
}

bool IsLevel(int level) {
    return level >= kBestSlot && level <= kNeverSlot;
}

// Writes level into the slot's row, or inserts the row where the slot has none; throws DbError.
void WriteLevel(tw::db::Database& db, LimitKind kind, const QString& code, int day, int lesson,
                int level) {
    const QString dayText = QString::number(day);
    const QString lessonText = QString::number(lesson);
    const QString slot =
        " and code='" + SqlQ(code) + "'" + " and Day=" + dayText + " and LessonNo=" + lessonText;
    auto rs =
        db.OpenRecordset("select Code from Limittb where kind=" + KindText(kind) + " " + slot);
    const bool exists = !rs->Eof();
    rs->Close();
    if (exists) {
        db.Execute("update Limittb set attr=" + QString::number(level) +
                   " where kind=" + KindText(kind) + " " + slot);
    } else {
        db.Execute("insert into Limittb values( " + KindText(kind) + "," + "'" + SqlQ(code) + "'," +
                   dayText + "," + lessonText + "," + QString::number(level) + ")");
    }
}

}  // namespace

Read<QList<MasterRecord>> ReadLimitEntries(tw::db::Database& db, LimitKind kind) {
    switch (kind) {
        case LimitKind::Class:
            return ReadClassList(db);
        case LimitKind::Course:
            return ReadCourseList(db);
        case LimitKind::Teacher:
            return ReadTeacherList(db, TeacherOrder::AsStored);
        case LimitKind::ClassRoom:
            return ReadClassRoomList(db);
    }
    return {};
}

Read<StoredLimits> ReadLimits(tw::db::Database& db, LimitKind kind, const QString& code) {
    Read<StoredLimits> read;
    read.outcome = RunGuarded([&] {
        auto rs = db.OpenRecordset("select * from Limittb where kind=" + KindText(kind) + " " +
                                   " and code='" + SqlQ(code) + "'");
        read.value.statementRan = true;
        for (; !rs->Eof(); rs->MoveNext()) {
            const tw::db::Field attr = rs->Fields("Attr");
            const long long level = attr.Int();
            read.value.rows.append({rs->Fields("Day").Int(), rs->Fields("LessonNo").Int(),
                                    !attr.IsNull() && level >= kBestSlot && level <= kNeverSlot
                                        ? static_cast<int>(level)
                                        : -1});
        }
        rs->Close();
        return Outcome::Ok();
    });
    return read;
}

Outcome StoreLimit(tw::db::Database& db, LimitKind kind, const QString& code, int day, int lesson,
                   int level) {
    if (code.isEmpty() || !InWeek(day, lesson) || !IsLevel(level)) {
        return Outcome::Failed(Reason::BadLimit);
    }
    return RunInTransaction(db, [&] {
        WriteLevel(db, kind, code, day, lesson, level);
        return Outcome::Ok(1);
    });
}

Read<int> StoreAllNormal(tw::db::Database& db, LimitKind kind, const QString& code, int lessons) {
    Read<int> stored;
    if (code.isEmpty() || lessons < 1 || lessons > kMostLimitLessons) {
        stored.outcome = Outcome::Failed(Reason::BadLimit);
        return stored;
    }
    stored.outcome = RunInTransaction(db, [&] {
        for (int lesson = 1; lesson <= lessons; ++lesson) {
            for (int day = 1; day <= kLimitDays; ++day) {
                ++stored.value;
                WriteLevel(db, kind, code, day, lesson, kNormalSlot);
            }
        }
        return Outcome::Ok(stored.value);
    });
    return stored;
}

}  // namespace tw::store
