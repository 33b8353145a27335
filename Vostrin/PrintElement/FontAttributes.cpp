#include "PrintElement/FontAttributes.h"

#include "PrintElement/PrintColor.h"
#include "PrintElement/PrintUnits.h"
#include "TXml.h"
#include "text/Gbk.h"

namespace TVostrin {

void ApplyFontAttributes(const TXml* node, Zprinters::TZFont& font) {
    const std::string face = node->AttributeValue("fontname");
    if (!face.empty()) font.Name = tw::text::FromGbk(face);
    const std::string size = node->AttributeValue("fontsize");
    if (!size.empty()) font.SetSize(StrToIntDef(size, 10));
    font.Style = 0;
    if (node->AttributeValue("b") == "true") font.Style |= Zprinters::fsBold;
    if (node->AttributeValue("i") == "true") font.Style |= Zprinters::fsItalic;
    if (node->AttributeValue("u") == "true") font.Style |= Zprinters::fsUnderline;
    const std::string color = node->AttributeValue("fontcolor");
    if (!color.empty()) font.Color = ToQColor(ParseColor(color, 0));
}

}  // namespace TVostrin
