// A fresh timetable database, made from the schema the build ships, for the data layer's tests.
#pragma once

#include <gtest/gtest.h>

#include <QFile>
#include <QString>
#include <QTemporaryDir>
#include <memory>

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
    QTemporaryDir dir_;
    std::unique_ptr<tw::db::Database> db_;
};

}  // namespace storetest
