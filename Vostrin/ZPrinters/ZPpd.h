// What the printing layer reads from a queue's PPD file: paper sources and resolutions with
// their defaults.
#pragma once

#include <QString>
#include <vector>

#include "ZPrinters/ZTypes.h"

namespace Zprinters {

struct TZPpdInfo {
    struct Slot {
        QString key;   // the option keyword (sent to the queue)
        QString text;  // the name shown to users
    };
    std::vector<Slot> inputSlots;
    QString defaultInputSlot;
    std::vector<TPoint> resolutions;
    TPoint defaultResolution;
};

// Reads the InputSlot and Resolution options of PPD text.
TZPpdInfo ParsePpd(const QByteArray& text);
// "300dpi" or "300x600dpi"; (0, 0) for anything else.
TPoint ParseResolutionKey(const QString& key);
// The system's bin code for a paper-source keyword; custom sources get 257 + index.
int BinCodeForSlot(const QString& key, int index);

}  // namespace Zprinters
