#include "ZPrinters/ZScriptedPrintSystem.h"

#include <QPainter>
#include <algorithm>

#include "ZPrinters/ZStdPapers.h"

namespace Zprinters {

void MergeDevMode(const TZDevMode& in, TZDevMode& out) {
    const uint32_t f = in.dmFields;
    if (f & DM_ORIENTATION) out.dmOrientation = in.dmOrientation;
    if (f & DM_PAPERSIZE) out.dmPaperSize = in.dmPaperSize;
    if (f & DM_PAPERLENGTH) out.dmPaperLength = in.dmPaperLength;
    if (f & DM_PAPERWIDTH) out.dmPaperWidth = in.dmPaperWidth;
    if (f & DM_COPIES) out.dmCopies = in.dmCopies;
    if (f & DM_DEFAULTSOURCE) out.dmDefaultSource = in.dmDefaultSource;
    if (f & DM_PRINTQUALITY) out.dmPrintQuality = in.dmPrintQuality;
    if (f & DM_YRESOLUTION) out.dmYResolution = in.dmYResolution;
    if (f & DM_DUPLEX) out.dmDuplex = in.dmDuplex;
    if (f & DM_COLLATE) out.dmCollate = in.dmCollate;
    out.dmFields |= f;
}

namespace {

class TZScriptedHandle : public TZSysPrinterHandle {
  public:
    explicit TZScriptedHandle(const TZScriptedPrinter& p) : printer_(p) {}
    int DocumentProperties(const TZDevMode* in, TZDevMode* out, bool prompt) override {
        if (!printer_.canReadSettings || !out) return -1;
        TZDevMode dm = printer_.defaults;
        if (in) MergeDevMode(*in, dm);
        *out = dm;
        return prompt ? 2 : 1;
    }

  private:
    TZScriptedPrinter printer_;
};

class TZScriptedContext : public TZPrintContext {
  public:
    TZScriptedContext(TZScriptedPrintSystem& sys, TZScriptedPrinter printer, const TZDevMode& dm,
                      bool deviceContext)
        : sys_(sys), printer_(std::move(printer)), devMode_(dm), deviceContext_(deviceContext) {}
    ~TZScriptedContext() override { ClosePage(); }

    bool IsDeviceContext() const override { return deviceContext_; }

    int GetDeviceCaps(int index) const override {
        const int dpiX = devMode_.dmPrintQuality > 0 ? devMode_.dmPrintQuality : 300;
        const int dpiY = devMode_.dmYResolution > 0 ? devMode_.dmYResolution : dpiX;
        TPoint paper = PaperSize();
        if (devMode_.dmOrientation == DMORIENT_LANDSCAPE) std::swap(paper.X, paper.Y);
        // In 64 bits: a paper size of the page's settings may be any int.
        const auto dots = [](int tenths, int dpi) {
            return static_cast<int>(std::clamp<long long>(
                static_cast<long long>(tenths) * dpi / 254, -(1LL << 29), 1LL << 29));
        };
        const int w = dots(paper.X, dpiX), h = dots(paper.Y, dpiY);
        switch (index) {
            case LOGPIXELSX:
                return dpiX;
            case LOGPIXELSY:
                return dpiY;
            case PHYSICALWIDTH:
                return w;
            case PHYSICALHEIGHT:
                return h;
            case HORZRES:
                return w - 2 * printer_.physicalOffset.X;
            case VERTRES:
                return h - 2 * printer_.physicalOffset.Y;
            case PHYSICALOFFSETX:
                return printer_.physicalOffset.X;
            case PHYSICALOFFSETY:
                return printer_.physicalOffset.Y;
            default:
                return 0;
        }
    }

    bool EnumFontFamilies(QStringList& out) const override {
        out = printer_.fonts;
        return true;
    }

    int StartDoc(const QString& docName, const QString& outputFile) override {
        if (!deviceContext_ || doc_) return 0;
        doc_ = std::make_shared<TZScriptedDoc>();
        doc_->device = printer_.name;
        doc_->title = docName;
        doc_->outputFile = outputFile;
        sys_.docs.push_back(doc_);
        return 1;
    }

    int StartPage() override {
        if (!doc_ || doc_->ended || doc_->cancelled) return 0;
        ClosePage();
        page_.devMode = devMode_;
        page_.image = QImage(std::max(1, GetDeviceCaps(HORZRES)),
                             std::max(1, GetDeviceCaps(VERTRES)), QImage::Format_RGB32);
        page_.image.fill(Qt::white);
        painter_ = std::make_unique<QPainter>(&page_.image);
        return 1;
    }

    int EndPage() override {
        if (!doc_ || !painter_) return 0;
        ClosePage();
        if (!QueryAbortProc()) {
            doc_->cancelled = true;
            return -1;
        }
        return 1;
    }

    int EndDoc() override {
        if (!doc_) return 0;
        ClosePage();
        doc_->ended = true;
        return doc_->cancelled ? 0 : 1;
    }

    int AbortDoc() override {
        if (!doc_) return 0;
        painter_.reset();
        doc_->aborted = true;
        return 1;
    }

    bool ResetDC(const TZDevMode& dm) override {
        devMode_ = dm;
        return true;
    }

    QPainter* Painter() override { return painter_.get(); }

  private:
    TPoint PaperSize() const {
        for (const auto& p : printer_.papers)
            if (p.code == devMode_.dmPaperSize) return {p.width, p.height};
        return {devMode_.dmPaperWidth, devMode_.dmPaperLength};
    }

    void ClosePage() {
        if (!painter_) return;
        painter_->end();
        painter_.reset();
        if (doc_) doc_->pages.push_back(page_);
        page_ = TZScriptedPage();
    }

    TZScriptedPrintSystem& sys_;
    TZScriptedPrinter printer_;
    TZDevMode devMode_;
    bool deviceContext_;
    std::shared_ptr<TZScriptedDoc> doc_;
    TZScriptedPage page_;
    std::unique_ptr<QPainter> painter_;
};

}  // namespace

TZScriptedPrinter* TZScriptedPrintSystem::Find(const QString& name) {
    for (auto& p : printers)
        if (p.name == name) return &p;
    return nullptr;
}

std::vector<TZSysPrinter> TZScriptedPrintSystem::EnumPrinters() {
    ++enumCalls;
    std::vector<TZSysPrinter> out;
    for (const auto& p : printers) out.push_back({p.name, ntFamily ? QString() : p.ports});
    return out;
}

std::vector<TZSysBin> TZScriptedPrintSystem::DeviceBins(const QString& device, const QString&) {
    ++binQueries;
    TZScriptedPrinter* p = Find(device);
    return p ? p->bins : std::vector<TZSysBin>{};
}

std::vector<TZSysPaper> TZScriptedPrintSystem::DevicePapers(const QString& device, const QString&) {
    ++paperQueries;
    TZScriptedPrinter* p = Find(device);
    return p ? p->papers : std::vector<TZSysPaper>{};
}

std::vector<TPoint> TZScriptedPrintSystem::DeviceResolutions(const QString& device,
                                                             const QString&) {
    TZScriptedPrinter* p = Find(device);
    return p ? p->resolutions : std::vector<TPoint>{};
}

std::unique_ptr<TZSysPrinterHandle> TZScriptedPrintSystem::OpenPrinter(const QString& name) {
    TZScriptedPrinter* p = Find(name);
    if (!p || !p->canOpen) return nullptr;
    return std::make_unique<TZScriptedHandle>(*p);
}

std::unique_ptr<TZPrintContext> TZScriptedPrintSystem::MakeContext(const QString& device,
                                                                   const TZDevMode* devMode,
                                                                   bool deviceContext) {
    TZScriptedPrinter* p = Find(device);
    if (!p || !p->canCreateContext) return nullptr;
    TZDevMode dm = p->defaults;
    if (devMode) MergeDevMode(*devMode, dm);
    return std::make_unique<TZScriptedContext>(*this, *p, dm, deviceContext);
}

std::unique_ptr<TZPrintContext> TZScriptedPrintSystem::CreateIC(const QString&,
                                                                const QString& device,
                                                                const QString&,
                                                                const TZDevMode* devMode) {
    return MakeContext(device, devMode, false);
}

std::unique_ptr<TZPrintContext> TZScriptedPrintSystem::CreateDC(const QString&,
                                                                const QString& device,
                                                                const QString&,
                                                                const TZDevMode* devMode) {
    return MakeContext(device, devMode, true);
}

TZScriptedPrinter TZScriptedPrintSystem::MakePrinter(const QString& name,
                                                     const QStringList& paperNames) {
    TZScriptedPrinter p;
    p.name = name;
    for (const QString& n : paperNames) {
        int code = StdPaperFmt(n);
        TPoint size = StdPaperSize(code);
        p.papers.push_back({n, code, size.X, size.Y});
    }
    p.resolutions = {{300, 300}, {600, 600}};
    p.defaults.dmDeviceName = name;
    p.defaults.dmFields = DM_ORIENTATION | DM_PAPERSIZE | DM_COPIES | DM_COLLATE | DM_PRINTQUALITY |
                          DM_YRESOLUTION | DM_DEFAULTSOURCE;
    if (!p.papers.empty()) {
        p.defaults.dmPaperSize = static_cast<int16_t>(p.papers.front().code);
        p.defaults.dmPaperWidth = static_cast<int16_t>(p.papers.front().width);
        p.defaults.dmPaperLength = static_cast<int16_t>(p.papers.front().height);
    }
    p.defaults.dmPrintQuality = 300;
    p.defaults.dmYResolution = 300;
    return p;
}

}  // namespace Zprinters
