#include "PrintElement/ZintBarcode.h"

#include <strings.h>
#include <zint.h>

#include <QFontMetrics>
#include <QPainter>
#include <algorithm>
#include <cstring>
#include <memory>

#include "PrintElement/PrintUnits.h"
#include "text/Gbk.h"

namespace TVostrin {

namespace {

struct TSymbologyName {
    const char* name;
    int symbology;
    // EAN types: the number of digits of the symbol, its check digit included; 0 for others.
    size_t eanDigits;
};

const TSymbologyName kSymbologies[] = {
    {"128", BARCODE_CODE128, 0},  {"39", BARCODE_CODE39, 0},       {"93", BARCODE_CODE93, 0},
    {"EAN13", BARCODE_EANX, 13},  {"EAN8", BARCODE_EANX, 8},       {"UPCA", BARCODE_UPCA, 0},
    {"ITF", BARCODE_C25INTER, 0}, {"CODABAR", BARCODE_CODABAR, 0},
};

const TSymbologyName* SymbologyOf(const std::string& type) {
    for (const TSymbologyName& s : kSymbologies)
        if (strcasecmp(type.c_str(), s.name) == 0) return &s;
    return nullptr;
}

// libzint chooses the EAN symbol by the number of digits alone (8 to 12 make an EAN-13, 5 or
// fewer an add-on symbol), so the data is given the length of the type's symbol: all its
// digits, the check digit included, are taken with the check-digit variant, which refuses a
// wrong check digit; fewer are padded with leading zeros and libzint adds the check digit. An
// add-on ("+" and 2 or 5 digits) stays as given. False when the number does not fit the type.
bool EanInput(size_t digits, std::string& data, int& symbology) {
    const size_t plus = data.find('+');
    std::string number = data.substr(0, plus);
    if (number.empty() || number.size() > digits ||
        number.find_first_not_of("0123456789") != std::string::npos)
        return false;
    if (number.size() == digits)
        symbology = BARCODE_EANX_CHK;
    else
        number.insert(0, digits - 1 - number.size(), '0');
    data = number + (plus == std::string::npos ? std::string() : data.substr(plus));
    return true;
}

// The text under a Code 128 symbol: its data read as GBK, control characters shown as blanks
// the way libzint shows them (libzint itself reads the bytes as Latin-1).
std::string Code128Text(std::string data) {
    for (char& c : data)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) c = ' ';
    return tw::text::FromGbk(data).toStdString();
}

struct TSymbolDeleter {
    void operator()(zint_symbol* s) const { ZBarcode_Delete(s); }
};

// Whether module col of row 0 is dark: libzint keeps the modules of a row as bits.
bool ModuleSet(const zint_symbol& symbol, int col) {
    return (symbol.encoded_data[0][col >> 3] >> (col & 7)) & 1;
}

}  // namespace

int BarcodeSymbology(const std::string& type) {
    const TSymbologyName* s = SymbologyOf(type);
    return s ? s->symbology : 0;
}

bool EncodeBarcode(const std::string& type, const std::string& data, TBarcodeModules& out) {
    const TSymbologyName* named = SymbologyOf(type);
    if (!named || data.empty() || data.find('\0') != std::string::npos) return false;
    int symbology = named->symbology;
    std::string input = data;
    if (named->eanDigits > 0 && !EanInput(named->eanDigits, input, symbology)) return false;
    std::unique_ptr<zint_symbol, TSymbolDeleter> symbol(ZBarcode_Create());
    if (!symbol) return false;
    symbol->symbology = symbology;
    symbol->input_mode = DATA_MODE;
    const int rc =
        ZBarcode_Encode(symbol.get(), reinterpret_cast<const unsigned char*>(input.data()),
                        static_cast<int>(input.size()));
    if (rc >= ZINT_ERROR || symbol->rows < 1 || symbol->width < 1 ||
        symbol->width > static_cast<int>(sizeof symbol->encoded_data[0] * 8))
        return false;
    out.modules.assign(static_cast<size_t>(symbol->width), false);
    for (int col = 0; col < symbol->width; ++col) out.modules[col] = ModuleSet(*symbol, col);
    if (symbology == BARCODE_CODE128)
        out.text = Code128Text(input);
    else
        out.text.assign(reinterpret_cast<const char*>(symbol->text),
                        strnlen(reinterpret_cast<const char*>(symbol->text), sizeof symbol->text));
    return true;
}

void DrawBarcode(TCanvas* canvas, const std::string& type, int x, int y, const std::string& data,
                 float, int height, int rotation, int mode) {
    if (!canvas) return;
    TBarcodeModules symbol;
    if (!EncodeBarcode(type, data, symbol)) return;
    Zprinters::HDC dc = canvas->GetHandle();
    QPainter* p = dc ? dc->Painter() : nullptr;
    if (!p) return;
    const int dpiX = dc->GetDeviceCaps(Zprinters::LOGPIXELSX);
    const int dpiY = dc->GetDeviceCaps(Zprinters::LOGPIXELSY);
    if (dpiX <= 0 || dpiY <= 0) return;

    const int count = static_cast<int>(symbol.modules.size());
    // However wide the pen, the whole symbol stays within the range of positions.
    const int module = std::clamp(canvas->Pen.Width, 1, std::max(1, kMaxDots / std::max(1, count)));
    const int bars = std::max(0, SizeToDots(height, dpiY));
    p->save();
    p->translate(PosToDots(x, 0, dpiX), PosToDots(y, 0, dpiY));
    if (rotation == 90 || rotation == 180 || rotation == 270) p->rotate(rotation);
    p->setRenderHint(QPainter::Antialiasing, false);
    const QColor color = canvas->Pen.Color;
    for (int col = 0; col < count;) {
        if (!symbol.modules[col]) {
            ++col;
            continue;
        }
        int end = col;
        while (end < count && symbol.modules[end]) ++end;
        p->fillRect(QRect(col * module, 0, (end - col) * module, bars), color);
        col = end;
    }
    if (mode == 0 && !symbol.text.empty()) {
        const QString text = QString::fromUtf8(symbol.text);
        const QFont font = canvas->Font.ToQFont();
        const QFontMetrics fm(font);
        const int left = (count * module - fm.horizontalAdvance(text)) / 2;
        p->setFont(font);
        p->setPen(canvas->Font.Color);
        p->drawText(left, bars + fm.ascent(), text);
    }
    p->restore();
}

}  // namespace TVostrin
