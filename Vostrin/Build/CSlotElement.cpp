#include "CSlotElement.h"

#include <exception>

#include "RecordFields.h"

namespace TVostrin {

int CSlotElement::BuildSlot(const TXml* record, std::vector<XmlPtr>& made) {
    try {
        const size_t first = made.size();
        const long long dx = static_cast<long long>(XStep) * SlotIndex;
        const long long dy = static_cast<long long>(YStep) * SlotIndex;
        const bool printed = BuildRecord(record, dx, dy, made);
        if (BuildBudget* budget = Budget()) {
            const long long before = budget->Nodes();
            for (size_t m = first; m < made.size(); ++m)
                if (!budget->Charge(made[m].get())) return kBuildFailed;
            // Fields that made nothing were read and evaluated all the same.
            if (!budget->ChargeWork(Node()->ChildCount() - (budget->Nodes() - before)))
                return kBuildFailed;
        }
        return printed ? kBuildDone : kBuildNothingToPrint;
    } catch (const std::exception&) {
        return kBuildFailed;
    }
}

int CSlotElement::Build(TXml* data, int* cursor, TXml* parent) {
    try {
        XmlPtr records = RecordList(data);
        if (!records) return kBuildDone;
        XmlPtr record(records->ChildAt(*cursor));
        if (!record) return kBuildNothingToPrint;
        std::vector<XmlPtr> made;
        const int status = BuildSlot(record.get(), made);
        if (status == kBuildFailed) return status;
        for (XmlPtr& node : made) parent->AppendSubtree(node.get());
        return status;
    } catch (const std::exception&) {
        return kBuildFailed;
    }
}

}  // namespace TVostrin
