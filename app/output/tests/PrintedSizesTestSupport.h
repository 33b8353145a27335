// The size a fitted field of a printed timetable draws a Chinese name at: the field's box, size
// and line count read from the layout template, the largest size at which the name fits it
// whole worked out from the breaking rules, and the size the printed words show.
#pragma once

#include <gtest/gtest.h>

#include <QFile>
#include <QFont>
#include <QFontMetricsF>
#include <QRegularExpression>
#include <QString>
#include <algorithm>
#include <cmath>
#include <vector>

#include "PrintedCellsTestSupport.h"
#include "text/Gbk.h"

namespace printedcells {

// The box (in points), the size asked for, the smallest size and the line count of the fitted
// field of a layout template that shows expr.
struct FittedField {
    double width = 0, height = 0;
    int points = 0, floor = 6, maxLines = 2;
};

inline FittedField FittedFieldOf(const QString& templateFile, const QString& expr) {
    QFile f(templateFile);
    EXPECT_TRUE(f.open(QIODevice::ReadOnly)) << templateFile.toStdString();
    const QString xml = tw::text::FromGbk(f.readAll().toStdString());
    const QRegularExpression field("<field ([^>]*)>" + QRegularExpression::escape(expr) +
                                   "</field>");
    const QRegularExpressionMatch m = field.match(xml);
    EXPECT_TRUE(m.hasMatch()) << expr.toStdString() << " in " << templateFile.toStdString();
    auto number = [&](const char* name, int absent) {
        const QRegularExpression attr(QString(" %1=\"(\\d+)\"").arg(name));
        const QRegularExpressionMatch a = attr.match(" " + m.captured(1));
        return a.hasMatch() ? a.captured(1).toInt() : absent;
    };
    const double points = 72 / 254.0;  // a tenth of a millimetre
    return {number("fitwidth", 0) * points, number("fitheight", 0) * points, number("fontsize", 0),
            number("minfontsize", 6), number("maxlines", 2)};
}

// Whether text (Chinese characters and brackets, every one as wide as the size) fits the field
// whole at a size: lines break between any two characters, but with clashes false none starts
// with closing punctuation or ends with an opening bracket; as many lines as the line count and
// the height allow. scale widens (above 1) or narrows every character and line.
inline bool FitsWhole(const FittedField& f, const QString& text, int points, bool clashes,
                      double scale) {
    static const double lineHeight = [] {
        QFont font(QStringLiteral("WenQuanYi Micro Hei"));
        font.setPixelSize(1000);
        return QFontMetricsF(font).height() / 1000;
    }();
    const double size = points * scale;
    const int perLine = static_cast<int>(f.width / size);
    long long allowed = f.maxLines;
    if (f.height > 0)
        allowed = std::min<long long>(allowed, std::floor(f.height / (size * lineHeight)));
    if (perLine < 1 || allowed < 1) return false;
    const QString noStart = QStringLiteral("、，。；：？！）」』】》/");
    const QString noEnd = QStringLiteral("（「『【《");
    long long lines = 0;
    for (int first = 0; first < text.size(); ++lines) {
        int end = std::min<int>(text.size(), first + perLine);
        while (!clashes && end < text.size() && end > first &&
               (noStart.contains(text[end]) || noEnd.contains(text[end - 1])))
            --end;
        if (end == first) return false;
        first = end;
    }
    return lines <= allowed;
}

// The size the fitting draws text at in the field: the largest from the field's size down to
// its floor at which it fits whole, without clashes when it fits so at the floor; 0 when it
// fits no way.
inline int LargestFit(const FittedField& f, const QString& text, double scale) {
    for (const bool clashes : {false, true}) {
        if (!FitsWhole(f, text, f.floor, clashes, scale)) continue;
        int size = f.points;
        while (!FitsWhole(f, text, size, clashes, scale)) --size;
        return size;
    }
    return 0;
}

// The words of a field (those whose centre lies in box on the page) drawn whole and at the
// largest size at which text fits the field whole. The size is read from the width of the
// printed characters, each a Chinese character as wide as its size. The fitting measures the
// characters at the printer's resolution, where a size is rounded to whole dots (up to 1.5%
// either way at 300 dpi): the size drawn is no larger than the text fits at with characters that
// much narrower, and no smaller than it fits at with characters that much wider.
inline void ExpectLargestSize(const std::vector<Word>& words, int page, const QRectF& box,
                              const FittedField& f, const QString& text) {
    std::vector<Word> in;
    for (const Word& w : words) {
        if (w.page == page && box.contains(w.box.center())) in.push_back(w);
    }
    // The lines: words whose tops lie within a point of each other.
    std::sort(in.begin(), in.end(), [](const Word& a, const Word& b) {
        if (std::abs(a.box.top() - b.box.top()) > 1) return a.box.top() < b.box.top();
        return a.box.left() < b.box.left();
    });
    double width = 0;
    int characters = 0;
    QString shown;
    for (size_t i = 0; i < in.size();) {
        size_t j = i;
        double left = in[i].box.left(), right = in[i].box.right();
        for (; j < in.size() && std::abs(in[j].box.top() - in[i].box.top()) <= 1; ++j) {
            left = std::min(left, in[j].box.left());
            right = std::max(right, in[j].box.right());
            characters += static_cast<int>(in[j].text.size());
            shown += in[j].text;
        }
        width += right - left;
        i = j;
    }
    SCOPED_TRACE(text.toStdString() + " on page " + std::to_string(page));
    ASSERT_EQ(shown, text) << "not drawn whole";
    const int printed = static_cast<int>(std::lround(width / characters));
    const int narrow = LargestFit(f, text, 0.985), wide = LargestFit(f, text, 1.015);
    EXPECT_GE(printed, wide) << "drawn at " << width / characters << " pt, fits whole at " << wide
                             << " pt";
    EXPECT_LE(printed, narrow) << "drawn at " << width / characters
                               << " pt, fits whole at no more than " << narrow << " pt";
}

}  // namespace printedcells
