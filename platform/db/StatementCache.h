// Prepared statements kept for reuse on one connection: a bounded least-recently-used list
// keyed by the SQLite text, and the translations of the Jet statement shapes that lead to
// them. Internal to the database layer.
#pragma once

#include <QByteArrayList>
#include <QHash>
#include <QString>
#include <QStringList>
#include <list>

struct sqlite3_stmt;

namespace tw::db {

class StatementCache {
  public:
    struct Entry {
        QString sql;
        sqlite3_stmt* stmt = nullptr;
        QStringList columns;        // result column names
        QByteArrayList rawColumns;  // the same as SQLite gives them
    };

    explicit StatementCache(int maxStatements = 128, int maxTranslations = 1024)
        : maxStatements_(maxStatements), maxTranslations_(maxTranslations) {}
    ~StatementCache() { Clear(); }
    StatementCache(const StatementCache&) = delete;
    StatementCache& operator=(const StatementCache&) = delete;

    // The statement prepared for this text, now the most recently used; nullptr if none.
    Entry* Find(const QString& sql);
    // Keeps a freshly prepared statement; the least recently used one beyond the bound is
    // finalized. The cache owns the statement from here on.
    Entry* Add(const QString& sql, sqlite3_stmt* stmt);
    // Finalizes every kept statement (before closing the connection, or when the schema may
    // have changed). Translations are kept: they do not depend on the schema.
    void Clear();
    int Size() const { return static_cast<int>(lru_.size()); }
    // Column names of a kept statement, converted again only when SQLite gives others (it
    // prepares a statement anew after a schema change).
    const QStringList& Columns(Entry& e);

    // SQLite text of a Jet statement shape, translated at most once while it is kept.
    const QString& Translation(const QString& jetShape);

  private:
    int maxStatements_;
    int maxTranslations_;
    std::list<Entry> lru_;  // most recently used first
    QHash<QString, std::list<Entry>::iterator> index_;
    QHash<QString, QString> translations_;
};

}  // namespace tw::db
