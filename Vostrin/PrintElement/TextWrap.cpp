#include "PrintElement/TextWrap.h"

namespace TVostrin {

std::vector<size_t> GbkCharStarts(const std::string& text) {
    std::vector<size_t> starts;
    const size_t n = text.size();
    size_t i = 0;
    while (i < n) {
        starts.push_back(i);
        const unsigned char c = static_cast<unsigned char>(text[i]);
        i += (c >= 0x81 && c <= 0xFE && i + 1 < n) ? 2 : 1;
    }
    return starts;
}

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
