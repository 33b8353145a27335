// libFuzzer target for the XML parser: any bytes must parse (or not) without a crash, a hang, a
// leak or a sanitizer report, and the tree it gives must be searchable and freeable.
// Built by the CMakeLists.txt beside it (clang only); run.sh builds and runs it for a while.
#include <cstddef>
#include <cstdint>
#include <string>

#include "ParseEngine.h"
#include "TreeNode.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > (1u << 20)) return 0;
    const char* bytes = reinterpret_cast<const char*>(data);
    velmarq::TreeNode* top = velmarq::ParseXmlBytes(bytes, static_cast<int>(size), nullptr, nullptr);
    if (!top) return 0;
    // Search the tree for a tag taken from the input and for every node in turn.
    std::string tag(bytes, size < 4 ? size : 4);
    velmarq::TreeNode::FindByTag(top, nullptr, tag.c_str());
    velmarq::TreeNode::FindByAttribute(top, top, "a", "value", "*x*");
    velmarq::StringBuffer encoding;
    top->GetDeclaredEncoding(encoding);
    delete top;
    return 0;
}
