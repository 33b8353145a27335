// A way for raw printer commands into the running print job, at the current page. A printer
// context that can take bytes unchanged (a queue for a printer that reads its own command
// language) implements this beside Zprinters::TZPrintContext; elements that send commands find
// it on their printer handle and send nothing when the context does not offer it.
#pragma once

#include <string>

#include "ZPrinters/ZPrintContext.h"

namespace TVostrin {

class TRawPrinterChannel {
  public:
    virtual ~TRawPrinterChannel() = default;
    // Hands the bytes to the device unchanged; false when they were not taken.
    virtual bool PassThrough(const std::string& bytes) = 0;
};

// The raw channel of a printer context; null when the context cannot take raw bytes.
inline TRawPrinterChannel* RawChannelOf(Zprinters::HDC handle) {
    return dynamic_cast<TRawPrinterChannel*>(handle);
}

}  // namespace TVostrin
