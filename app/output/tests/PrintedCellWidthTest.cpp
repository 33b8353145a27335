// A printed class timetable through the real print library, the shipped template and the CUPS
// queue "PDF" (jobs kept as job-<id>.pdf in its folder): a course name of the longest length
// the forms accept stays inside its own cell. Skips when the queue or the libraries are missing.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QStandardPaths>
#include <algorithm>
#include <array>
#include <cstdlib>
#include <map>
#include <vector>

#include "AppTestSupport.h"
#include "PdfSpoolTestSupport.h"
#include "PrintedCellsTestSupport.h"
#include "PrintedSizesTestSupport.h"
#include "output/frmPrint.h"

using tw::output::frmPrint;

namespace {

using pdfspool::RunTool;

struct Box {
    double xMin = -1, xMax = -1;
};

// Horizontal extent, in points, of the printed words that make up text (pdftotext -bbox).
Box WordsOf(const QString& pdf, const QString& text) {
    const QString html = RunTool("pdftotext", {"-bbox", pdf, "-"});
    static const QRegularExpression word(
        R"re(<word xMin="([\d.]+)" yMin="[\d.]+" xMax="([\d.]+)" yMax="[\d.]+">([^<]*)</word>)re");
    Box box;
    for (auto it = word.globalMatch(html); it.hasNext();) {
        const auto m = it.next();
        if (m.captured(3).isEmpty() || !text.contains(m.captured(3))) continue;
        const double x0 = m.captured(1).toDouble(), x1 = m.captured(2).toDouble();
        if (box.xMin < 0 || x0 < box.xMin) box.xMin = x0;
        if (x1 > box.xMax) box.xMax = x1;
    }
    return box;
}

// The print road of the test below; failures are reported through GoogleTest as usual.
void PrintLongCourseName() {
    twtest::AppTestEnv env;
    for (const char* f : {"libVostrin.so", "libCalvorix.so", "ClassSchd6.xml"}) {
        const QString src = QStringLiteral(TW_DIST_DIR "/") + f;
        ASSERT_TRUE(QFile::copy(src, env.FilePath(f)));
    }
    const QString school = QString("宽度%1中学").arg(QCoreApplication::applicationPid());
    env.SetIni("USERINFO", "USER", school);
    const QString longName = QStringLiteral("信息技术与通用技术课");  // 10 characters
    env.Exec("insert into Classtb values ('11','一(1)班','一年级一班','一1')");
    env.Exec("insert into Coursetb values ('01','" + longName + "','信息','信')");
    env.Exec("insert into Coursetb values ('02','数学','数学','数')");
    env.Exec("insert into Teachertb values ('T1','欧阳明月','','')");
    env.Exec("insert into LessonListtb values ('11',2,1,'01','T1',1)");
    env.Exec("insert into LessonListtb values ('11',3,1,'02','T1',1)");
    const QSet<QString> before = pdfspool::SpooledJobs();
    {
        frmPrint f(twtest::State());
        f.findChild<QPushButton*>("cmdPrintClass")->click();
    }
    ASSERT_EQ(env.calls.size(), 1u);
    EXPECT_EQ(env.calls[0].text.toStdString(), "打印完成");
    const QString pdf = pdfspool::WaitForJobWithText(before, school);
    ASSERT_FALSE(pdf.isEmpty()) << "no printed class timetable";

    // Tuesday's column of the A4 timetable runs from 67 mm to 99 mm of the page.
    const double mm = 72.0 / 25.4;
    const Box course = WordsOf(pdf, longName);
    ASSERT_GE(course.xMin, 0) << "course name not printed";
    EXPECT_GE(course.xMin, 67 * mm);
    EXPECT_LE(course.xMax, 99 * mm);
    // An ordinary name keeps its normal size, centred in Wednesday's column (99 mm to 131 mm).
    const Box math = WordsOf(pdf, QStringLiteral("数学"));
    EXPECT_GT(math.xMax - math.xMin, 9.0);
    EXPECT_NEAR((math.xMin + math.xMax) / 2, 115 * mm, 2.0);
}

// The program loads the print library once and keeps it; another test of this program may have
// loaded it from a program folder that is gone by now. The print therefore runs in a fresh copy
// of this test program, which loads the library from this test's own program folder.
TEST(PrintedCellWidth, LongestCourseNameStaysInsideItsCell) {
    if (!pdfspool::HasPdfQueue() || QStandardPaths::findExecutable("pdftotext").isEmpty())
        GTEST_SKIP() << "no PDF print queue";
    for (const char* f : {"libVostrin.so", "libCalvorix.so", "ClassSchd6.xml"})
        if (!QFile::exists(QStringLiteral(TW_DIST_DIR "/") + f)) GTEST_SKIP() << "not built: " << f;
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            PrintLongCourseName();
            std::_Exit(::testing::Test::HasFailure() ? 1 : 0);
        },
        ::testing::ExitedWithCode(0), "");
}

// The longest names the forms accept (ten characters: course names and short names, teacher
// names, class short names; Chinese and wide Latin letters), bracketed names (a namesake pair
// told apart by the subject in brackets), in every slot of the week, for six and seven lessons a
// day: on the class, teacher and whole-school timetables each name is drawn whole inside its
// own cell, word box inside cell box, and each Chinese name at the largest size at which it
// fits its field whole.
void PrintLongestNames() {
    twtest::AppTestEnv env;
    printedcells::CopyProgramFiles(env);
    const QString school = QString("最长%1中学").arg(QCoreApplication::applicationPid());
    env.SetIni("USERINFO", "USER", school);
    const QStringList course = {"信息技术与通用技术课", "MMMMMMMMMM",
                                "高中物理实验探究课",   "综合实践活动与研究课",
                                "研究性学习与社会实践", "心理健康教育活动课程"};
    const QStringList courseShort = {"信息技术与通用技术课", "WWWWWWWWWW",
                                     "物理实验探究选修课",   "综合实践活动与研究课",
                                     "研究性学习与社会实践", "心理健康教育活动课程"};
    const QStringList teacher = {"欧阳明月司马长风老师", "上官云飞慕容雪老师W",
                                 "诸葛青云令狐冲老师",   "欧阳明月（初二数学）",
                                 "欧阳明月（初二数理）", "司马相如（初二数学）"};
    const int kinds = static_cast<int>(course.size());
    const QStringList classShort = {"高一理科实验一班实验", "高一理科实验二班实验"};
    for (int i = 0; i < kinds; ++i) {
        env.Exec(QString("insert into Coursetb values ('0%1','%2','','%3')")
                     .arg(i)
                     .arg(course[i], courseShort[i]));
        env.Exec(QString("insert into Teachertb values ('T%1','%2','','')").arg(i).arg(teacher[i]));
    }
    env.Exec("insert into Classtb values ('101','高一理科实验一班实验','','" + classShort[0] +
             "')");
    env.Exec("insert into Classtb values ('102','高一理科实验二班实验','','" + classShort[1] +
             "')");
    for (int s = 0; s < 35; ++s) {
        const int c = s % kinds;
        env.Exec(QString("insert into LessonListtb values ('101',%1,%2,'0%3','T%3',1)")
                     .arg(s % 5 + 1)
                     .arg(s / 5 + 1)
                     .arg(c));
    }
    env.Exec("insert into LessonListtb values ('102',2,1,'02','T0',1)");  // slot 1: Tuesday
    auto chinese = [](const QString& name) {
        return std::none_of(name.begin(), name.end(), [](QChar c) { return c.unicode() < 0x80; });
    };
    for (int n : {6, 7}) {
        twtest::State().lessonOfDay = n;
        SCOPED_TRACE(std::to_string(n) + " lessons a day");
        // What the upper and the lower field of each slot show.
        std::vector<QStringList> classTexts, teacherTexts;
        std::vector<std::array<QString, 2>> classFields, teacherFields;
        std::vector<std::vector<QStringList>> total(2, std::vector<QStringList>(5 * n));
        std::vector<std::array<QString, 2>> totalFields;
        for (int s = 0; s < 5 * n; ++s) {
            const int c = s % kinds;
            classTexts.push_back({course[c] + teacher[c]});
            classFields.push_back({course[c], teacher[c]});
            teacherFields.push_back({c == 0   ? course[0]
                                     : s == 1 ? course[2]
                                              : QString(),
                                     c == 0   ? classShort[0]
                                     : s == 1 ? classShort[1]
                                              : QString()});
            teacherTexts.push_back({teacherFields.back()[0] + teacherFields.back()[1]});
            total[0][s] = {courseShort[c] + teacher[c]};
            total[1][s] = {s == 1 ? courseShort[2] + teacher[0] : QString()};
            totalFields.push_back({courseShort[c], teacher[c]});
        }
        const QString name = QString::number(n);
        // Each Chinese text of the upper and the lower half of each cell at its largest size.
        auto expectSizes = [&](const std::vector<printedcells::Word>& words,
                               const std::vector<printedcells::Cell>& cells, size_t first,
                               const std::vector<std::array<QString, 2>>& fields,
                               const QString& templ, const QString& upperExpr,
                               const QString& lowerExpr) {
            const printedcells::FittedField upper =
                printedcells::FittedFieldOf(env.FilePath(templ), upperExpr);
            const printedcells::FittedField lower =
                printedcells::FittedFieldOf(env.FilePath(templ), lowerExpr);
            for (size_t s = 0; s < fields.size(); ++s) {
                const printedcells::Cell& cell = cells[first + s];
                const double middle = cell.box.center().y();
                QRectF top = cell.box, bottom = cell.box;
                top.setBottom(middle);
                bottom.setTop(middle);
                if (!fields[s][0].isEmpty() && chinese(fields[s][0]))
                    printedcells::ExpectLargestSize(words, cell.page, top, upper, fields[s][0]);
                if (!fields[s][1].isEmpty() && chinese(fields[s][1]))
                    printedcells::ExpectLargestSize(words, cell.page, bottom, lower, fields[s][1]);
            }
        };
        // The words of one printout, and its cells checked against them.
        std::vector<printedcells::Word> words;
        std::vector<printedcells::Cell> cells;
        auto printed = [&](const char* command, const char* what, auto cellsOf) {
            const QString pdf = printedcells::Print(env, command, school);
            EXPECT_FALSE(pdf.isEmpty()) << "no " << what;
            words = printedcells::WordsOf(pdf);
            cells = cellsOf();
            printedcells::ExpectCells(words, cells);
        };
        const QString classTemplate = "ClassSchd" + name + ".xml";
        printed("cmdPrintClass", "class timetable", [&] {
            return printedcells::TimetableCells(printedcells::GridOf(env.FilePath(classTemplate)),
                                                n, classTexts);
        });
        expectSizes(words, cells, 0, classFields, classTemplate, "[coursename]", "[teachername]");
        const QString teacherTemplate = "TeacherSchd" + name + ".xml";
        printed("cmdPrintTeacher", "teacher timetable", [&] {
            return printedcells::TimetableCells(printedcells::GridOf(env.FilePath(teacherTemplate)),
                                                n, teacherTexts);
        });
        expectSizes(words, cells, 0, teacherFields, teacherTemplate, "[coursename]", "[classname]");
        printed("CmdPrintTotal", "whole-school timetable", [&] {
            return printedcells::WholeSchoolCells(
                printedcells::GridOf(env.FilePath("TotalSchd" + name + "A3.xml")), n, classShort,
                total);
        });
        // The first class: its name's cell, then its slots.
        const printedcells::FittedField className = printedcells::FittedFieldOf(
            env.FilePath("TotalSchd" + name + "A3.xml"), "[classnameL11]");
        printedcells::ExpectLargestSize(words, cells[0].page, cells[0].box, className,
                                        classShort[0]);
        expectSizes(words, cells, 1, totalFields, "TotalSchd" + name + "A3.xml", "[coursenameL11]",
                    "[teachernameL11]");
    }
}

TEST(PrintedCellWidth, LongestNamesStayInsideTheirCells) {
    const QString reason = printedcells::CannotPrint();
    if (!reason.isEmpty()) GTEST_SKIP() << reason.toStdString();
    printedcells::RunInFreshProgram(&PrintLongestNames);
}

// What one field of a slot names (courses, classes or teachers) and how they are joined.
struct Names {
    QStringList names;
    QString joiner;
};

// Whether shown (the field's words run together) gives the names joined in any order, or the
// front of such a text ended with "…" to show that the rest did not fit.
bool ShowsNames(QString shown, const Names& field) {
    QStringList left;
    for (const QString& n : field.names) left << QString(n).remove(QLatin1Char(' '));
    if (left.isEmpty()) return shown.isEmpty();
    const bool shortened = shown.endsWith(QChar(0x2026));
    if (shortened) shown.chop(1);
    if (shown.isEmpty()) return false;
    const QStringList parts = shown.split(field.joiner);
    for (int i = 0; i < parts.size(); ++i) {
        if (left.removeOne(parts[i])) continue;
        const bool front = shortened && i + 1 == parts.size() &&
                           std::any_of(left.begin(), left.end(),
                                       [&](const QString& n) { return n.startsWith(parts[i]); });
        if (!front) return false;
    }
    return shortened || left.isEmpty();
}

// The upper and the lower field of a cell: each word whose centre lies in the cell lies inside
// it and inside the half of its field (half a point of ink may touch a line), and each half
// shows its names; no word is smaller than the words of 6 points would be. sixPoints is the
// height that a word of 6 points has in this document.
void ExpectFields(const std::vector<printedcells::Word>& words, const printedcells::Cell& cell,
                  const Names& upper, const Names& lower, double sixPoints) {
    const double middle = cell.box.center().y();
    QString shown[2];
    std::vector<printedcells::Word> in;
    for (const printedcells::Word& w : words) {
        if (w.page == cell.page && cell.box.contains(w.box.center())) in.push_back(w);
    }
    std::sort(in.begin(), in.end(), [](const printedcells::Word& a, const printedcells::Word& b) {
        if (std::abs(a.box.top() - b.box.top()) > 1) return a.box.top() < b.box.top();
        return a.box.left() < b.box.left();
    });
    for (const printedcells::Word& w : in) {
        const bool low = w.box.center().y() > middle;
        shown[low] += w.text;
        QRectF half = cell.box;
        if (low)
            half.setTop(middle);
        else
            half.setBottom(middle);
        EXPECT_TRUE(half.adjusted(-0.5, -0.5, 0.5, 0.5).contains(w.box))
            << w.text.toStdString() << " leaves its field on page " << cell.page;
        EXPECT_GE(w.box.height(), sixPoints - 0.05)
            << w.text.toStdString() << " is printed below 6 points";
    }
    EXPECT_TRUE(ShowsNames(shown[0], upper))
        << "page " << cell.page << " cell at (" << cell.box.left() << ", " << cell.box.top()
        << ") shows \"" << shown[0].toStdString() << "\" for "
        << upper.names.join(upper.joiner).toStdString();
    EXPECT_TRUE(ShowsNames(shown[1], lower))
        << "page " << cell.page << " cell at (" << cell.box.left() << ", " << cell.box.top()
        << ") shows \"" << shown[1].toStdString() << "\" for "
        << lower.names.join(lower.joiner).toStdString();
}

// The height of a word of 6 points in this document: from the first word that is text, at
// the points given (a heading of the template).
double SixPointsHeight(const std::vector<printedcells::Word>& words, const QString& text,
                       int points) {
    for (const printedcells::Word& w : words) {
        if (w.text == text) return w.box.height() * 6 / points;
    }
    ADD_FAILURE() << "no heading " << text.toStdString();
    return 0;
}

// Slots of joined lessons, two and six in one slot, with Chinese class names in brackets and a
// Latin teacher's name, printed on every template at six and seven lessons a day: each field
// of each cell keeps inside its cell, never below 6 points, and shows its names whole or
// their front ended with "…".
void PrintJoinedLessons() {
    twtest::AppTestEnv env;
    printedcells::CopyProgramFiles(env);
    const QString school = QString("合班%1中学").arg(QCoreApplication::applicationPid());
    env.SetIni("USERINFO", "USER", school);
    const QStringList courses = {"物理", "化学", "生物", "历史", "地理", "思想政治"};
    const QStringList teachers = {"张三", "李四", "王五", "赵六", "Wolfgang M", "欧阳明月"};
    QStringList classes;
    for (int i = 0; i < 6; ++i) {
        env.Exec(
            QString("insert into Coursetb values ('0%1','%2','','%2')").arg(i).arg(courses[i]));
        env.Exec(
            QString("insert into Teachertb values ('T%1','%2','','')").arg(i).arg(teachers[i]));
        classes << QString("七（%1）").arg(10 + i);
        env.Exec(QString("insert into Classtb values ('1%1','七年级%2班','','%3')")
                     .arg(i)
                     .arg(10 + i)
                     .arg(classes.last()));
    }
    // lessons[s]: (class, course, teacher) of slot s, lesson by lesson, day by day.
    std::map<int, std::vector<std::array<int, 3>>> lessons;
    auto place = [&](int s, int cls, int course, int teacher) {
        lessons[s].push_back({cls, course, teacher});
    };
    place(0, 0, 0, 0);  // Monday lesson 1: two lessons of class 七（10）, 张三 also in 七（11）
    place(0, 0, 1, 1);
    place(0, 1, 0, 0);
    for (int k = 0; k < 6; ++k) place(1, 0, k, k);  // Tuesday lesson 1: six lessons of 七（10）
    for (int c = 1; c < 6; ++c) place(1, c, 0, 0);  // ... and 张三 in all six classes
    place(29, 0, 4, 4);                             // Friday lesson 6: two lessons, Latin name
    place(29, 0, 5, 5);
    place(34, 0, 1, 1);  // Friday lesson 7
    for (const auto& [s, list] : lessons) {
        for (const auto& [cls, course, teacher] : list) {
            env.Exec(QString("insert into LessonListtb values ('1%1',%2,%3,'0%4','T%5',1)")
                         .arg(cls)
                         .arg(s % 5 + 1)
                         .arg(s / 5 + 1)
                         .arg(course)
                         .arg(teacher));
        }
    }
    auto distinct = [](QStringList l) {
        l.removeDuplicates();
        return l;
    };
    for (int n : {6, 7}) {
        twtest::State().lessonOfDay = n;
        SCOPED_TRACE(std::to_string(n) + " lessons a day");
        const QString name = QString::number(n);
        // One class, one teacher, the whole school: their cells and what each field names.
        struct Sheet {
            const char* button;
            const char* list;
            QString choice, templ, heading;
            int headingPoints;
        };
        const std::vector<Sheet> sheets = {
            {"cmdPrintClass", "CmbClass", "七年级10班", "ClassSchd" + name + ".xml", "星期一", 12},
            {"cmdPrintTeacher", "CmbTeacher", teachers[0], "TeacherSchd" + name + ".xml", "星期一",
             12},
            {"CmdPrintTotal", nullptr, QString(), "TotalSchd" + name + "A3.xml", "星期一", 11}};
        for (size_t sheet = 0; sheet < sheets.size(); ++sheet) {
            const Sheet& sh = sheets[sheet];
            SCOPED_TRACE(sh.templ.toStdString());
            const QString pdf = printedcells::Print(env, sh.button, school, sh.list, sh.choice);
            ASSERT_FALSE(pdf.isEmpty()) << "nothing printed";
            const auto words = printedcells::WordsOf(pdf);
            const double six = SixPointsHeight(words, sh.heading, sh.headingPoints);
            const printedcells::Grid grid = printedcells::GridOf(env.FilePath(sh.templ));
            const int groups = sheet == 2 ? 6 : 1;
            std::vector<std::vector<QStringList>> none(groups, std::vector<QStringList>(5 * n));
            const std::vector<printedcells::Cell> cells =
                sheet == 2 ? printedcells::WholeSchoolCells(grid, n, classes, none)
                           : printedcells::TimetableCells(grid, n, none[0]);
            size_t at = 0;
            for (int g = 0; g < groups; ++g) {
                if (sheet == 2) ++at;  // the class name's own cell
                for (int s = 0; s < 5 * n; ++s, ++at) {
                    Names upper{{}, "/"}, lower{{}, "、"};
                    for (const auto& [cls, course, teacher] : lessons[s]) {
                        if (sheet == 0 && cls != 0) continue;
                        if (sheet == 1 && teacher != 0) continue;
                        if (sheet == 2 && cls != g) continue;
                        upper.names << courses[course];
                        lower.names << (sheet == 1 ? classes[cls] : teachers[teacher]);
                    }
                    upper.names = distinct(upper.names);
                    lower.names = distinct(lower.names);
                    SCOPED_TRACE("slot " + std::to_string(s) + " of group " + std::to_string(g));
                    ExpectFields(words, cells[at], upper, lower, six);
                }
            }
        }
    }
}

TEST(PrintedCellWidth, JoinedLessonsStayInsideTheirCellsOnEveryTemplate) {
    const QString reason = printedcells::CannotPrint();
    if (!reason.isEmpty()) GTEST_SKIP() << reason.toStdString();
    printedcells::RunInFreshProgram(&PrintJoinedLessons);
}

}  // namespace
