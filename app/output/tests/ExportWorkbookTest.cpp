// End to end: the export dialog runs the real workbook script under Node.js, and the saved
// workbook is read back with the same workbook library.
#include <QDir>
#include <QFileInfo>
#include <QFontDatabase>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QUrl>
#include <algorithm>
#include <limits>
#include <map>
#include <random>

#include "ExportTestSupport.h"
#include "PrintedCellsTestSupport.h"
#include "output/frmExport.h"

namespace {

using tw::output::frmExport;

const QString kDist = QStringLiteral(TW_DIST_DIR);

class ExportWorkbookTest : public ExportTest {
  protected:
    void SetUp() override {
        ExportTest::SetUp();
        node_ = QStandardPaths::findExecutable(QStringLiteral("node"));
        if (node_.isEmpty() || !QFileInfo::exists(kDist + "/node_modules/exceljs")) {
            GTEST_SKIP() << "node or the export script's modules are not installed";
        }
        // The program folder gets the script and templates as the build put them beside the
        // program.
        QStringList files{"export.js", "layout.js"};
        for (const char* base : {"export_class_kb", "export_teacher_kb", "export_all_kb"}) {
            for (int lessons : {6, 7}) {
                files << QString::fromLatin1(base) + QString::number(lessons) + ".xlsx";
            }
        }
        for (const QString& f : files) {
            ASSERT_TRUE(QFile::copy(kDist + "/" + f, folder_ + "/" + f)) << f.toStdString();
        }
        ASSERT_TRUE(QFile::link(kDist + "/node_modules", folder_ + "/node_modules"));
    }

    // A school of four classes with every slot of the week filled, the same pattern each week
    // day shifted, so every cell is known.
    void AddGeneratedSchool() {
        const QStringList courses{"语文", "数学", "英语", "物理", "化学", "体育"};
        for (int c = 0; c < courses.size(); ++c) {
            AddCourse(QStringLiteral("0%1").arg(c + 1), courses[c], courses[c].left(1));
            AddTeacher(QStringLiteral("T%1").arg(c + 1), courses[c] + QStringLiteral("老师"));
        }
        for (int k = 1; k <= 4; ++k) {
            AddClass(QStringLiteral("10%1").arg(k), QStringLiteral("初一(%1)班").arg(k),
                     QStringLiteral("一%1").arg(k));
            for (int day = 1; day <= 5; ++day) {
                for (int lesson = 1; lesson <= twtest::State().lessonOfDay; ++lesson) {
                    const int c = (k + day + lesson) % courses.size();
                    AddLesson(QStringLiteral("10%1").arg(k), day, lesson,
                              QStringLiteral("0%1").arg(c + 1), QStringLiteral("T%1").arg(c + 1));
                }
            }
        }
    }
    static QString CourseAt(int classNo, int day, int lesson) {
        const QStringList courses{"语文", "数学", "英语", "物理", "化学", "体育"};
        return courses[(classNo + day + lesson) % courses.size()];
    }

    // Runs one export command to target and expects success.
    void Export(const char* button, const QString& target) {
        savePaths_ = {target};
        frmExport form(twtest::State());
        form.findChild<QPushButton*>(QString::fromLatin1(button))->click();
        ASSERT_EQ(messages_.size(), 1u);
        EXPECT_EQ(messages_[0].text, QStringLiteral("课表导出成功"));
        messages_.clear();
    }

    // Runs one export command into the workbook of that name in the target folder, expecting
    // success, and reads its sheets back.
    QJsonArray ExportedSheets(const char* button, const QString& name) {
        const QString target = out_ + QLatin1Char('/') + name;
        Export(button, target);
        return ReadBack(target);
    }

    // The sheets of a workbook as read_workbook.js prints them.
    QJsonArray ReadBack(const QString& workbook) {
        QProcess p;
        p.start(node_, {QStringLiteral(TW_TEST_DATA_DIR "/read_workbook.js"),
                        kDist + "/node_modules", workbook});
        EXPECT_TRUE(p.waitForFinished(60000));
        EXPECT_EQ(p.exitCode(), 0) << p.readAllStandardError().toStdString();
        return QJsonDocument::fromJson(p.readAllStandardOutput()).array();
    }
    static QString Cell(const QJsonValue& sheet, const char* address) {
        return sheet[QStringLiteral("cells")][QString::fromLatin1(address)].toString();
    }
    // Files other than the given workbook in the target folder (a left-over temporary file).
    QStringList OtherFiles(const QString& keep) {
        QStringList names = QDir(out_).entryList(QDir::Files | QDir::Hidden);
        names.removeAll(keep);
        return names;
    }

    QString node_;
};

TEST_F(ExportWorkbookTest, AllClassesGiveOneWeekGridSheetPerClass) {
    AddGeneratedSchool();
    const QJsonArray sheets = ExportedSheets("cmdExportAllClass", "全部 班级.xlsx");
    ASSERT_EQ(sheets.size(), 4);
    for (int k = 1; k <= 4; ++k) {
        const QJsonValue sheet = sheets[k - 1];
        EXPECT_EQ(sheet["name"].toString(), QStringLiteral("初一(%1)班").arg(k));
        EXPECT_EQ(Cell(sheet, "A1"), QStringLiteral("第一中学初一(%1)班课程表").arg(k));
        EXPECT_EQ(Cell(sheet, "B2"), QStringLiteral("星期一"));
        EXPECT_EQ(Cell(sheet, "A3"), QStringLiteral("第1节"));
        // Lesson 1 on Monday, lesson 6 on Friday.
        EXPECT_EQ(Cell(sheet, "B3"), CourseAt(k, 1, 1) + "\n" + CourseAt(k, 1, 1) + "老师");
        EXPECT_EQ(Cell(sheet, "F8"), CourseAt(k, 5, 6) + "\n" + CourseAt(k, 5, 6) + "老师");
        EXPECT_TRUE(sheet["merges"].toArray().contains(QStringLiteral("A1:F1")));
    }
    EXPECT_TRUE(OtherFiles("全部 班级.xlsx").isEmpty());
}

// Every cell names an installed Chinese face, so Latin and Chinese text look alike.
TEST_F(ExportWorkbookTest, EveryCellIsInTheInstalledChineseFont) {
    AddGeneratedSchool();
    for (const char* command : {"cmdExportAllClass", "cmdExportAllTeacher", "CmdExportTotal"}) {
        const QString target = out_ + "/" + command + ".xlsx";
        Export(command, target);
        for (const QJsonValue sheet : ReadBack(target)) {
            const QJsonObject cells = sheet["cells"].toObject();
            ASSERT_FALSE(cells.isEmpty()) << command;
            for (auto it = cells.begin(); it != cells.end(); ++it) {
                if (it.value().toString().isEmpty()) continue;
                const QString face = sheet["fontNames"][it.key()].toString();
                EXPECT_TRUE(
                    QFontDatabase::families().contains(face) &&
                    QFontDatabase::writingSystems(face).contains(QFontDatabase::SimplifiedChinese))
                    << command << " " << it.key().toStdString() << " " << face.toStdString();
            }
        }
    }
}

TEST_F(ExportWorkbookTest, OneTeacherWithSevenLessonsShowsClassesInTheGrid) {
    twtest::State().lessonOfDay = 7;
    AddGeneratedSchool();
    const QJsonArray sheets =
        ExportedSheets("cmdExportTeacher", "teacher.xlsx");  // the first teacher by code: 语文老师
    ASSERT_EQ(sheets.size(), 1);
    EXPECT_EQ(sheets[0]["name"].toString(), QStringLiteral("语文老师"));
    EXPECT_EQ(Cell(sheets[0], "A1"), QStringLiteral("第一中学语文老师老师课程表"));
    EXPECT_EQ(Cell(sheets[0], "A9"), QStringLiteral("第7节"));
    for (int day = 1; day <= 5; ++day) {
        for (int lesson = 1; lesson <= 7; ++lesson) {
            QStringList classes;
            for (int k = 1; k <= 4; ++k) {
                if (CourseAt(k, day, lesson) == QStringLiteral("语文")) {
                    classes << QStringLiteral("一%1").arg(k);
                }
            }
            const QByteArray address =
                QByteArray(1, static_cast<char>('A' + day)) + QByteArray::number(2 + lesson);
            const QString cell = Cell(sheets[0], address.constData());
            if (classes.isEmpty()) {
                EXPECT_EQ(cell, QString()) << address.constData();
            } else {
                EXPECT_EQ(cell, QStringLiteral("语文\n") + classes.first()) << address.constData();
            }
        }
    }
}

TEST_F(ExportWorkbookTest, TheTotalTableHasOneRowPerClass) {
    AddGeneratedSchool();
    const QJsonArray sheets = ExportedSheets("CmdExportTotal", "total.xlsx");
    ASSERT_EQ(sheets.size(), 1);
    const QJsonValue sheet = sheets[0];
    EXPECT_EQ(Cell(sheet, "A1"), QStringLiteral("第一中学全校总课表"));
    EXPECT_EQ(Cell(sheet, "H2"), QStringLiteral("星期二"));  // 6 lesson columns per day
    for (int k = 1; k <= 4; ++k) {
        const QByteArray row = QByteArray::number(3 + k);
        EXPECT_EQ(Cell(sheet, ("A" + row).constData()), QStringLiteral("一%1").arg(k));
        EXPECT_EQ(Cell(sheet, ("B" + row).constData()),
                  CourseAt(k, 1, 1).left(1) + "\n" + CourseAt(k, 1, 1) + "老师");
        // Tuesday, lesson 2: column B + 6 + 1.
        EXPECT_EQ(Cell(sheet, ("I" + row).constData()),
                  CourseAt(k, 2, 2).left(1) + "\n" + CourseAt(k, 2, 2) + "老师");
    }
}

TEST_F(ExportWorkbookTest, ATeacherInTwoClassesAtOnceShowsBothClasses) {
    AddCourse("01", "体育", "体");
    AddTeacher("T1", "张老师");
    AddClass("101", "初一(1)班", "一1");
    AddClass("102", "初一(2)班", "一2");
    AddLesson("101", 3, 2, "01", "T1");
    AddLesson("102", 3, 2, "01", "T1");
    const QJsonArray sheets = ExportedSheets("cmdExportAllTeacher", "teacher.xlsx");
    ASSERT_EQ(sheets.size(), 1);
    EXPECT_EQ(Cell(sheets[0], "D4"), QStringLiteral("体育\n一1、一2"));  // Wednesday, lesson 2
}

TEST_F(ExportWorkbookTest, SheetNamesAreMadeValidAndUnique) {
    AddCourse("01", "语文", "语");
    AddTeacher("T1", "张老师");
    const QStringList names{"高一[1]/理科:实验*班?", "高一[1]/理科:实验*班!", "'History'",
                            "一二三四五六七八九十一二三四五六七八九十一二三四五六七八九十一二三"};
    for (int i = 0; i < names.size(); ++i) {
        AddClass(QStringLiteral("10%1").arg(i), names[i], QString());
        AddLesson(QStringLiteral("10%1").arg(i), 1, 1, "01", "T1");
    }
    const QJsonArray sheets = ExportedSheets("cmdExportAllClass", "names.xlsx");
    ASSERT_EQ(sheets.size(), 4);
    QStringList seen;
    for (const QJsonValue sheet : sheets) {
        const QString name = sheet["name"].toString();
        EXPECT_FALSE(name.isEmpty());
        EXPECT_LE(name.size(), 31);
        for (QChar bad : QStringLiteral(":\\/?*[]")) {
            EXPECT_FALSE(name.contains(bad)) << name.toStdString();
        }
        EXPECT_FALSE(name.startsWith('\'') || name.endsWith('\''));
        EXPECT_FALSE(seen.contains(name.toLower()));
        seen << name.toLower();
    }
    // The title keeps the whole name.
    EXPECT_EQ(Cell(sheets[0], "A1"), QStringLiteral("第一中学高一[1]/理科:实验*班?课程表"));
}

// The printed size of a word, from its box: pdftotext gives each word the height of its face's
// ascent and descent, which for one face is a fixed share of the size; that share is found from
// the words of Chinese characters alone, each of which is exactly one size wide.
double FaceHeightShare(const std::vector<printedcells::Word>& words) {
    std::vector<double> shares;
    for (const auto& w : words) {
        const bool chinese =
            w.text.size() >= 2 && std::all_of(w.text.begin(), w.text.end(), [](QChar c) {
                return c.unicode() >= 0x4E00 && c.unicode() <= 0x9FFF;
            });
        if (chinese) shares.push_back(w.box.height() / (w.box.width() / w.text.size()));
    }
    if (shares.empty()) return 0;
    std::nth_element(shares.begin(), shares.begin() + shares.size() / 2, shares.end());
    return shares[shares.size() / 2];
}

// A ruled line of a printed page, in points from the page's top-left corner: across at y = at
// from x = from to x = to, or down at x = at from y = from to y = to.
struct Rule {
    double at = 0, from = 0, to = 0;
};
struct PageRules {
    std::vector<Rule> across, down;
};

// The ruled lines of every page of a PDF (numbered from 1): runs of dark pixels on the pages
// drawn in grey at 144 dpi, at least 100 pt long across (a table is wider) and 40 pt down (a
// page holds at least the two heading rows and one row of a table). Text makes no such runs.
std::map<int, PageRules> RulesOf(const QString& pdf) {
    QTemporaryDir dir;
    const int dpi = 144;
    QProcess draw;
    draw.start(QStringLiteral("pdftoppm"),
               {"-gray", "-r", QString::number(dpi), pdf, dir.filePath(QStringLiteral("page"))});
    EXPECT_TRUE(draw.waitForFinished(120000));
    const double pt = 72.0 / dpi;

    std::map<int, PageRules> rules;
    QStringList files = QDir(dir.path()).entryList({QStringLiteral("page-*.pgm")}, QDir::Files);
    for (const QString& file : files) {
        const int page = file.section('-', -1).section('.', 0, 0).toInt();
        const QImage image = QImage(dir.filePath(file)).convertToFormat(QImage::Format_Grayscale8);
        const auto dark = [&image](int x, int y) { return image.constScanLine(y)[x] < 160; };
        // Runs along one line of pixels: across (x runs at row y) or down (y runs at column x).
        const auto runs = [&](int lines, int length, bool across, std::vector<Rule>& out) {
            for (int line = 0; line < lines; ++line) {
                int start = -1;
                for (int i = 0; i <= length; ++i) {
                    const bool on = i < length && (across ? dark(i, line) : dark(line, i));
                    if (on && start < 0) start = i;
                    if (!on && start >= 0) {
                        if ((i - start) * pt >= (across ? 100 : 40)) {
                            out.push_back({line * pt, start * pt, i * pt});
                        }
                        start = -1;
                    }
                }
            }
        };
        runs(image.height(), image.width(), true, rules[page].across);
        runs(image.width(), image.height(), false, rules[page].down);
    }
    return rules;
}

// Each exported workbook as a spreadsheet program prints it, converted to PDF by LibreOffice
// headless in one run: schools of 12 and 30 classes at 6 and 7 lessons a day, with names of
// every length the forms allow (up to ten characters, Chinese and Latin, namesakes told apart
// by their subject, the widest Latin letters "WWWWWWWWWW" and "MMMMMMMMMM") and teachers in
// several classes at once, one of them in six in every slot, under a school name of thirty
// characters. On every page no text is smaller than 6 pt, no two words overlap and no word
// crosses a ruled line or leaves the width of the table (a cell's text that outgrew its row
// would run over its neighbours' or over its borders, a title too long for its merged cells past
// them), and the week's day headings show: a sheet is one page wide, and one that runs to more
// pages repeats its headings.
TEST_F(ExportWorkbookTest, PrintedWorkbooksKeepTheirTextReadableAndApart) {
    const QString office = QStandardPaths::findExecutable(QStringLiteral("soffice"));
    if (office.isEmpty() || QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty()) {
        GTEST_SKIP() << "LibreOffice or pdftotext is not installed";
    }
    std::mt19937 random(7110);
    const QString wide = QStringLiteral("信息技术通用高一理科实验班欧阳明月语文数学");
    auto made = [&](int length) {
        QString out;
        for (int i = 0; i < length; ++i) {
            out += random() % 4 == 0 ? QChar(u'A' + static_cast<char16_t>(random() % 26))
                                     : wide[static_cast<int>(random() % wide.size())];
        }
        return out;
    };
    const QStringList courses{"语文",       "数学",       "英语",     "物理",
                              "化学",       "道德与法治", "信息技术", "综合实践活动",
                              "体育与健康", "Music & Art"};
    const QStringList teachers{"张伟（初二数学）",
                               "张伟（初一语文）",
                               "王芳",
                               "Wolfgang M",
                               "欧阳明月",
                               "李娜",
                               "Anna-Maria K",
                               "孙八",
                               "WWWWWWWWWW"};
    const QStringList grades{"一", "二", "三", "四", "五", "六"};
    ASSERT_TRUE(tw::ini::WriteString(
        SettingsFile(), "USERINFO", "USER",
        QStringLiteral("北京师范大学附属实验中学朝阳分校国际部高中双语实验教学基地一")));
    QStringList workbooks;
    for (const int classes : {12, 30}) {
        for (const int lessons : {6, 7}) {
            twtest::State().lessonOfDay = lessons;
            tw::db::Transaction school(twtest::State().Db());
            for (const char* table : {"LessonListtb", "Classtb", "Coursetb", "Teachertb"}) {
                Exec(QStringLiteral("delete from ") + QLatin1String(table));
            }
            for (int c = 0; c < 14; ++c) {
                const QString name = c < courses.size() ? courses[c] : made(1 + c % 10);
                const QString shortName = c < 3    ? name.left(1)
                                          : c == 9 ? QStringLiteral("MMMMMMMMMM")
                                                   : made(c % 11);
                AddCourse(QStringLiteral("C%1").arg(c), name, shortName);
            }
            for (int t = 0; t < 16; ++t) {
                AddTeacher(QStringLiteral("T%1").arg(t, 2, 10, QLatin1Char('0')),
                           t < teachers.size() ? teachers[t] : made(2 + t % 9));
            }
            for (int k = 0; k < classes; ++k) {
                const QString name = grades[k % 6] + QStringLiteral("（%1）班").arg(k + 1);
                // The first six classes, with the longest short names, have the first teacher
                // in every slot: her week of six classes at once outgrows one page.
                AddClass(QStringLiteral("K%1").arg(k, 2, 10, QLatin1Char('0')), name,
                         k < 6 ? made(10) : name.chopped(1));
                // The seventh class has the widest Latin letters in every slot, its course's short
                // name "MMMMMMMMMM" and its teacher "WWWWWWWWWW", and nothing taller.
                const bool latin = k == 6;
                for (int day = 1; day <= 5; ++day) {
                    for (int lesson = 1; lesson <= lessons; ++lesson) {
                        const int teacher = k < 6 ? 0 : latin ? 8 : static_cast<int>(random() % 16);
                        const int course = latin ? 9 : static_cast<int>(random() % 14);
                        AddLesson(QStringLiteral("K%1").arg(k, 2, 10, QLatin1Char('0')), day,
                                  lesson, QStringLiteral("C%1").arg(course),
                                  QStringLiteral("T%1").arg(teacher, 2, 10, QLatin1Char('0')));
                    }
                }
            }
            school.Commit();
            const QString name = QStringLiteral("%1-%2").arg(classes).arg(lessons);
            Export("CmdExportTotal", out_ + "/全校 " + name + ".xlsx");
            workbooks << out_ + "/全校 " + name + ".xlsx";
            if (classes == 30 && lessons == 7) {
                Export("cmdExportAllClass", out_ + "/班级 " + name + ".xlsx");
                Export("cmdExportAllTeacher", out_ + "/教师 " + name + ".xlsx");
                workbooks << out_ + "/班级 " + name + ".xlsx" << out_ + "/教师 " + name + ".xlsx";
            }
        }
    }

    QTemporaryDir profile;  // LibreOffice's settings of this run, apart from any other run's
    QProcess convert;
    convert.start(
        office,
        QStringList{"-env:UserInstallation=" + QUrl::fromLocalFile(profile.path()).toString(),
                    "--headless", "--norestore", "--convert-to", "pdf", "--outdir", out_ + "/pdf"} +
            workbooks);
    ASSERT_TRUE(convert.waitForFinished(280000));
    for (const QString& workbook : workbooks) {
        const QString pdf = out_ + "/pdf/" + QFileInfo(workbook).completeBaseName() + ".pdf";
        ASSERT_TRUE(QFileInfo::exists(pdf)) << convert.readAllStandardError().toStdString();
        const std::vector<printedcells::Word> words = printedcells::WordsOf(pdf);
        const double share = FaceHeightShare(words);
        ASSERT_GT(share, 0) << pdf.toStdString();
        std::map<int, std::vector<printedcells::Word>> pages;
        for (const auto& w : words) pages[w.page].push_back(w);
        std::map<int, PageRules> rules = RulesOf(pdf);
        for (auto& [page, on] : pages) {
            const std::string where =
                QFileInfo(pdf).fileName().toStdString() + " page " + std::to_string(page);
            EXPECT_TRUE(std::any_of(on.begin(), on.end(), [](const auto& w) {
                return w.text == QStringLiteral("星期五");
            })) << where;
            const auto smallest = std::min_element(
                on.begin(), on.end(),
                [](const auto& a, const auto& b) { return a.box.height() < b.box.height(); });
            EXPECT_GE(smallest->box.height() / share, 6.0)
                << where << ": \"" << smallest->text.toStdString() << "\"";
            // Lines of one cell may touch: each box keeps its middle seven tenths.
            std::sort(on.begin(), on.end(),
                      [](const auto& a, const auto& b) { return a.box.left() < b.box.left(); });
            for (size_t i = 0; i < on.size(); ++i) {
                const QRectF a = on[i].box.adjusted(0.3, on[i].box.height() * 0.15, -0.3,
                                                    -on[i].box.height() * 0.15);
                for (size_t j = i + 1; j < on.size() && on[j].box.left() + 0.3 < a.right(); ++j) {
                    const QRectF b = on[j].box.adjusted(0.3, on[j].box.height() * 0.15, -0.3,
                                                        -on[j].box.height() * 0.15);
                    EXPECT_FALSE(a.intersects(b))
                        << where << ": \"" << on[i].text.toStdString() << "\" runs over \""
                        << on[j].text.toStdString() << "\"";
                }
            }
            // Every word lies between the table's outer lines and crosses no ruled line: a word
            // of the rows the export heightens with its whole box (a third of a point may touch a
            // line), a word above them (a title, the headings, whose rows the templates set
            // tight) with the middle seven tenths of its box, as above.
            const PageRules& ruled = rules[page];
            ASSERT_FALSE(ruled.down.empty()) << where;
            const auto [leftmost, rightmost] =
                std::minmax_element(ruled.down.begin(), ruled.down.end(),
                                    [](const Rule& a, const Rule& b) { return a.at < b.at; });
            static const QRegularExpression heading(
                QStringLiteral("^(星期[一二三四五]|节次|班级|[1-7])$"));
            double headingsEnd = 0;
            for (const auto& w : on) {
                if (heading.match(w.text).hasMatch()) {
                    headingsEnd = std::max(headingsEnd, w.box.bottom());
                }
            }
            double rowsTop = std::numeric_limits<double>::max();
            for (const Rule& r : ruled.across) {
                if (r.at >= headingsEnd - 1) rowsTop = std::min(rowsTop, r.at);
            }
            for (const auto& w : on) {
                const double trim = w.box.top() >= rowsTop ? 0.3 : w.box.height() * 0.15;
                const QRectF box = w.box.adjusted(0.5, trim, -0.5, -trim);
                const auto crosses = [&box](const Rule& r, bool across) {
                    const double along0 = across ? box.left() : box.top();
                    const double along1 = across ? box.right() : box.bottom();
                    const double at0 = across ? box.top() : box.left();
                    const double at1 = across ? box.bottom() : box.right();
                    return r.at > at0 && r.at < at1 && r.from < along1 && r.to > along0;
                };
                for (const bool across : {true, false}) {
                    const auto& lines = across ? ruled.across : ruled.down;
                    EXPECT_TRUE(std::none_of(lines.begin(), lines.end(),
                                             [&](const Rule& r) { return crosses(r, across); }))
                        << where << ": \"" << w.text.toStdString() << "\" crosses a ruled line";
                }
                EXPECT_TRUE(box.left() >= leftmost->at && box.right() <= rightmost->at)
                    << where << ": \"" << w.text.toStdString() << "\" leaves the table";
            }
        }
    }
}

TEST_F(ExportWorkbookTest, AFailedRunLeavesNoWorkbookBehind) {
    AddGeneratedSchool();
    twtest::State().lessonOfDay = 8;  // there is no template for eight lessons
    const QString target = out_ + "/none.xlsx";
    savePaths_ = {target};
    frmExport form(twtest::State());
    form.findChild<QPushButton*>("cmdExportAllClass")->click();
    ASSERT_EQ(messages_.size(), 1u);
    // The script's reason follows: the template it could not read.
    const QString text = messages_[0].text;
    EXPECT_TRUE(text.startsWith(QStringLiteral("课表导出失败！(ret = -105)\nexport.js: ")))
        << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("export_class_kb8.xlsx"))) << text.toStdString();
    EXPECT_FALSE(QFileInfo::exists(target));
    EXPECT_TRUE(OtherFiles(QString()).isEmpty());
}

}  // namespace
