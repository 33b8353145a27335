#include "ZPrinters/ZPrintSystem.h"

#include "ZPrinters/ZCupsPrintSystem.h"
#include "ZPrinters/ZPrintDevices.h"

namespace Zprinters {

namespace {

std::unique_ptr<TZPrintSystem>& Installed() {
    static std::unique_ptr<TZPrintSystem> system;
    return system;
}

}  // namespace

TZPrintSystem& PrintSystem() {
    auto& s = Installed();
    if (!s) s = std::make_unique<TZCupsPrintSystem>();
    return *s;
}

void SetPrintSystem(std::unique_ptr<TZPrintSystem> system) {
    FreePrintDevices();
    Installed() = std::move(system);
}

}  // namespace Zprinters
