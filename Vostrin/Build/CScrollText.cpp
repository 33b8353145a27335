#include "CScrollText.h"

#include "RecordFields.h"

namespace TVostrin {

bool CScrollText::BuildRecord(const TXml* record, long long dx, long long dy,
                              std::vector<XmlPtr>& made) {
    const TXml* node = Node();
    long long y = IntAttribute(node, "ystart", 0);
    const long long step = IntAttribute(node, "ystep", 0);

    bool any = false;
    const int count = node->ChildCount();
    for (int i = 0; i < count; ++i) {
        XmlPtr line(node->ChildAt(i));
        if (line->GetTag() != "text") continue;
        const std::string v = TrimControl(FieldValue(line.get(), record));
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
        made.push_back(std::move(out));
        y += step;
    }
    return any;
}

}  // namespace TVostrin
