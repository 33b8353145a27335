#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QDateTime>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontDatabase>
#include <QFontInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPalette>
#include <QPushButton>
#include <QSet>
#include <QTemporaryDir>
#include <QTimer>
#include <QTreeView>
#include <functional>
#include <random>
#include <tuple>

#include "ui/Combo.h"
#include "ui/FitText.h"
#include "ui/FormStyle.h"
#include "ui/MsgBox.h"
#include "ui/NameTexts.h"
#include "ui/StatusBar.h"
#include "ui/Units.h"

using namespace tw::ui;

TEST(MsgBox, ScriptedHandlerSeesEveryCallAndAnswers) {
    std::vector<MsgBoxCall> calls;
    SetMsgBoxHandler([&](const MsgBoxCall& c) {
        calls.push_back(c);
        return c.style & vbYesNo ? int(vbNo) : int(vbOK);
    });
    EXPECT_EQ(MsgBox("打开数据库失败！", vbCritical, "T"), vbOK);
    EXPECT_EQ(MsgBox("删除?", vbYesNo | vbQuestion), vbNo);
    SetMsgBoxHandler(nullptr);
    ASSERT_EQ(calls.size(), 2u);
    EXPECT_EQ(calls[0].text, QString::fromUtf8("打开数据库失败！"));
    EXPECT_EQ(calls[0].style, vbCritical);
    EXPECT_EQ(calls[0].title, "T");
    EXPECT_EQ(calls[1].style, vbYesNo | vbQuestion);
}

TEST(MsgBox, TheDialogShowsItsTitleWholeAndCanDefaultToTheSecondButton) {
    // Today's titles in use, the longest one a school name makes, and a short one.
    for (const QString& title :
         {QString::fromUtf8("输入信息检查"), QString::fromUtf8("导出课表到Excel"),
          QString::fromUtf8("北京市海淀区第一百零一中学排课软件系统"), QString::fromUtf8("关于")}) {
        int titleRoom = -1;
        QMessageBox::StandardButton defaultButton = QMessageBox::NoButton;
        QTimer::singleShot(0, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            ASSERT_NE(box, nullptr);
            const QFontMetrics metrics(QApplication::font("QMdiSubWindowTitleBar"));
            titleRoom = box->width() - metrics.horizontalAdvance(box->windowTitle());
            defaultButton = box->standardButton(box->defaultButton());
            box->button(QMessageBox::No)->click();
        });
        EXPECT_EQ(MsgBox("x?", vbYesNo | vbQuestion | vbDefaultButton2, title), vbNo);
        // Beside the title: the window's icon and its three buttons.
        EXPECT_GE(titleRoom, 120) << title.toStdString();
        EXPECT_EQ(defaultButton, QMessageBox::No);
    }
    QTimer::singleShot(0, [] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        EXPECT_EQ(box->defaultButton(), box->button(QMessageBox::Yes));
        box->button(QMessageBox::Yes)->click();
    });
    EXPECT_EQ(MsgBox("x?", vbYesNo | vbQuestion, "t"), vbYes);
}

TEST(FileDialogs, ScriptedHandlerAnswersAndTheSaveChooserAddsTheExtension) {
    QString answer = "/o";
    FileDialogCall last;
    SetFileDialogCallHandler([&](const FileDialogCall& call) {
        last = call;
        return answer;
    });
    EXPECT_EQ(GetOpenFileName("t", "*.mdb", "/start"), "/o");
    EXPECT_FALSE(last.save);
    EXPECT_EQ(last.dir, "/start");
    // A name gets the filter's extension unless it already ends with it: one with dots of its
    // own too, so the open chooser's filter lists the file.
    const QString db = QString::fromUtf8("数据库(*.mdb)");
    const QString excel = QString::fromUtf8("Excel(*.xlsx)");
    const std::vector<std::tuple<QString, QString, QString>> cases = {
        {QString::fromUtf8("/b/学年升级前备份"), db, QString::fromUtf8("/b/学年升级前备份.mdb")},
        {QString::fromUtf8("/b/课表备份2024.9.1"), db,
         QString::fromUtf8("/b/课表备份2024.9.1.mdb")},
        {"/b/copy.mdb", db, "/b/copy.mdb"},
        {"/b/copy.MDB", db, "/b/copy.MDB"},
        {"/b/copy.old", db, "/b/copy.old.mdb"},
        {"/b/copy.mdb.bak", db, "/b/copy.mdb.bak.mdb"},
        {QString::fromUtf8("/b.d/课表"), excel, QString::fromUtf8("/b.d/课表.xlsx")},
        {QString::fromUtf8("/b/课表.2024.xls"), excel, QString::fromUtf8("/b/课表.2024.xls.xlsx")},
        {"/b/t.xlsx", excel, "/b/t.xlsx"},
        {"/b/kb", "*.mdb", "/b/kb.mdb"},
        {"", db, ""},  // cancelled
    };
    for (const auto& [typed, filter, saved] : cases) {
        answer = typed;
        EXPECT_EQ(GetSaveFileName("t", filter), saved) << typed.toStdString();
        EXPECT_TRUE(last.save);
        EXPECT_EQ(last.filter, filter);
    }
    SetFileDialogHandler(nullptr);
}

// The toolkit's own save chooser: a typed name with dots of its own gets the filter's extension
// too, and the overwrite question is asked about the file with the extension, the one written.
TEST(FileDialogs, TheSaveChooserAddsTheExtensionToATypedNameWithDots) {
    QTemporaryDir dir;
    const QString typed = QString::fromUtf8("课表备份2024.9.1");
    const QString saved = dir.filePath(typed + ".mdb");
    QString asked;
    std::function<void(int)> type = [&](int tries) {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        auto* name = dialog ? dialog->findChild<QLineEdit*>("fileNameEdit") : nullptr;
        if (!name) {
            if (tries > 0) QTimer::singleShot(50, [&type, tries] { type(tries - 1); });
            return;
        }
        name->setText(typed);
        QTimer::singleShot(0, [&asked] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                asked = box->text();
                box->button(QMessageBox::Yes)->click();
            }
        });
        // As the Save button does.
        QMetaObject::invokeMethod(dialog, "accept", Qt::DirectConnection);
    };
    for (const bool exists : {false, true}) {
        if (exists) {
            QFile file(saved);
            ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        }
        asked.clear();
        QTimer::singleShot(0, [&type] { type(200); });
        EXPECT_EQ(GetSaveFileName("t", QString::fromUtf8("数据库(*.mdb)"), dir.path()), saved);
        EXPECT_EQ(asked.contains(typed + ".mdb"), exists) << asked.toStdString();
    }
}

TEST(FileDialogs, TheChooserShowsItsColumnsWholeInTheDefaultLocale) {
    // On a machine whose locale is not Chinese: the program's default locale writes the dates
    // and the folder's type, and the size, type and date columns are wide enough for them.
    const QLocale before;
    QLocale::setDefault(QLocale(QLocale::Chinese, QLocale::China));
    QTemporaryDir dir;
    ASSERT_TRUE(QDir(dir.path()).mkdir(QString::fromUtf8("第二学期")));
    QFile file(dir.filePath("kb.mdb"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(QByteArray(123456, 'x'));
    file.close();
    QStringList problems;
    int rowsSeen = 0;
    std::function<void(int)> look = [&](int tries) {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        auto* tree = dialog ? dialog->findChild<QTreeView*>("treeView") : nullptr;
        const QAbstractItemModel* model = tree ? tree->model() : nullptr;
        const QModelIndex root = tree ? tree->rootIndex() : QModelIndex();
        if (!model || (model->rowCount(root) < 2 && tries > 0)) {
            QTimer::singleShot(50, [&look, tries] { look(tries - 1); });
            return;
        }
        rowsSeen = model->rowCount(root);
        problems.clear();
        for (int row = 0; row < rowsSeen; ++row) {
            const QString name = model->index(row, 0, root).data().toString();
            for (int column = 1; column < 4; ++column) {
                const QString text = model->index(row, column, root).data().toString();
                const int need = tree->fontMetrics().horizontalAdvance(text);
                if (need > tree->columnWidth(column) - 4)
                    problems << QString("%1/%2: %3 (%4 > %5)")
                                    .arg(name)
                                    .arg(column)
                                    .arg(text)
                                    .arg(need)
                                    .arg(tree->columnWidth(column));
            }
            const QString type = model->index(row, 2, root).data().toString();
            if (name == QString::fromUtf8("第二学期") && type != QString::fromUtf8("文件夹"))
                problems << "folder type: " + type;
            const QString date = model->index(row, 3, root).data().toString();
            const QDateTime modified = QFileInfo(dir.filePath(name)).lastModified();
            if (date != QLocale().toString(modified, QLocale::ShortFormat))
                problems << "date: " + date;
        }
        // The sizes and types arrive from a worker thread and the columns widen to them on the
        // next layout: on a loaded machine that can follow the rows by a while.
        if (!problems.isEmpty() && tries > 0) {
            QTimer::singleShot(50, [&look, tries] { look(tries - 1); });
            return;
        }
        dialog->reject();
    };
    QTimer::singleShot(0, [&look] { look(200); });
    EXPECT_EQ(GetOpenFileName("t", QString::fromUtf8("数据库(*.mdb)"), dir.path()), "");
    QLocale::setDefault(before);
    EXPECT_EQ(rowsSeen, 2);
    EXPECT_TRUE(problems.isEmpty()) << problems.join("\n").toStdString();
}

TEST(Combo, SettingFromCodeAlwaysRunsTheHandler) {
    QComboBox combo;
    combo.addItems({"一(1)班", "Abc"});
    int clicks = 0;
    auto click = [&] { ++clicks; };
    EXPECT_TRUE(SetComboIndex(&combo, 1, click));
    EXPECT_TRUE(SetComboIndex(&combo, 1, click));  // same value: runs again
    EXPECT_EQ(clicks, 2);
    EXPECT_TRUE(SetComboText(&combo, "abc", click));
    EXPECT_EQ(combo.currentIndex(), 1);
    EXPECT_TRUE(SetComboText(&combo, QString::fromUtf8("一(1)班"), click));
    EXPECT_EQ(combo.currentIndex(), 0);
    EXPECT_EQ(clicks, 4);
    EXPECT_FALSE(SetComboText(&combo, "none", click));
    EXPECT_FALSE(SetComboIndex(&combo, 2, click));
    EXPECT_EQ(combo.currentIndex(), 0);
    EXPECT_TRUE(SetComboIndex(&combo, -1, click));
    EXPECT_EQ(combo.currentIndex(), -1);
    EXPECT_EQ(clicks, 5);
}

// Lists show namesakes apart: by the full name where it differs and is their own, else by
// the code; a name without a namesake shows as it is.
TEST(NameTexts, NamesakesShowTheirFullNameOrTheirCode) {
    struct Case {
        std::vector<NamedRecord> records;
        QStringList texts;
    };
    const std::vector<Case> cases = {
        {{{"T1", "王芳", "王芳（语文）"}, {"T2", "王芳", "王芳（数学）"}, {"T3", "李娜", "李娜"}},
         {"王芳（语文）", "王芳（数学）", "李娜"}},
        // A full name equal to the name (or none) tells nothing apart: the code does.
        {{{"T1", "张伟", "张伟"}, {"T2", "张伟", ""}, {"T3", "张伟", "张伟（初二数学）"}},
         {"张伟（T1）", "张伟（T2）", "张伟（初二数学）"}},
        // Two namesakes of one full name: both by code.
        {{{"a", "王芳", "王芳（语文）"}, {"b", "王芳", "王芳（语文）"}},
         {"王芳（a）", "王芳（b）"}},
        // Names compared as the database does, blanks around them left out.
        {{{"1", "Wang", ""}, {"2", "wang ", ""}, {"3", "Li", "Li Na"}},
         {"Wang（1）", "wang（2）", "Li"}},
        // A full name that is another record's name gives way to the code.
        {{{"1", "王芳", "李娜"}, {"2", "王芳", "王芳（二）"}, {"3", "李娜", ""}},
         {"王芳（1）", "王芳（二）", "李娜"}},
        {{}, {}},
        {{{"07", "", ""}, {"08", "", "学前（8）"}}, {"（07）", "学前（8）"}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(DistinctNameTexts(c.records), c.texts) << c.texts.join(' ').toStdString();
    }
}

// Random lists of records with few names, full names made of them, and codes: after every list
// the texts stay one a record, a name without a namesake is unchanged, a namesake shows its own
// full name or its name with its code, and no two records of the list show the same text.
TEST(NameTexts, RandomListsShowEveryRecordApart) {
    std::mt19937 rng(3010);
    auto pick = [&rng](int n) { return static_cast<int>(rng() % static_cast<unsigned>(n)); };
    const QStringList names = {"王芳", "王芳 ", "李娜", "Wang", "wang", "", "张伟"};
    const QStringList suffixes = {"", "（语文）", "（数学）", "（初二数学）"};
    auto key = [](const QString& t) { return t.trimmed().toLower(); };
    for (int round = 0; round < 2000; ++round) {
        std::vector<NamedRecord> records(static_cast<size_t>(pick(9)));
        int code = 0;
        for (NamedRecord& r : records) {
            r.code = "T" + QString::number(++code);
            r.name = names[pick(names.size())];
            // Full names: none, the name, the name with a suffix, or another name.
            const int kind = pick(4);
            r.fullName = kind == 0   ? QString()
                         : kind == 1 ? r.name
                         : kind == 2 ? r.name.trimmed() + suffixes[pick(suffixes.size())]
                                     : names[pick(names.size())];
        }
        const QStringList texts = DistinctNameTexts(records);
        ASSERT_EQ(texts.size(), static_cast<int>(records.size())) << round;
        QSet<QString> seen;
        for (size_t i = 0; i < records.size(); ++i) {
            const NamedRecord& r = records[i];
            const QString& text = texts[static_cast<int>(i)];
            int namesakes = 0;
            for (const NamedRecord& o : records) namesakes += key(o.name) == key(r.name);
            if (namesakes == 1) {
                EXPECT_EQ(text, r.name) << round;
            } else if (text != NameWithCode(r.name, r.code)) {
                EXPECT_EQ(text, r.fullName.trimmed()) << round;
                EXPECT_NE(key(r.fullName), key(r.name)) << round;
                EXPECT_FALSE(key(r.fullName).isEmpty()) << round;
            }
            EXPECT_FALSE(seen.contains(key(text))) << round << " " << text.toStdString();
            seen.insert(key(text));
        }
    }
}

TEST(StatusBar, PanelsAreNumberedFromOneWithFixedWidths) {
    StatusBar bar({3000, 1500});
    ASSERT_EQ(bar.PanelCount(), 2);
    EXPECT_EQ(bar.Panel(0), nullptr);
    EXPECT_EQ(bar.Panel(3), nullptr);
    bar.Panel(1)->setText(QString::fromUtf8("读取成功"));
    EXPECT_EQ(bar.findChild<QLabel*>("Panel1")->text(), QString::fromUtf8("读取成功"));
    EXPECT_EQ(bar.Panel(2)->width(), 100);
    EXPECT_EQ(bar.Panel(1)->minimumWidth(), 200);
}

TEST(Units, ColoursAreBlueGreenRed) {
    EXPECT_EQ(VbColor(0xFF0000), QColor(0, 0, 255));
    EXPECT_EQ(VbColor(0xFFFF80), QColor(0x80, 0xFF, 0xFF));
    EXPECT_EQ(VbColor(0xC0), QColor(0xC0, 0, 0));
    EXPECT_EQ(ToVbColor(QColor(0x80, 0xFF, 0xFF)), 0xFFFF80u);
    EXPECT_EQ(TwipsToPixels(1500), 100);
}

TEST(Units, SystemColoursAreTheApplicationPalettes) {
    const QPalette pal = QApplication::palette();
    EXPECT_EQ(VbColor(kVbWindowBackground), pal.color(QPalette::Active, QPalette::Base));
    EXPECT_EQ(VbColor(kVbWindowText), pal.color(QPalette::Active, QPalette::Text));
    EXPECT_EQ(VbColor(kVbButtonFace), pal.color(QPalette::Active, QPalette::Button));
    EXPECT_EQ(VbColor(kVbHighlight), pal.color(QPalette::Active, QPalette::Highlight));
}

TEST(FormStyle, FormFontResolvesToAnInstalledChineseFont) {
    const QString family = QFontInfo(FormFont(12)).family();
    EXPECT_TRUE(QFontDatabase::writingSystems(family).contains(QFontDatabase::SimplifiedChinese))
        << family.toStdString();
    EXPECT_EQ(QFontInfo(FormFont(9)).family(), family);
}

// Texts of one to three lines in boxes of every size from too small to roomy: whatever is drawn
// lies inside the box, never below 8 pt and never above the box's font; a text drawn whole loses
// nothing, one drawn cut shows "…" (or, in a box of one line, only its last line); the last of
// several lines keeps its own line, whole whenever it alone fits the width at 8 pt.
TEST(FitText, BoxTextStaysInsideItsBoxAndAboveTheFloor) {
    std::mt19937 random(30);
    const QStringList pieces = {"语", "文", "综合",     "实践", "活动",   "道德与法治", "七（10）",
                                "、", "）", "Wolfgang", "M",    "Mozart", "（12）",     "信息技术"};
    auto pick = [&](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
    int cut = 0;
    int whole = 0;
    for (int step = 0; step < 400; ++step) {
        QStringList lines;
        const int count = 1 + pick(3);
        for (int l = 0; l < count; ++l) {
            QString line;
            const int parts = 1 + pick(4);
            for (int p = 0; p < parts; ++p) {
                const QString& piece = pieces[pick(static_cast<int>(pieces.size()))];
                if (!line.isEmpty() && piece.at(0).unicode() < 0x80) line += ' ';
                line += piece;
            }
            lines << line;
        }
        const QString text = lines.join('\n');
        const QFont base = FormFont(pick(2) ? 12 : 9);
        const QSize box(20 + pick(130), 14 + pick(70));
        SCOPED_TRACE(text.toStdString() + " in " + std::to_string(box.width()) + "x" +
                     std::to_string(box.height()));
        const FittedText fitted = FitBoxText(base, text, box);
        const QFontMetrics metrics(fitted.font);
        ASSERT_GE(fitted.font.pointSizeF(), kMinFitPoints);
        ASSERT_LE(fitted.font.pointSizeF(), base.pointSizeF());
        ASSERT_FALSE(fitted.lines.isEmpty());
        for (const QString& line : fitted.lines) {
            ASSERT_LE(metrics.horizontalAdvance(line), box.width()) << line.toStdString();
        }
        ASSERT_LE(metrics.lineSpacing() * fitted.lines.size(), box.height());
        // Every line drawn, less its "…", is a run of the text: nothing joined that was apart.
        const QString flat = lines.join(' ');
        for (const QString& line : fitted.lines) {
            QString run = line;
            if (run.endsWith(QStringLiteral("…"))) run.chop(1);
            ASSERT_TRUE(flat.contains(run.trimmed())) << line.toStdString();
        }
        QString drawn = fitted.lines.join(QString());
        QString given = lines.join(QString());
        drawn.remove(' ');
        given.remove(' ');
        if (fitted.whole) {
            ++whole;
            ASSERT_EQ(drawn, given);
        } else {
            ++cut;
            ASSERT_NE(drawn, given);
            // Cut inside a line, or a box of one line that keeps only the last one.
            ASSERT_TRUE(drawn.contains(QStringLiteral("…")) ||
                        (count > 1 && fitted.lines.size() == 1));
        }
        if (count > 1) {
            const QFont floor = [&] {
                QFont f = base;
                f.setPointSizeF(kMinFitPoints);
                return f;
            }();
            if (QFontMetrics(floor).horizontalAdvance(lines.back()) <= box.width()) {
                ASSERT_EQ(fitted.lines.back(), lines.back());
            }
        }
    }
    EXPECT_GT(whole, 50);
    EXPECT_GT(cut, 50);
}

// A label or a combo whose text does not fit at 8 pt keeps 8 pt, draws its text cut with "…"
// and holds the whole text as its tooltip; once the text fits again the tooltip goes.
TEST(FitText, LabelsAndCombosCutAtTheFloorWithTheWholeTextAsTooltip) {
    QWidget window;
    window.setFont(FormFont(12));
    StatusBar bar({1500}, &window);
    QLabel* panel = bar.Panel(1);
    panel->setText(QString::fromUtf8("学前年级（１２）班级"));
    const QString shown = ShownText(panel);
    EXPECT_EQ(panel->font().pointSizeF(), kMinFitPoints);
    EXPECT_TRUE(shown.endsWith(QString::fromUtf8("…"))) << shown.toStdString();
    EXPECT_EQ(panel->toolTip(), panel->text());
    panel->setText(QString::fromUtf8("读取成功"));
    EXPECT_EQ(ShownText(panel), panel->text());
    EXPECT_TRUE(panel->toolTip().isEmpty());

    QComboBox combo(&window);
    combo.setGeometry(0, 0, 105, 24);
    KeepComboTextWhole(&combo);
    combo.addItem(QString::fromUtf8("信息技术老师一二三四"));
    combo.addItem(QString::fromUtf8("张老师"));
    combo.setCurrentIndex(0);
    EXPECT_EQ(combo.font().pointSizeF(), kMinFitPoints);
    EXPECT_TRUE(ShownText(&combo).endsWith(QString::fromUtf8("…")));
    EXPECT_EQ(combo.toolTip(), combo.currentText());
    combo.grab();
    combo.setCurrentIndex(1);
    EXPECT_EQ(ShownText(&combo), combo.currentText());
    EXPECT_EQ(combo.font().pointSizeF(), 12);
    EXPECT_TRUE(combo.toolTip().isEmpty());
}
