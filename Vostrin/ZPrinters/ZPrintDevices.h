// The list of installed printers, in the order the printing system enumerates them, with lookup
// by display name and the choice of the default printer; and the one shared list.
#pragma once

#include <QString>
#include <memory>
#include <vector>

#include "ZPrinters/ZExport.h"
#include "ZPrinters/ZPrintDevice.h"
#include "ZPrinters/ZStringList.h"

namespace Zprinters {

class ZPRINTERS_API TZPrintDevices {
  public:
    TZPrintDevices();
    ~TZPrintDevices();
    TZPrintDevices(const TZPrintDevices&) = delete;
    TZPrintDevices& operator=(const TZPrintDevices&) = delete;

    // Enumerates the installed printers again.
    void Refresh();
    void ClearDevices();

    // The next comma-separated field of a writable text: skips leading blanks, overwrites the
    // comma that ends the field with a zero byte and moves the cursor past it (at the end of the
    // text the cursor stays on the terminating zero). A null cursor gives null.
    static char* FetchStr(char*& cursor);

    // First device whose display name equals name exactly; -1 when none.
    int DeviceIndex(const QString& name) const;
    TZPrintDevice* FindDevice(const QString& name) const;
    // As FindDevice, but raises "No such printer: '<name>'." instead of giving null.
    TZPrintDevice* DeviceByName(const QString& name) const;
    // Raises EListError for an index outside the list.
    TZPrintDevice* GetDevice(int index) const;
    int GetCount() const { return static_cast<int>(devices_.size()); }

    // The device of the system's default printer; the last device when no device matches the
    // default name; null with no devices.
    TZPrintDevice* GetDefaultDevice() const;
    int GetDefaultIndex() const;

  private:
    std::vector<std::unique_ptr<TZPrintDevice>> devices_;
};

// The shared device list, enumerated on the first call only.
ZPRINTERS_API TZPrintDevices* PrintDevices();
ZPRINTERS_API int PrintDevicesCnt();
// Clears the list and adds the display name of every device, in order.
ZPRINTERS_API void EnumPrintDevices(TZStringList* list);
// The device count when there are devices; else raises the no-printers message.
ZPRINTERS_API int PrintDevicesCheckAvailable();
// Frees the shared device list; the next PrintDevices() enumerates again.
void FreePrintDevices();

}  // namespace Zprinters
