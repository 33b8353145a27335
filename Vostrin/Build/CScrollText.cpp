#include "CScrollText.h"

#include <exception>

#include "RecordFields.h"

namespace TVostrin {

int CScrollText::Build(TXml* data, int* cursor, TXml* parent) {
    try {
        XmlPtr records = RecordList(data);
        if (!records) return kBuildDone;
        XmlPtr record(records->ChildAt(*cursor));
        if (!record) return kBuildNothingToPrint;

        const TXml* node = Node();
        long long y = IntAttribute(node, "ystart", 0);
        const long long step = IntAttribute(node, "ystep", 0);
        const long long dx = static_cast<long long>(XStep) * SlotIndex;
        const long long dy = static_cast<long long>(YStep) * SlotIndex;

        bool any = false;
        const int count = node->ChildCount();
        for (int i = 0; i < count; ++i) {
            XmlPtr line(node->ChildAt(i));
            if (line->GetTag() != "text") continue;
            const std::string v = TrimControl(FieldValue(line.get(), record.get()));
            if (IsMainData(v, line.get())) any = true;
            if (v.empty()) continue;
            XmlPtr out(new TXml());
            out->SetTag("text");
            out->AddAttribute("y", std::to_string(y + dy));
            for (int a = 0; a < line->AttributeCount(); ++a) {
                const std::string name = line->AttributeNameAt(a);
                if (name == "y") continue;
                std::string value = line->AttributeValueAt(a);
                if (name == "x") value = std::to_string(ParseInt(value, 0) + dx);
                out->AddAttribute(name, value);
            }
            out->AddAttribute("value", v);
            parent->AppendSubtree(out.get());
            y += step;
        }
        return any ? kBuildDone : kBuildNothingToPrint;
    } catch (const std::exception&) {
        return kBuildFailed;
    }
}

}  // namespace TVostrin
