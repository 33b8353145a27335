// Reading printed timetables back: the words of a PDF with their boxes (pdftotext -bbox), the
// cells of a layout template (from its grid lines), and the check that every cell shows the
// text expected there, with each of its words inside it.
#pragma once

#include <gtest/gtest.h>

#include <QComboBox>
#include <QFile>
#include <QPushButton>
#include <QRectF>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QString>
#include <QStringList>
#include <algorithm>
#include <cstdlib>
#include <map>
#include <set>
#include <vector>

#include "AppTestSupport.h"
#include "PdfSpoolTestSupport.h"
#include "ReadOnlyInstallTestSupport.h"
#include "output/frmPrint.h"
#include "text/Gbk.h"

namespace printedcells {
using tw::output::frmPrint;

// One printed word: its page (from 1), its box in points from the page's top-left corner.
struct Word {
    int page = 0;
    QRectF box;
    QString text;
};

inline std::vector<Word> WordsOf(const QString& pdf) {
    const QString xml = pdfspool::RunTool("pdftotext", {"-bbox", pdf, "-"});
    static const QRegularExpression item(
        R"re(<page |<word xMin="([\d.]+)" yMin="([\d.]+)" xMax="([\d.]+)" yMax="([\d.]+)">([^<]*)</word>)re");
    std::vector<Word> words;
    int page = 0;
    for (auto it = item.globalMatch(xml); it.hasNext();) {
        const auto m = it.next();
        if (m.captured(0) == QStringLiteral("<page ")) {
            ++page;
            continue;
        }
        const QPointF from(m.captured(1).toDouble(), m.captured(2).toDouble());
        const QPointF to(m.captured(3).toDouble(), m.captured(4).toDouble());
        words.push_back({page, QRectF(from, to), m.captured(5)});
    }
    return words;
}

// The grid of a layout template: the distinct positions of its vertical and horizontal lines,
// in points, each sorted; lines closer than 2 mm to the one before (a double line) are kept
// too, so consecutive positions bound the cells and the thin gaps between double lines.
struct Grid {
    std::vector<double> xs, ys;

    // The cells between consecutive positions at least 2 mm apart.
    static std::vector<std::pair<double, double>> Spans(const std::vector<double>& at) {
        std::vector<std::pair<double, double>> spans;
        for (size_t i = 1; i < at.size(); ++i) {
            if (at[i] - at[i - 1] >= 2 * 72 / 25.4) spans.emplace_back(at[i - 1], at[i]);
        }
        return spans;
    }
    std::vector<std::pair<double, double>> Columns() const { return Spans(xs); }
    std::vector<std::pair<double, double>> Rows() const { return Spans(ys); }
};

inline Grid GridOf(const QString& templateFile) {
    QFile f(templateFile);
    EXPECT_TRUE(f.open(QIODevice::ReadOnly)) << templateFile.toStdString();
    const QString xml = tw::text::FromGbk(f.readAll().toStdString());
    static const QRegularExpression line(
        R"re(<line [^>]*xfrom="(\d+)" yfrom="(\d+)" xto="(\d+)" yto="(\d+)")re");
    std::set<double> xs, ys;
    const double points = 72 / 254.0;  // a tenth of a millimetre
    for (auto it = line.globalMatch(xml); it.hasNext();) {
        const auto m = it.next();
        if (m.captured(1) == m.captured(3)) xs.insert(m.captured(1).toInt() * points);
        if (m.captured(2) == m.captured(4)) ys.insert(m.captured(2).toInt() * points);
    }
    return {std::vector<double>(xs.begin(), xs.end()), std::vector<double>(ys.begin(), ys.end())};
}

// What one cell of a page should show: the texts of its lines run together without blanks (one
// of several arrangements, when the order of joined names is not fixed).
struct Cell {
    int page = 1;
    QRectF box;
    QStringList texts;
};

// Every word whose centre lies in a cell lies inside it (half a point of ink may touch the
// grid line), and the words of each cell, read line by line, give one of its texts; an empty
// text means an empty cell.
inline void ExpectCells(const std::vector<Word>& words, const std::vector<Cell>& cells) {
    for (const Cell& cell : cells) {
        std::vector<Word> in;
        for (const Word& w : words) {
            if (w.page == cell.page && cell.box.contains(w.box.center())) in.push_back(w);
        }
        std::sort(in.begin(), in.end(), [](const Word& a, const Word& b) {
            if (std::abs(a.box.top() - b.box.top()) > 1) return a.box.top() < b.box.top();
            return a.box.left() < b.box.left();
        });
        QString shown;
        for (const Word& w : in) {
            shown += w.text;
            EXPECT_TRUE(cell.box.adjusted(-0.5, -0.5, 0.5, 0.5).contains(w.box))
                << w.text.toStdString() << " leaves its cell on page " << cell.page;
        }
        QStringList wanted;
        for (const QString& t : cell.texts) wanted << QString(t).remove(QLatin1Char(' '));
        EXPECT_TRUE(wanted.contains(shown))
            << "page " << cell.page << " cell at (" << cell.box.left() << ", " << cell.box.top()
            << ") shows \"" << shown.toStdString() << "\" instead of \""
            << wanted.join(" | ").toStdString() << "\"";
    }
}

// The files a print needs, as the build put them into the program folder; empty when they are
// all there, else the first one missing.
inline QString MissingProgramFile() {
    for (int n : {6, 7}) {
        for (const QString& f :
             {QString("ClassSchd%1.xml").arg(n), QString("TeacherSchd%1.xml").arg(n),
              QString("TotalSchd%1A3.xml").arg(n)}) {
            if (!QFile::exists(QStringLiteral(TW_DIST_DIR "/") + f)) return f;
        }
    }
    for (const char* f : {"libVostrin.so", "libCalvorix.so"}) {
        if (!QFile::exists(QStringLiteral(TW_DIST_DIR "/") + f)) return QString::fromLatin1(f);
    }
    return {};
}

// Why printed timetables cannot be checked here; empty when they can.
inline QString CannotPrint() {
    if (!pdfspool::HasPdfQueue() || QStandardPaths::findExecutable("pdftotext").isEmpty())
        return QStringLiteral("no PDF print queue");
    const QString missing = MissingProgramFile();
    return missing.isEmpty() ? QString() : QStringLiteral("not built: ") + missing;
}

// Runs prints in a fresh copy of this test program and expects it to end without a failure.
// The program loads the print library once and keeps it, and the library finds the expression
// library beside itself: a library loaded by another test from a program folder that is gone by
// now would not do.
inline void RunInFreshProgram(void (*prints)()) {
    readonlyinstall::ChildTemporaryFolders temporary;
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            prints();
            std::_Exit(::testing::Test::HasFailure() ? 1 : 0);
        },
        ::testing::ExitedWithCode(0), "");
}

// Copies the libraries and the layout templates into the test's program folder.
inline void CopyProgramFiles(twtest::AppTestEnv& env) {
    QStringList files{"libVostrin.so", "libCalvorix.so"};
    for (int n : {6, 7}) {
        files << QString("ClassSchd%1.xml").arg(n) << QString("TeacherSchd%1.xml").arg(n)
              << QString("TotalSchd%1A3.xml").arg(n);
    }
    for (const QString& f : files) {
        ASSERT_TRUE(QFile::copy(QStringLiteral(TW_DIST_DIR "/") + f, env.FilePath(f)));
    }
}

// Clicks a print button of the print dialog (with the class or teacher chosen first, when
// given) and returns the printed document, which holds marker; empty when none came.
inline QString Print(twtest::AppTestEnv& env, const char* button, const QString& marker,
                     const char* list = nullptr, const QString& choice = QString()) {
    const QSet<QString> before = pdfspool::SpooledJobs();
    env.calls.clear();
    {
        frmPrint f(twtest::State());
        if (list) f.findChild<QComboBox*>(list)->setCurrentText(choice);
        f.findChild<QPushButton*>(button)->click();
    }
    EXPECT_EQ(env.calls.size(), 1u);
    if (env.calls.size() != 1u || env.calls[0].text != QStringLiteral("打印完成")) {
        ADD_FAILURE() << "the print says "
                      << (env.calls.empty() ? "nothing" : env.calls[0].text.toStdString());
        return {};
    }
    return pdfspool::WaitForJobWithText(before, marker);
}

// The cells of a class or teacher timetable (one page): texts[s] for slot s, lesson by lesson,
// Monday to Friday.
inline std::vector<Cell> TimetableCells(const Grid& grid, int lessons,
                                        const std::vector<QStringList>& texts) {
    const auto columns = grid.Columns();
    const auto rows = grid.Rows();
    std::vector<Cell> cells;
    for (int s = 0; s < 5 * lessons; ++s) {
        const auto& [left, right] = columns[columns.size() - 5 + s % 5];
        const auto& [top, bottom] = rows[rows.size() - lessons + s / 5];
        cells.push_back({1, QRectF(QPointF(left, top), QPointF(right, bottom)), texts[s]});
    }
    return cells;
}

// The cells of the whole-school timetable: per class (in print order) its name and then
// texts[class][s] for slot s; classes fill the rows of one page after the other.
inline std::vector<Cell> WholeSchoolCells(const Grid& grid, int lessons,
                                          const QStringList& classNames,
                                          const std::vector<std::vector<QStringList>>& texts) {
    const auto columns = grid.Columns();
    const auto rows = grid.Rows();
    const int perPage = static_cast<int>(rows.size()) - 2;  // below the two heading rows
    std::vector<Cell> cells;
    for (int k = 0; k < classNames.size(); ++k) {
        const auto& [top, bottom] = rows[2 + k % perPage];
        const auto cell = [&](size_t column, const QStringList& t) {
            const QRectF box(QPointF(columns[column].first, top),
                             QPointF(columns[column].second, bottom));
            cells.push_back({1 + k / perPage, box, t});
        };
        cell(0, {classNames[k]});
        for (int s = 0; s < 5 * lessons; ++s) {
            // Columns run day by day, each day lesson by lesson.
            cell(1 + (s % 5) * lessons + s / 5, texts[k][s]);
        }
    }
    return cells;
}

}  // namespace printedcells
