#include "ZPrinters/ZCupsPrintSystem.h"

#include <QFile>
#include <QPrinterInfo>
#include <cmath>

#include "ZPrinters/ZCupsContext.h"
#include "ZPrinters/ZCupsLib.h"
#include "ZPrinters/ZStdPapers.h"

namespace Zprinters {

namespace {

// The first code the system leaves to sizes without a code of their own.
constexpr int kFirstUserPaper = 256;

int Tenths(qreal mm) {
    return static_cast<int>(std::lround(mm * 10.0));
}

int16_t DuplexCode(QPrinter::DuplexMode mode) {
    switch (mode) {
        case QPrinter::DuplexLongSide:
            return DMDUP_VERTICAL;
        case QPrinter::DuplexShortSide:
            return DMDUP_HORIZONTAL;
        default:
            return DMDUP_SIMPLEX;
    }
}

// An open CUPS queue: its settings are the queue's defaults merged with the caller's.
class TZCupsPrinterHandle : public TZSysPrinterHandle {
  public:
    TZCupsPrinterHandle(TZCupsPrintSystem& sys, const QString& queue) : sys_(sys), queue_(queue) {}

    int DocumentProperties(const TZDevMode* in, TZDevMode* out, bool prompt) override {
        if (!out) return -1;
        TZDevMode dm = sys_.DefaultDevMode(queue_);
        if (in) {
            const uint32_t f = in->dmFields;
            if (f & DM_ORIENTATION) dm.dmOrientation = in->dmOrientation;
            if (f & DM_PAPERSIZE) dm.dmPaperSize = in->dmPaperSize;
            if (f & DM_PAPERLENGTH) dm.dmPaperLength = in->dmPaperLength;
            if (f & DM_PAPERWIDTH) dm.dmPaperWidth = in->dmPaperWidth;
            if (f & DM_COPIES) dm.dmCopies = in->dmCopies;
            if (f & DM_DEFAULTSOURCE) dm.dmDefaultSource = in->dmDefaultSource;
            if (f & DM_PRINTQUALITY) dm.dmPrintQuality = in->dmPrintQuality;
            if (f & DM_YRESOLUTION) dm.dmYResolution = in->dmYResolution;
            if (f & DM_DUPLEX) dm.dmDuplex = in->dmDuplex;
            if (f & DM_COLLATE) dm.dmCollate = in->dmCollate;
            dm.dmFields |= f;
        }
        *out = dm;
        // CUPS queues have no driver dialog of their own: a request to show one is answered
        // as cancelled, with the merged settings in place.
        return prompt ? 2 : 1;
    }

  private:
    TZCupsPrintSystem& sys_;
    QString queue_;
};

}  // namespace

std::vector<TZSysPrinter> TZCupsPrintSystem::EnumPrinters() {
    // A new enumeration reads every queue's papers and options afresh.
    papers_.clear();
    ppds_.clear();
    std::vector<TZSysPrinter> out;
    for (const QString& name : QPrinterInfo::availablePrinterNames()) out.push_back({name, {}});
    return out;
}

QString TZCupsPrintSystem::DefaultPrinterName() {
    return QPrinterInfo::defaultPrinterName();
}

QString TZCupsPrintSystem::ProfileDevice() {
    return qEnvironmentVariable("PRINTER");
}

const TZPpdInfo& TZCupsPrintSystem::QueuePpd(const QString& queue) {
    auto it = ppds_.find(queue);
    if (it != ppds_.end()) return it->second;
    TZPpdInfo info;
    if (const TZCupsLib* cups = TZCupsLib::Get()) {
        QString path = cups->GetPpd(queue);
        QFile f(path);
        if (!path.isEmpty() && f.open(QIODevice::ReadOnly)) info = ParsePpd(f.readAll());
        cups->ReleasePpd(path);
    }
    return ppds_.emplace(queue, std::move(info)).first->second;
}

const TZQueuePapers& TZCupsPrintSystem::QueuePapers(const QString& queue) {
    auto it = papers_.find(queue);
    if (it != papers_.end()) return it->second;
    TZQueuePapers q;
    QPrinterInfo info = QPrinterInfo::printerInfo(queue);
    if (!info.isNull()) {
        const QList<QPageSize> sizes = info.supportedPageSizes();
        const QPageSize def = info.defaultPageSize();
        for (int i = 0; i < sizes.size(); ++i) {
            const QPageSize& ps = sizes[i];
            int code = ps.windowsId();
            if (code <= 0 || code >= kFirstUserPaper) code = kFirstUserPaper + i;
            QString name = StdPaperFmt(code);
            if (name.isEmpty()) name = ps.name();
            QSizeF mm = ps.size(QPageSize::Millimeter);
            q.papers.push_back({name, code, Tenths(mm.width()), Tenths(mm.height())});
            q.sizes.emplace(code, ps);
            if (q.defaultCode == 0 && def.isValid() && ps.isEquivalentTo(def)) q.defaultCode = code;
        }
        if (q.defaultCode == 0 && !q.papers.empty()) q.defaultCode = q.papers.front().code;
    }
    return papers_.emplace(queue, std::move(q)).first->second;
}

std::vector<TZSysBin> TZCupsPrintSystem::DeviceBins(const QString& device, const QString&) {
    std::vector<TZSysBin> out;
    const auto& inputs = QueuePpd(device).inputSlots;
    out.reserve(inputs.size());
    for (int i = 0; i < static_cast<int>(inputs.size()); ++i)
        out.push_back({inputs[i].text, BinCodeForSlot(inputs[i].key, i)});
    return out;
}

std::vector<TZSysPaper> TZCupsPrintSystem::DevicePapers(const QString& device, const QString&) {
    return QueuePapers(device).papers;
}

std::vector<TPoint> TZCupsPrintSystem::DeviceResolutions(const QString& device, const QString&) {
    const TZPpdInfo& ppd = QueuePpd(device);
    if (!ppd.resolutions.empty()) return ppd.resolutions;
    std::vector<TPoint> out;
    for (int r : QPrinterInfo::printerInfo(device).supportedResolutions()) out.push_back({r, r});
    return out;
}

TZDevMode TZCupsPrintSystem::DefaultDevMode(const QString& queue) {
    TZDevMode dm;
    dm.dmDeviceName = queue;
    dm.dmFields = DM_ORIENTATION | DM_PAPERSIZE | DM_COPIES | DM_COLLATE | DM_PRINTQUALITY |
                  DM_YRESOLUTION | DM_DUPLEX;
    const TZQueuePapers& q = QueuePapers(queue);
    dm.dmPaperSize = static_cast<int16_t>(q.defaultCode);
    for (const auto& p : q.papers) {
        if (p.code == q.defaultCode) {
            dm.dmPaperWidth = static_cast<int16_t>(p.width);
            dm.dmPaperLength = static_cast<int16_t>(p.height);
        }
    }
    dm.dmOrientation = DMORIENT_PORTRAIT;
    dm.dmCopies = 1;
    dm.dmCollate = 1;
    dm.dmDuplex = DuplexCode(QPrinterInfo::printerInfo(queue).defaultDuplexMode());

    const TZPpdInfo& ppd = QueuePpd(queue);
    TPoint res = ppd.defaultResolution;
    if (res.X <= 0) {
        std::vector<TPoint> all = DeviceResolutions(queue, QString());
        res = all.empty() ? TPoint{300, 300} : all.front();
    }
    dm.dmPrintQuality = static_cast<int16_t>(res.X);
    dm.dmYResolution = static_cast<int16_t>(res.Y);
    if (!ppd.inputSlots.empty()) {
        dm.dmFields |= DM_DEFAULTSOURCE;
        for (int i = 0; i < static_cast<int>(ppd.inputSlots.size()); ++i) {
            if (i == 0 || ppd.inputSlots[i].key == ppd.defaultInputSlot)
                dm.dmDefaultSource = static_cast<int16_t>(BinCodeForSlot(ppd.inputSlots[i].key, i));
        }
    }
    return dm;
}

std::unique_ptr<TZSysPrinterHandle> TZCupsPrintSystem::OpenPrinter(const QString& name) {
    if (name.isEmpty() || QPrinterInfo::printerInfo(name).isNull()) return nullptr;
    return std::make_unique<TZCupsPrinterHandle>(*this, name);
}

std::unique_ptr<TZPrintContext> TZCupsPrintSystem::MakeContext(const QString& device,
                                                               const TZDevMode* devMode,
                                                               bool deviceContext) {
    if (QPrinterInfo::printerInfo(device).isNull()) return nullptr;
    TZDevMode dm = DefaultDevMode(device);
    if (devMode) {
        TZCupsPrinterHandle h(*this, device);
        h.DocumentProperties(devMode, &dm, false);
    }
    TZCupsJob job;
    job.queue = device;
    job.papers = QueuePapers(device).sizes;
    for (int i = 0; i < static_cast<int>(QueuePpd(device).inputSlots.size()); ++i) {
        const auto& slot = QueuePpd(device).inputSlots[i];
        job.binKeys.emplace(BinCodeForSlot(slot.key, i), slot.key);
    }
    return std::make_unique<TZCupsContext>(std::move(job), dm, deviceContext);
}

std::unique_ptr<TZPrintContext> TZCupsPrintSystem::CreateIC(const QString&, const QString& device,
                                                            const QString&,
                                                            const TZDevMode* devMode) {
    return MakeContext(device, devMode, false);
}

std::unique_ptr<TZPrintContext> TZCupsPrintSystem::CreateDC(const QString&, const QString& device,
                                                            const QString&,
                                                            const TZDevMode* devMode) {
    return MakeContext(device, devMode, true);
}

}  // namespace Zprinters
