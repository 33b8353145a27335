// Tree and text helpers shared by the layout builder, its elements and the page finishing.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "TXml.h"

namespace TVostrin {

// Owned handle on a node; navigation results are wrapped in it so every handle is freed.
using XmlPtr = std::unique_ptr<TXml>;

// Cuts *rest at the first occurrence of separator: *head gets the text before it and *rest the
// text after it; without the separator *head takes all of *rest and *rest becomes empty.
// Returns -1 (and empties *head) when *rest is empty, otherwise 0.
int CutAtFirst(std::string* head, std::string* rest, const std::string& separator);

// Clears *list and fills it with the non-empty pieces of text between separators, in order.
int SplitAtEach(std::vector<std::string>* list, const std::string& text,
                const std::string& separator);

// A new lone tree equal to node's subtree (tag, content, attributes in order, children at every
// level), whatever its depth; NULL for NULL. The caller owns the result. Nodes below node for
// which leaveOut answers true are left out of the copy with their subtrees.
TXml* CopyTree(const TXml* node, const std::function<bool(const TXml*)>& leaveOut = {});

// Makes node (with its subtree) child number index of *parent; the children from index on
// follow it in their order and keep their handles valid. False when *parent is NULL or index
// is outside 0..child count; true without change when node is NULL.
bool InsertChildAt(TXml** parent, int index, TXml* node);

// A new lone node with node's tag, content and attributes, without children.
XmlPtr CopyNode(const TXml* node);

// The text without leading and trailing bytes of codes 0 to 32.
std::string TrimControl(const std::string& text);

// The text read as a decimal integer (surrounding blanks ignored); empty or non-numeric text
// gives def.
int ParseInt(const std::string& text, int def);

// The attribute read as a decimal integer; an empty or non-numeric value gives def.
int IntAttribute(const TXml* node, const std::string& name, int def);

// Whether moving `count` nodes one by one out of a child list of `siblings` stays cheap: each
// move searches the list for the node and closes the gap it leaves.
bool FewEnoughToMove(long long count, long long siblings);

// A placeholder tag and the value its elements show.
struct Placeholder {
    std::string tag;
    std::string value;
};

// Turns every direct child of the page's first "reporttable" that is tagged like one of
// holders into a "text" element with a "value" attribute appended (its own attributes stay in
// front) and moves it to the end of the table: those of the first holder first, each group in
// its order. One pass over the table, however many placeholders it holds; a table with too many
// to move one by one is made anew (the page then holds a copy of the old table's elements, and
// handles on the old ones no longer reach the page).
void ConvertPlaceholders(TXml* page, const std::vector<Placeholder>& holders);

}  // namespace TVostrin
