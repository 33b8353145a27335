#include "PrintElement/TextWrap.h"

namespace TVostrin {

namespace {

void PutInFront(const std::string& piece, std::string& rest, bool blankBetween) {
    if (blankBetween && !rest.empty())
        rest = piece + " " + rest;
    else
        rest = piece + rest;
}

// A place where a line may be cut: the start of a character of two bytes (or of GB18030's four),
// or a blank (which is dropped with the cut).
struct Cut {
    size_t at;
    bool blank;
};

// The places where text may be cut, the last one first.
std::vector<Cut> CutsFromTheEnd(const std::string& text) {
    const std::vector<size_t> starts = GbkCharStarts(text);
    std::vector<Cut> cuts;
    for (size_t k = starts.size(); k-- > 0;) {
        const size_t at = starts[k];
        const size_t len = (k + 1 < starts.size() ? starts[k + 1] : text.size()) - at;
        if (len > 1)
            cuts.push_back({at, false});
        else if (text[at] == ' ')
            cuts.push_back({at, true});
    }
    return cuts;
}

}  // namespace

bool CutLastPiece(std::string& text, std::string& rest) {
    const std::vector<Cut> cuts = CutsFromTheEnd(text);
    if (cuts.empty()) {
        PutInFront(text, rest, true);
        text.clear();
        return false;
    }
    const Cut& cut = cuts.front();
    PutInFront(text.substr(cut.blank ? cut.at + 1 : cut.at), rest, cut.blank);
    text.resize(cut.at);
    return true;
}

std::string FitLine(const std::string& text, std::string& rest,
                    const std::function<bool(const std::string&)>& fits) {
    if (text.empty()) return text;

    // Line j is what is left of text after j pieces were cut off: the whole text for j = 0, the
    // text before cut j for j >= 1. After the last cut, or once no cut is left, nothing is left.
    const std::vector<Cut> cuts = CutsFromTheEnd(text);
    const size_t last = cuts.size() + (cuts.empty() || cuts.back().at > 0 ? 1 : 0);
    auto lineEnd = [&](size_t j) {
        return j == 0 ? text.size() : j <= cuts.size() ? cuts[j - 1].at : 0;
    };
    auto ends = [&](size_t j) {
        const size_t end = lineEnd(j);
        return end == 0 || fits(text.substr(0, end));
    };

    // The first line that fits (or is empty); lines only get narrower as j grows. Lines are
    // usually short beside the text: try ever longer ones from the shortest, then halve. The
    // whole text is measured only when the lines below it fit, so a text far longer than a line
    // costs about what its first line does.
    size_t hi = last;  // fits
    size_t lo = 0;     // the last that does not fit, once one is found
    bool found = false;
    for (size_t step = 1; hi > 0; step *= 2) {
        const size_t probe = hi > step ? hi - step : 0;
        if (!ends(probe)) {
            lo = probe;
            found = true;
            break;
        }
        hi = probe;
    }
    if (!found) return text;  // the whole text fits
    while (hi - lo > 1) {
        const size_t mid = lo + (hi - lo) / 2;
        if (ends(mid))
            hi = mid;
        else
            lo = mid;
    }

    // The pieces cut off, as cutting them one by one from the end puts them in front of rest:
    // after a blank (not after a double-byte character, nor before an empty rest) one blank
    // goes between a piece and what follows it.
    std::vector<std::string> parts;
    bool restEmpty = rest.empty();
    for (size_t j = 1; j <= hi; ++j) {
        const size_t end = j == 1 ? text.size() : cuts[j - 2].at;
        const bool atCut = j <= cuts.size();
        const bool blank = !atCut || cuts[j - 1].blank;
        const size_t begin = !atCut ? 0 : blank ? cuts[j - 1].at + 1 : cuts[j - 1].at;
        parts.push_back(blank && !restEmpty ? " " : "");
        parts.push_back(text.substr(begin, end - begin));
        restEmpty = restEmpty && parts.back().empty();
    }
    std::string front;
    for (size_t p = parts.size(); p-- > 0;) front += parts[p];
    rest = front + rest;
    return text.substr(0, lineEnd(hi));
}

}  // namespace TVostrin
