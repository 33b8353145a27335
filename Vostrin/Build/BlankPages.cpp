#include "BlankPages.h"

#include "TreeUtils.h"

namespace TVostrin {
namespace {

XmlPtr BlankPage(const TXml* source, bool marked) {
    XmlPtr page = CopyNode(source);
    XmlPtr setting(source->FirstChildByTag("pagesetting"));
    if (setting) {
        XmlPtr copy(CopyTree(setting.get()));
        page->AppendSubtree(copy.get());
    }
    XmlPtr table(new TXml());
    table->SetTag("reporttable");
    XmlPtr text(new TXml());
    text->SetTag("text");
    text->AddAttribute("x", "0");
    text->AddAttribute("y", "0");
    text->AddAttribute("fontname", "Arail");
    text->AddAttribute("fontsize", "10");
    text->AddAttribute("value", "");
    table->AppendSubtree(text.get());
    if (marked) {
        XmlPtr sourceTable(source->FirstChildByTag("reporttable"));
        XmlPtr lineCode(sourceTable ? sourceTable->FirstChildByTag("linecode") : nullptr);
        if (lineCode) {
            XmlPtr copy(CopyTree(lineCode.get()));
            table->AppendSubtree(copy.get());
        }
    }
    page->AppendSubtree(table.get());
    return page;
}

}  // namespace

TXml* MakeBlankPage(const TXml* source) {
    return source == nullptr ? nullptr : BlankPage(source, false).release();
}

TXml* MakeMarkedBlankPage(const TXml* source) {
    return source == nullptr ? nullptr : BlankPage(source, true).release();
}

}  // namespace TVostrin
