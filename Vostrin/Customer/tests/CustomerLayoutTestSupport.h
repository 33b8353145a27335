// Helpers of the layout tests: one call of the import, and the data tree it gives written out
// as short texts that the tests compare.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "Customer/CBuildCustomerData.h"
#include "CustomerTestSupport.h"
#include "TXml.h"

namespace customertest {

inline std::string DataPath(const std::string& name) {
    return std::string(TW_TEST_DATA_DIR) + "/" + name;
}

struct Portion {
    int status = 0;
    int position = 0;
    std::unique_ptr<TXml> tree;
};

// One import call starting at position.
inline Portion ReadPortion(const std::string& data, const std::string& ini, int position,
                           int index = 0) {
    Portion p;
    p.position = position;
    TXml* tree = nullptr;
    p.status = TVostrin::CBuildCustomerData().Build(data, index, &p.position, ini, &tree);
    p.tree.reset(tree);
    return p;
}

// Whether a call failed with that status, gave no tree and left the position as it was.
inline ::testing::AssertionResult Failed(const Portion& p, int status, int position) {
    if (p.status == status && !p.tree && p.position == position)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "status " << p.status << " (want " << status << "), "
                                         << (p.tree ? "a tree" : "no tree") << ", position "
                                         << p.position << " (want " << position << ")";
}

// The failures every layout of ini shares, each leaving no tree and the position as it was: a
// data file that does not exist (-2001), a position before the start of the file (-2002) and
// a folder, which opens but cannot be read (-2003).
inline void ExpectFailuresLeaveNothing(TempFiles& files, const std::string& ini) {
    EXPECT_TRUE(Failed(ReadPortion(files.Path("none.txt"), ini, 2), -2001, 2));
    EXPECT_TRUE(Failed(ReadPortion(files.Write("d.txt", "a,b\n"), ini, -3), -2002, -3));
    EXPECT_TRUE(Failed(ReadPortion(files.Path(""), ini, 0), -2003, 0));
}

// The tree as tag=value or tag(children...), children separated by blanks.
inline std::string Outline(const TXml* node) {
    std::string text = node->GetTag();
    if (node->AttributeCount() > 0) text += "=" + node->AttributeValue("value");
    if (node->ChildCount() > 0) {
        text += "(";
        for (int i = 0; i < node->ChildCount(); ++i) {
            std::unique_ptr<TXml> child(node->ChildAt(i));
            text += (i ? " " : "") + Outline(child.get());
        }
        text += ")";
    }
    return text;
}

// The tags of a node's children in order.
inline std::vector<std::string> ChildTags(const TXml* node) {
    std::vector<std::string> tags;
    for (int i = 0; i < node->ChildCount(); ++i) {
        std::unique_ptr<TXml> child(node->ChildAt(i));
        tags.push_back(child->GetTag());
    }
    return tags;
}

// Each "tr" of a "record" element written out as name=value pairs separated by blanks.
inline std::vector<std::string> Rows(const TXml* record) {
    std::vector<std::string> rows;
    for (int i = 0; i < record->ChildCount(); ++i) {
        std::unique_ptr<TXml> tr(record->ChildAt(i));
        std::string row;
        for (int j = 0; j < tr->ChildCount(); ++j) {
            std::unique_ptr<TXml> field(tr->ChildAt(j));
            row += (j ? " " : "") + field->GetTag() + "=" + field->AttributeValue("value");
        }
        rows.push_back(row);
    }
    return rows;
}

// The child of node at a path of child indexes; null when the path leads nowhere.
inline std::unique_ptr<TXml> Child(const TXml* node, std::initializer_list<int> path) {
    std::unique_ptr<TXml> at;
    const TXml* from = node;
    for (int i : path) {
        at.reset(from->ChildAt(i));
        if (!at) break;
        from = at.get();
    }
    return at;
}

}  // namespace customertest
