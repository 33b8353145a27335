// One installed printer: its driver, device and port names and, read from the printing system
// on first use and kept until Refresh, its bins, papers, orientations, resolutions, fonts and
// capabilities.
#pragma once

#include <QString>
#include <memory>

#include "ZPrinters/ZExport.h"
#include "ZPrinters/ZStringList.h"
#include "ZPrinters/ZTypes.h"

namespace Zprinters {

class ZPRINTERS_API TZPrintDevice {
  public:
    // Texts in the GBK code page, as they cross the library boundary. Null driver or port give
    // empty texts; a null device raises EAssertionFailed.
    TZPrintDevice(const char* driver, const char* device, const char* port);
    TZPrintDevice(const QString& driver, const QString& device, const QString& port);
    ~TZPrintDevice();
    TZPrintDevice(const TZPrintDevice&) = delete;
    TZPrintDevice& operator=(const TZPrintDevice&) = delete;

    QString Driver;
    QString Device;
    QString Port;
    TZPrintCapabilities Capabilities{zcUnknown};

    // Drops the cached lists (read again on demand) and forgets the capabilities.
    void Refresh();
    // Device alone when there is no port, else "<device> on <port>".
    QString GetName() const;
    // The text (GBK) equals Device exactly.
    bool IsDevice(const char* name) const;
    bool IsDevice(const QString& name) const;

    // Each entry's object is the bin's code.
    TZStringList* GetBins();
    // Each entry's object is the paper's code.
    TZStringList* GetPapers();
    // "Portrait" (0) and "Landscape" (1), or empty without orientation support.
    TZStringList* GetOrientations();
    // Each entry's object packs x in the low 16 bits and y in the high 16 bits.
    TZStringList* GetResolutions();
    TZStringList* GetFonts();
    TZPrintCapabilities GetCapabilities();

  private:
    std::unique_ptr<TZStringList> bins_, papers_, orientations_, resolutions_, fonts_;
};

// Packs and unpacks a resolution as stored in the resolution list.
intptr_t PackResolution(int x, int y);
TPoint UnpackResolution(intptr_t packed);
// "%d dpi" when x equals y, else "%dx%d dpi".
QString ResolutionText(int x, int y);

}  // namespace Zprinters
