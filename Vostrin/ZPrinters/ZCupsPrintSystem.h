// The printing system of the program: the CUPS queues as Qt sees them. Papers come from the
// queue's page sizes (system paper codes where the size has one, our table's names for table
// codes), bins and resolutions from the queue's PPD, fonts from the font database. A document
// is a QPrinter job written as PDF and handed to the queue when it ends.
#pragma once

#include <QPageSize>
#include <map>

#include "ZPrinters/ZPpd.h"
#include "ZPrinters/ZPrintSystem.h"

namespace Zprinters {

// A queue's papers with the page size behind each code.
struct TZQueuePapers {
    std::vector<TZSysPaper> papers;
    std::map<int, QPageSize> sizes;
    int defaultCode = 0;
};

class TZCupsPrintSystem : public TZPrintSystem {
  public:
    bool IsNtFamily() const override { return true; }
    std::vector<TZSysPrinter> EnumPrinters() override;
    QString DefaultPrinterName() override;
    QString ProfileDevice() override;
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

    // The queue's papers (read once per queue).
    const TZQueuePapers& QueuePapers(const QString& queue);
    // The queue's PPD options (read once per queue; empty without a PPD).
    const TZPpdInfo& QueuePpd(const QString& queue);
    // The current settings of a queue.
    TZDevMode DefaultDevMode(const QString& queue);

  private:
    std::unique_ptr<TZPrintContext> MakeContext(const QString& device, const TZDevMode* devMode,
                                                bool deviceContext);

    std::map<QString, TZQueuePapers> papers_;
    std::map<QString, TZPpdInfo> ppds_;
};

}  // namespace Zprinters
