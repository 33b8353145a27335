// Records every statement a connection is given while the recorder lives: how many, and one
// digest of their texts in order. A test that pins the digest notices any statement a change
// adds, drops, reorders or words differently.
#pragma once

#include <QByteArray>
#include <QCryptographicHash>
#include <QString>

#include "db/Database.h"

namespace twtest {

class StatementRecorder {
  public:
    explicit StatementRecorder(tw::db::Database& db) : db_(db) {
        db_.SetStatementLog([this](const QString& sql) {
            hash_.addData(sql.toUtf8());
            hash_.addData(QByteArrayView("\n"));
            ++count_;
        });
    }
    ~StatementRecorder() { db_.SetStatementLog({}); }
    StatementRecorder(const StatementRecorder&) = delete;
    StatementRecorder& operator=(const StatementRecorder&) = delete;

    long long Count() const { return count_; }
    // The first 16 hex digits of the SHA-1 of every statement text, each followed by a newline.
    QString Digest() const { return QString::fromLatin1(hash_.result().toHex().left(16)); }

  private:
    tw::db::Database& db_;
    QCryptographicHash hash_{QCryptographicHash::Sha1};
    long long count_ = 0;
};

}  // namespace twtest
