#include "CVarText.h"

#include <exception>

#include "ExpressionBinding.h"
#include "TreeUtils.h"

namespace TVostrin {

int CVarText::Build(TXml* data, int* /*cursor*/, TXml* parent) {
    const std::string expr = TrimControl(Node()->GetContent());
    if (expr.empty()) return kBuildDone;
    try {
        const std::string variables = ExpressionVariables(expr);
        const std::string values =
            variables.empty() ? std::string() : CollectValues(variables, data);
        const std::string result = ParseExpression(expr, values);
        XmlPtr text(new TXml());
        text->SetTag("text");
        const TXml* node = Node();
        for (int i = 0; i < node->AttributeCount(); ++i)
            text->AddAttribute(node->AttributeNameAt(i), node->AttributeValueAt(i));
        text->AddAttribute("value", result);
        return Append(parent, text.get());
    } catch (const std::exception&) {
        return kBuildFailed;
    }
}

}  // namespace TVostrin
