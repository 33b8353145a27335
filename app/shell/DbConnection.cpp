// The one database connection: opened exclusively, with the password, only on a file that
// holds the timetable tables.
#include "mdlPublic.h"

namespace {

QString& OpenPath() {
    static QString path;
    return path;
}

const char* const kTables[] = {"Classtb",     "Coursetb",     "Teachertb", "ClassRoomtb",
                               "ClassPlantb", "LessonListtb", "Limittb",   "CourseAttrtb"};

}  // namespace

tw::db::Database& KbDb() {
    if (!KbDatabase) throw tw::db::DbError("no database open");
    return *KbDatabase;
}

bool OpenDb(const QString& path) {
    auto db = tw::db::Database::Open(path, QString::fromLatin1(kDbPassword), true);
    if (!db) return false;
    for (const char* table : kTables)
        if (!db->HasTable(QString::fromLatin1(table))) return false;
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
