#include "PrintElement/PrintElementFactory.h"

#include <string>

#include "PrintElement/Barcode.h"
#include "PrintElement/Line.h"
#include "PrintElement/MyImage.h"
#include "PrintElement/MyRect.h"
#include "PrintElement/PieChart.h"
#include "PrintElement/PrnDoc.h"
#include "PrintElement/TessorBar.h"
#include "PrintElement/Text.h"
#include "PrintElement/TextBox.h"
#include "PrintElement/WordDoc.h"
#include "TXml.h"

namespace TVostrin {

namespace {

template <class T>
std::unique_ptr<TPrintElement> Make(TXml* node) {
    return std::make_unique<T>(node);
}

struct TElementKind {
    const char* tag;
    std::unique_ptr<TPrintElement> (*make)(TXml* node);
};

// One line per element tag; the first matching tag decides.
const TElementKind kElementKinds[] = {
    {"text", &Make<TText>},         {"addition", &Make<TText>},   {"line", &Make<TLine>},
    {"image", &Make<TMyImage>},     {"rect", &Make<TMyRect>},     {"worddoc", &Make<TWordDoc>},
    {"prndoc", &Make<TPrnDoc>},     {"barcode", &Make<TBarcode>}, {"tessorbar", &Make<TTessorBar>},
    {"piechart", &Make<TPieChart>}, {"textbox", &Make<TTextBox>},
};

}  // namespace

std::unique_ptr<TPrintElement> CreatePrintElement(TXml* node) {
    const std::string tag = node ? node->GetTag() : std::string();
    for (const TElementKind& kind : kElementKinds)
        if (tag == kind.tag) return kind.make(node);
    return std::make_unique<TPrintElement>(node);
}

}  // namespace TVostrin
