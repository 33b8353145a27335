#include "PrintElement/TextFit.h"

#include <algorithm>

#include "PrintElement/FontAttributes.h"
#include "PrintElement/NumberFormat.h"
#include "PrintElement/PrintUnits.h"
#include "PrintElement/Text.h"
#include "TXml.h"
#include "text/Gbk.h"

namespace TVostrin {

namespace {

constexpr int kDefaultMinFontSize = 6;
constexpr int kDefaultMaxLines = 2;

// A piece that no line break may cut, unless it alone is wider than a line: one Chinese (or
// other non-ASCII) character, or a run of ASCII characters other than blanks. blanks holds the
// blanks that stood before it.
struct TPiece {
    QString blanks;
    QString text;
};

std::vector<TPiece> Pieces(const QString& text) {
    std::vector<TPiece> pieces;
    QString blanks;
    bool inWord = false;
    for (const QChar c : text) {
        if (c == QLatin1Char(' ')) {
            blanks += c;
            inWord = false;
        } else if (c.unicode() < 0x80) {
            if (!inWord) pieces.push_back({blanks, QString()});
            pieces.back().text += c;
            blanks.clear();
            inWord = true;
        } else {
            pieces.push_back({blanks, QString(c)});
            blanks.clear();
            inWord = false;
        }
    }
    return pieces;
}

}  // namespace

std::vector<QString> WrapText(const QString& text, int limit, int points,
                              const TTextWidthAt& width) {
    std::vector<QString> lines;
    QString line;
    auto start = [&](const QString& piece) {
        // A line begins with the piece; a piece wider than a line is cut between characters.
        line.clear();
        for (const QChar c : piece) {
            if (!line.isEmpty() && width(line + c, points) > limit) {
                lines.push_back(line);
                line.clear();
            }
            line += c;
        }
    };
    for (const TPiece& piece : Pieces(text)) {
        if (line.isEmpty()) {
            start(piece.text);
            continue;
        }
        const QString longer = line + piece.blanks + piece.text;
        if (width(longer, points) <= limit) {
            line = longer;
        } else {
            lines.push_back(line);
            start(piece.text);
        }
    }
    if (!line.isEmpty()) lines.push_back(line);
    return lines;
}

TFittedText FitText(const QString& text, int fontSize, int minFontSize, int maxLines, int width,
                    int height, const TTextWidthAt& widthAt, const TLineHeightAt& lineHeightAt) {
    const int floor = std::max(1, std::min(minFontSize, fontSize));
    auto tallEnough = [&](size_t lines, int points) {
        return height <= 0 || static_cast<long long>(lines) * lineHeightAt(points) <= height;
    };
    for (int points = fontSize; points >= floor; --points) {
        if (widthAt(text, points) <= width && tallEnough(1, points)) return {points, {text}};
    }
    for (int count = 2; count <= maxLines; ++count) {
        for (int points = fontSize; points >= floor; --points) {
            const std::vector<QString> lines = WrapText(text, width, points, widthAt);
            if (lines.size() > static_cast<size_t>(count) || !tallEnough(lines.size(), points))
                continue;
            // The narrowest limit that still gives no more lines balances them.
            int low = 1, high = width;
            while (low < high) {
                const int mid = low + (high - low) / 2;
                if (WrapText(text, mid, points, widthAt).size() <= lines.size())
                    high = mid;
                else
                    low = mid + 1;
            }
            std::vector<QString> balanced = WrapText(text, high, points, widthAt);
            if (balanced.size() > lines.size()) balanced = lines;
            return {points, balanced};
        }
    }
    return {floor, WrapText(text, width, floor, widthAt)};
}

bool PrintFitted(const TPrintElement& element, TCanvas* canvas, TXml* node) {
    if (!canvas || !node) return false;
    const int fitWidth = StrToIntDef(node->AttributeValue("fitwidth"), 0);
    std::string value = node->AttributeValue("value");
    if (fitWidth <= 0 || value.empty()) return false;
    const std::string format = node->AttributeValue("format");
    if (node->AttributeValue("type") == "number" && !format.empty())
        value = FormatNumberText(value, format);
    const QString text = tw::text::FromGbk(value);
    if (text.trimmed().isEmpty()) return false;

    TFittedText fitted;
    int lineHeight = 0;
    const Zprinters::TZFont saved = canvas->Font;
    try {
        Zprinters::TZFont font = saved;
        ApplyFontAttributes(node, font);
        auto widthAt = [&](const QString& t, int points) {
            font.SetSize(points);
            canvas->Font = font;
            return canvas->TextWidth(t);
        };
        auto lineHeightAt = [&](int points) {
            font.SetSize(points);
            canvas->Font = font;
            return canvas->TextHeight(text);
        };
        const int fitHeight = StrToIntDef(node->AttributeValue("fitheight"), 0);
        fitted = FitText(
            text, font.GetSize(),
            StrToIntDef(node->AttributeValue("minfontsize"), kDefaultMinFontSize),
            std::max(1, StrToIntDef(node->AttributeValue("maxlines"), kDefaultMaxLines)),
            element.WidthToDots(fitWidth), element.HeightToDots(fitHeight), widthAt, lineHeightAt);
        lineHeight = lineHeightAt(fitted.fontSize);
        canvas->Font = saved;

        // Each line is drawn as a text element of its own, at the fitted size.
        const int y = StrToIntDef(node->AttributeValue("y"), 0);
        int top = element.YToDots(y);
        const int lines = static_cast<int>(fitted.lines.size());
        if (fitHeight > 0) top += (element.HeightToDots(fitHeight) - lines * lineHeight) / 2;
        for (int i = 0; i < lines; ++i) {
            TXml run;
            run.CopyFrom(node);
            run.RemoveAttribute("type");
            run.SetAttribute("value", tw::text::ToGbk(fitted.lines[i]));
            run.SetAttribute("fontsize", std::to_string(fitted.fontSize));
            const long long lineTop =
                DotsToPos(top + i * lineHeight, element.DpiY, element.OffsetY);
            run.SetAttribute("y", std::to_string(lineTop));
            TText::DrawRun(element, canvas, &run, nullptr, nullptr);
        }
    } catch (...) {
        canvas->Font = saved;  // a failing element leaves the page to the others
    }
    return true;
}

}  // namespace TVostrin
