// The two canvases of a printer: the printing canvas that draws on the running document, and
// the compatible canvas that measures with the printer's settings outside a document.
#pragma once

#include <memory>

#include "ZPrinters/ZCanvas.h"
#include "ZPrinters/ZExport.h"

namespace Zprinters {

class TZPrinter;

// Keeps the font's size in points when the canvas works at another resolution.
void UpdateFontResolution(TZFont& font, int pixelsPerInch);

class ZPRINTERS_API TZPrinterCanvas : public TZCanvas {
  public:
    explicit TZPrinterCanvas(TZPrinter* printer) : printer_(printer) {}
    TZPrinter* Printer() const { return printer_; }
    // Brings the font to the printer's vertical resolution.
    void UpdateFont();

  protected:
    // Raises "Printer is not currently printing." outside a document.
    void Changing() override;
    void CreateHandle() override;

  private:
    TZPrinter* printer_;
};

class ZPRINTERS_API TZPrinterCompatibleCanvas : public TZCanvas {
  public:
    // A null printer raises "Selected printer is not valid.".
    explicit TZPrinterCompatibleCanvas(TZPrinter* printer);
    ~TZPrinterCompatibleCanvas() override;
    int PixelsPerInch() const { return pixelsPerInch_; }

  protected:
    void Changing() override;

  private:
    int pixelsPerInch_ = 0;
    std::unique_ptr<TZPrintContext> ic_;
};

}  // namespace Zprinters
