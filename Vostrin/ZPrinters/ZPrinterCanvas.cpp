#include "ZPrinters/ZPrinterCanvas.h"

#include "ZPrinters/ZErrors.h"
#include "ZPrinters/ZPrinter.h"

namespace Zprinters {

void UpdateFontResolution(TZFont& font, int pixelsPerInch) {
    if (pixelsPerInch <= 0 || font.GetPixelsPerInch() == pixelsPerInch) return;
    int size = font.GetSize();
    font.SetPixelsPerInch(pixelsPerInch);
    font.SetSize(size);
}

void TZPrinterCanvas::UpdateFont() {
    UpdateFontResolution(Font, printer_->GetResolution().Y);
}

void TZPrinterCanvas::Changing() {
    printer_->CheckPrinting(true);
    TZCanvas::Changing();
    UpdateFont();
}

void TZPrinterCanvas::CreateHandle() {
    UpdateFont();
    SetHandle(printer_->CurrentHandle());
}

TZPrinterCompatibleCanvas::TZPrinterCompatibleCanvas(TZPrinter* printer) {
    if (!printer) throw Exception(sInvalidDevice);
    pixelsPerInch_ = printer->GetResolution().Y;
    ic_ = printer->GetIC();
    SetHandle(ic_.get());
}

TZPrinterCompatibleCanvas::~TZPrinterCompatibleCanvas() {
    SetHandle(nullptr);
}

void TZPrinterCompatibleCanvas::Changing() {
    TZCanvas::Changing();
    UpdateFontResolution(Font, pixelsPerInch_);
}

}  // namespace Zprinters
