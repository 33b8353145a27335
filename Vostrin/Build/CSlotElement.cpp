#include "CSlotElement.h"

#include <exception>

#include "RecordFields.h"

namespace TVostrin {

int CSlotElement::Build(TXml* data, int* cursor, TXml* parent) {
    try {
        XmlPtr records = RecordList(data);
        if (!records) return kBuildDone;
        XmlPtr record(records->ChildAt(*cursor));
        if (!record) return kBuildNothingToPrint;

        const long long dx = static_cast<long long>(XStep) * SlotIndex;
        const long long dy = static_cast<long long>(YStep) * SlotIndex;
        return BuildRecord(record.get(), dx, dy, parent) ? kBuildDone : kBuildNothingToPrint;
    } catch (const std::exception&) {
        return kBuildFailed;
    }
}

}  // namespace TVostrin
