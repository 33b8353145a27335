// The printer object: one selected printer with its settings, its current context, a canvas to
// draw on, and the state of one print document. Every failure raises Zprinters::Exception with
// one of the unit's fixed texts.
#pragma once

#include <QString>
#include <memory>

#include "ZPrinters/ZExport.h"
#include "ZPrinters/ZPrintContext.h"
#include "ZPrinters/ZPrintDevice.h"
#include "ZPrinters/ZPrintSystem.h"
#include "ZPrinters/ZTypes.h"

namespace Zprinters {

class TZPrinterCanvas;
class TZPrinterCompatibleCanvas;

// When non-empty at the moment a printer is constructed, the printer tries to select "A4".
extern ZPRINTERS_API QString ZPrinter_Force_Paper;

class ZPRINTERS_API TZPrinter {
  public:
    // Selects the default device, or the first listed device when that fails; raises when no
    // device can be selected.
    TZPrinter();
    virtual ~TZPrinter();
    TZPrinter(const TZPrinter&) = delete;
    TZPrinter& operator=(const TZPrinter&) = delete;

    // The canvas bound to this printer; drawing on it needs a running document.
    std::unique_ptr<TZPrinterCanvas> Canvas;
    // Document title, given to the system as the job name.
    QString Title;
    // Display name of the selected device.
    QString DeviceName;
    // The running document was aborted.
    bool Aborted = false;
    // 0 when no document runs; StartDoc sets 1 and every StartPage adds 1.
    int PageCounter = 0;

    // --- device selection
    // Selects a device by display name; an empty name selects the default device.
    virtual void SetDeviceName(const QString& name);
    // Below 0: the default device; else the device at that position of the device list.
    void SetDeviceIndex(int index);
    int GetDeviceIndex() const;
    // The selected device; raises "No such printer" when it has gone.
    TZPrintDevice* GetDevice() const;
    // Raises "No such printer" when no device bears the name (empty: the selected device).
    void CheckDevice(const QString& name) const;
    void SetTitle(const QString& title);

    // --- contexts
    // A new information context of the selected device with the current settings; the caller
    // owns it.
    std::unique_ptr<TZPrintContext> GetIC() const;
    void ICNeeded();
    void DCNeeded();
    void ReleaseHandle();
    bool IsHandle(HDC handle) const { return handle && handle == handle_.get(); }
    // The current context (made as an information context when none exists).
    HDC GetHandle();
    // The current context without making one; null when none.
    HDC CurrentHandle() const { return handle_.get(); }
    void ClosePrinterHandle();
    void FreeDeviceMode();
    // The settings of the selected device; null when none.
    const TZDevMode* GetDevMode() const { return devMode_.get(); }

    // --- document
    // Starts a document; an empty outputFile prints to the device, else the output goes to
    // that file.
    virtual void StartDoc(const QString& outputFile);
    void EndDoc();
    void AbortDoc();
    void StartPage();
    void EndPage();
    bool GetPrinting() const { return PageCounter > 0; }
    // Raises when the printer is not printing although it must be, or the other way round.
    void CheckPrinting(bool mustPrint) const;
    // New settings (paper, orientation, bin, duplex) for the pages started from now on in the
    // running document; false when the context does not take them.
    bool ResetDC(const TZDevMode& devMode);

    // --- settings
    QString GetBin();
    void SetBin(const QString& name);
    QString GetPaper();
    void SetPaper(const QString& name);
    int GetPaperFmt() const;
    QString GetPaperDesc();
    // Paper size in tenths of a millimetre.
    TPoint GetPaperSize();
    TPoint GetPaperSizeOriented();
    // Dots per inch of the current context.
    TPoint GetResolution();
    void SetResolution(const TPoint& dpi);
    QString GetResolutionStr();
    void SetResolutionStr(const QString& text);
    TZPrintOrientation GetOrientation();
    void SetOrientation(TZPrintOrientation orientation);
    QString GetOrientationStr();
    void SetOrientationStr(const QString& text);
    int16_t GetCopies() const;
    void SetCopies(int16_t copies);
    int GetPageWidth();
    int GetPageHeight();
    TPoint GetPhysicalOffset();
    TPoint GetPhysicalSize();
    TRect GetPageRect();
    TRect GetClientRect();
    // Lets the driver merge (and, when show is true, the user edit) the settings; true when
    // the driver answers OK.
    bool DocumentProperties(bool show);
    // A new canvas for measuring on this printer outside a document; the caller owns it.
    std::unique_ptr<TZPrinterCompatibleCanvas> CreateCompatibleCanvas();

  private:
    // The checks every setter makes: not printing, and settings present.
    void CheckSettings() const;

    std::unique_ptr<TZSysPrinterHandle> printerHandle_;
    std::unique_ptr<TZDevMode> devMode_;
    std::unique_ptr<TZPrintContext> handle_;
};

// The callback installed for every document: lets pending events through, then answers
// whether the printer that owns dc is still printing (found and not aborted).
bool AbortProc(TZPrintContext* dc, int error);

// The number of constructed printers not yet destroyed.
int LivePrinterCount();

}  // namespace Zprinters
