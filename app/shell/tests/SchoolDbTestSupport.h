// A fresh timetable database from the program's schema in a temporary program folder, opened in
// the test's own program state; message boxes, file choosers, modal forms and popup menus are
// scripted so that no test blocks.
#pragma once

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QFile>
#include <QStringList>
#include <QTemporaryDir>
#include <vector>

#include "AppTestSupport.h"
#include "QueryTestSupport.h"
#include "db/Database.h"
#include "shell/AppState.h"
#include "shell/ModalForm.h"
#include "shell/ProgramFolder.h"
#include "ui/MsgBox.h"
#include "ui/WeekGrid.h"

namespace h2test {
using tw::shell::kDbPassword;
using tw::shell::SetModalFormHandler;
using tw::shell::SetProgramFolder;

// Another program holding a database file open exclusively, for the life of this object.
class OtherProcess {
  public:
    explicit OtherProcess(const QString& path) {
        if (pipe(ready_) != 0 || pipe(done_) != 0) return;
        pid_ = fork();
        if (pid_ == 0) {
            auto db = tw::db::Database::Open(path, kDbPassword);
            const char ok = db ? 'y' : 'n';
            (void)!write(ready_[1], &ok, 1);
            char c;
            (void)!read(done_[0], &c, 1);
            _exit(0);
        }
        char ok = 0;
        holding_ = pid_ > 0 && read(ready_[0], &ok, 1) == 1 && ok == 'y';
    }
    ~OtherProcess() {
        if (pid_ > 0) {
            (void)!write(done_[1], "x", 1);
            waitpid(pid_, nullptr, 0);
        }
        for (int fd : {ready_[0], ready_[1], done_[0], done_[1]}) close(fd);
    }
    bool holding() const { return holding_; }

  private:
    int ready_[2] = {-1, -1};
    int done_[2] = {-1, -1};
    pid_t pid_ = -1;
    bool holding_ = false;
};

inline QByteArray FileBytes(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return {};
    return f.readAll();
}

class SchoolDbTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(dir_.isValid());
        SetProgramFolder(dir_.path());
        path_ = dir_.filePath("kb.mdb");
        ASSERT_TRUE(MakeDb(path_));
        ASSERT_TRUE(state_.Open(path_));
        state_.lessonOfDay = 6;
        state_.title = QStringLiteral("测试学校排课软件系统");
        tw::ui::SetMsgBoxHandler([this](const tw::ui::MsgBoxCall& call) {
            messages_.push_back(call);
            return static_cast<int>(tw::ui::vbOK);
        });
    }
    void TearDown() override {
        state_.Close();
        tw::ui::SetMsgBoxHandler(nullptr);
        tw::ui::SetFileDialogHandler(nullptr);
        SetModalFormHandler(nullptr);
        tw::ui::SetPopupMenuHandler(nullptr);
    }

    static bool MakeDb(const QString& path) { return twtest::CreateKbDatabase(path); }

    void Exec(const QString& sql) { state_.Db().Execute(sql); }
    long long Count(const QString& sql) { return twtest::Count(state_.Db(), sql); }
    // Every row of a query, fields joined by '|' and rows by ';'.
    QString Rows(const QString& sql) { return twtest::Rows(state_.Db(), sql); }
    // Every table's rows in a fixed order, to tell whether anything changed.
    QString Everything() { return twtest::AllTables(state_.Db()); }
    void AddMaster(const QString& table, const QString& code, const QString& name) {
        Exec("insert into " + table + "(Code,Name,FullName,ShortName) values('" + code + "','" +
             name + "','" + name + "','" + name + "')");
    }
    QStringList MessageTexts() const {
        QStringList texts;
        for (const auto& m : messages_) texts << m.text;
        return texts;
    }

    // The program's state in this test: its database, lessons per day and title.
    tw::shell::AppState state_;
    twtest::StateScope scope_{state_};
    QTemporaryDir dir_;
    QString path_;
    std::vector<tw::ui::MsgBoxCall> messages_;
};

}  // namespace h2test

QT_BEGIN_NAMESPACE
inline void PrintTo(const QString& s, std::ostream* os) {
    *os << '"' << s.toStdString() << '"';
}
QT_END_NAMESPACE
