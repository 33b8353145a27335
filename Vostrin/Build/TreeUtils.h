// Tree and text helpers shared by the layout builder, its elements and the page finishing.
#pragma once

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
// level), whatever its depth; NULL for NULL. The caller owns the result.
TXml* CopyTree(const TXml* node);

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

// Moves every direct child tagged `tag` of reportTable to its end, retagged "text" and with a
// "value" attribute appended (the placeholder's own attributes stay in front).
void ConvertPlaceholders(TXml* reportTable, const std::string& tag, const std::string& value);

}  // namespace TVostrin
