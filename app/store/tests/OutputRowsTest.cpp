// The rows printing and export read: for random classes, courses, teachers and lessons (codes
// stored in either case, namesakes, quotes in names, lessons outside the week or naming a code
// that is gone), every selection gives the model's rows in the columns its writer reads, ordered
// by group (classes by grade and class number as a number, teachers as the database orders
// codes), then by lesson and day, and a teacher's classes of one slot in the classes' order.
#include <QRegularExpression>
#include <QStringList>
#include <algorithm>
#include <map>
#include <optional>
#include <random>
#include <tuple>
#include <vector>

#include "StoreTestSupport.h"
#include "db/CodeOrder.h"
#include "store/OutputRows.h"

using tw::store::OutputChoice;
using tw::store::OutputFile;
using tw::store::OutputTimetable;

namespace {

struct Master {
    QString code, name, shortName;
};

struct Lesson {
    QString cls, course, teacher;
    int day = 0, lesson = 0;
};

using Row = std::map<QString, QString>;

class OutputRowsTest : public storetest::StoreTest {
  protected:
    void Insert(const char* table, const Master& m) {
        db_->Execute(
            QString("insert into %1 values ('%2','%3','','%4')")
                .arg(table, tw::db::SqlQ(m.code), tw::db::SqlQ(m.name), tw::db::SqlQ(m.shortName)));
    }
};

// Where a class's rows stand: codes of a grade digit and a class number (leading zeros or
// not) by grade and number, then any other code; the database's order of codes last.
std::tuple<int, int, long long, QByteArray> ClassPlace(const QString& code) {
    static const QRegularExpression graded(QStringLiteral("^([0-9])([0-9]+)$"));
    const auto m = graded.match(code);
    if (!m.hasMatch()) return {1, 0, 0, tw::db::CodeKey(code)};
    return {0, m.captured(1).toInt(), m.captured(2).toLongLong(), tw::db::CodeKey(code)};
}

const Master* Find(const std::vector<Master>& table, const QString& code) {
    for (const Master& m : table) {
        if (tw::db::SameCode(m.code, code)) return &m;
    }
    return nullptr;
}

// The row a lesson gives in the selection, or none when the selection leaves it out.
std::optional<Row> Expected(OutputFile file, const OutputChoice& choice, const Lesson& l,
                            const std::vector<Master>& classes, const std::vector<Master>& courses,
                            const std::vector<Master>& teachers) {
    const Master* cls = Find(classes, l.cls);
    const Master* course = Find(courses, l.course);
    const Master* teacher = Find(teachers, l.teacher);
    const bool print = file == OutputFile::Print;
    const QString teacherColumn = print ? "TeacherName" : "TeacherShortName";
    Row row{{"Day", QString::number(l.day)}, {"LessonNo", QString::number(l.lesson)}};
    if (!course) return std::nullopt;
    switch (choice.timetable) {
        case OutputTimetable::OneClass:
            if (!teacher || !tw::db::SameCode(l.cls, choice.code)) return std::nullopt;
            row.insert({{"Name", choice.name},
                        {"CourseName", course->name},
                        {"ClassShortName", ""},
                        {teacherColumn, teacher->name}});
            return row;
        case OutputTimetable::OneTeacher:
            if (!cls || !tw::db::SameCode(l.teacher, choice.code)) return std::nullopt;
            row.insert({{"Name", choice.name},
                        {"CourseName", course->name},
                        {"ClassShortName", cls->shortName}});
            if (print) row.insert({"TeacherName", choice.name});
            return row;
        default:
            break;
    }
    if (!cls || !teacher) return std::nullopt;
    switch (choice.timetable) {
        case OutputTimetable::AllClasses:
            row.insert({{"Name", cls->name},
                        {"CourseName", course->name},
                        {"ClassShortName", ""},
                        {teacherColumn, teacher->name},
                        {"GroupCode", l.cls}});
            break;
        case OutputTimetable::AllTeachers:
            row.insert({{"Name", teacher->name},
                        {"CourseName", course->name},
                        {"ClassShortName", cls->shortName},
                        {"GroupCode", l.teacher}});
            if (print) row.insert({"TeacherName", teacher->name});
            break;
        default:  // the whole school: the class's and the course's short names
            row.insert({{"Name", cls->shortName},
                        {"CourseName", course->shortName},
                        {print ? "ClassShortName" : "TeacherShortName", teacher->name},
                        {"GroupCode", l.cls}});
    }
    return row;
}

TEST_F(OutputRowsTest, EverySelectionGivesTheModelsRowsInGroupLessonAndDayOrder) {
    std::mt19937 rng(7101);
    auto pick = [&rng](int n) { return static_cast<int>(rng() % static_cast<unsigned>(n)); };
    const QStringList names = {"一(1)班", "张伟", "O'Brien", "\"双\"", "", "语文"};
    auto someName = [&] { return names[pick(names.size())]; };
    // Stored codes and a spelling of each that the database takes for the same code.
    const QStringList classCodes = {"A1",  "b2",  "11",  "Ｃ3", "72", "710", "711", "71",
                                    "021", "120", "912", "7１", "1A", "701", "0"};
    const QStringList courseCodes = {"K1", "k2", "03"};
    const QStringList teacherCodes = {"T1", "t2", "T3", "X'4"};
    auto spelling = [&](const QString& code) {
        return pick(2) == 0 ? code : code.toLower() == code ? code.toUpper() : code.toLower();
    };
    int rowsSeen = 0;
    for (int round = 0; round < 25; ++round) {
        tw::db::Transaction writes(*db_);
        for (const char* table : {"Classtb", "Coursetb", "Teachertb", "LessonListtb"}) {
            db_->Execute(QString("delete from ") + table);
        }
        std::vector<Master> classes, courses, teachers;
        const std::pair<const QStringList*, std::vector<Master>*> tables[] = {
            {&classCodes, &classes}, {&courseCodes, &courses}, {&teacherCodes, &teachers}};
        for (const auto& [codes, table] : tables) {
            for (const QString& code : *codes) {
                // Now and then a code is gone while its lessons stay.
                if (pick(6) > 0) table->push_back({code, someName(), someName()});
            }
        }
        // A class's short name tells its code, so that the order of the classes in a teacher's
        // slot shows.
        for (Master& m : classes) m.shortName += "#" + m.code;
        for (const Master& m : classes) Insert("Classtb", m);
        for (const Master& m : courses) Insert("Coursetb", m);
        for (const Master& m : teachers) Insert("Teachertb", m);
        std::vector<Lesson> lessons;
        for (int i = pick(40); i > 0; --i) {
            lessons.push_back({spelling(classCodes[pick(classCodes.size())]),
                               spelling(courseCodes[pick(courseCodes.size())]),
                               spelling(teacherCodes[pick(teacherCodes.size())]), pick(7),
                               pick(9)});
            const Lesson& l = lessons.back();
            db_->Execute(QString("insert into LessonListtb values ('%1',%2,%3,'%4','%5',1)")
                             .arg(tw::db::SqlQ(l.cls))
                             .arg(l.day)
                             .arg(l.lesson)
                             .arg(tw::db::SqlQ(l.course), tw::db::SqlQ(l.teacher)));
        }
        writes.Commit();
        std::vector<OutputChoice> choices = {{OutputTimetable::AllClasses, {}, {}},
                                             {OutputTimetable::AllTeachers, {}, {}},
                                             {OutputTimetable::WholeSchool, {}, {}}};
        for (const QString& code : classCodes) {
            choices.push_back({OutputTimetable::OneClass, someName(), spelling(code)});
        }
        for (const QString& code : teacherCodes) {
            choices.push_back({OutputTimetable::OneTeacher, someName(), spelling(code)});
        }
        for (OutputFile file : {OutputFile::Print, OutputFile::Export}) {
            for (const OutputChoice& choice : choices) {
                const auto what = testing::Message()
                                  << "round " << round << ", file " << static_cast<int>(file)
                                  << ", selection " << static_cast<int>(choice.timetable)
                                  << ", code " << choice.code.toStdString();
                auto read = tw::store::ReadOutputRows(*db_, file, choice);
                ASSERT_TRUE(read.Done()) << what << ": " << read.outcome.detail.toStdString();
                tw::db::Recordset& rs = *read.value;
                std::vector<Row> expected, actual;
                for (const Lesson& l : lessons) {
                    if (auto row = Expected(file, choice, l, classes, courses, teachers)) {
                        expected.push_back(*row);
                    }
                }
                using Place = std::tuple<std::tuple<int, int, long long, QByteArray>, long long,
                                         long long, std::tuple<int, int, long long, QByteArray>>;
                Place last;
                const bool byTeacher = choice.timetable == OutputTimetable::OneTeacher ||
                                       choice.timetable == OutputTimetable::AllTeachers;
                for (bool first = true; !rs.Eof(); rs.MoveNext(), first = false) {
                    Row row;
                    for (int i = 0; i < rs.FieldCount(); ++i) {
                        row[rs.FieldName(i)] = rs.Fields(i).Text();
                    }
                    actual.push_back(row);
                    std::tuple<int, int, long long, QByteArray> group;
                    if (choice.timetable == OutputTimetable::AllTeachers) {
                        std::get<3>(group) = tw::db::CodeKey(row["GroupCode"]);
                    } else if (row.count("GroupCode") > 0) {
                        group = ClassPlace(row["GroupCode"]);
                    }
                    // A teacher's classes of one slot come in the classes' order.
                    const auto cls = byTeacher ? ClassPlace(row["ClassShortName"].section('#', -1))
                                               : std::tuple<int, int, long long, QByteArray>();
                    const Place key{group, rs.Fields("LessonNo").Int(), rs.Fields("Day").Int(),
                                    cls};
                    ASSERT_TRUE(first || !(key < last)) << what << ", row " << actual.size();
                    last = key;
                }
                std::sort(expected.begin(), expected.end());
                std::sort(actual.begin(), actual.end());
                ASSERT_EQ(actual, expected) << what;
                rowsSeen += static_cast<int>(actual.size());
            }
        }
    }
    EXPECT_GT(rowsSeen, 1000);

    // A read the database refuses gives its text and no rows.
    db_->Execute("drop table Coursetb");
    for (OutputFile file : {OutputFile::Print, OutputFile::Export}) {
        const auto read =
            tw::store::ReadOutputRows(*db_, file, {OutputTimetable::WholeSchool, {}, {}});
        EXPECT_EQ(read.outcome.reason, tw::store::Reason::DatabaseError);
        EXPECT_FALSE(read.outcome.detail.isEmpty());
        EXPECT_FALSE(read.value);
    }
}

}  // namespace
