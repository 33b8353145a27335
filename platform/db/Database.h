// A small DAO-like database layer over SQLCipher. Call sites pass Jet SQL as they write it;
// this layer alone rewrites the dialect (left/mid, &, [subquery]. AS x, digit text against
// numbers, case-insensitive names) into SQLite.
#pragma once

#include <QString>
#include <QStringList>
#include <QVariant>
#include <algorithm>
#include <cassert>
#include <functional>
#include <memory>
#include <stdexcept>
#include <vector>

namespace tw::db {

class StatementCache;

// Doubles every single quote, so a value put between quotes never changes a statement's shape:
// "... where Name='" + SqlQ(name) + "'".
QString SqlQ(const QString& value);
// Doubles every double quote, for a value put between double quotes (Jet text in "...").
QString SqlDQ(const QString& value);

// Rewrites one Jet statement into SQLite; exposed for tests.
QString TranslateJetSql(const QString& jetSql);

// One field of the current row. A Null value reads as empty text and as 0.
class Field {
  public:
    Field() = default;
    explicit Field(QVariant v) : value_(std::move(v)) {}
    const QVariant& Value() const { return value_; }
    bool IsNull() const { return value_.isNull(); }
    QString Text() const;   // Null -> ""
    long long Int() const;  // Null or non-numeric -> 0
    double Double() const;  // Null or non-numeric -> 0
  private:
    QVariant value_;
};

enum RecordsetType { dbOpenDynaset = 2, dbOpenSnapshot = 4 };

// Why the engine refused an open or a statement; the application says it in words for the
// user. A failed statement gives DiskFull, CannotWrite, IoError, Damaged, InUse or Other.
enum class OpenError {
    None,
    Missing,         // nothing at the path
    NoAccess,        // a folder on the way may not be entered, so it is unknown what is there
    NotAFile,        // a folder or a device
    CannotRead,      // the file may not be read
    ReadOnlyFile,    // the file may not be written
    ReadOnlyFolder,  // its folder may not be written: changes need a journal beside the file
    CannotWrite,     // the file, or the journal beside it in its folder, may not be written
    TooShort,        // shorter than one page
    NotEncrypted,    // a plain, unencrypted database
    NotADatabase,    // no database at all
    WrongPassword,   // another password (or damage that cannot be told from it)
    Damaged,         // a database whose pages are damaged or cut off
    InUse,           // another connection or program holds the file
    MissingTable,    // a table asked for is missing
    IoError,         // the system failed to read or write the disk
    DiskFull,        // the disk (or the database's size limit) has no room for the change
    Other,           // any other failure of the engine
};

// Every failure of a statement, an open or a field lookup: what() is the engine's own text with
// the statement, for the log; Why() what the engine said in terms the user can act on (Other
// for a statement the engine refused on its own terms, and for every failure of this layer).
class DbError : public std::runtime_error {
  public:
    explicit DbError(const std::string& what, OpenError why = OpenError::Other)
        : std::runtime_error(what), why_(why) {}
    OpenError Why() const { return why_; }

  private:
    OpenError why_;
};

struct OpenFailure {
    OpenError error = OpenError::None;
    QString detail;  // MissingTable: the table; ReadOnlyFolder: the folder
};

// Rows of one query, read from first to last. RecordCount follows the engine's rule: right
// after opening it is 0 for no rows, else the rows reached so far (1); after MoveLast or a walk
// to EOF it is the number of rows.
class Recordset {
  public:
    Recordset(QStringList columns, const std::vector<std::vector<QVariant>>& rows);
    bool Eof() const;  // EOF (a C macro name)
    bool Bof() const;
    void MoveNext();   // throws DbError past EOF
    void MoveFirst();  // no-op on an empty set
    void MoveLast();   // no-op on an empty set
    long RecordCount() const;
    Field Fields(
        const QString& name) const;  // case-insensitive; throws DbError if unknown or at EOF
    Field Fields(int index) const;
    int FieldCount() const { return static_cast<int>(columns_.size()); }
    QString FieldName(int index) const { return columns_.value(index); }
    void Close();

  private:
    friend class Database;
    // Rows one after the other in one list: `cells` holds whole rows of the columns' count.
    Recordset(QStringList columns, std::vector<QVariant> cells);

    // The position lies on a row or just past the last; the rows reached run from the first to
    // at least the position, and none is reached in an empty set.
    bool Valid() const {
        return pos_ >= 0 && pos_ <= rows_ && reached_ <= rows_ &&
               reached_ >= std::min(pos_ + 1, rows_);
    }

    QStringList columns_;
    std::vector<QVariant> cells_;
    long rows_ = 0;
    long pos_ = 0;
    long reached_ = 0;
};

class Database {
  public:
    // Opens an existing encrypted file; never creates one, and never changes one it refuses:
    // the file's size, the password and every table named in `tables` are checked before any
    // lock is taken. A file whose folder cannot be written is refused too, as every change
    // needs a journal beside the file. With exclusive=true the file is then locked so no other
    // connection (or process) can open it meanwhile. Returns nullptr on any failure; `failure`,
    // when given, then holds the reason.
    static std::unique_ptr<Database> Open(const QString& path, const QString& password,
                                          bool exclusive = true, OpenFailure* failure = nullptr,
                                          const QStringList& tables = {});
    // True when nothing is at the path: not when a folder on the way may not be entered, which
    // hides whether the file is there.
    static bool IsMissing(const QString& path);
    // True when another process holds a lock on the file, as an open connection does (the
    // exclusive open above keeps its lock until it closes); false for a missing file. Never
    // ask about a file this process has open: closing the look-up's own handle would drop
    // this process's locks on it.
    static bool IsLockedByAnotherProcess(const QString& path);
    enum class CopyResult { Copied, TargetInUse, Failed };
    // Copies the file at `from` byte for byte to `to` (a link there: the file it names),
    // replacing a file there only when the whole copy was written. From the look at the file at
    // `to` to the end of the copy it is locked as an open connection locks it: a file another
    // process holds is not replaced (TargetInUse), and a process that comes to open it meanwhile
    // is refused, so it works on the finished copy or not at all. A journal beside the replaced
    // file goes with it. Failed for every other failure (nothing written, the file at `to` as it
    // was, also when both name the same file). Never copy onto a file this process has open (see
    // IsLockedByAnotherProcess).
    static CopyResult CopyFileOver(const QString& from, const QString& to);
    // Creates a new encrypted file from a schema script (used by the build and by tests).
    static bool Create(const QString& path, const QString& password, const QString& schemaSql,
                       QString* error = nullptr);
    ~Database();
    Database(const Database&) = delete;
    Database& operator=(const Database&) = delete;

    void Execute(const QString& jetSql, int options = 0);  // throws DbError
    std::unique_ptr<Recordset> OpenRecordset(const QString& jetSql,
                                             int type = dbOpenDynaset);  // throws DbError
    long long RecordsAffected() const { return affected_; }
    // Rows inserted, changed or deleted through this connection since it was opened; a caller
    // that keeps what it read can tell from it whether anyone else wrote meanwhile.
    long long TotalChanges() const;
    // True when a table of that name (any case) exists; false on any failure.
    bool HasTable(const QString& name);

    // Transactions: one user action, one transaction. Use Transaction below.
    void BeginTrans();
    void CommitTrans();
    void Rollback();
    bool InTransaction() const { return inTrans_; }

    // Called with the text of every statement that Execute and OpenRecordset are given, as the
    // caller wrote it, before it runs; an empty function stops the calls. Lets tests record
    // what a form sends. Returns the function set before.
    std::function<void(const QString& jetSql)> SetStatementLog(
        std::function<void(const QString& jetSql)> log) {
        std::swap(statementLog_, log);
        return log;
    }

    void Close();
    bool IsOpen() const { return handle_ != nullptr; }
    const QString& Path() const { return path_; }

  private:
    class Statement;
    Database();
    Statement Prepare(const QString& jetSql);
    void* handle_ = nullptr;  // sqlite3*
    // Statements differing only in their values share one prepared statement, kept here.
    std::unique_ptr<StatementCache> cache_;
    QString path_;
    long long affected_ = 0;
    bool inTrans_ = false;
    std::function<void(const QString&)> statementLog_;
};

// Begins a transaction; rolls it back on destruction unless Commit() was called.
class Transaction {
  public:
    explicit Transaction(Database& db) : db_(db) { db_.BeginTrans(); }
    ~Transaction() {
        if (!done_) {
            try {
                db_.Rollback();
            } catch (...) {
            }
        }
    }
    void Commit() {
        assert(!done_ && "a transaction is committed once");
        db_.CommitTrans();
        done_ = true;
    }
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;

  private:
    Database& db_;
    bool done_ = false;
};

}  // namespace tw::db
