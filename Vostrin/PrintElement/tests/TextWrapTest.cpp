// Cutting too-wide GBK text into pieces for the following lines, and fitting text into a box.
#include <gtest/gtest.h>

#include <QFont>
#include <QFontMetrics>
#include <map>
#include <random>

#include "PrintElement/TextFit.h"
#include "PrintElement/TextWrap.h"
#include "PrintTestSupport.h"

using namespace TVostrin;
using printtest::Gbk;

TEST(TextWrap, AsciiCutsAtTheLastBlankAndDropsIt) {
    std::string text = "one two three", rest;
    EXPECT_TRUE(CutLastPiece(text, rest));
    EXPECT_EQ(text, "one two");
    EXPECT_EQ(rest, "three");
    EXPECT_TRUE(CutLastPiece(text, rest));
    EXPECT_EQ(text, "one");
    EXPECT_EQ(rest, "two three");  // one blank between piece and rest
    EXPECT_FALSE(CutLastPiece(text, rest));
    EXPECT_EQ(text, "");
    EXPECT_EQ(rest, "one two three");
}

TEST(TextWrap, ChineseCutsBetweenCharactersWithoutBlank) {
    std::string text = Gbk("课程表"), rest = Gbk("甲");
    EXPECT_TRUE(CutLastPiece(text, rest));
    EXPECT_EQ(text, Gbk("课程"));
    EXPECT_EQ(rest, Gbk("表甲"));
    text = Gbk("abc 中文x");
    rest.clear();
    EXPECT_TRUE(CutLastPiece(text, rest));  // the Chinese character before "x" is met first
    EXPECT_EQ(text, Gbk("abc 中"));
    EXPECT_EQ(rest, Gbk("文x"));
}

TEST(TextWrap, TrailBytesThatLookLikeLeadBytesAreNotCharacterStarts) {
    // Each of these has a trail byte in the lead-byte range (0x81-0xFE): a backward scan would
    // take the trail byte for the start of a character and split a character in two.
    for (const char* s : {"表格", "课程", "数学"}) {
        const std::string whole = Gbk(s);
        ASSERT_EQ(whole.size(), 4u);
        std::string text = whole, rest;
        ASSERT_TRUE(CutLastPiece(text, rest));
        EXPECT_EQ(text, whole.substr(0, 2)) << s;
        EXPECT_EQ(rest, whole.substr(2)) << s;
        EXPECT_FALSE(tw::text::FromGbk(text).contains(QChar(0xFFFD))) << s;
    }
    // A trail byte of 0x20-free ASCII range after a lead byte is not a blank or a letter.
    const std::string mixed = std::string("\x81\x40", 2) + "a b";
    const auto starts = GbkCharStarts(mixed);
    EXPECT_EQ(starts, (std::vector<size_t>{0, 2, 3, 4}));
}

TEST(TextWrap, ALoneLeadByteAtTheEndIsOneCharacter) {
    const std::string text("ab\xB1", 3);
    EXPECT_EQ(GbkCharStarts(text), (std::vector<size_t>{0, 1, 2}));
    std::string t = text, rest;
    EXPECT_FALSE(CutLastPiece(t, rest));
    EXPECT_EQ(rest, text);
}

TEST(TextWrap, TrailingBlankGivesAnEmptyPiece) {
    std::string text = "ab ", rest = "cd";
    EXPECT_TRUE(CutLastPiece(text, rest));
    EXPECT_EQ(text, "ab");
    EXPECT_EQ(rest, " cd");
}

namespace {

// The measures of the print canvas at 254 dpi (one dot a tenth of a millimetre), with the
// Chinese font of the printed timetables.
struct CanvasMeasures {
    std::map<int, QFontMetrics> metrics;
    const QFontMetrics& At(int points) {
        auto it = metrics.find(points);
        if (it == metrics.end()) {
            QFont font(QStringLiteral("WenQuanYi Micro Hei"));
            font.setPixelSize(std::max(1, (points * 254 + 36) / 72));
            it = metrics.emplace(points, QFontMetrics(font)).first;
        }
        return it->second;
    }
    int Width(const QString& text, int points) { return At(points).horizontalAdvance(text); }
    int LineHeight(int points) { return At(points).height(); }
};

bool IsAsciiWordCharacter(QChar c) {
    return c.unicode() < 0x80 && c != QLatin1Char(' ');
}

}  // namespace

TEST(TextFit, LatinNamesBreakAtBlanksAndChinesePunctuationStaysWithItsNeighbours) {
    CanvasMeasures m;
    const TTextWidthAt width = [&](const QString& t, int p) { return m.Width(t, p); };
    const TLineHeightAt lineHeight = [&](int p) { return m.LineHeight(p); };
    const QString wolfgang = QStringLiteral("Wolfgang M");
    // Too wide for one line at 6 points, wide enough for "Wolfgang" alone.
    const int box = m.Width(QStringLiteral("Wolfgang M"), 6) - 1;
    ASSERT_GT(box, m.Width(QStringLiteral("Wolfgang"), 6));
    TFittedText fitted = FitText(wolfgang, 9, 6, 2, box, 0, width, lineHeight);
    EXPECT_EQ(fitted.lines, (std::vector<QString>{"Wolfgang", "M"}));

    const QString classes = QStringLiteral("七（10）、七（11）");
    const int narrow = m.Width(QStringLiteral("七（10）、"), 6) + 1;
    fitted = FitText(classes, 6, 6, 3, narrow, 0, width, lineHeight);
    EXPECT_EQ(fitted.lines, (std::vector<QString>{"七（10）、", "七（11）"}));

    // Names joined by "、" break after it, not inside a name, where a line holds the name.
    const QString teachers = QStringLiteral("张三、李四、欧阳明月");
    fitted = FitText(teachers, 6, 6, 2, m.Width(QStringLiteral("张三、李四、欧"), 6), 0, width,
                     lineHeight);
    EXPECT_EQ(fitted.lines, (std::vector<QString>{"张三、李四、", "欧阳明月"}));
}

// Names, joined lessons and Latin names, often more than the box holds, fitted at random sizes
// into random boxes. After every fit: the size lies between the floor and the size asked for;
// there are no more lines than allowed and than the height holds, and no line is wider than
// the box; the lines give back the text (blanks at breaks dropped), or its front ended with
// "…" when it was shortened; a Latin word is cut only when it alone is wider than the box at
// the floor, and so is a name (the run between blanks and the marks that end a name); no line
// starts with closing punctuation or ends with an opening bracket.
TEST(TextFit, FittedLinesKeepTheBoxTheWordsAndThePunctuation) {
    CanvasMeasures m;
    const TTextWidthAt width = [&](const QString& t, int p) { return m.Width(t, p); };
    const TLineHeightAt lineHeight = [&](int p) { return m.LineHeight(p); };
    const QStringList items = {"语文",     "物理",     "信息技术与通用技术课",
                               "张三",     "欧阳明月", "七（10）",
                               "（选修）", "Wolfgang", "M",
                               "Mozart",   "Amadeus",  "Ludwig van Beethoven",
                               "WWW",      "mm",       "12"};
    const QString longWord = QStringLiteral("Donaudampfschifffahrtsgesellschaft");
    const QStringList joiners = {"", " ", "/", "、", "，"};
    const QString noStart = QStringLiteral("、，。；：？！）」』】》/");
    const QString noEnd = QStringLiteral("（「『【《");
    const QString endsName = QStringLiteral("、，/");
    std::mt19937 random(30);
    for (int round = 0; round < 400; ++round) {
        QString text;
        const int count = 1 + static_cast<int>(random() % 8);
        bool lastLong = false;
        for (int i = 0; i < count; ++i) {
            const bool isLong = random() % 12 == 0;
            if (i > 0)
                text +=
                    (isLong || lastLong) ? QStringLiteral(" ") : joiners[random() % joiners.size()];
            text += isLong ? longWord : items[random() % items.size()];
            lastLong = isLong;
        }
        const int floor = 6;
        const int points = 6 + static_cast<int>(random() % 15);
        const int maxLines = 1 + static_cast<int>(random() % 4);
        const int box = 120 + static_cast<int>(random() % 300);
        const int height =
            random() % 3 == 0 ? 0 : m.LineHeight(6) + static_cast<int>(random() % 200);
        const TFittedText fitted =
            FitText(text, points, floor, maxLines, box, height, width, lineHeight);
        SCOPED_TRACE(text.toStdString() + " in " + std::to_string(box) + " x " +
                     std::to_string(height) + ", " + std::to_string(maxLines) + " lines at " +
                     std::to_string(points) + " pt");
        ASSERT_GE(fitted.fontSize, floor);
        ASSERT_LE(fitted.fontSize, points);
        EXPECT_LE(fitted.lines.size(), static_cast<size_t>(maxLines));
        if (height > 0) {
            EXPECT_LE(static_cast<int>(fitted.lines.size()) * m.LineHeight(fitted.fontSize),
                      height);
        }
        int pos = 0;
        for (size_t i = 0; i < fitted.lines.size(); ++i) {
            const QString& line = fitted.lines[i];
            EXPECT_LE(m.Width(line, fitted.fontSize), box) << line.toStdString();
            while (pos < text.size() && text[pos] == QLatin1Char(' ')) ++pos;
            const bool last = i + 1 == fitted.lines.size();
            QString own = line;
            if (last && fitted.shortened) {
                ASSERT_TRUE(own.endsWith(QChar(0x2026))) << own.toStdString();
                own.chop(1);
            }
            ASSERT_EQ(text.mid(pos, own.size()), own) << "line " << i;
            const bool inWord = i > 0 && IsAsciiWordCharacter(fitted.lines[i - 1].back()) &&
                                IsAsciiWordCharacter(line.front());
            if (i > 0 && !inWord) {
                EXPECT_FALSE(noStart.contains(line.front())) << line.toStdString();
                EXPECT_FALSE(noEnd.contains(fitted.lines[i - 1].back()))
                    << fitted.lines[i - 1].toStdString();
            }
            pos += static_cast<int>(own.size());
            if (last || pos >= text.size()) continue;
            if (text[pos - 1] == QLatin1Char(' ') || text[pos] == QLatin1Char(' ') ||
                endsName.contains(text[pos - 1]))
                continue;  // a break at blanks or after a mark that ends a name
            int from = pos - 1, to = pos;
            if (IsAsciiWordCharacter(text[pos - 1]) && IsAsciiWordCharacter(text[pos])) {
                // A Latin word cut: it must not fit a line even at the floor.
                while (from > 0 && IsAsciiWordCharacter(text[from - 1])) --from;
                while (to < text.size() && IsAsciiWordCharacter(text[to])) ++to;
            } else {
                // A name cut: the run between blanks and name-ending marks must not fit either.
                while (from > 0 && text[from - 1] != QLatin1Char(' ') &&
                       !endsName.contains(text[from - 1]))
                    --from;
                while (to < text.size() && text[to] != QLatin1Char(' ') &&
                       !endsName.contains(text[to]))
                    ++to;
                if (to < text.size() && text[to] != QLatin1Char(' ')) ++to;
            }
            EXPECT_GT(m.Width(text.mid(from, to - from), floor), box)
                << "cut inside " << text.mid(from, to - from).toStdString();
        }
        if (!fitted.shortened) {
            EXPECT_EQ(text.mid(pos).trimmed(), QString());
        }
    }
}
