#include "ZPrinters/ZPrintDevices.h"

#include <QByteArray>

#include "ZPrinters/ZErrors.h"
#include "ZPrinters/ZPrintSystem.h"

namespace Zprinters {

namespace {

// The user's profile entry is read through a buffer of this many characters.
constexpr int kProfileDeviceChars = 79;

std::unique_ptr<TZPrintDevices>& SharedDevices() {
    static std::unique_ptr<TZPrintDevices> devices;
    return devices;
}

}  // namespace

TZPrintDevices::TZPrintDevices() {
    Refresh();
}

TZPrintDevices::~TZPrintDevices() {
    ClearDevices();
}

void TZPrintDevices::ClearDevices() {
    devices_.clear();
}

void TZPrintDevices::Refresh() {
    ClearDevices();
    TZPrintSystem& sys = PrintSystem();
    const bool nt = sys.IsNtFamily();
    for (const auto& p : sys.EnumPrinters()) {
        if (nt) {
            devices_.push_back(std::make_unique<TZPrintDevice>(QString(), p.name, QString()));
            continue;
        }
        QByteArray ports = p.ports.toUtf8();
        char* cursor = ports.data();
        for (;;) {
            char* field = FetchStr(cursor);
            if (!field || !*field) break;
            devices_.push_back(
                std::make_unique<TZPrintDevice>(QString(), p.name, QString::fromUtf8(field)));
        }
    }
}

char* TZPrintDevices::FetchStr(char*& cursor) {
    if (!cursor) return nullptr;
    char* p = cursor;
    while (*p == ' ') ++p;
    char* start = p;
    while (*p && *p != ',') ++p;
    if (*p == ',') {
        *p = '\0';
        cursor = p + 1;
    } else {
        cursor = p;
    }
    return start;
}

int TZPrintDevices::DeviceIndex(const QString& name) const {
    for (int i = 0; i < GetCount(); ++i)
        if (devices_[i]->GetName() == name) return i;
    return -1;
}

TZPrintDevice* TZPrintDevices::FindDevice(const QString& name) const {
    int i = DeviceIndex(name);
    return i < 0 ? nullptr : devices_[i].get();
}

TZPrintDevice* TZPrintDevices::DeviceByName(const QString& name) const {
    TZPrintDevice* d = FindDevice(name);
    if (!d) throw Exception(FormatMsg(sNoSuchDevice, {name}));
    return d;
}

TZPrintDevice* TZPrintDevices::GetDevice(int index) const {
    if (index < 0 || index >= GetCount())
        throw EListError(QStringLiteral("List index out of bounds (%1)").arg(index));
    return devices_[index].get();
}

TZPrintDevice* TZPrintDevices::GetDefaultDevice() const {
    TZPrintSystem& sys = PrintSystem();
    QString name = sys.DefaultPrinterName();
    if (name.isEmpty()) {
        QByteArray entry = sys.ProfileDevice().left(kProfileDeviceChars).toUtf8();
        char* cursor = entry.data();
        name = QString::fromUtf8(FetchStr(cursor));
    }
    for (const auto& d : devices_)
        if (d->IsDevice(name)) return d.get();
    return devices_.empty() ? nullptr : devices_.back().get();
}

int TZPrintDevices::GetDefaultIndex() const {
    TZPrintDevice* d = GetDefaultDevice();
    for (int i = 0; i < GetCount(); ++i)
        if (devices_[i].get() == d) return i;
    return -1;
}

TZPrintDevices* PrintDevices() {
    auto& shared = SharedDevices();
    if (!shared) shared = std::make_unique<TZPrintDevices>();
    return shared.get();
}

int PrintDevicesCnt() {
    return PrintDevices()->GetCount();
}

void EnumPrintDevices(TZStringList* list) {
    list->BeginUpdate();
    try {
        list->Clear();
        TZPrintDevices* devices = PrintDevices();
        for (int i = 0; i < devices->GetCount(); ++i) list->Add(devices->GetDevice(i)->GetName());
    } catch (...) {
        list->EndUpdate();
        throw;
    }
    list->EndUpdate();
}

int PrintDevicesCheckAvailable() {
    int n = PrintDevicesCnt();
    if (n <= 0) throw Exception(sNoDevices);
    return n;
}

void FreePrintDevices() {
    SharedDevices().reset();
}

}  // namespace Zprinters
