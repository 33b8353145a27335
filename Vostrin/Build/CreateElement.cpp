// The build-element factory: the template node's tag selects the class.
#include <functional>
#include <string>
#include <utility>

#include "CBuildElement.h"
#include "CImage.h"
#include "CLine.h"
#include "CLineCode.h"
#include "CMyRect.h"
#include "CPrnDoc.h"
#include "CRecord.h"
#include "CScrollText.h"
#include "CText.h"
#include "CTextBox.h"
#include "CVarText.h"
#include "CWordDoc.h"

namespace TVostrin {
namespace {

template <class T>
CBuildElement* Make(TXml* node) {
    return new T(node);
}

using Maker = CBuildElement* (*)(TXml*);

// Tags compared exactly, in this order; the first match decides.
const std::pair<const char*, Maker> kMakers[] = {
    {"text", &Make<CText>},       {"addition", &Make<CText>},
    {"record", &Make<CRecord>},   {"vartext", &Make<CVarText>},
    {"line", &Make<CLine>},       {"linecode", &Make<CLineCode>},
    {"image", &Make<CImage>},     {"barcode", &Make<CImage>},
    {"tessorbar", &Make<CImage>}, {"rect", &Make<CMyRect>},
    {"worddoc", &Make<CWordDoc>}, {"prndoc", &Make<CPrnDoc>},
    {"textbox", &Make<CTextBox>}, {"scrolltext", &Make<CScrollText>},
};

}  // namespace

CBuildElement* CreateElement(TXml* node) {
    const std::string tag = node->GetTag();
    for (const auto& [name, make] : kMakers)
        if (tag == name) return make(node);
    return new CBuildElement(node);
}

}  // namespace TVostrin
