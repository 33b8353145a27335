// The printing system as the printer unit sees it: installed printers, the default printer,
// what a device reports (bins, papers, resolutions), opening a printer for its settings, and
// making information and device contexts. The program uses the CUPS implementation; tests
// install a scripted one.
#pragma once

#include <QString>
#include <memory>
#include <vector>

#include "ZPrinters/ZPrintContext.h"
#include "ZPrinters/ZTypes.h"

namespace Zprinters {

// One installed printer as the enumeration reports it. Ports is a comma-separated list (only
// filled on systems that enumerate printers with their ports).
struct TZSysPrinter {
    QString name;
    QString ports;
};

struct TZSysBin {
    QString name;  // as the driver reports it, possibly with blanks around it
    int code;
};

struct TZSysPaper {
    QString name;
    int code;
    int width;   // tenths of a millimetre, portrait
    int height;  // tenths of a millimetre, portrait
};

// An open printer.
class TZSysPrinterHandle {
  public:
    virtual ~TZSysPrinterHandle() = default;
    // Fills out with the printer's current settings, merged with the fields that in announces
    // (when in is given); prompt shows the driver's settings dialog. Returns 1 (OK), 2 (the
    // user cancelled) or a value below 1 on failure.
    virtual int DocumentProperties(const TZDevMode* in, TZDevMode* out, bool prompt) = 0;
};

class TZPrintSystem {
  public:
    virtual ~TZPrintSystem() = default;

    // True when printers are enumerated without ports (each printer is one device).
    virtual bool IsNtFamily() const = 0;
    // The installed printers; empty when there are none or the query fails.
    virtual std::vector<TZSysPrinter> EnumPrinters() = 0;
    // The system's default printer; empty when it has none.
    virtual QString DefaultPrinterName() = 0;
    // The user's configured printer entry ("name,driver,port"); empty when none.
    virtual QString ProfileDevice() = 0;

    virtual std::vector<TZSysBin> DeviceBins(const QString& device, const QString& port) = 0;
    virtual std::vector<TZSysPaper> DevicePapers(const QString& device, const QString& port) = 0;
    virtual std::vector<TPoint> DeviceResolutions(const QString& device, const QString& port) = 0;

    // Null when the printer cannot be opened.
    virtual std::unique_ptr<TZSysPrinterHandle> OpenPrinter(const QString& name) = 0;
    // Null when the context cannot be made.
    virtual std::unique_ptr<TZPrintContext> CreateIC(const QString& driver, const QString& device,
                                                     const QString& port,
                                                     const TZDevMode* devMode) = 0;
    virtual std::unique_ptr<TZPrintContext> CreateDC(const QString& driver, const QString& device,
                                                     const QString& port,
                                                     const TZDevMode* devMode) = 0;
};

// The printing system in use: the CUPS one unless a test installed another.
TZPrintSystem& PrintSystem();
// Installs a printing system (null restores CUPS) and drops the shared device list, so that the
// next PrintDevices() enumerates the new system's printers.
void SetPrintSystem(std::unique_ptr<TZPrintSystem> system);

}  // namespace Zprinters
