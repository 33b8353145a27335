// The connection's kept statements and translations.
#ifndef SQLITE_HAS_CODEC
#define SQLITE_HAS_CODEC 1
#endif
#include "StatementCache.h"

#include <sqlite3.h>

#include <cassert>

#include "Database.h"

namespace tw::db {

StatementCache::Entry* StatementCache::Find(const QString& sql) {
    auto it = index_.constFind(sql);
    if (it == index_.constEnd()) return nullptr;
    if (*it != lru_.begin()) lru_.splice(lru_.begin(), lru_, *it);
    assert(lru_.front().sql == sql);
    return &lru_.front();
}

StatementCache::Entry* StatementCache::Add(const QString& sql, sqlite3_stmt* stmt) {
    assert(stmt != nullptr);
    if (auto it = index_.find(sql); it != index_.end()) {
        // Replaces an entry of the same text (not expected: callers look first).
        sqlite3_finalize((*it)->stmt);
        lru_.erase(*it);
        index_.erase(it);
    }
    Entry e;
    e.sql = sql;
    e.stmt = stmt;
    lru_.push_front(std::move(e));
    index_.insert(sql, lru_.begin());
    while (static_cast<int>(lru_.size()) > maxStatements_) {
        sqlite3_finalize(lru_.back().stmt);
        index_.remove(lru_.back().sql);
        lru_.pop_back();
    }
    // Bounded, and every kept statement is found by its text.
    assert(static_cast<int>(lru_.size()) <= maxStatements_ &&
           static_cast<size_t>(index_.size()) == lru_.size());
    return &lru_.front();
}

const QStringList& StatementCache::Columns(Entry& e) {
    const int cols = sqlite3_column_count(e.stmt);
    bool same = cols == e.rawColumns.size();
    for (int c = 0; same && c < cols; ++c) same = e.rawColumns[c] == sqlite3_column_name(e.stmt, c);
    if (!same) {
        e.columns.clear();
        e.rawColumns.clear();
        for (int c = 0; c < cols; ++c) {
            e.rawColumns << QByteArray(sqlite3_column_name(e.stmt, c));
            e.columns << QString::fromUtf8(e.rawColumns.back());
        }
    }
    return e.columns;
}

void StatementCache::Clear() {
    for (Entry& e : lru_) sqlite3_finalize(e.stmt);
    lru_.clear();
    index_.clear();
}

const QString& StatementCache::Translation(const QString& jetShape) {
    auto it = translations_.constFind(jetShape);
    if (it != translations_.constEnd()) return *it;
    // Shapes are few; should a program make many, start over rather than grow.
    if (translations_.size() >= maxTranslations_) translations_.clear();
    const auto added = translations_.insert(jetShape, TranslateJetSql(jetShape));
    assert(translations_.size() <= maxTranslations_);
    return *added;
}

}  // namespace tw::db
