#include "PrintElement/TextWrap.h"

namespace TVostrin {

namespace {

void PutInFront(const std::string& piece, std::string& rest, bool blankBetween) {
    if (blankBetween && !rest.empty())
        rest = piece + " " + rest;
    else
        rest = piece + rest;
}

}  // namespace

bool CutLastPiece(std::string& text, std::string& rest) {
    const std::vector<size_t> starts = GbkCharStarts(text);
    for (size_t k = starts.size(); k-- > 0;) {
        const size_t at = starts[k];
        const size_t len = (k + 1 < starts.size() ? starts[k + 1] : text.size()) - at;
        if (len == 2) {
            PutInFront(text.substr(at), rest, false);
            text.resize(at);
            return true;
        }
        if (text[at] == ' ') {
            PutInFront(text.substr(at + 1), rest, true);
            text.resize(at);
            return true;
        }
    }
    PutInFront(text, rest, true);
    text.clear();
    return false;
}

}  // namespace TVostrin
