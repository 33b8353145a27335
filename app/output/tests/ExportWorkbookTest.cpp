// End to end: the export dialog runs the real workbook script under Node.js, and the saved
// workbook is read back with the same workbook library.
#include <QDir>
#include <QFileInfo>
#include <QFontDatabase>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QStandardPaths>
#include <random>

#include "ExportTestSupport.h"
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
                for (int lesson = 1; lesson <= LessonOfDay; ++lesson) {
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
        frmExport form;
        form.findChild<QPushButton*>(QString::fromLatin1(button))->click();
        ASSERT_EQ(messages_.size(), 1u);
        EXPECT_EQ(messages_[0].text, QStringLiteral("课表导出成功"));
        messages_.clear();
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
    const QString target = out_ + "/全部 班级.xlsx";
    Export("cmdExportAllClass", target);
    const QJsonArray sheets = ReadBack(target);
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
    LessonOfDay = 7;
    AddGeneratedSchool();
    const QString target = out_ + "/teacher.xlsx";
    Export("cmdExportTeacher", target);  // the first teacher by code: 语文老师
    const QJsonArray sheets = ReadBack(target);
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
    const QString target = out_ + "/total.xlsx";
    Export("CmdExportTotal", target);
    const QJsonArray sheets = ReadBack(target);
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
    const QString target = out_ + "/teacher.xlsx";
    Export("cmdExportAllTeacher", target);
    const QJsonArray sheets = ReadBack(target);
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
    const QString target = out_ + "/names.xlsx";
    Export("cmdExportAllClass", target);
    const QJsonArray sheets = ReadBack(target);
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

// A school with names of every length the forms allow (up to ten characters, Chinese and
// Latin), for 6 and 7 lessons a day: in the whole-school sheet and the class sheets every row is
// high enough for the lines its cells take in their columns, each text line wrapped at the
// column's width (a lower bound of what a spreadsheet program needs); the whole-school sheet
// repeats its day and lesson headings on every printed page.
TEST_F(ExportWorkbookTest, EveryCellShowsWholeAndPagesRepeatTheHeadings) {
    std::mt19937 random(7111);
    const QString wide = QStringLiteral("信息技术通用高一理科实验班欧阳明月语文数学");
    auto name = [&](int length) {
        QString out;
        for (int i = 0; i < length; ++i) {
            out += random() % 4 == 0 ? QChar(u'A' + static_cast<char16_t>(random() % 26))
                                     : wide[static_cast<int>(random() % wide.size())];
        }
        return out;
    };
    auto length = [&](int i) { return i < 3 ? 10 : 1 + static_cast<int>(random() % 10); };
    for (int i = 0; i < 8; ++i) {
        AddCourse(QStringLiteral("0%1").arg(i), name(length(i)), name(length(i)));
        AddTeacher(QStringLiteral("T%1").arg(i), name(length(i)));
        AddClass(QStringLiteral("1%1").arg(i), name(length(i)), name(length(i)));
    }
    // Lines of text in a column of the given width (characters of the default font, 7 pixels
    // each and 5 of padding at 96 pixels per inch), wrapped between any two characters: wide
    // characters take the font size, others six tenths of it.
    auto lines = [](const QString& text, double size, double width) {
        const double usable = (width * 7 + 5) * 0.75 - 6;
        int count = 0;
        for (const QString& line : text.split(QLatin1Char('\n'))) {
            double used = 0;
            ++count;
            for (const QChar c : line) {
                const double w = c.unicode() >= 0x1100 ? size : size * 0.6;
                if (used > 0 && used + w > usable) {
                    ++count;
                    used = 0;
                }
                used += w;
            }
        }
        return count;
    };
    auto checkSheet = [&](const QJsonValue& sheet, int firstRow) {
        const QJsonObject cells = sheet["cells"].toObject();
        for (auto it = cells.begin(); it != cells.end(); ++it) {
            static const QRegularExpression address("^([A-Z]+)([0-9]+)$");
            const auto m = address.match(it.key());
            const int row = m.captured(2).toInt();
            if (row < firstRow || it.value().toString().isEmpty()) continue;
            int column = 0;
            for (const QChar c : m.captured(1)) column = column * 26 + (c.unicode() - 'A' + 1);
            const double size = sheet["fontSizes"][it.key()].toDouble();
            const double width = sheet["widths"][QString::number(column)].toDouble();
            const double height = sheet["heights"][QString::number(row)].toDouble();
            EXPECT_GE(height, lines(it.value().toString(), size, width) * size * 1.2)
                << it.key().toStdString() << " " << it.value().toString().toStdString();
        }
    };
    for (int lessons : {6, 7}) {
        LessonOfDay = lessons;
        Exec(QStringLiteral("delete from LessonListtb"));
        for (int k = 0; k < 8; ++k) {
            for (int day = 1; day <= 5; ++day) {
                for (int lesson = 1; lesson <= lessons; ++lesson) {
                    const int c = static_cast<int>(random() % 8);
                    AddLesson(QStringLiteral("1%1").arg(k), day, lesson,
                              QStringLiteral("0%1").arg(c), QStringLiteral("T%1").arg(c));
                }
            }
        }
        const QString total = out_ + QStringLiteral("/total%1.xlsx").arg(lessons);
        Export("CmdExportTotal", total);
        const QJsonArray sheets = ReadBack(total);
        ASSERT_EQ(sheets.size(), 1);
        EXPECT_EQ(sheets[0]["printTitlesRow"].toString(), QStringLiteral("2:3"));
        checkSheet(sheets[0], 4);
        if (lessons == 7) {
            const QString classes = out_ + QStringLiteral("/classes.xlsx");
            Export("cmdExportAllClass", classes);
            for (const QJsonValue sheet : ReadBack(classes)) checkSheet(sheet, 3);
        }
    }
}

TEST_F(ExportWorkbookTest, AFailedRunLeavesNoWorkbookBehind) {
    AddGeneratedSchool();
    LessonOfDay = 8;  // there is no template for eight lessons
    const QString target = out_ + "/none.xlsx";
    savePaths_ = {target};
    frmExport form;
    form.findChild<QPushButton*>("cmdExportAllClass")->click();
    ASSERT_EQ(messages_.size(), 1u);
    EXPECT_EQ(messages_[0].text, QStringLiteral("课表导出失败！(ret = -105)"));
    EXPECT_FALSE(QFileInfo::exists(target));
    EXPECT_TRUE(OtherFiles(QString()).isEmpty());
}

}  // namespace
