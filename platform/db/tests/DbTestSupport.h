// A fresh encrypted database made from the program's schema in a temporary folder.
#pragma once

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include "QueryTestSupport.h"
#include "db/Database.h"

QT_BEGIN_NAMESPACE
inline void PrintTo(const QString& s, std::ostream* os) {
    *os << '"' << s.toStdString() << '"';
}
QT_END_NAMESPACE

namespace dbtest {

inline QString Schema() {
    QFile f(TW_SOURCE_DIR "/app/shell/schema/kb_schema.sql");
    if (!f.open(QIODevice::ReadOnly)) return {};
    return QString::fromUtf8(f.readAll());
}

class DbTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(dir_.isValid());
        path_ = dir_.filePath("kb.mdb");
        QString err;
        ASSERT_TRUE(tw::db::Database::Create(path_, "731946", Schema(), &err)) << err.toStdString();
        db_ = tw::db::Database::Open(path_, "731946");
        ASSERT_TRUE(db_);
    }
    long long Count(const QString& sql) { return twtest::Count(*db_, sql); }
    QString Text(const QString& sql) { return twtest::Text(*db_, sql); }
    // Every row of a query, fields joined by '|' and rows by ';'.
    QString Rows(const QString& sql) { return twtest::Rows(*db_, sql); }
    QTemporaryDir dir_;
    QString path_;
    std::unique_ptr<tw::db::Database> db_;
};

}  // namespace dbtest
