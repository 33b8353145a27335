// A generated school for the print and export commands: the generator's classes, courses,
// teachers and plan, with lessons placed at random from the plan rows (some sharing a slot, some
// outside the week of six or seven lessons), two classes and two teachers that share a name, and
// names with a single or a double quote; a teacher without lessons and a class with a lesson
// beyond the sixth alone.
#pragma once

#include <gtest/gtest.h>

#include <QByteArray>
#include <QComboBox>
#include <QCryptographicHash>
#include <QPushButton>
#include <QString>
#include <array>
#include <memory>
#include <random>
#include <utility>
#include <vector>

#include "AppTestSupport.h"
#include "SchoolGen.h"
#include "StatementLogTestSupport.h"
#include "db/Database.h"
#include "ui/MsgBox.h"

namespace twtest {

// Fills an empty database; throws tw::db::DbError.
inline void WriteOutputSchool(tw::db::Database& db) {
    tw::timetable::demo::SchoolParams params;
    params.classes = 6;
    params.lessonsPerWeek = 30;
    params.lessonsPerDay = 7;
    params.teacherLoad = 12;
    params.seed = 7101;
    tw::timetable::demo::WriteSchool(db, params);

    struct PlanRow {
        QString cls, course, teacher;
    };
    std::vector<PlanRow> plan;
    auto rs = db.OpenRecordset(
        "select ClassCode,CourseCode,TeacherCode from ClassPlantb order by ClassCode,CourseCode");
    for (; !rs->Eof(); rs->MoveNext()) {
        plan.push_back({rs->Fields("ClassCode").Text(), rs->Fields("CourseCode").Text(),
                        rs->Fields("TeacherCode").Text()});
    }
    rs->Close();
    auto codes = [&db](const QString& table) {
        QStringList list;
        auto r = db.OpenRecordset("select Code from " + table + " order by Code");
        for (; !r->Eof(); r->MoveNext()) list << r->Fields("Code").Text();
        r->Close();
        return list;
    };
    const QStringList classes = codes("Classtb");
    const QStringList teachers = codes("Teachertb");

    std::mt19937 rng(7110);
    auto pick = [&rng](int n) { return static_cast<int>(rng() % static_cast<unsigned>(n)); };
    for (int i = 0; i < 160; ++i) {
        const PlanRow& row = plan[static_cast<size_t>(pick(static_cast<int>(plan.size())))];
        // Now and then a slot outside the week: day 0 or 6, lesson 0 or 8.
        const int day = pick(20) == 0 ? 6 * pick(2) : 1 + pick(5);
        const int lesson = pick(20) == 0 ? 8 * pick(2) : 1 + pick(7);
        db.Execute("insert into LessonListtb values ('" + tw::db::SqlQ(row.cls) + "'," +
                   QString::number(day) + "," + QString::number(lesson) + ",'" +
                   tw::db::SqlQ(row.course) + "','" + tw::db::SqlQ(row.teacher) + "',1)");
    }
    auto rename = [&db](const QString& table, const QString& code, const QString& name) {
        db.Execute("update " + table + " set Name='" + tw::db::SqlQ(name) + "' where Code='" +
                   tw::db::SqlQ(code) + "'");
    };
    rename("Classtb", classes[1], "一(1)班");
    rename("Classtb", classes[2], "一(1)班");
    rename("Classtb", classes[3], "O'Neil班");
    rename("Teachertb", teachers[0], "张伟");
    rename("Teachertb", teachers[2], "张伟");
    rename("Teachertb", teachers[1], "O'Brien");
    rename("Teachertb", teachers[3], "\"小\"李");
    // A teacher without lessons, and a class whose one lesson lies beyond the sixth.
    db.Execute("insert into Teachertb values ('T99','无课','','')");
    db.Execute("insert into Classtb values ('99','七(9)班','七年级九班','七9')");
    db.Execute("insert into LessonListtb values ('99',2,7,'" + tw::db::SqlQ(plan[0].course) +
               "','T99',1)");
}

// The stepping buttons of the print or the export dialog move the class and the teacher list
// (two entries each, the first chosen) one entry at a time and never wrap round; a list without
// a choice steps to its first entry. Leaves the first entries chosen.
inline void ExpectListsStepWithoutWrapping(QWidget& form) {
    for (const char* kind : {"Class", "Teacher"}) {
        QComboBox* list = form.findChild<QComboBox*>(QStringLiteral("Cmb") + kind);
        ASSERT_NE(list, nullptr) << kind;
        ASSERT_EQ(list->count(), 2) << kind;
        const auto click = [&](const char* step) {
            form.findChild<QPushButton*>(QStringLiteral("Cmd") + step + kind)->click();
        };
        EXPECT_EQ(list->currentIndex(), 0) << kind;
        click("Prev");
        EXPECT_EQ(list->currentIndex(), 0) << kind;
        click("Next");
        EXPECT_EQ(list->currentIndex(), 1) << kind;
        click("Next");
        EXPECT_EQ(list->currentIndex(), 1) << kind;
        click("Prev");
        EXPECT_EQ(list->currentIndex(), 0) << kind;
        list->setCurrentIndex(-1);
        click("Next");
        EXPECT_EQ(list->currentIndex(), 0) << kind;
    }
}

// What one print or export command did: its message and, when it was done, the name of the
// layout or workbook template it used and the bytes of the data file it wrote.
struct CommandOutput {
    QString text;
    int style = 0;
    QString templateName;
    QByteArray data;
};

// The pins of every command of the print or the export dialog over the generated school.
struct OutputPins {
    int statements;
    const char* statementDigest;
    const char* outputDigest;
};

// Runs every command of the print or the export dialog Form over the program's state
// (State()), at six and then at seven lessons a day: each entry of the class list and of the
// teacher list with its one-entry command (oneClass, oneTeacher), then the three commands over
// all entries (all), each number of lessons on a dialog made afresh; run(form, button) clicks the
// button and tells what the command did. Expects the statements sent to the database, and
// command by command the message (doneText, else an information) with the template and the
// data file, to be the pinned ones.
template <class Form, class Run>
void ExpectEveryOutputCommandPinned(const char* oneClass, const char* oneTeacher,
                                    const std::array<const char*, 3>& all, const QString& doneText,
                                    Run&& run, const OutputPins& pins) {
    QCryptographicHash outputs(QCryptographicHash::Sha1);
    int done = 0, withoutData = 0;
    const auto command = [&](auto& form, const char* button, const QString& what) {
        const CommandOutput output = run(form, button);
        outputs.addData((what + '|' + output.text + '|').toUtf8());
        if (output.text == doneText) {
            ++done;
            outputs.addData(output.templateName.toUtf8());
            outputs.addData(output.data);
        } else {
            ++withoutData;
            EXPECT_EQ(output.style, tw::ui::vbInformation) << output.text.toStdString();
        }
    };
    StatementRecorder recorder(State().Db());
    for (int lessons : {6, 7}) {
        State().lessonOfDay = lessons;
        const auto form = std::make_unique<Form>(State());
        for (const auto& [combo, button] :
             {std::pair{"CmbClass", oneClass}, std::pair{"CmbTeacher", oneTeacher}}) {
            QComboBox* list = form->template findChild<QComboBox*>(combo);
            for (int i = 0; i < list->count(); ++i) {
                list->setCurrentIndex(i);
                command(*form, button, QString("%1 %2 %3").arg(button).arg(i).arg(lessons));
            }
        }
        for (const char* button : all) {
            command(*form, button, QString("%1 %2").arg(button).arg(lessons));
        }
    }
    EXPECT_GT(done, 20);
    EXPECT_GT(withoutData, 0);
    EXPECT_EQ(recorder.Count(), pins.statements);
    EXPECT_EQ(recorder.Digest().toStdString(), pins.statementDigest);
    EXPECT_EQ(outputs.result().toHex().left(16).toStdString(), pins.outputDigest);
}

}  // namespace twtest
