#include "PrintElement/TextFit.h"

#include <QFontMetrics>
#include <QFontMetricsF>
#include <algorithm>
#include <cmath>
#include <map>
#include <memory>
#include <optional>

#include "PrintElement/FontAttributes.h"
#include "PrintElement/NumberFormat.h"
#include "PrintElement/PrintUnits.h"
#include "PrintElement/Text.h"
#include "PrintElement/TextLines.h"
#include "PrintElement/TextWidth.h"
#include "TXml.h"
#include "text/Gbk.h"

namespace TVostrin {

namespace {

constexpr int kDefaultMinFontSize = 6;
constexpr int kDefaultMaxLines = 2;

const QChar kEllipsis(0x2026);

// How often a size's lines are laid out again, each time narrower, when a line measured whole
// turns out wider than the sum of its characters (the font moves some pairs apart).
constexpr int kMeasureRetries = 4;

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

// text with its tabs, carriage returns and line feeds made blanks, which are measured as they
// are drawn.
QString Blanked(QString text) {
    for (QChar& c : text) {
        if (IsFitBlank(c)) c = QLatin1Char(' ');
    }
    return text;
}

// One text fitted into one box: its characters and breaks, measured at each size it is tried
// at.
class TFitter {
  public:
    TFitter(const QString& text, int maxLines, int width, int height, const TTextWidthAt& widthAt,
            const TLineHeightAt& lineHeightAt)
        : text_(Blanked(text)),
          atoms_(SplitText(text_)),
          maxLines_(std::max(1, maxLines)),
          box_(ToUnits(std::clamp(width, 0, kMaxFitDots))),
          height_(height),
          widthAt_(widthAt),
          lineHeightAt_(lineHeightAt) {}

    bool Empty() const { return atoms_.atoms.empty(); }

    // The whole text as one line, when it fits the box and the height at a size.
    std::optional<QString> OneLine(int points) const {
        const QString line = Line(0, static_cast<int>(atoms_.atoms.size()));
        if (LinesAt(points) < 1 || !FitsWhole(line, points)) return std::nullopt;
        return line;
    }

    // The Latin words that alone are wider than the box at the given size.
    std::vector<bool> WiderThanTheBox(int points) {
        std::vector<bool> wider;
        for (const auto& [first, last] : atoms_.words)
            wider.push_back(Measured(points).Width(first, last) > box_);
        return wider;
    }

    // The lines that the line count and the height allow at a size.
    long long LinesAt(int points) const {
        long long lines = maxLines_;
        if (height_ > 0)
            lines = std::min<long long>(lines, height_ / std::max(1, lineHeightAt_(points)));
        return lines;
    }

    // The lines of the text at a size within the lines allowed, or none: as few as can be
    // (quickly, for the size search), or finest: names whole where the lines allow, the fewest
    // breaks, the lines even. Every line is also measured whole and kept to the box.
    std::optional<TArrangement> LayOut(int points, const TBreakRules& rules, bool finest) {
        const long long allowed = LinesAt(points);
        if (allowed < 1) return std::nullopt;
        const TMeasuredText& measured = Measured(points);
        TUnits limit = box_;
        for (int attempt = 0; attempt < kMeasureRetries; ++attempt) {
            std::optional<TArrangement> lines =
                Arrange(atoms_, measured, limit, rules, TLineOrder::FewestLines);
            if (!lines || lines->cost.lines > allowed) return std::nullopt;
            if (finest) {
                TLineOrder order = TLineOrder::FewestLines;
                std::optional<TArrangement> whole =
                    Arrange(atoms_, measured, limit, rules, TLineOrder::FewestBreaks);
                if (whole && whole->cost.lines <= allowed) {
                    lines = std::move(whole);
                    order = TLineOrder::FewestBreaks;
                }
                if (lines->cost.lines > 1) lines = Balance(atoms_, measured, rules, order, *lines);
            }
            const TUnits over = Overflow(*lines, points);
            if (over <= 0) return lines;
            limit -= over;
        }
        return std::nullopt;
    }

    // The text of the atoms first to last - 1, with the blanks between them.
    QString Line(int first, int last) const {
        const qsizetype from = atoms_.atoms[first].from;
        return text_.mid(from, atoms_.atoms[last - 1].to - from);
    }

    std::vector<QString> Lines(const TArrangement& arrangement) const {
        std::vector<QString> lines;
        int first = 0;
        for (const int end : arrangement.ends) {
            lines.push_back(Line(first, end));
            first = end;
        }
        return lines;
    }

    // The text that fits no way, at a size: the lines that the line count and the height allow,
    // each as long as it can be, the last one ended with "…".
    TFittedText Shortened(int points, const TBreakRules& rules) {
        TFittedText fitted{points, {}, true};
        const TMeasuredText& measured = Measured(points);
        const int count = static_cast<int>(atoms_.atoms.size());
        const long long allowed = LinesAt(points);
        int first = 0;
        while (first < count && static_cast<long long>(fitted.lines.size()) < allowed) {
            int end = LongestLine(atoms_, measured, first, box_, rules);
            while (end > first && !FitsWhole(Line(first, end), points)) {
                const int shorter =
                    LongestLine(atoms_, measured, first, measured.Width(first, end) - 1, rules);
                end = shorter < end ? shorter : first;
            }
            if (end == first) break;
            fitted.lines.push_back(Line(first, end));
            first = end;
        }
        if (first < count && !fitted.lines.empty()) {
            fitted.lines.back() = Ellipsised(fitted.lines.back(), points);
            if (fitted.lines.back().isEmpty()) fitted.lines.pop_back();
        }
        fitted.shortened = first < count;
        return fitted;
    }

  private:
    const TMeasuredText& Measured(int points) {
        auto it = measured_.find(points);
        if (it == measured_.end()) {
            it = measured_
                     .emplace(points,
                              std::make_unique<TMeasuredText>(text_, atoms_, points, widthAt_))
                     .first;
        }
        return *it->second;
    }

    bool FitsWhole(const QString& line, int points) const {
        return ToUnits(widthAt_(line, points)) <= box_;
    }

    // How far the widest line, measured whole, reaches beyond the box.
    TUnits Overflow(const TArrangement& arrangement, int points) const {
        TUnits over = 0;
        int first = 0;
        for (const int end : arrangement.ends) {
            over = std::max(over, ToUnits(widthAt_(Line(first, end), points)) - box_);
            first = end;
        }
        return over;
    }

    // line with its end taken off until it and "…" fit; empty when "…" alone does not. The
    // place is found from the characters' widths and then checked on the whole line.
    QString Ellipsised(const QString& line, int points) const {
        const TTextAtoms atoms = SplitText(line);
        const TMeasuredText measured(line, atoms, points, widthAt_);
        const TUnits room = box_ - ToUnits(widthAt_(QString(kEllipsis), points));
        int end = static_cast<int>(atoms.atoms.size());
        while (end > 0 && measured.Width(0, end) > room) --end;
        for (; end > 0; --end) {
            const qsizetype to = atoms.atoms[end - 1].to;
            const QString shown = line.left(to) + kEllipsis;
            if (FitsWhole(shown, points)) return shown;
        }
        return FitsWhole(QString(kEllipsis), points) ? QString(kEllipsis) : QString();
    }

    QString text_;
    TTextAtoms atoms_;
    int maxLines_;
    TUnits box_;
    int height_;
    const TTextWidthAt& widthAt_;
    const TLineHeightAt& lineHeightAt_;
    std::map<int, std::unique_ptr<TMeasuredText>> measured_;
};

}  // namespace

TFittedText FitText(const QString& text, int fontSize, int minFontSize, int maxLines, int width,
                    int height, const TTextWidthAt& widthAt, const TLineHeightAt& lineHeightAt) {
    const int top = std::clamp(fontSize, 1, kMaxFitPoints);
    const int floor = std::clamp(minFontSize, 1, top);
    TFitter fitter(text, maxLines, width, height, widthAt, lineHeightAt);
    if (fitter.Empty()) return {top, {}, false};
    // Most texts fit as they are: one line at the size asked for.
    if (std::optional<QString> line = fitter.OneLine(top)) return {top, {*line}, false};

    // A Latin word is cut only when it alone is wider than the box at the smallest size; the
    // punctuation rules give way only when the text fits no other way at the smallest size.
    TBreakRules rules{false, fitter.WiderThanTheBox(floor)};
    for (const bool clashes : {false, true}) {
        rules.clashes = clashes;
        auto fits = [&](int points) { return fitter.LayOut(points, rules, false).has_value(); };
        if (!fits(floor)) continue;
        const int size = LargestSize(floor, top, fits);
        std::optional<TArrangement> lines = fitter.LayOut(size, rules, true);
        if (!lines) lines = fitter.LayOut(size, rules, false);
        return {size, fitter.Lines(*lines), false};
    }
    return fitter.Shortened(floor, rules);
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

    try {
        Zprinters::TZFont font = canvas->Font;
        ApplyFontAttributes(node, font);
        // The canvas measures with a fresh font for every call; the fitting asks for a few sizes
        // many times, so the metrics of each size are made once.
        struct TMetrics {
            QFontMetricsF widths;
            int lineHeight;
        };
        std::map<int, TMetrics> metrics;
        auto at = [&](int points) -> const TMetrics& {
            auto it = metrics.find(points);
            if (it == metrics.end()) {
                font.SetSize(points);
                const QFont qfont = font.ToQFont();
                it = metrics
                         .emplace(points,
                                  TMetrics{QFontMetricsF(qfont), QFontMetrics(qfont).height()})
                         .first;
            }
            return it->second;
        };
        const TTextWidthAt widthAt = [&](const QString& t, int points) {
            return MeasureTextWidth(at(points).widths, t);
        };
        const TLineHeightAt lineHeightAt = [&](int points) { return at(points).lineHeight; };
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
            const int lineWidth = static_cast<int>(std::lround(widthAt(line, fitted.fontSize)));
            TText::DrawLine(element, canvas, node,
                            {line, &drawn, top + i * lineHeight, {lineWidth, lineHeight}});
        }
    } catch (...) {
        // A failing element leaves the page to the others.
    }
    return true;
}

}  // namespace TVostrin
