// A fresh encrypted database made from the program's schema in a temporary folder.
#pragma once

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

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
    long long Count(const QString& sql) {
        auto rs = db_->OpenRecordset(sql);
        return rs->Eof() ? -1 : rs->Fields(0).Int();
    }
    QString Text(const QString& sql) {
        auto rs = db_->OpenRecordset(sql);
        return rs->Eof() ? QString("<none>") : rs->Fields(0).Text();
    }
    // Every row of a query, fields joined by '|' and rows by ';'.
    QString Rows(const QString& sql) {
        auto rs = db_->OpenRecordset(sql);
        QStringList rows;
        for (; !rs->Eof(); rs->MoveNext()) {
            QStringList f;
            for (int i = 0; i < rs->FieldCount(); ++i) f << rs->Fields(i).Text();
            rows << f.join('|');
        }
        return rows.join(';');
    }
    QTemporaryDir dir_;
    QString path_;
    std::unique_ptr<tw::db::Database> db_;
};

}  // namespace dbtest
