#include "ZPrinters/ZPrintDevice.h"

#include "ZPrinters/ZErrors.h"
#include "ZPrinters/ZPrintSystem.h"
#include "text/Gbk.h"

namespace Zprinters {

namespace {

// Bin and paper names come in fixed-width fields of the driver.
constexpr int kBinNameChars = 24;
constexpr int kPaperNameChars = 64;

// Keeps the first entry of each name (without regard to case) and of each object, and drops
// entries with an empty name.
void RemoveDuplicates(TZStringList& list) {
    for (int i = list.Count() - 1; i >= 0; --i) {
        const QString& name = list.Strings(i);
        bool keep = !name.isEmpty();
        for (int j = 0; keep && j < i; ++j) {
            if (list.Strings(j).compare(name, Qt::CaseInsensitive) == 0 ||
                list.Objects(j) == list.Objects(i))
                keep = false;
        }
        if (!keep) list.Delete(i);
    }
}

// The names (cut to the field width and trimmed) and codes of a device's bins or papers,
// duplicates removed.
template <class Items>
std::unique_ptr<TZStringList> NamedCodes(const Items& items, int nameChars) {
    auto list = std::make_unique<TZStringList>();
    for (const auto& item : items) list->AddObject(item.name.left(nameChars).trimmed(), item.code);
    RemoveDuplicates(*list);
    return list;
}

// The printer's current settings, or false when it cannot be opened or asked.
bool ReadDefaultDevMode(const QString& device, TZDevMode& dm) {
    auto printer = PrintSystem().OpenPrinter(device);
    if (!printer) return false;
    return printer->DocumentProperties(nullptr, &dm, false) == 1;
}

}  // namespace

intptr_t PackResolution(int x, int y) {
    return static_cast<intptr_t>((static_cast<uint32_t>(x) & 0xFFFFu) |
                                 ((static_cast<uint32_t>(y) & 0xFFFFu) << 16));
}

TPoint UnpackResolution(intptr_t packed) {
    auto v = static_cast<uint32_t>(packed);
    return {static_cast<int>(v & 0xFFFFu), static_cast<int>(v >> 16)};
}

QString ResolutionText(int x, int y) {
    return x == y ? FormatMsg(sDpiSq, {x}) : FormatMsg(sDpi, {x, y});
}

TZPrintDevice::TZPrintDevice(const char* driver, const char* device, const char* port) {
    if (!device) throw EAssertionFailed(QStringLiteral("Assertion failed: device name"));
    Driver = driver ? tw::text::FromGbk(driver) : QString();
    Device = tw::text::FromGbk(device);
    Port = port ? tw::text::FromGbk(port) : QString();
    Refresh();
}

TZPrintDevice::TZPrintDevice(const QString& driver, const QString& device, const QString& port)
    : Driver(driver), Device(device), Port(port) {
    Refresh();
}

TZPrintDevice::~TZPrintDevice() = default;

void TZPrintDevice::Refresh() {
    bins_.reset();
    papers_.reset();
    orientations_.reset();
    resolutions_.reset();
    fonts_.reset();
    Capabilities = TZPrintCapabilities{zcUnknown};
}

QString TZPrintDevice::GetName() const {
    return Port.isEmpty() ? Device : FormatMsg(sDevice, {Device, Port});
}

bool TZPrintDevice::IsDevice(const char* name) const {
    return name && Device == tw::text::FromGbk(name);
}

bool TZPrintDevice::IsDevice(const QString& name) const {
    return Device == name;
}

TZStringList* TZPrintDevice::GetBins() {
    if (!bins_) bins_ = NamedCodes(PrintSystem().DeviceBins(Device, Port), kBinNameChars);
    return bins_.get();
}

TZStringList* TZPrintDevice::GetPapers() {
    if (!papers_) papers_ = NamedCodes(PrintSystem().DevicePapers(Device, Port), kPaperNameChars);
    return papers_.get();
}

TZStringList* TZPrintDevice::GetOrientations() {
    if (!orientations_) {
        auto list = std::make_unique<TZStringList>();
        if (GetCapabilities().Contains(zcOrientation)) {
            list->AddObject(sPortrait, 0);
            list->AddObject(sLandscape, 1);
        }
        orientations_ = std::move(list);
    }
    return orientations_.get();
}

TZStringList* TZPrintDevice::GetResolutions() {
    if (!resolutions_) {
        auto list = std::make_unique<TZStringList>();
        for (const auto& r : PrintSystem().DeviceResolutions(Device, Port)) {
            if (r.X == 0 && r.Y == 0) continue;
            list->AddObject(ResolutionText(r.X, r.Y), PackResolution(r.X, r.Y));
        }
        RemoveDuplicates(*list);
        resolutions_ = std::move(list);
    }
    return resolutions_.get();
}

TZStringList* TZPrintDevice::GetFonts() {
    if (!fonts_) {
        auto list = std::make_unique<TZStringList>();
        TZDevMode dm;
        if (ReadDefaultDevMode(Device, dm)) {
            auto ic = PrintSystem().CreateIC(Driver, Device, Port, &dm);
            QStringList faces;
            if (ic && ic->EnumFontFamilies(faces))
                for (const auto& f : faces) list->Add(f);
        }
        fonts_ = std::move(list);
    }
    return fonts_.get();
}

TZPrintCapabilities TZPrintDevice::GetCapabilities() {
    if (Capabilities == TZPrintCapabilities{zcUnknown}) {
        Capabilities = TZPrintCapabilities{};
        TZDevMode dm;
        if (ReadDefaultDevMode(Device, dm)) {
            if (dm.dmFields & DM_ORIENTATION) Capabilities.Include(zcOrientation);
            if (dm.dmFields & DM_COPIES) Capabilities.Include(zcCopies);
            if (dm.dmFields & DM_COLLATE) Capabilities.Include(zcCollation);
        }
    }
    return Capabilities;
}

}  // namespace Zprinters
