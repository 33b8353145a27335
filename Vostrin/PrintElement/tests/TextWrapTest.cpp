// Cutting too-wide GBK text into pieces for the following lines, and fitting text into a box.
#include <gtest/gtest.h>

#include <QFont>
#include <QFontMetrics>
#include <QFontMetricsF>
#include <climits>
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

TEST(TextWrap, AFourByteCharacterIsCutBeforeAndAfterButNeverInside) {
    // 𠮷 (U+20BB7) takes four bytes in GB18030, two of them digits.
    std::string text = tw::text::ToGb18030(QStringLiteral("课𠮷表")), rest;
    ASSERT_EQ(text.size(), 8u);
    EXPECT_TRUE(CutLastPiece(text, rest));
    EXPECT_EQ(rest, Gbk("表"));
    EXPECT_TRUE(CutLastPiece(text, rest));
    EXPECT_EQ(text, Gbk("课"));
    EXPECT_EQ(tw::text::FromGbk(rest), QStringLiteral("𠮷表"));
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

}  // namespace

TEST(TextFit, NamesBreakAtBlanksMarksAndBracketsBeforeTheirCharacters) {
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

    // A long Chinese name breaks between its characters at the size asked for, into even lines,
    // rather than shrinking onto one line.
    const QString course = QStringLiteral("综合实践活动与研究课");
    fitted = FitText(course, 14, 6, 4, m.Width(QStringLiteral("综合实践活动"), 14) - 1, 0, width,
                     lineHeight);
    EXPECT_EQ(fitted.fontSize, 14);
    EXPECT_EQ(fitted.lines, (std::vector<QString>{"综合实践活", "动与研究课"}));

    // A bracketed name parts from its bracket where a line holds the bracket...
    fitted = FitText(QStringLiteral("欧阳明月（初二数学）"), 6, 6, 2,
                     m.Width(QStringLiteral("欧阳明月（初"), 6) + 1, 0, width, lineHeight);
    EXPECT_EQ(fitted.lines, (std::vector<QString>{"欧阳明月", "（初二数学）"}));
    // ... and where two lines of five characters hold it only by ending the first with the
    // opening bracket, it is broken there rather than cut.
    fitted = FitText(QStringLiteral("司马相如（初二数学）"), 7, 6, 2,
                     m.Width(QStringLiteral("司马相如（"), 6) + 1, 0, width, lineHeight);
    EXPECT_FALSE(fitted.shortened);
    EXPECT_EQ(fitted.fontSize, 6);
    EXPECT_EQ(fitted.lines, (std::vector<QString>{"司马相如（", "初二数学）"}));
}

namespace {

// The characters of text, a pair of UTF-16 code units for one outside the BMP.
std::vector<QString> Characters(const QString& text) {
    std::vector<QString> out;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const bool pair = text[i].isHighSurrogate() && i + 1 < text.size();
        out.push_back(text.mid(i, pair ? 2 : 1));
        if (pair) ++i;
    }
    return out;
}

// Widths as the sum of the characters' own widths (no pairs moved apart): lines measured whole
// and measured character by character agree, so the checks below can count exactly.
struct AddedMeasures {
    CanvasMeasures canvas;
    std::map<int, QFontMetricsF> metrics;
    std::map<std::pair<int, QString>, double> widths;
    double Width(const QString& text, int points) {
        auto it = metrics.find(points);
        if (it == metrics.end()) {
            QFont font(QStringLiteral("WenQuanYi Micro Hei"));
            font.setPixelSize(std::max(1, (points * 254 + 36) / 72));
            it = metrics.emplace(points, QFontMetricsF(font)).first;
        }
        double width = 0;
        for (const QString& c : Characters(text)) {
            auto [at, added] = widths.try_emplace({points, c}, 0.0);
            if (added) at->second = it->second.horizontalAdvance(c);
            width += at->second;
        }
        return width;
    }
    int LineHeight(int points) { return canvas.LineHeight(points); }
};

// The breaking rules read character by character: a text's characters with the blanks before
// each, and whether a line may break before each one.
class BreakModel {
  public:
    BreakModel(const QString& text, int box, int floor, AddedMeasures& m) : box_(box), m_(m) {
        QString blanks;
        for (const QString& c : Characters(text)) {
            if (c == " " || c == "\t" || c == "\r" || c == "\n") {
                blanks += ' ';
                continue;
            }
            chars_.push_back(c);
            blanks_.push_back(chars_.size() == 1 ? QString() : blanks);
            blanks.clear();
        }
        // A Latin word alone wider than the box at the floor may be cut between its letters.
        wide_.assign(chars_.size(), false);
        for (size_t k = 0; k < chars_.size();) {
            size_t end = k + 1;
            while (end < chars_.size() && LatinInside(end)) ++end;
            const bool wide = m_.Width(Line(k, end), floor) > box_;
            for (size_t i = k; i < end; ++i) wide_[i] = wide;
            k = end;
        }
    }

    size_t Size() const { return chars_.size(); }
    QString Line(size_t first, size_t last) const {
        QString line;
        for (size_t i = first; i < last; ++i)
            line += (i == first ? QString() : blanks_[i]) + chars_[i];
        return line;
    }
    // The break before character k.
    bool LatinInside(size_t k) const {
        return blanks_[k].isEmpty() && IsAscii(chars_[k - 1]) && IsAscii(chars_[k]) &&
               chars_[k - 1] != "/";
    }
    bool Clash(size_t k) const {
        return QStringLiteral("、，。；：？！）」』】》/").contains(chars_[k]) ||
               QStringLiteral("（「『【《").contains(chars_[k - 1]);
    }
    bool NameBreak(size_t k) const {
        if (!blanks_[k].isEmpty()) return true;
        if (IsAscii(chars_[k - 1]) && IsAscii(chars_[k])) return chars_[k - 1] == "/";
        return QStringLiteral("、，/").contains(chars_[k - 1]);
    }
    bool WideWord(size_t k) const { return wide_[k]; }

    // The fewest lines the text takes at a size with the breaks allowed (filled from the front,
    // which gives the fewest); SIZE_MAX when it cannot be laid out.
    size_t FewestLines(int points, bool clashes, bool namesOnly) const {
        size_t lines = 0;
        for (size_t first = 0; first < chars_.size(); ++lines) {
            size_t end = first;
            for (size_t k = first + 1; k <= chars_.size(); ++k) {
                if (m_.Width(Line(first, k), points) > box_) break;
                if (k == chars_.size() || Allowed(k, clashes, namesOnly)) end = k;
            }
            if (end == first) return SIZE_MAX;
            first = end;
        }
        return lines;
    }

  private:
    static bool IsAscii(const QString& c) { return c.front().unicode() < 0x80; }
    bool Allowed(size_t k, bool clashes, bool namesOnly) const {
        if (LatinInside(k) && !wide_[k]) return false;
        if (Clash(k) && !clashes) return false;
        return !namesOnly || NameBreak(k);
    }

    int box_;
    AddedMeasures& m_;
    std::vector<QString> chars_;
    std::vector<QString> blanks_;
    std::vector<bool> wide_;
};

}  // namespace

// Names (bracketed ones among them), joined lessons and Latin names, with blanks, tabs and line
// feeds between them, often more than the box holds, fitted at random sizes into random boxes.
// After every fit: the size lies between the floor and the size asked for; there are no more
// lines than allowed and than the height holds, and no line is wider than the box; the lines
// give back the text (blanks at breaks dropped), or its front ended with "…" when it was
// shortened, which happens only when the text takes more lines than allowed even at the floor
// with every break; the size is the largest at which the whole text fits (one point more takes
// too many lines); a break clashes with the punctuation rules only when the text fits no other
// way at the floor, breaks a name only when the names kept whole take too many lines at that
// size, and cuts a Latin word only when it alone is wider than the box at the floor.
TEST(TextFit, FittedTextTakesTheLargestSizeAtWhichItFitsWhole) {
    AddedMeasures m;
    const TTextWidthAt width = [&](const QString& t, int p) { return m.Width(t, p); };
    const TLineHeightAt lineHeight = [&](int p) { return m.LineHeight(p); };
    const QStringList items = {"语文",
                               "物理",
                               "信息技术与通用技术课",
                               "张三",
                               "欧阳明月",
                               "七（10）",
                               "（选修）",
                               "Wolfgang",
                               "M",
                               "Mozart",
                               "Amadeus",
                               "Ludwig van Beethoven",
                               "WWW",
                               "mm",
                               "12",
                               "欧阳明月（初二数学）",
                               "司马相如（初二数学）",
                               "综合实践活动与研究课",
                               "高䶮",
                               "𠀾𠁀𠂇（𠃋）"};
    const QString longWord = QStringLiteral("Donaudampfschifffahrtsgesellschaft");
    const QStringList joiners = {"", " ", "/", "、", "，", "\t", "\n", " \r\n"};
    std::mt19937 random(30);
    for (int round = 0; round < 500; ++round) {
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
        const BreakModel model(text, box, floor, m);
        auto allowed = [&](int p) {
            size_t lines = static_cast<size_t>(maxLines);
            if (height > 0) lines = std::min(lines, static_cast<size_t>(height / m.LineHeight(p)));
            return lines;
        };
        auto fitsWhole = [&](int p, bool clashes, bool namesOnly) {
            return model.FewestLines(p, clashes, namesOnly) <= allowed(p);
        };
        const bool clean = fitsWhole(floor, false, false);
        if (fitted.shortened) {
            EXPECT_FALSE(fitsWhole(floor, true, false)) << "cut although it fits whole";
        } else if (fitted.fontSize < points) {
            EXPECT_FALSE(fitsWhole(fitted.fontSize + 1, !clean, false))
                << "fits whole at " << fitted.fontSize + 1 << " pt too";
        }

        // The lines against the characters: where each one breaks.
        size_t at = 0;
        for (size_t i = 0; i < fitted.lines.size(); ++i) {
            QString own = fitted.lines[i];
            EXPECT_LE(m.Width(own, fitted.fontSize), box) << own.toStdString();
            EXPECT_FALSE(own.contains('\t') || own.contains('\n') || own.contains('\r'));
            const bool last = i + 1 == fitted.lines.size();
            if (last && fitted.shortened) {
                ASSERT_TRUE(own.endsWith(QChar(0x2026))) << own.toStdString();
                own.chop(1);
            }
            const size_t characters = Characters(QString(own).remove(' ')).size();
            ASSERT_EQ(model.Line(at, at + characters), own) << "line " << i;
            at += characters;
            if (last || at >= model.Size()) continue;
            if (model.LatinInside(at)) {
                EXPECT_TRUE(model.WideWord(at)) << "a Latin word cut before line " << i + 1;
            }
            if (model.Clash(at)) {
                EXPECT_FALSE(clean) << "a needless clash before line " << i + 1;
            }
            if (!model.NameBreak(at)) {
                EXPECT_FALSE(fitsWhole(fitted.fontSize, !clean, true))
                    << "a name broken before line " << i + 1 << " although names fit whole";
            }
        }
        if (!fitted.shortened) {
            EXPECT_EQ(at, model.Size()) << "text left out";
        }
    }
}
