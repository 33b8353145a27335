// The connection over SQLCipher: open (never create), key, exclusive lock, statements.
#ifndef SQLITE_HAS_CODEC
#define SQLITE_HAS_CODEC 1
#endif
#include "Database.h"

#include <sqlite3.h>

#include <QByteArray>
#include <QFile>
#include <QFileInfo>

namespace tw::db {
namespace {

sqlite3* H(void* p) {
    return static_cast<sqlite3*>(p);
}

bool Run(sqlite3* db, const char* sql) {
    return sqlite3_exec(db, sql, nullptr, nullptr, nullptr) == SQLITE_OK;
}

[[noreturn]] void Fail(sqlite3* db, const QString& what, const QString& sql) {
    throw DbError(
        (what + ": " + QString::fromUtf8(sqlite3_errmsg(db)) + " [" + sql + "]").toStdString());
}

// Prepares exactly one statement; anything but blanks after it is refused.
sqlite3_stmt* Prepare(sqlite3* db, const QString& jetSql, QString* translated) {
    if (!db) throw DbError("The database is not open.");
    *translated = TranslateJetSql(jetSql);
    const QByteArray utf8 = translated->toUtf8();
    sqlite3_stmt* st = nullptr;
    const char* tail = nullptr;
    if (sqlite3_prepare_v2(db, utf8.constData(), static_cast<int>(utf8.size()), &st, &tail) !=
        SQLITE_OK)
        Fail(db, "Syntax error", *translated);
    if (!st) throw DbError(("Empty statement: " + jetSql).toStdString());
    const QString rest = QString::fromUtf8(tail).trimmed();
    if (!rest.isEmpty() && rest != ";") {
        sqlite3_finalize(st);
        throw DbError(("Characters found after end of SQL statement: " + jetSql).toStdString());
    }
    return st;
}

}  // namespace

std::unique_ptr<Database> Database::Open(const QString& path, const QString& password,
                                         bool exclusive) {
    if (path.isEmpty() || !QFileInfo(path).isFile()) return nullptr;
    sqlite3* db = nullptr;
    const QByteArray file = QFile::encodeName(path);
    if (sqlite3_open_v2(file.constData(), &db, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK) {
        if (db) sqlite3_close(db);
        return nullptr;
    }
    auto fail = [&]() -> std::unique_ptr<Database> {
        sqlite3_close(db);
        return nullptr;
    };
    if (sqlite3_db_readonly(db, "main") != 0) return fail();
    const QByteArray key = password.toUtf8();
    if (sqlite3_key(db, key.constData(), static_cast<int>(key.size())) != SQLITE_OK) return fail();
    // A wrong password or a file that is no database fails here, as does a file that another
    // program holds exclusively.
    if (!Run(db, "SELECT count(*) FROM sqlite_master")) return fail();
    if (!Run(db, "PRAGMA journal_mode=DELETE")) return fail();
    if (exclusive) {
        if (!Run(db, "PRAGMA locking_mode=EXCLUSIVE")) return fail();
        // The write lock stays held until the connection closes.
        if (!Run(db, "BEGIN EXCLUSIVE")) return fail();
        if (!Run(db, "COMMIT")) {
            Run(db, "ROLLBACK");
            return fail();
        }
    }
    std::unique_ptr<Database> d(new Database());
    d->handle_ = db;
    d->path_ = path;
    return d;
}

bool Database::Create(const QString& path, const QString& password, const QString& schemaSql,
                      QString* error) {
    auto setError = [&](const QString& e) {
        if (error) *error = e;
        return false;
    };
    if (QFileInfo::exists(path)) return setError("file exists: " + path);
    sqlite3* db = nullptr;
    const QByteArray file = QFile::encodeName(path);
    if (sqlite3_open_v2(file.constData(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE,
                        nullptr) != SQLITE_OK) {
        const QString e = db ? QString::fromUtf8(sqlite3_errmsg(db)) : QString("cannot open");
        if (db) sqlite3_close(db);
        return setError(e);
    }
    const QByteArray key = password.toUtf8();
    QString e;
    char* msg = nullptr;
    if (sqlite3_key(db, key.constData(), static_cast<int>(key.size())) != SQLITE_OK) {
        e = "cannot set the key";
    } else if (sqlite3_exec(db, ("BEGIN;" + schemaSql + "\n;COMMIT;").toUtf8().constData(), nullptr,
                            nullptr, &msg) != SQLITE_OK) {
        e = QString::fromUtf8(msg ? msg : "schema failed");
    }
    sqlite3_free(msg);
    sqlite3_close(db);
    if (!e.isEmpty()) {
        QFile::remove(path);
        return setError(e);
    }
    return true;
}

Database::~Database() {
    Close();
}

void Database::Close() {
    if (!handle_) return;
    sqlite3_close_v2(H(handle_));
    handle_ = nullptr;
    inTrans_ = false;
}

void Database::Execute(const QString& jetSql, int /*options*/) {
    QString sql;
    sqlite3_stmt* st = Prepare(H(handle_), jetSql, &sql);
    if (sqlite3_stmt_readonly(st)) {
        sqlite3_finalize(st);
        throw DbError(("Cannot execute a select query: " + jetSql).toStdString());
    }
    int rc;
    while ((rc = sqlite3_step(st)) == SQLITE_ROW) {
    }
    sqlite3_finalize(st);
    if (rc != SQLITE_DONE) Fail(H(handle_), "Statement failed", sql);
    affected_ = sqlite3_changes(H(handle_));
}

std::unique_ptr<Recordset> Database::OpenRecordset(const QString& jetSql, int /*type*/) {
    QString sql;
    sqlite3_stmt* st = Prepare(H(handle_), jetSql, &sql);
    const int cols = sqlite3_column_count(st);
    QStringList names;
    for (int c = 0; c < cols; ++c) names << QString::fromUtf8(sqlite3_column_name(st, c));
    std::vector<std::vector<QVariant>> rows;
    int rc;
    while ((rc = sqlite3_step(st)) == SQLITE_ROW) {
        std::vector<QVariant> row;
        row.reserve(static_cast<size_t>(cols));
        for (int c = 0; c < cols; ++c) {
            switch (sqlite3_column_type(st, c)) {
                case SQLITE_INTEGER:
                    row.emplace_back(static_cast<qlonglong>(sqlite3_column_int64(st, c)));
                    break;
                case SQLITE_FLOAT:
                    row.emplace_back(sqlite3_column_double(st, c));
                    break;
                case SQLITE_NULL:
                    row.emplace_back();
                    break;
                case SQLITE_BLOB:
                    row.emplace_back(
                        QByteArray(static_cast<const char*>(sqlite3_column_blob(st, c)),
                                   sqlite3_column_bytes(st, c)));
                    break;
                default:
                    row.emplace_back(
                        QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st, c)),
                                          sqlite3_column_bytes(st, c)));
            }
        }
        rows.push_back(std::move(row));
    }
    sqlite3_finalize(st);
    if (rc != SQLITE_DONE) Fail(H(handle_), "Query failed", sql);
    return std::make_unique<Recordset>(std::move(names), std::move(rows));
}

bool Database::HasTable(const QString& name) {
    try {
        auto rs = OpenRecordset("select name from sqlite_master where type='table' and name='" +
                                SqlQ(name) + "' COLLATE NOCASE");
        return !rs->Eof();
    } catch (const DbError&) {
        return false;
    }
}

void Database::BeginTrans() {
    if (!handle_) throw DbError("The database is not open.");
    if (!Run(H(handle_), "BEGIN")) Fail(H(handle_), "BeginTrans failed", "BEGIN");
    inTrans_ = true;
}

void Database::CommitTrans() {
    if (!handle_) throw DbError("The database is not open.");
    if (!Run(H(handle_), "COMMIT")) Fail(H(handle_), "CommitTrans failed", "COMMIT");
    inTrans_ = false;
}

void Database::Rollback() {
    if (!handle_) throw DbError("The database is not open.");
    inTrans_ = false;
    if (!Run(H(handle_), "ROLLBACK")) Fail(H(handle_), "Rollback failed", "ROLLBACK");
}

}  // namespace tw::db
