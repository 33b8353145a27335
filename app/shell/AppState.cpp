#include "AppState.h"

#include <QStringList>

namespace tw::shell {

namespace {

const QStringList& TimetableTables() {
    static const QStringList tables = {"Classtb",     "Coursetb",     "Teachertb", "ClassRoomtb",
                                       "ClassPlantb", "LessonListtb", "Limittb",   "CourseAttrtb"};
    return tables;
}

}  // namespace

AppState::~AppState() {
    Close();
}

bool AppState::Open(const QString& path, tw::db::OpenFailure* failure) {
    // A file without the tables is refused before it is locked, so it stays as it was.
    auto db = tw::db::Database::Open(path, QString::fromLatin1(kDbPassword), true, failure,
                                     TimetableTables());
    if (!db) return false;
    db_ = std::move(db);
    path_ = path;
    return true;
}

void AppState::Close() {
    if (!db_) return;
    db_->Close();
    db_.reset();
    path_.clear();
}

QString AppState::Path() const {
    return db_ ? path_ : QString();
}

tw::db::Database& AppState::Db() {
    if (!db_) throw tw::db::DbError("没有打开的数据库");
    return *db_;
}

}  // namespace tw::shell
