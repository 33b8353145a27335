#include "PrintElement/ZintBarcode.h"

#include <strings.h>
#include <zint.h>

#include <QFontMetrics>
#include <QPainter>
#include <algorithm>
#include <cstring>
#include <memory>

#include "PrintElement/PrintUnits.h"

namespace TVostrin {

namespace {

struct TSymbologyName {
    const char* name;
    int symbology;
};

const TSymbologyName kSymbologies[] = {
    {"128", BARCODE_CODE128},  {"39", BARCODE_CODE39},       {"93", BARCODE_CODE93},
    {"EAN13", BARCODE_EANX},   {"EAN8", BARCODE_EANX},       {"UPCA", BARCODE_UPCA},
    {"ITF", BARCODE_C25INTER}, {"CODABAR", BARCODE_CODABAR},
};

struct TSymbolDeleter {
    void operator()(zint_symbol* s) const { ZBarcode_Delete(s); }
};

// Whether module col of row 0 is dark: libzint keeps the modules of a row as bits.
bool ModuleSet(const zint_symbol& symbol, int col) {
    return (symbol.encoded_data[0][col >> 3] >> (col & 7)) & 1;
}

}  // namespace

int BarcodeSymbology(const std::string& type) {
    for (const TSymbologyName& s : kSymbologies)
        if (strcasecmp(type.c_str(), s.name) == 0) return s.symbology;
    return 0;
}

bool EncodeBarcode(const std::string& type, const std::string& data, TBarcodeModules& out) {
    const int symbology = BarcodeSymbology(type);
    if (symbology == 0 || data.empty() || data.find('\0') != std::string::npos) return false;
    std::unique_ptr<zint_symbol, TSymbolDeleter> symbol(ZBarcode_Create());
    if (!symbol) return false;
    symbol->symbology = symbology;
    symbol->input_mode = DATA_MODE;
    const int rc =
        ZBarcode_Encode(symbol.get(), reinterpret_cast<const unsigned char*>(data.data()),
                        static_cast<int>(data.size()));
    if (rc >= ZINT_ERROR || symbol->rows < 1 || symbol->width < 1 ||
        symbol->width > static_cast<int>(sizeof symbol->encoded_data[0] * 8))
        return false;
    out.modules.assign(static_cast<size_t>(symbol->width), false);
    for (int col = 0; col < symbol->width; ++col) out.modules[col] = ModuleSet(*symbol, col);
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
