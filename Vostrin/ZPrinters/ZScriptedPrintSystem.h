// A printing system driven by a script instead of CUPS: tests list the printers with their
// papers, bins, resolutions and settings, install it with SetPrintSystem, and read back every
// document that was printed, page by page, as images with the settings each page had.
#pragma once

#include <QImage>
#include <QStringList>
#include <memory>
#include <vector>

#include "ZPrinters/ZPrintSystem.h"

namespace Zprinters {

struct TZScriptedPrinter {
    QString name;
    QString ports;  // used when the system is not NT-family
    std::vector<TZSysBin> bins;
    std::vector<TZSysPaper> papers;
    std::vector<TPoint> resolutions;
    QStringList fonts;
    // The printer's current settings; dmFields announces what it supports.
    TZDevMode defaults;
    TPoint physicalOffset;  // unprintable margin on each side, in device pixels
    bool canOpen = true;
    bool canReadSettings = true;
    bool canCreateContext = true;
};

struct TZScriptedPage {
    TZDevMode devMode;
    QImage image;
};

struct TZScriptedDoc {
    QString device;
    QString title;
    QString outputFile;
    std::vector<TZScriptedPage> pages;
    bool ended = false;
    bool aborted = false;
    bool cancelled = false;  // the abort callback answered false
};

class TZScriptedPrintSystem : public TZPrintSystem {
  public:
    bool ntFamily = true;
    std::vector<TZScriptedPrinter> printers;
    QString defaultPrinter;
    QString profileDevice;
    // Every document started on a device context, in order.
    std::vector<std::shared_ptr<TZScriptedDoc>> docs;
    // How often each query reached the system.
    int enumCalls = 0;
    int binQueries = 0;
    int paperQueries = 0;
    // The last document; null when none was started.
    TZScriptedDoc* LastDoc() const { return docs.empty() ? nullptr : docs.back().get(); }
    TZScriptedPrinter* Find(const QString& name);

    bool IsNtFamily() const override { return ntFamily; }
    std::vector<TZSysPrinter> EnumPrinters() override;
    QString DefaultPrinterName() override { return defaultPrinter; }
    QString ProfileDevice() override { return profileDevice; }
    std::vector<TZSysBin> DeviceBins(const QString& device, const QString& port) override;
    std::vector<TZSysPaper> DevicePapers(const QString& device, const QString& port) override;
    std::vector<TPoint> DeviceResolutions(const QString& device, const QString& port) override;
    std::unique_ptr<TZSysPrinterHandle> OpenPrinter(const QString& name) override;
    std::unique_ptr<TZPrintContext> CreateIC(const QString& driver, const QString& device,
                                             const QString& port,
                                             const TZDevMode* devMode) override;
    std::unique_ptr<TZPrintContext> CreateDC(const QString& driver, const QString& device,
                                             const QString& port,
                                             const TZDevMode* devMode) override;

    // A printer with the given papers (names and codes from the standard table), all
    // capabilities, 300 dpi and the first paper selected.
    static TZScriptedPrinter MakePrinter(const QString& name,
                                         const QStringList& paperNames = {QStringLiteral("A4"),
                                                                          QStringLiteral("A3")});

  private:
    std::unique_ptr<TZPrintContext> MakeContext(const QString& device, const TZDevMode* devMode,
                                                bool deviceContext);
};

// Merges the fields that in announces into out.
void MergeDevMode(const TZDevMode& in, TZDevMode& out);

}  // namespace Zprinters
