#include "PrintElement/TessorBar.h"

#include <algorithm>
#include <charconv>
#include <iterator>

#include "PrintElement/PrintUnits.h"
#include "PrintElement/RawPrinterChannel.h"
#include "TXml.h"

namespace TVostrin {

namespace {

constexpr size_t kMaxData = 98;
// The command buffer of the pass-through holds 1,024 bytes, two of them for the byte count.
constexpr size_t kMaxCommand = 1024 - 2;

// The symbols of Code 39 besides digits, capitals, "-" and "." that the bar code font draws
// at other code points, and those code points.
struct TMovedSymbol {
    unsigned char symbol;
    unsigned char code;
};
constexpr TMovedSymbol kMovedSymbols[] = {
    {' ', 95}, {'$', 178}, {'%', 179}, {'+', 176}, {'/', 177}};

// A number with two decimals and "." as the decimal point.
std::string TwoDecimals(double v) {
    char buf[64];
    const auto r = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::fixed, 2);
    return std::string(buf, r.ec == std::errc() ? r.ptr : buf);
}

// The element's data: "value", or the text content when "value" is empty.
std::string ValueOf(TXml* node) {
    std::string value = node->AttributeValue("value");
    return value.empty() ? node->GetContent() : value;
}

}  // namespace

bool ConvertCode39(const std::string& data, std::string& out) {
    std::string framed = "*";
    for (size_t i = 0; i < data.size() && i < kMaxData; ++i) {
        const unsigned char c = static_cast<unsigned char>(data[i]);
        if ((c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || c == '-' || c == '.') {
            framed += static_cast<char>(c);
            continue;
        }
        const auto* moved = std::find_if(std::begin(kMovedSymbols), std::end(kMovedSymbols),
                                         [c](const TMovedSymbol& m) { return m.symbol == c; });
        if (moved == std::end(kMovedSymbols)) return false;
        framed += static_cast<char>(moved->code);
    }
    out = framed + "*";
    return true;
}

std::string Code39Commands(double xDots, double yDots, int sizePoints, const std::string& framed) {
    std::string cmd;
    cmd += "\033*p" + TwoDecimals(xDots) + "X";
    cmd += "\033*p" + TwoDecimals(yDots) + "Y";
    cmd += "\033&t0P";
    cmd += "\033(0V";
    cmd += "\033(s1p" + std::to_string(sizePoints) + "v0s0b20408T";
    cmd += framed;
    return cmd;
}

bool TTessorBar::Print(TCanvas*) {
    try {
        if (!Node) return true;
        const std::string value = ValueOf(Node);
        if (value.empty()) return true;
        // The product in integers first (64 bits, so that it cannot overflow), then divided.
        const long long px =
            static_cast<long long>(StrToIntDef(Node->AttributeValue("x"), 0)) - OffsetX;
        const long long py =
            static_cast<long long>(StrToIntDef(Node->AttributeValue("y"), 0)) - OffsetY;
        const double x = static_cast<double>(px * DpiX) / 254.0;
        const double y = static_cast<double>(py * DpiY) / 254.0;
        std::string type = Node->AttributeValue("type");
        if (type.empty()) type = "SS39M";
        const int size = StrToIntDef(Node->AttributeValue("size"), 10);
        std::string framed;
        if (type != "SS39M" || !ConvertCode39(value, framed)) return true;
        const std::string cmd = Code39Commands(x, y, size, framed);
        if (cmd.size() > kMaxCommand) return true;
        if (TRawPrinterChannel* channel = RawChannelOf(PrinterHandle)) channel->PassThrough(cmd);
    } catch (...) {
        // A failing element leaves the page to the others.
    }
    return true;
}

}  // namespace TVostrin
