// Test environment of the main program: a temporary program folder holding a fresh encrypted
// kb.mdb made from the schema, opened in the test's own program state, with scripted message
// boxes. Everything is undone when the environment is destroyed.
#pragma once

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QStringList>
#include <QTemporaryDir>
#include <deque>
#include <vector>

#include "QueryTestSupport.h"
#include "db/Database.h"
#include "ini/PrivateProfile.h"
#include "shell/AppState.h"
#include "shell/ProgramFolder.h"
#include "shell/Settings.h"
#include "ui/MsgBox.h"

namespace twtest {
using tw::shell::kDbPassword;
using tw::shell::SetProgramFolder;
using tw::shell::SettingsFile;

// The schema the build ships kb.mdb with.
inline QString SchemaSql() {
    QFile f(TW_SOURCE_DIR "/app/shell/schema/kb_schema.sql");
    if (!f.open(QIODevice::ReadOnly)) return {};
    return QString::fromUtf8(f.readAll());
}

// Writes a fresh, empty timetable database to path (which must not exist yet). A template is
// made once per test program and copied, as keying a new file is slow.
inline bool CreateKbDatabase(const QString& path) {
    static QTemporaryDir templateDir;
    static const QString templ = templateDir.filePath("template.mdb");
    static const bool made =
        templateDir.isValid() && tw::db::Database::Create(templ, kDbPassword, SchemaSql());
    return made && QFile::copy(templ, path);
}

// The state a test hands the program's code: that of the test environment made last and still
// alive. A test that asks with none alive fails.
inline tw::shell::AppState*& CurrentStateSlot() {
    static tw::shell::AppState* current = nullptr;
    return current;
}
inline tw::shell::AppState& State() {
    if (!CurrentStateSlot()) {
        ADD_FAILURE() << "no test environment holds a program state";
        static tw::shell::AppState none;
        return none;
    }
    return *CurrentStateSlot();
}
// Makes state the current one for its life, then restores the one before.
class StateScope {
  public:
    explicit StateScope(tw::shell::AppState& state) : previous_(CurrentStateSlot()) {
        CurrentStateSlot() = &state;
    }
    ~StateScope() { CurrentStateSlot() = previous_; }
    StateScope(const StateScope&) = delete;
    StateScope& operator=(const StateScope&) = delete;

  private:
    tw::shell::AppState* previous_;
};

class AppTestEnv {
  public:
    // open=false leaves the database closed (for start-up tests).
    explicit AppTestEnv(bool open = true) {
        EXPECT_TRUE(dir_.isValid());
        SetProgramFolder(dir_.path());
        EXPECT_TRUE(CreateKbDatabase(DbPath()));
        if (open) {
            EXPECT_TRUE(state.Open(DbPath()));
        }
        state.title = QStringLiteral("排课软件系统");
        state.lessonOfDay = 6;
        tw::ui::SetMsgBoxHandler([this](const tw::ui::MsgBoxCall& call) {
            calls.push_back(call);
            if (answers.empty()) return static_cast<int>(tw::ui::vbOK);
            const int a = answers.front();
            answers.pop_front();
            return a;
        });
    }
    ~AppTestEnv() {
        tw::ui::SetMsgBoxHandler(nullptr);
        tw::ui::SetFileDialogHandler(nullptr);
        state.Close();
        SetProgramFolder(QString());
    }
    AppTestEnv(const AppTestEnv&) = delete;
    AppTestEnv& operator=(const AppTestEnv&) = delete;

    // The program's state in this environment: its database, lessons per day and title.
    tw::shell::AppState state;

    QString Folder() const { return dir_.path(); }
    QString DbPath() const { return dir_.filePath("kb.mdb"); }
    QString FilePath(const QString& name) const { return dir_.filePath(name); }

    // Statements on the open database; a failure (or no open database) fails the test.
    void Exec(const QString& sql) {
        Checked(0, [&](tw::db::Database& db) {
            db.Execute(sql);
            return 0;
        });
    }
    // First field of the first row as a number; -1 when there is no row or on failure.
    long long Count(const QString& sql) {
        return Checked(-1LL, [&](tw::db::Database& db) { return twtest::Count(db, sql); });
    }
    // First field of the first row as text; "<none>" when there is no row.
    QString Text(const QString& sql) {
        return Checked(QStringLiteral("<error>"),
                       [&](tw::db::Database& db) { return twtest::Text(db, sql); });
    }
    // Every row: fields joined by '|', rows by ';'.
    QString Rows(const QString& sql) {
        return Checked(QStringLiteral("<error>"),
                       [&](tw::db::Database& db) { return twtest::Rows(db, sql); });
    }

    // Writes one key of the program folder's kbxt.ini.
    void SetIni(const QString& section, const QString& key, const QString& value) {
        EXPECT_TRUE(tw::ini::WriteString(SettingsFile(), section, key, value));
    }

    // Message boxes shown so far, and the answers the next ones give (then OK).
    std::vector<tw::ui::MsgBoxCall> calls;
    std::deque<int> answers;

  private:
    // Runs read on the open database; its failure fails the test and gives onError.
    template <typename T, typename Read>
    T Checked(T onError, Read read) {
        try {
            return read(state.Db());
        } catch (const tw::db::DbError& e) {
            ADD_FAILURE() << e.what();
            return onError;
        }
    }

    QTemporaryDir dir_;
    StateScope scope_{state};
};

}  // namespace twtest
