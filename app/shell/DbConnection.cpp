// The one database connection: opened exclusively, with the password, only on a file that
// holds the timetable tables.
#include <QFileInfo>
#include <QStringList>

#include "mdlPublic.h"

namespace {

QString& OpenPath() {
    static QString path;
    return path;
}

const QStringList& TimetableTables() {
    static const QStringList tables = {"Classtb",     "Coursetb",     "Teachertb", "ClassRoomtb",
                                       "ClassPlantb", "LessonListtb", "Limittb",   "CourseAttrtb"};
    return tables;
}

}  // namespace

tw::db::Database& KbDb() {
    if (!KbDatabase) throw tw::db::DbError("没有打开的数据库");
    return *KbDatabase;
}

bool OpenDb(const QString& path, QString* why) {
    // A file without the tables is refused before it is locked, so it stays as it was.
    auto db = tw::db::Database::Open(path, QString::fromLatin1(kDbPassword), true, why,
                                     TimetableTables());
    if (!db) return false;
    KbDatabase = std::move(db);
    OpenPath() = path;
    return true;
}

void CloseDb() {
    if (!KbDatabase) return;
    KbDatabase->Close();
    KbDatabase.reset();
    OpenPath().clear();
}

QString OpenDbPath() {
    return KbDatabase ? OpenPath() : QString();
}

QString OpenDbFailureLine(const QString& path, const QString& why) {
    return path + QStringLiteral("：") + why;
}

bool SameFile(const QString& a, const QString& b) {
    const QFileInfo fa(a);
    const QFileInfo fb(b);
    if (fa.exists() && fb.exists()) return fa.canonicalFilePath() == fb.canonicalFilePath();
    return fa.absoluteFilePath() == fb.absoluteFilePath();
}
