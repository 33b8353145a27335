#include "ZPrinters/ZPrinter.h"

#include <QCoreApplication>
#include <algorithm>
#include <limits>
#include <vector>

#include "ZPrinters/ZErrors.h"
#include "ZPrinters/ZPrintDevices.h"
#include "ZPrinters/ZPrinterCanvas.h"

namespace Zprinters {

QString ZPrinter_Force_Paper;

namespace {

std::vector<TZPrinter*>& LivePrinters() {
    static std::vector<TZPrinter*> printers;
    return printers;
}

// Device settings are 16-bit fields: a value outside raises the range error.
int16_t Check16(long long value) {
    if (value < std::numeric_limits<int16_t>::min() || value > std::numeric_limits<int16_t>::max())
        throw ERangeError(QStringLiteral("Range check error"));
    return static_cast<int16_t>(value);
}

// The code of the named entry of a device's bins or papers; unknownName (with the name) when
// the list has no such entry.
int16_t CodeOfName(const TZStringList& list, const QString& name, const QString& unknownName) {
    const int i = list.IndexOf(name);
    if (i < 0) throw Exception(FormatMsg(unknownName, {name}));
    return Check16(list.Objects(i));
}

}  // namespace

int LivePrinterCount() {
    return static_cast<int>(LivePrinters().size());
}

bool AbortProc(TZPrintContext* dc, int /*error*/) {
    if (QCoreApplication::instance()) QCoreApplication::processEvents();
    for (TZPrinter* p : LivePrinters())
        if (p->IsHandle(dc)) return !p->Aborted;
    return false;
}

TZPrinter::TZPrinter() : Canvas(std::make_unique<TZPrinterCanvas>(this)) {
    try {
        // This class's own version: no override runs during construction.
        TZPrinter::SetDeviceName(QString());
    } catch (const std::exception&) {
        SetDeviceIndex(0);  // the first listed device; its failure ends the construction
    }
    LivePrinters().push_back(this);
    if (!ZPrinter_Force_Paper.isEmpty()) {
        try {
            SetPaper(QStringLiteral("A4"));
        } catch (const std::exception&) {
            // the device keeps its own paper
        }
    }
}

TZPrinter::~TZPrinter() {
    try {
        if (GetPrinting()) EndDoc();
    } catch (const std::exception&) {
        // a destructor ends the document as far as it can
    }
    if (Canvas) Canvas->SetHandle(nullptr);
    ReleaseHandle();
    Canvas.reset();
    ClosePrinterHandle();
    FreeDeviceMode();
    auto& live = LivePrinters();
    live.erase(std::remove(live.begin(), live.end(), this), live.end());
}

// --- device selection

void TZPrinter::SetDeviceName(const QString& name) {
    CheckPrinting(false);
    QString display = name;
    TZPrintDevices* devices = PrintDevices();
    if (!display.isEmpty()) {
        CheckDevice(display);
    } else {
        TZPrintDevice* def = devices->GetDefaultDevice();
        if (!def) throw Exception(sNoDefaultDevice);
        display = def->GetName();
    }
    const QString printerName = devices->DeviceByName(display)->Device;
    ReleaseHandle();

    std::unique_ptr<TZSysPrinterHandle> opened = PrintSystem().OpenPrinter(printerName);
    std::unique_ptr<TZDevMode> filled;
    if (opened) {
        auto dm = std::make_unique<TZDevMode>();
        if (opened->DocumentProperties(nullptr, dm.get(), false) == 1) filled = std::move(dm);
    }
    if (!opened || !filled) throw Exception(sInvalidOperation);  // the old selection stays

    DeviceName = display;
    printerHandle_ = std::move(opened);
    devMode_ = std::move(filled);
}

void TZPrinter::SetDeviceIndex(int index) {
    if (index < 0)
        SetDeviceName(QString());
    else
        SetDeviceName(PrintDevices()->GetDevice(index)->GetName());
}

int TZPrinter::GetDeviceIndex() const {
    return PrintDevices()->DeviceIndex(DeviceName);
}

TZPrintDevice* TZPrinter::GetDevice() const {
    return PrintDevices()->DeviceByName(DeviceName);
}

void TZPrinter::CheckDevice(const QString& name) const {
    const QString n = name.isEmpty() ? DeviceName : name;
    if (PrintDevices()->DeviceIndex(n) < 0) throw Exception(FormatMsg(sNoSuchDevice, {n}));
}

void TZPrinter::SetTitle(const QString& title) {
    CheckPrinting(false);
    Title = title;
}

// --- contexts

std::unique_ptr<TZPrintContext> TZPrinter::GetIC() const {
    TZPrintDevice* d = GetDevice();
    auto ic = PrintSystem().CreateIC(d->Driver, d->Device, d->Port, devMode_.get());
    if (!ic) throw Exception(sInvalidDevice);
    return ic;
}

void TZPrinter::ICNeeded() {
    if (!handle_) handle_ = GetIC();
}

void TZPrinter::DCNeeded() {
    if (handle_) return;
    TZPrintDevice* d = GetDevice();
    auto dc = PrintSystem().CreateDC(d->Driver, d->Device, d->Port, devMode_.get());
    if (!dc) throw Exception(sInvalidDevice);
    handle_ = std::move(dc);
}

void TZPrinter::ReleaseHandle() {
    if (!handle_) return;
    if (Canvas && Canvas->HandleAllocated() && Canvas->GetHandle() == handle_.get())
        Canvas->SetHandle(nullptr);
    handle_.reset();
}

HDC TZPrinter::GetHandle() {
    ICNeeded();
    return handle_.get();
}

void TZPrinter::ClosePrinterHandle() {
    printerHandle_.reset();
}

void TZPrinter::FreeDeviceMode() {
    devMode_.reset();
}

// --- document

void TZPrinter::CheckPrinting(bool mustPrint) const {
    if (mustPrint && !GetPrinting()) throw Exception(sNotPrinting);
    if (!mustPrint && GetPrinting()) throw Exception(sPrinting);
}

void TZPrinter::StartDoc(const QString& outputFile) {
    CheckPrinting(false);
    ReleaseHandle();
    DCNeeded();
    try {
        Canvas->SetHandle(handle_.get());
        PageCounter = 1;
        Aborted = false;
        Canvas->Refresh();
        Canvas->UpdateFont();
        handle_->SetAbortProc(&AbortProc);
        handle_->StartDoc(Title, outputFile);
    } catch (...) {
        Canvas->SetHandle(nullptr);
        PageCounter = 0;
        throw;
    }
}

void TZPrinter::EndDoc() {
    CheckPrinting(true);
    int result = 1;
    try {
        if (!Aborted) result = handle_->EndDoc();
    } catch (...) {
        Canvas->SetHandle(nullptr);
        PageCounter = 0;
        Aborted = false;
        throw;
    }
    Canvas->SetHandle(nullptr);
    PageCounter = 0;
    Aborted = false;
    // A document the system did not take is not reported as printed.
    if (result <= 0) throw Exception(sInvalidDevice);
}

void TZPrinter::AbortDoc() {
    CheckPrinting(true);
    handle_->AbortDoc();
    Aborted = true;
    EndDoc();
}

void TZPrinter::StartPage() {
    // Outside a document there is no page to start; counting one would make the printer
    // look as if it were printing.
    CheckPrinting(true);
    ++PageCounter;
    if (handle_->StartPage() <= 0) throw Exception(sInvalidDevice);
    Canvas->Refresh();
}

void TZPrinter::EndPage() {
    CheckPrinting(true);
    handle_->EndPage();
}

bool TZPrinter::ResetDC(const TZDevMode& devMode) {
    return handle_ && handle_->ResetDC(devMode);
}

// --- settings

void TZPrinter::CheckSettings() const {
    CheckPrinting(false);
    if (!devMode_) throw Exception(sInvalidOperation);
}

QString TZPrinter::GetBin() {
    if (!devMode_) throw Exception(sInvalidOperation);
    TZStringList* bins = GetDevice()->GetBins();
    int i = bins->IndexOfObject(devMode_->dmDefaultSource);
    return i < 0 ? QString() : bins->Strings(i);
}

void TZPrinter::SetBin(const QString& name) {
    CheckSettings();
    const int16_t code = CodeOfName(*GetDevice()->GetBins(), name, sInvalidBin);
    ReleaseHandle();
    devMode_->dmDefaultSource = code;
    devMode_->dmFields |= DM_DEFAULTSOURCE;
}

QString TZPrinter::GetPaper() {
    int fmt = GetPaperFmt();
    TZStringList* papers = GetDevice()->GetPapers();
    int i = papers->IndexOfObject(fmt);
    return i < 0 ? QString() : papers->Strings(i);
}

void TZPrinter::SetPaper(const QString& name) {
    CheckSettings();
    const int16_t code = CodeOfName(*GetDevice()->GetPapers(), name, sInvalidPaper);
    ReleaseHandle();
    devMode_->dmPaperSize = code;
    devMode_->dmFields |= DM_PAPERSIZE;
}

int TZPrinter::GetPaperFmt() const {
    if (!devMode_) throw Exception(sInvalidOperation);
    return devMode_->dmPaperSize;
}

QString TZPrinter::GetPaperDesc() {
    TPoint size = GetPaperSize();
    if (size.X > 0 && size.Y > 0) return FormatMsg(sPaper, GetPaper(), size.X / 10, size.Y / 10);
    return GetPaper();
}

TPoint TZPrinter::GetPaperSize() {
    if (!devMode_) throw Exception(sInvalidOperation);
    TPoint size;
    TZPrintDevice* d = GetDevice();
    std::vector<TZSysPaper> papers = PrintSystem().DevicePapers(d->Device, d->Port);
    for (const auto& p : papers) {
        if (p.code == devMode_->dmPaperSize) {
            size = {p.width, p.height};
            break;
        }
    }
    if (size.X <= 0 || size.Y <= 0) size = {devMode_->dmPaperWidth, devMode_->dmPaperLength};
    return size;
}

TPoint TZPrinter::GetPaperSizeOriented() {
    TPoint size = GetPaperSize();
    if (GetOrientation() == zoLandscape) std::swap(size.X, size.Y);
    return size;
}

TPoint TZPrinter::GetResolution() {
    HDC h = GetHandle();
    return {h->GetDeviceCaps(LOGPIXELSX), h->GetDeviceCaps(LOGPIXELSY)};
}

void TZPrinter::SetResolution(const TPoint& dpi) {
    CheckSettings();
    GetDevice();
    int16_t x = Check16(dpi.X);
    int16_t y = Check16(dpi.Y);
    ReleaseHandle();
    devMode_->dmPrintQuality = x;
    devMode_->dmYResolution = y;
    devMode_->dmFields |= DM_PRINTQUALITY | DM_YRESOLUTION;
}

QString TZPrinter::GetResolutionStr() {
    TPoint r = GetResolution();
    if (r.X == 0 && r.Y == 0) return QString();
    return ResolutionText(r.X, r.Y);
}

void TZPrinter::SetResolutionStr(const QString& text) {
    CheckSettings();
    TZStringList* list = GetDevice()->GetResolutions();
    int i = list->IndexOf(text);
    if (i < 0) throw Exception(FormatMsg(sInvalidResolution, {text}));
    SetResolution(UnpackResolution(list->Objects(i)));
}

TZPrintOrientation TZPrinter::GetOrientation() {
    if (!devMode_) throw Exception(sInvalidOperation);
    if (!GetDevice()->GetCapabilities().Contains(zcOrientation)) return zoNotSupported;
    return devMode_->dmOrientation == DMORIENT_PORTRAIT ? zoPortrait : zoLandscape;
}

void TZPrinter::SetOrientation(TZPrintOrientation orientation) {
    CheckSettings();
    GetDevice();
    if (orientation == zoNotSupported) return;
    ReleaseHandle();
    devMode_->dmOrientation = orientation == zoPortrait ? DMORIENT_PORTRAIT : DMORIENT_LANDSCAPE;
    devMode_->dmFields |= DM_ORIENTATION;
}

QString TZPrinter::GetOrientationStr() {
    switch (GetOrientation()) {
        case zoPortrait:
            return sPortrait;
        case zoLandscape:
            return sLandscape;
        case zoNotSupported:
            break;
    }
    return QString();
}

void TZPrinter::SetOrientationStr(const QString& text) {
    if (text == sPortrait)
        SetOrientation(zoPortrait);
    else if (text == sLandscape)
        SetOrientation(zoLandscape);
    else
        throw Exception(FormatMsg(sInvalidOrientation, {text}));
}

int16_t TZPrinter::GetCopies() const {
    if (!devMode_) throw Exception(sInvalidOperation);
    return devMode_->dmCopies;
}

void TZPrinter::SetCopies(int16_t copies) {
    CheckSettings();
    if (copies <= 0) throw Exception(sInvalidCopies);
    ReleaseHandle();
    devMode_->dmCopies = copies;
    devMode_->dmFields |= DM_COPIES;
}

int TZPrinter::GetPageWidth() {
    return GetHandle()->GetDeviceCaps(HORZRES);
}

int TZPrinter::GetPageHeight() {
    return GetHandle()->GetDeviceCaps(VERTRES);
}

TPoint TZPrinter::GetPhysicalOffset() {
    HDC h = GetHandle();
    return {h->GetDeviceCaps(PHYSICALOFFSETX), h->GetDeviceCaps(PHYSICALOFFSETY)};
}

TPoint TZPrinter::GetPhysicalSize() {
    HDC h = GetHandle();
    return {h->GetDeviceCaps(PHYSICALWIDTH), h->GetDeviceCaps(PHYSICALHEIGHT)};
}

TRect TZPrinter::GetPageRect() {
    return {0, 0, GetPageWidth(), GetPageHeight()};
}

TRect TZPrinter::GetClientRect() {
    TRect r = GetPageRect();
    TPoint off = GetPhysicalOffset();
    return {r.Left + off.X, r.Top + off.Y, r.Right + off.X, r.Bottom + off.Y};
}

bool TZPrinter::DocumentProperties(bool show) {
    CheckSettings();
    GetDevice();
    if (!printerHandle_) throw Exception(sInvalidOperation);
    ReleaseHandle();
    TZDevMode in = *devMode_;
    return printerHandle_->DocumentProperties(&in, devMode_.get(), show) == 1;
}

std::unique_ptr<TZPrinterCompatibleCanvas> TZPrinter::CreateCompatibleCanvas() {
    return std::make_unique<TZPrinterCompatibleCanvas>(this);
}

}  // namespace Zprinters
