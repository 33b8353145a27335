// A fresh timetable database, made from the schema the build ships, for the data layer's tests,
// and the reads its tests make of it.
#pragma once

#include <gtest/gtest.h>

#include <QFile>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <memory>

#include "QueryTestSupport.h"
#include "db/Database.h"

namespace storetest {

class StoreTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(dir_.isValid());
        QFile schema(TW_SOURCE_DIR "/app/shell/schema/kb_schema.sql");
        ASSERT_TRUE(schema.open(QIODevice::ReadOnly));
        const QString path = dir_.filePath("kb.mdb");
        ASSERT_TRUE(tw::db::Database::Create(path, "731946", QString::fromUtf8(schema.readAll())));
        db_ = tw::db::Database::Open(path, "731946");
        ASSERT_TRUE(db_);
    }

    long long Count(const QString& sql) { return twtest::Count(*db_, sql); }
    QStringList RowList(const QString& sql) { return twtest::RowList(*db_, sql); }
    QString Rows(const QString& sql) { return twtest::Rows(*db_, sql); }
    // The first field of every row.
    QStringList Column(const QString& sql) {
        QStringList values;
        for (auto rs = db_->OpenRecordset(sql); !rs->Eof(); rs->MoveNext()) {
            values << rs->Fields(0).Text();
        }
        return values;
    }

    QTemporaryDir dir_;
    std::unique_ptr<tw::db::Database> db_;
};

}  // namespace storetest
