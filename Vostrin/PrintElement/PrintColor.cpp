#include "PrintElement/PrintColor.h"

#include "PrintElement/PrintUnits.h"

namespace TVostrin {

namespace {

// The text up to the first comma; the remainder (after the comma, empty when there is none)
// replaces the text.
std::string CutAtComma(std::string& text) {
    const size_t p = text.find(',');
    std::string head = text.substr(0, p);
    text = p == std::string::npos ? std::string() : text.substr(p + 1);
    return head;
}

}  // namespace

int ParseColor(const std::string& text, int defaultPart) {
    std::string rest = text;
    const int r = StrToIntDef(CutAtComma(rest), defaultPart) & 0xFF;
    const int g = StrToIntDef(CutAtComma(rest), defaultPart) & 0xFF;
    const int b = StrToIntDef(rest, defaultPart) & 0xFF;
    return r + g * 256 + b * 65536;
}

QColor ToQColor(int color) {
    return QColor(color & 0xFF, (color >> 8) & 0xFF, (color >> 16) & 0xFF);
}

}  // namespace TVostrin
