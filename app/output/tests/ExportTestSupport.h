// Fixture of the export tests: a temporary program folder with a fresh timetable database, the
// school name in its settings file, a folder for the workbooks, scripted message boxes and save
// dialogs, and helpers to add school data and to put a stand-in for the Node.js runtime into the
// program folder.
#pragma once

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QStringList>
#include <QTemporaryDir>
#include <deque>
#include <vector>

#include "AppTestSupport.h"
#include "db/Database.h"
#include "ini/PrivateProfile.h"
#include "shell/AppState.h"
#include "shell/ProgramFolder.h"
#include "shell/Settings.h"
#include "ui/MsgBox.h"

using tw::shell::kDbPassword;
using tw::shell::SetProgramFolder;
using tw::shell::SettingsFile;

class ExportTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(dir_.isValid());
        folder_ = dir_.path();
        SetProgramFolder(folder_);
        QFile schema(QStringLiteral(TW_SOURCE_DIR "/app/shell/schema/kb_schema.sql"));
        ASSERT_TRUE(schema.open(QIODevice::ReadOnly));
        const QString db = folder_ + QStringLiteral("/kb.mdb");
        QString error;
        ASSERT_TRUE(tw::db::Database::Create(db, QString::fromLatin1(kDbPassword),
                                             QString::fromUtf8(schema.readAll()), &error))
            << error.toStdString();
        ASSERT_TRUE(state_.Open(db));
        ASSERT_TRUE(
            tw::ini::WriteString(SettingsFile(), "USERINFO", "USER", QStringLiteral("第一中学")));
        state_.lessonOfDay = 6;

        tw::ui::SetMsgBoxHandler([this](const tw::ui::MsgBoxCall& call) {
            messages_.push_back(call);
            if (answers_.empty()) {
                return static_cast<int>(tw::ui::vbOK);
            }
            const int answer = answers_.front();
            answers_.pop_front();
            return answer;
        });
        ASSERT_TRUE(outDir_.isValid());
        out_ = outDir_.path();
        tw::ui::SetFileDialogCallHandler([this](const tw::ui::FileDialogCall& call) {
            dialogTitles_ << call.title;
            dialogDirs_ << call.dir;
            EXPECT_TRUE(call.save);
            if (savePaths_.empty()) {
                return QString();
            }
            const QString path = savePaths_.front();
            savePaths_.pop_front();
            return path;
        });
    }

    void TearDown() override {
        tw::ui::SetMsgBoxHandler(nullptr);
        tw::ui::SetFileDialogCallHandler(nullptr);
        state_.Close();
    }

    void Exec(const QString& sql) { state_.Db().Execute(sql); }
    static QString Q(const QString& s) {
        return QLatin1Char('\'') + tw::db::SqlQ(s) + QLatin1Char('\'');
    }

    void AddClass(const QString& code, const QString& name, const QString& shortName) {
        Exec("insert into Classtb (Code,Name,FullName,ShortName) values (" + Q(code) + "," +
             Q(name) + "," + Q(name) + "," + Q(shortName) + ")");
    }
    void AddCourse(const QString& code, const QString& name, const QString& shortName) {
        Exec("insert into Coursetb (Code,Name,FullName,ShortName) values (" + Q(code) + "," +
             Q(name) + "," + Q(name) + "," + Q(shortName) + ")");
    }
    void AddTeacher(const QString& code, const QString& name) {
        Exec("insert into Teachertb (Code,Name,FullName,ShortName) values (" + Q(code) + "," +
             Q(name) + "," + Q(name) + "," + Q(name) + ")");
    }
    void AddLesson(const QString& cls, int day, int lesson, const QString& course,
                   const QString& teacher) {
        Exec("insert into LessonListtb values(" + Q(cls) + "," + QString::number(day) + "," +
             QString::number(lesson) + "," + Q(course) + "," + Q(teacher) + ",1)");
    }

    // A stand-in runtime at node/node: a shell script run with the script's four arguments.
    void FakeNode(const QString& body) {
        ASSERT_TRUE(QDir(folder_).mkpath(QStringLiteral("node")));
        QFile f(folder_ + QStringLiteral("/node/node"));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(("#!/bin/sh\n" + body + "\n").toUtf8());
        f.close();
        f.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
    // A stand-in that logs its working folder and arguments, one a line, then runs body.
    void LoggingNode(const QString& body) {
        FakeNode(QStringLiteral("{ pwd; for a in \"$@\"; do echo \"$a\"; done; } >> \"") +
                 LogFile() + QStringLiteral("\"\n") + body);
    }
    QString LogFile() const { return folder_ + QStringLiteral("/node-calls.log"); }
    QStringList LoggedLines() const {
        QFile f(LogFile());
        if (!f.open(QIODevice::ReadOnly)) {
            return {};
        }
        return QString::fromUtf8(f.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    }
    static void WriteFile(const QString& path, const QByteArray& bytes) {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
    QByteArray ReadFile(const QString& path) const {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    QString DataFile() const { return folder_ + QStringLiteral("/export_data.json"); }

    // The program's state in this test: its database, lessons per day and title.
    tw::shell::AppState state_;
    twtest::StateScope scope_{state_};
    QTemporaryDir dir_;
    QString folder_;
    // Where the tests save their workbooks: outside the program folder, which the export
    // refuses as a target.
    QTemporaryDir outDir_;
    QString out_;
    std::vector<tw::ui::MsgBoxCall> messages_;
    std::deque<int> answers_;
    std::deque<QString> savePaths_;
    QStringList dialogTitles_;
    QStringList dialogDirs_;  // what each save chooser proposed
};
