// Helpers of the layout builder tests: trees from XML text, a compact text form of a tree to
// compare with expected trees written by hand, and a fixture that binds the expression library.
#pragma once

#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "Build/ExpressionBinding.h"
#include "Build/TreeUtils.h"
#include "TXml.h"

namespace buildtest {

using TVostrin::XmlPtr;

inline void WriteFile(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
}

inline std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

// A tree parsed from XML text (through a temporary file, the library's only way in).
inline XmlPtr Parse(const std::string& xml) {
    QTemporaryDir dir;
    const std::string path = dir.filePath("t.xml").toStdString();
    WriteFile(path, xml);
    XmlPtr tree(new TXml());
    EXPECT_TRUE(tree->LoadXmlFile(path)) << xml;
    return tree;
}

inline XmlPtr LoadData(const std::string& name) {
    XmlPtr tree(new TXml());
    EXPECT_TRUE(tree->LoadXmlFile(std::string(TW_TEST_DATA_DIR) + "/" + name)) << name;
    return tree;
}

// Compact text form: <tag a="1">content<child/></tag>, attributes in order, no blanks.
inline std::string Dump(const TXml* node) {
    if (node == nullptr) return "(null)";
    std::string s = "<" + node->GetTag();
    for (int i = 0; i < node->AttributeCount(); ++i)
        s += " " + node->AttributeNameAt(i) + "=\"" + node->AttributeValueAt(i) + "\"";
    const std::string content = node->GetContent();
    if (content.empty() && node->ChildCount() == 0) return s + "/>";
    s += ">" + content;
    for (int i = 0; i < node->ChildCount(); ++i) {
        XmlPtr child(node->ChildAt(i));
        s += Dump(child.get());
    }
    return s + "</" + node->GetTag() + ">";
}

// XML text with the blanks between elements removed, to write expected trees readably.
inline std::string Compact(const std::string& xml) {
    std::string out;
    bool inTag = false;
    size_t i = 0;
    while (i < xml.size()) {
        const char c = xml[i];
        if (c == '<') inTag = true;
        if (c == '>') inTag = false;
        if (!inTag && (c == '\n' || c == ' ') && (out.empty() || out.back() == '>')) {
            ++i;
            continue;
        }
        out += c;
        ++i;
    }
    return out;
}

// The "value" attributes of a page's "reporttable" children, joined by "|".
inline std::string PageValues(const TXml* page) {
    XmlPtr table(page->FirstChildByTag("reporttable"));
    if (!table) return "(no reporttable)";
    std::string s;
    for (int i = 0; i < table->ChildCount(); ++i) {
        XmlPtr e(table->ChildAt(i));
        if (i > 0) s += "|";
        s += e->AttributeValue("value");
    }
    return s;
}

// One entry per page: its "desc" (or tag when it has none), ":" and its values.
inline std::vector<std::string> Pages(const TXml* root) {
    std::vector<std::string> pages;
    for (int i = 0; i < root->ChildCount(); ++i) {
        XmlPtr page(root->ChildAt(i));
        std::string name = page->AttributeValue("desc");
        if (name.empty()) name = page->GetTag();
        pages.push_back(name + ":" + PageValues(page.get()));
    }
    return pages;
}

// Binds the expression library from the program folder for each test.
class BoundLibrary : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_EQ(TVostrin::BindExpressionLibrary(), 0); }
    void TearDown() override { TVostrin::ReleaseExpressionLibrary(); }
};

}  // namespace buildtest
