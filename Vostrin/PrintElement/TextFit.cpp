#include "PrintElement/TextFit.h"

#include <QFontMetrics>
#include <algorithm>
#include <map>

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

const QChar kEllipsis(0x2026);

// Characters no line may start with: closing punctuation and brackets, pause and stop marks,
// and the "/" that joins names.
bool NoLineStart(QChar c) {
    static const QString set =
        QStringLiteral("、，。．；：？！）」』】》〉〕〗〙］｝”’…‥·～％,.;:?!)]}%/／");
    return set.contains(c);
}

// Characters no line may end with: opening brackets and quotes.
bool NoLineEnd(QChar c) {
    static const QString set = QStringLiteral("（「『【《〈〔〖〘［｛“‘([{");
    return set.contains(c);
}

// A piece that no line break may cut, unless it alone is wider than a line: one Chinese (or
// other non-ASCII) character, or a run of ASCII characters other than blanks (up to a "/"),
// together with the punctuation that may not be parted from it. blanks holds the blanks that
// stood before it.
struct TPiece {
    QString blanks;
    QString text;
};

std::vector<TPiece> Pieces(const QString& text) {
    std::vector<TPiece> raw;
    QString blanks;
    bool inWord = false;
    for (const QChar c : text) {
        if (c == QLatin1Char(' ')) {
            blanks += c;
            inWord = false;
        } else if (c.unicode() < 0x80) {
            if (!inWord) raw.push_back({blanks, QString()});
            raw.back().text += c;
            blanks.clear();
            inWord = c != QLatin1Char('/');  // a line may break after the "/" that joins names
        } else if (c.isLowSurrogate() && !raw.empty() && blanks.isEmpty() &&
                   raw.back().text.back().isHighSurrogate()) {
            raw.back().text += c;  // the second half of a character outside the BMP
            inWord = false;
        } else {
            raw.push_back({blanks, QString(c)});
            blanks.clear();
            inWord = false;
        }
    }
    // A piece that begins with a character no line may start with, or follows one that no line
    // may end with, stays with the piece before it.
    std::vector<TPiece> pieces;
    for (TPiece& piece : raw) {
        if (!pieces.empty() &&
            (NoLineStart(piece.text.front()) || NoLineEnd(pieces.back().text.back()))) {
            pieces.back().text += piece.blanks + piece.text;
        } else {
            pieces.push_back(std::move(piece));
        }
    }
    return pieces;
}

// Marks after which a line may break inside a run of characters: those that end a name in a
// list or a clause.
bool EndsName(QChar c) {
    static const QString set = QStringLiteral("、，。；：？！,;/／");
    return set.contains(c);
}

// A word: the text between two places where a line may break (blanks, and the marks that end
// a name), made of the pieces it may be cut into when it alone is wider than a line. blanks
// holds the blanks that stood before it.
struct TWord {
    QString blanks;
    QString text;
    std::vector<QString> pieces;
};

std::vector<TWord> Words(const QString& text) {
    std::vector<TWord> words;
    for (TPiece& piece : Pieces(text)) {
        if (words.empty() || !piece.blanks.isEmpty() || EndsName(words.back().text.back())) {
            words.push_back({std::move(piece.blanks), piece.text, {piece.text}});
        } else {
            words.back().text += piece.text;
            words.back().pieces.push_back(std::move(piece.text));
        }
    }
    return words;
}

// Lines filled from the front; cut lists the words (by index) that were wider than the limit
// and so cut between their pieces; tooWide when a single character is wider than the limit
// (its line is then wider than the limit too).
struct TWrap {
    std::vector<QString> lines;
    std::vector<size_t> cut;
    bool tooWide = false;
};

TWrap Wrap(const std::vector<TWord>& words, int limit, int points, const TTextWidthAt& width) {
    TWrap out;
    QString line;
    auto next = [&]() {
        out.lines.push_back(line);
        line.clear();
    };
    // Puts text after the line's text when both fit, else on a line of its own; a text wider
    // than a line is cut between its characters.
    auto add = [&](const QString& blanks, const QString& text) {
        if (!line.isEmpty()) {
            const QString longer = line + blanks + text;
            if (width(longer, points) <= limit) {
                line = longer;
                return;
            }
            next();
        }
        if (width(text, points) <= limit) {
            line = text;
            return;
        }
        for (qsizetype i = 0; i < text.size(); ++i) {
            QString c(text[i]);
            if (text[i].isHighSurrogate() && i + 1 < text.size()) c += text[++i];
            if (!line.isEmpty() && width(line + c, points) > limit) next();
            if (line.isEmpty() && width(c, points) > limit) out.tooWide = true;
            line += c;
        }
    };
    for (size_t i = 0; i < words.size(); ++i) {
        const TWord& word = words[i];
        const bool fits = width(word.text, points) <= limit;
        if (!fits) out.cut.push_back(i);
        if (fits || word.pieces.size() == 1) {
            add(word.blanks, word.text);
            continue;
        }
        // Wider than a line: cut between its pieces, which fill the line it starts on first.
        for (size_t j = 0; j < word.pieces.size(); ++j)
            add(j == 0 ? word.blanks : QString(), word.pieces[j]);
    }
    if (!line.isEmpty()) out.lines.push_back(line);
    return out;
}

// The largest size from low to high for which fits holds, trying high first; low when none
// does. Sizes are searched by halving the range, so fits is asked a few times only.
template <class Fits>
int LargestSize(int low, int high, const Fits& fits) {
    if (fits(high)) return high;
    --high;
    while (low < high) {
        const int mid = low + (high - low + 1) / 2;
        if (fits(mid))
            low = mid;
        else
            high = mid - 1;
    }
    return low;
}

// The lines of wrapped, made as even as their count allows: the narrowest limit that gives no
// more lines, but never narrower than the widest piece that fits a line, so that balancing
// cuts no word that the line would hold.
std::vector<QString> Balanced(const std::vector<TWord>& words, const TWrap& wrapped, int width,
                              int points, const TTextWidthAt& widthAt) {
    int low = 1;
    for (const TWord& word : words) {
        const int w = widthAt(word.text, points);
        if (w <= width) low = std::max(low, w);
    }
    int high = width;
    while (low < high) {
        const int mid = low + (high - low) / 2;
        const TWrap w = Wrap(words, mid, points, widthAt);
        if (!w.tooWide && w.lines.size() <= wrapped.lines.size())
            high = mid;
        else
            low = mid + 1;
    }
    TWrap balanced = Wrap(words, high, points, widthAt);
    if (balanced.tooWide || balanced.lines.size() > wrapped.lines.size()) return wrapped.lines;
    return std::move(balanced.lines);
}

// line with its end taken off until it and "…" fit into width; empty when "…" alone does not.
QString Shortened(QString line, int width, int points, const TTextWidthAt& widthAt) {
    while (!line.isEmpty() && widthAt(line + kEllipsis, points) > width) {
        line.chop(line.size() > 1 && line.back().isLowSurrogate() ? 2 : 1);
        while (line.endsWith(QLatin1Char(' '))) line.chop(1);
    }
    if (line.isEmpty() && widthAt(QString(kEllipsis), points) > width) return QString();
    return line + kEllipsis;
}

}  // namespace

std::vector<QString> WrapText(const QString& text, int limit, int points,
                              const TTextWidthAt& width) {
    return Wrap(Words(text), limit, points, width).lines;
}

TFittedText FitText(const QString& text, int fontSize, int minFontSize, int maxLines, int width,
                    int height, const TTextWidthAt& widthAt, const TLineHeightAt& lineHeightAt) {
    const int top = std::clamp(fontSize, 1, kMaxFitPoints);
    const int floor = std::clamp(minFontSize, 1, top);
    auto tallEnough = [&](size_t lines, int points) {
        return height <= 0 || static_cast<long long>(lines) * lineHeightAt(points) <= height;
    };

    // One line, at the largest size that lets it fit.
    auto oneLine = [&](int points) {
        return widthAt(text, points) <= width && tallEnough(1, points);
    };
    if (oneLine(top)) return {top, {text}};
    if (oneLine(floor)) return {LargestSize(floor, top - 1, oneLine), {text}};

    // More lines: as few as the smallest size allows, at the largest size that still gives no
    // more. Each line holds at least one character, so more lines than characters never help.
    const std::vector<TWord> words = Words(text);
    size_t characters = 0;
    for (const TWord& word : words) characters += word.text.size();
    const size_t most = std::clamp<size_t>(static_cast<size_t>(std::max(1, maxLines)), 1,
                                           std::max<size_t>(1, characters));
    const TWrap atFloor = Wrap(words, width, floor, widthAt);
    const size_t count = atFloor.lines.size();
    if (most >= 2 && !atFloor.tooWide && count <= most && tallEnough(count, floor)) {
        const size_t allowed = std::max<size_t>(2, count);
        // The search asks for larger sizes after each one that fits, so the last lines that
        // fit are those of the size it finds.
        TWrap best = atFloor;
        // A word is cut only when it alone is wider than the line at the smallest size: a larger
        // size that would cut a word that fits a line there is too large.
        auto fits = [&](int points) {
            TWrap w = Wrap(words, width, points, widthAt);
            const bool ok =
                !w.tooWide && w.lines.size() <= allowed &&
                std::includes(atFloor.cut.begin(), atFloor.cut.end(), w.cut.begin(), w.cut.end()) &&
                tallEnough(w.lines.size(), points);
            if (ok) best = std::move(w);
            return ok;
        };
        const int size = LargestSize(floor, top, fits);
        return {size, Balanced(words, best, width, size, widthAt)};
    }

    // It does not fit: the lines that the line count and the height allow, at the smallest
    // size, none wider than the box, the last one ended with "…".
    size_t keep = most;
    if (height > 0) {
        const int line = std::max(1, lineHeightAt(floor));
        keep = std::min(keep, static_cast<size_t>(height / line));
    }
    TFittedText fitted{floor, {}, false};
    for (const QString& line : atFloor.lines) {
        if (fitted.lines.size() >= keep) break;
        if (atFloor.tooWide && widthAt(line, floor) > width) break;
        fitted.lines.push_back(line);
    }
    if (fitted.lines.size() < atFloor.lines.size()) {
        fitted.shortened = true;
        if (!fitted.lines.empty()) {
            fitted.lines.back() = Shortened(fitted.lines.back(), width, floor, widthAt);
            if (fitted.lines.back().isEmpty()) fitted.lines.pop_back();
        }
    }
    return fitted;
}

bool PrintFitted(const TPrintElement& element, TCanvas* canvas, TXml* node) {
    if (!canvas || !node) return false;
    const int fitWidth = StrToIntDef(node->AttributeValue("fitwidth"), 0);
    if (fitWidth <= 0) return false;
    std::string value = node->AttributeValue("value");
    if (value.empty()) return false;
    const std::string format = node->AttributeValue("format");
    if (!format.empty() && node->AttributeValue("type") == "number")
        value = FormatNumberText(value, format);
    const QString text = tw::text::FromGbk(value);
    if (text.trimmed().isEmpty()) return false;

    try {
        Zprinters::TZFont font = canvas->Font;
        ApplyFontAttributes(node, font);
        // The canvas measures with a fresh font for every call; the fitting asks for a few sizes
        // many times, so the metrics of each size are made once.
        std::map<int, QFontMetrics> metrics;
        auto at = [&](int points) -> const QFontMetrics& {
            auto it = metrics.find(points);
            if (it == metrics.end()) {
                font.SetSize(points);
                it = metrics.emplace(points, QFontMetrics(font.ToQFont())).first;
            }
            return it->second;
        };
        // The widths measured, so that the lines drawn are not measured again.
        std::map<std::pair<int, QString>, int> widths;
        auto widthAt = [&](const QString& t, int points) {
            auto [it, added] = widths.try_emplace({points, t}, 0);
            if (added) it->second = at(points).horizontalAdvance(t);
            return it->second;
        };
        auto lineHeightAt = [&](int points) { return at(points).height(); };
        // The size asked for, read as the font reads it but before it is turned into a height,
        // which a size far beyond any paper would overflow.
        const std::string size = node->AttributeValue("fontsize");
        const int points = size.empty() ? font.GetSize() : StrToIntDef(size, 10);
        const int fitHeight = StrToIntDef(node->AttributeValue("fitheight"), 0);
        const TFittedText fitted = FitText(
            text, points, StrToIntDef(node->AttributeValue("minfontsize"), kDefaultMinFontSize),
            StrToIntDef(node->AttributeValue("maxlines"), kDefaultMaxLines),
            element.WidthToDots(fitWidth), element.HeightToDots(fitHeight), widthAt, lineHeightAt);
        const int lineHeight = lineHeightAt(fitted.fontSize);
        Zprinters::TZFont drawn = font;
        drawn.SetSize(fitted.fontSize);

        // Each line is drawn as the element itself would be, with its own text, size and top.
        int top = element.YToDots(StrToIntDef(node->AttributeValue("y"), 0));
        const int lines = static_cast<int>(fitted.lines.size());
        if (fitHeight > 0) top += (element.HeightToDots(fitHeight) - lines * lineHeight) / 2;
        for (int i = 0; i < lines; ++i) {
            const QString& line = fitted.lines[i];
            TText::DrawLine(
                element, canvas, node,
                {line, &drawn, top + i * lineHeight, {widthAt(line, fitted.fontSize), lineHeight}});
        }
    } catch (...) {
        // A failing element leaves the page to the others.
    }
    return true;
}

}  // namespace TVostrin
