// The connection over SQLCipher: open (never create), key, exclusive lock, statements.
#ifndef SQLITE_HAS_CODEC
#define SQLITE_HAS_CODEC 1
#endif
#include "Database.h"

#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QByteArray>
#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <cassert>
#include <cerrno>

#include "JetLiterals.h"
#include "StatementCache.h"

namespace tw::db {
namespace {

sqlite3* H(void* p) {
    return static_cast<sqlite3*>(p);
}

bool Run(sqlite3* db, const char* sql) {
    return sqlite3_exec(db, sql, nullptr, nullptr, nullptr) == SQLITE_OK;
}

// What a failed call of the engine means for an open.
OpenError EngineFailure(int rc) {
    switch (rc & 0xFF) {
        case SQLITE_BUSY:
        case SQLITE_LOCKED:
            return OpenError::InUse;
        case SQLITE_CORRUPT:
            return OpenError::Damaged;
        case SQLITE_IOERR:
            return OpenError::IoError;
        case SQLITE_READONLY:
            return OpenError::CannotWrite;
        case SQLITE_FULL:
            return OpenError::DiskFull;
        case SQLITE_CANTOPEN:
        case SQLITE_PERM:
            return OpenError::CannotRead;
        case SQLITE_NOTADB:
            return OpenError::NotADatabase;
        default:
            return OpenError::Other;
    }
}

// Why a statement failed, in the terms of an open: a journal that cannot be made beside the
// file means the file cannot be written, and a file no longer readable as a database is damaged.
OpenError StatementFailure(int rc) {
    switch (const OpenError e = EngineFailure(rc)) {
        case OpenError::CannotRead:
            return OpenError::CannotWrite;
        case OpenError::NotADatabase:
            return OpenError::Damaged;
        default:
            return e;
    }
}

[[noreturn]] void Fail(sqlite3* db, const QString& what, const QString& sql) {
    throw DbError(
        (what + ": " + QString::fromUtf8(sqlite3_errmsg(db)) + " [" + sql + "]").toStdString(),
        StatementFailure(sqlite3_extended_errcode(db)));
}

// Prepares exactly one statement; anything but blanks after it is refused.
sqlite3_stmt* PrepareOne(sqlite3* db, const QString& jetSql, const QString& sql) {
    const QByteArray utf8 = sql.toUtf8();
    sqlite3_stmt* st = nullptr;
    const char* tail = nullptr;
    if (sqlite3_prepare_v2(db, utf8.constData(), static_cast<int>(utf8.size()), &st, &tail) !=
        SQLITE_OK)
        Fail(db, "Syntax error", sql);
    if (!st) throw DbError(("Empty statement: " + jetSql).toStdString());
    const QString rest = QString::fromUtf8(tail).trimmed();
    if (!rest.isEmpty() && rest != ";") {
        sqlite3_finalize(st);
        throw DbError(("Characters found after end of SQL statement: " + jetSql).toStdString());
    }
    return st;
}

// Prepares one statement to be kept; nullptr on any failure (the statement is then prepared
// as written, which reports the failure).
sqlite3_stmt* PrepareKept(sqlite3* db, const QString& sql) {
    const QByteArray utf8 = sql.toUtf8();
    sqlite3_stmt* st = nullptr;
    const char* tail = nullptr;
    if (sqlite3_prepare_v2(db, utf8.constData(), static_cast<int>(utf8.size()), &st, &tail) !=
        SQLITE_OK)
        return nullptr;
    if (!st) return nullptr;
    while (*tail == ' ' || *tail == '\t' || *tail == '\r' || *tail == '\n') ++tail;
    if (*tail == ';') ++tail;
    while (*tail == ' ' || *tail == '\t' || *tail == '\r' || *tail == '\n') ++tail;
    if (*tail != 0) {
        sqlite3_finalize(st);
        return nullptr;
    }
    return st;
}

// The page size the key gives the file: a database holds at least one page.
qint64 PageSize(sqlite3* db) {
    qint64 size = 512;  // the smallest page any database can have
    sqlite3_stmt* st = nullptr;
    if (sqlite3_prepare_v2(db, "PRAGMA cipher_page_size", -1, &st, nullptr) == SQLITE_OK &&
        sqlite3_step(st) == SQLITE_ROW) {
        size = std::max<qint64>(size, sqlite3_column_int64(st, 0));
    }
    sqlite3_finalize(st);
    return size;
}

// True when a table of that name (any case) exists.
bool HasTableNamed(sqlite3* db, const QString& name) {
    sqlite3_stmt* st = nullptr;
    if (sqlite3_prepare_v2(db,
                           "SELECT 1 FROM sqlite_master WHERE type='table' AND name=?1 "
                           "COLLATE NOCASE",
                           -1, &st, nullptr) != SQLITE_OK)
        return false;
    const QByteArray utf8 = name.toUtf8();
    sqlite3_bind_text(st, 1, utf8.constData(), static_cast<int>(utf8.size()), SQLITE_STATIC);
    const bool found = sqlite3_step(st) == SQLITE_ROW;
    sqlite3_finalize(st);
    return found;
}

// Why the first read of a keyed file failed. Without the right password an encrypted file
// cannot be told from noise, so a file of whole pages that is no plain database is taken for
// one with another password.
OpenError ReadFailure(int rc, const QString& path) {
    if ((rc & 0xFF) != SQLITE_NOTADB) return EngineFailure(rc);
    QFile f(path);
    const QByteArray head = f.open(QIODevice::ReadOnly) ? f.read(16) : QByteArray();
    if (head == QByteArray("SQLite format 3", 16)) return OpenError::NotEncrypted;
    if (f.size() % 512 == 0) return OpenError::WrongPassword;
    return OpenError::NotADatabase;
}

// Why taking the lock failed: the journal that every write makes beside the file could not
// be made, the file is held elsewhere, or the engine failed.
OpenError LockFailure(sqlite3* db) {
    return StatementFailure(sqlite3_extended_errcode(db));
}

// Only a path that leads nowhere means the file is not there: a folder on the way that may not
// be entered hides whether it is.
bool LeadsNowhere(int error) {
    return error == ENOENT || error == ENOTDIR || error == ENAMETOOLONG;
}

// Why the path cannot be opened before the engine is asked, or None.
OpenFailure PathFailure(const QString& path) {
    const QByteArray file = QFile::encodeName(path);
    struct stat st {};
    if (path.isEmpty()) return {OpenError::Missing, {}};
    if (::stat(file.constData(), &st) != 0) {
        if (LeadsNowhere(errno)) return {OpenError::Missing, {}};
        return {errno == EACCES ? OpenError::NoAccess : OpenError::CannotRead, {}};
    }
    if (!S_ISREG(st.st_mode)) return {OpenError::NotAFile, {}};
    if (::access(file.constData(), R_OK) != 0) return {OpenError::CannotRead, {}};
    const QString folder = QFileInfo(path).absolutePath();
    if (::access(file.constData(), W_OK) != 0)
        return errno == EROFS ? OpenFailure{OpenError::ReadOnlyFolder, folder}
                              : OpenFailure{OpenError::ReadOnlyFile, {}};
    if (::access(QFile::encodeName(folder).constData(), W_OK | X_OK) != 0)
        return {OpenError::ReadOnlyFolder, folder};
    return {};
}

}  // namespace

// One statement ready to step: a kept one with this call's values bound, or one prepared as
// written. Leaving scope resets a kept statement (and drops its values) or finalizes the other.
class Database::Statement {
  public:
    Statement(sqlite3* db, StatementCache* cache, StatementCache::Entry* entry,
              std::vector<JetLiteral> values, const QString& jetSql)
        : db_(db),
          cache_(cache),
          entry_(entry),
          st_(entry->stmt),
          values_(std::move(values)),
          jetSql_(jetSql) {
        // A kept statement is idle when taken, and has one parameter for each value.
        assert(st_ != nullptr && !sqlite3_stmt_busy(st_));
        assert(sqlite3_bind_parameter_count(st_) == static_cast<int>(values_.size()));
        for (size_t i = 0; i < values_.size(); ++i) {
            const JetLiteral& v = values_[i];
            const int at = static_cast<int>(i) + 1;
            [[maybe_unused]] const int rc =
                v.isText ? sqlite3_bind_text(st_, at, v.text.constData(),
                                             static_cast<int>(v.text.size()), SQLITE_STATIC)
                         : sqlite3_bind_int64(st_, at, v.number);
            assert(rc == SQLITE_OK);
        }
    }
    Statement(sqlite3* db, StatementCache* cache, sqlite3_stmt* st, const QString& jetSql,
              QString sql, bool dataStatement)
        : db_(db),
          cache_(cache),
          st_(st),
          jetSql_(jetSql),
          sql_(std::move(sql)),
          clearCache_(!dataStatement) {}
    ~Statement() {
        if (entry_) {
            sqlite3_reset(st_);
            sqlite3_clear_bindings(st_);
        } else {
            sqlite3_finalize(st_);
        }
        // After a schema error, or a statement other than select, insert, update and delete
        // (it may change the schema or settings the kept statements were prepared under).
        if (clearCache_) cache_->Clear();
    }
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    sqlite3_stmt* get() const { return st_; }
    // The SQLite text for messages, with the values in it.
    QString Sql() const { return entry_ ? TranslateJetSql(jetSql_) : sql_; }
    QStringList Columns() const {
        if (entry_) return cache_->Columns(*entry_);
        QStringList names;
        const int cols = sqlite3_column_count(st_);
        for (int c = 0; c < cols; ++c) names << QString::fromUtf8(sqlite3_column_name(st_, c));
        return names;
    }
    // Throws the failure of a step; a schema error drops every kept statement once this one
    // is done.
    [[noreturn]] void Fail(int rc, const QString& what) {
        if (rc == SQLITE_SCHEMA) clearCache_ = true;
        tw::db::Fail(db_, what, Sql());
    }

  private:
    sqlite3* db_;
    StatementCache* cache_;
    StatementCache::Entry* entry_ = nullptr;
    sqlite3_stmt* st_;
    std::vector<JetLiteral> values_;  // bound without copying: kept until the reset
    const QString& jetSql_;
    QString sql_;
    bool clearCache_ = false;
};

Database::Database() : cache_(std::make_unique<StatementCache>()) {}

Database::Statement Database::Prepare(const QString& jetSql) {
    sqlite3* db = H(handle_);
    if (!db) throw DbError("The database is not open.");
    JetShape shape = LiftJetLiterals(jetSql);
    assert(!shape.reusable || shape.data);  // only data statements are kept for reuse
    assert(shape.reusable || shape.values.empty());
    if (shape.reusable) {
        const QString& sql = cache_->Translation(shape.text);
        StatementCache::Entry* e = cache_->Find(sql);
        if (!e) {
            if (sqlite3_stmt* st = PrepareKept(db, sql)) e = cache_->Add(sql, st);
        } else if (sqlite3_stmt_busy(e->stmt)) {
            e = nullptr;  // in use further up the stack: prepare a fresh one below
        }
        if (e && sqlite3_bind_parameter_count(e->stmt) == static_cast<int>(shape.values.size()))
            return Statement(db, cache_.get(), e, std::move(shape.values), jetSql);
    }
    QString sql = TranslateJetSql(jetSql);
    sqlite3_stmt* st = PrepareOne(db, jetSql, sql);
    return Statement(db, cache_.get(), st, jetSql, std::move(sql), shape.data);
}

std::unique_ptr<Database> Database::Open(const QString& path, const QString& password,
                                         bool exclusive, OpenFailure* failure,
                                         const QStringList& tables) {
    auto refuse = [&](OpenFailure why) -> std::unique_ptr<Database> {
        if (failure) *failure = std::move(why);
        return nullptr;
    };
    if (OpenFailure why = PathFailure(path); why.error != OpenError::None) return refuse(why);
    sqlite3* db = nullptr;
    const QByteArray file = QFile::encodeName(path);
    struct stat named {};
    if (::stat(file.constData(), &named) != 0) return refuse(PathFailure(path));
    const int opened = sqlite3_open_v2(file.constData(), &db, SQLITE_OPEN_READWRITE, nullptr);
    if (opened != SQLITE_OK) {
        if (db) sqlite3_close(db);
        return refuse({EngineFailure(opened), {}});
    }
    auto fail = [&](OpenError e, const QString& detail = {}) {
        sqlite3_close(db);
        return refuse({e, detail});
    };
    if (sqlite3_db_readonly(db, "main") != 0) return fail(OpenError::ReadOnlyFile);
    const QByteArray key = password.toUtf8();
    if (sqlite3_key(db, key.constData(), static_cast<int>(key.size())) != SQLITE_OK)
        return fail(OpenError::Other);
    // An empty or cut-off file would be taken for a new database, and the lock below would
    // write its first page into it.
    if (QFileInfo(path).size() < PageSize(db)) return fail(OpenError::TooShort);
    // A wrong password or a file that is no database fails here, as does a file that another
    // program holds exclusively.
    const int rc =
        sqlite3_exec(db, "SELECT count(*) FROM sqlite_master", nullptr, nullptr, nullptr);
    if (rc != SQLITE_OK) return fail(ReadFailure(rc, path));
    for (const QString& table : tables)
        if (!HasTableNamed(db, table)) return fail(OpenError::MissingTable, table);
    if (!Run(db, "PRAGMA journal_mode=DELETE")) return fail(LockFailure(db));
    if (exclusive) {
        if (!Run(db, "PRAGMA locking_mode=EXCLUSIVE")) return fail(LockFailure(db));
        // The write lock stays held until the connection closes.
        if (!Run(db, "BEGIN EXCLUSIVE")) return fail(LockFailure(db));
        if (!Run(db, "COMMIT")) {
            const OpenError e = LockFailure(db);
            Run(db, "ROLLBACK");
            return fail(e);
        }
        // A copy saved over the file (CopyFileOver) holds its locks until the copy has taken
        // the name; a connection that opened the file before and locked it after would work
        // on the replaced file, so the name must still lead to the file that is locked.
        struct stat locked {};
        if (::stat(file.constData(), &locked) != 0 || locked.st_dev != named.st_dev ||
            locked.st_ino != named.st_ino)
            return fail(OpenError::InUse);
    }
    std::unique_ptr<Database> d(new Database());
    d->handle_ = db;
    d->path_ = path;
    return d;
}

bool Database::IsMissing(const QString& path) {
    struct stat st {};
    return path.isEmpty() ||
           (::stat(QFile::encodeName(path).constData(), &st) != 0 && LeadsNowhere(errno));
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
    assert(handle_ || !inTrans_);  // no transaction outlives its connection
    if (!handle_) return;
    cache_->Clear();  // every statement is finalized, so the close is complete and unlocks
    assert(sqlite3_next_stmt(H(handle_), nullptr) == nullptr);
    [[maybe_unused]] const int rc = sqlite3_close_v2(H(handle_));
    assert(rc == SQLITE_OK);
    handle_ = nullptr;
    inTrans_ = false;
}

void Database::Execute(const QString& jetSql, int /*options*/) {
    if (statementLog_) statementLog_(jetSql);
    Statement st = Prepare(jetSql);
    if (sqlite3_stmt_readonly(st.get()))
        throw DbError(("Cannot execute a select query: " + jetSql).toStdString());
    int rc;
    while ((rc = sqlite3_step(st.get())) == SQLITE_ROW) {
    }
    if (rc != SQLITE_DONE) st.Fail(rc, "Statement failed");
    affected_ = sqlite3_changes(H(handle_));
}

long long Database::TotalChanges() const {
    return handle_ ? sqlite3_total_changes(H(handle_)) : 0;
}

namespace {

QVariant ColumnValue(sqlite3_stmt* st, int c) {
    switch (sqlite3_column_type(st, c)) {
        case SQLITE_INTEGER:
            return QVariant(static_cast<qlonglong>(sqlite3_column_int64(st, c)));
        case SQLITE_FLOAT:
            return QVariant(sqlite3_column_double(st, c));
        case SQLITE_NULL:
            return QVariant();
        case SQLITE_BLOB:
            return QVariant(QByteArray(static_cast<const char*>(sqlite3_column_blob(st, c)),
                                       sqlite3_column_bytes(st, c)));
        default:
            return QVariant(
                QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st, c)),
                                  sqlite3_column_bytes(st, c)));
    }
}

}  // namespace

std::unique_ptr<Recordset> Database::OpenRecordset(const QString& jetSql, int /*type*/) {
    if (statementLog_) statementLog_(jetSql);
    Statement st = Prepare(jetSql);
    sqlite3_stmt* s = st.get();
    std::vector<QVariant> cells;
    int rc;
    while ((rc = sqlite3_step(s)) == SQLITE_ROW) {
        const int cols = sqlite3_data_count(s);
        if (cells.empty()) cells.reserve(static_cast<size_t>(cols) * 8);
        for (int c = 0; c < cols; ++c) cells.push_back(ColumnValue(s, c));
    }
    if (rc != SQLITE_DONE) st.Fail(rc, "Query failed");
    QStringList columns = st.Columns();
    if (static_cast<qsizetype>(cells.size()) % std::max<qsizetype>(columns.size(), 1) != 0)
        throw DbError(
            ("Query failed: rows do not match the columns [" + jetSql + "]").toStdString());
    return std::unique_ptr<Recordset>(new Recordset(std::move(columns), std::move(cells)));
}

bool Database::HasTable(const QString& name) {
    return handle_ && HasTableNamed(H(handle_), name);
}

void Database::BeginTrans() {
    if (!handle_) throw DbError("The database is not open.");
    if (!Run(H(handle_), "BEGIN")) Fail(H(handle_), "BeginTrans failed", "BEGIN");
    inTrans_ = true;
    assert(!sqlite3_get_autocommit(H(handle_)));
}

void Database::CommitTrans() {
    if (!handle_) throw DbError("The database is not open.");
    if (!Run(H(handle_), "COMMIT")) Fail(H(handle_), "CommitTrans failed", "COMMIT");
    inTrans_ = false;
    assert(sqlite3_get_autocommit(H(handle_)));
}

void Database::Rollback() {
    if (!handle_) throw DbError("The database is not open.");
    inTrans_ = false;
    if (!Run(H(handle_), "ROLLBACK")) Fail(H(handle_), "Rollback failed", "ROLLBACK");
    assert(sqlite3_get_autocommit(H(handle_)));
}

}  // namespace tw::db
