// libFuzzer target for the XML library: any bytes must parse (or not) without a crash, a hang, a
// leak or a sanitizer report, and the tree it gives must be searchable and freeable. An input
// whose first byte is 0xFF is instead a program of handle operations: building (deep chains from
// the top down included), moving, detaching, searching, editing and deleting through TXml; every
// node must be gone once the last handle is.
// Built by the CMakeLists.txt beside it (clang only); run.sh builds and runs it for a while.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "NodePool.h"
#include "ParseEngine.h"
#include "TXml.h"
#include "TreeNode.h"

namespace {

void ParseAndSearch(const char* bytes, size_t size) {
    velmarq::TreeNode* top =
        velmarq::ParseXmlBytes(bytes, static_cast<int>(size), nullptr, nullptr);
    if (!top) return;
    // Search the tree for a tag taken from the input and for every node in turn.
    std::string tag(bytes, size < 4 ? size : 4);
    velmarq::TreeNode::FindByTag(top, nullptr, tag.c_str());
    velmarq::TreeNode::FindByAttribute(top, top, "a", "value", "*x*");
    velmarq::StringBuffer encoding;
    top->GetDeclaredEncoding(encoding);
    delete top;
}

// Runs the program: each operation takes an opcode byte and an argument byte.
void RunHandles(const uint8_t* p, size_t size) {
    std::vector<TXml*> handles{new TXml};
    int serial = 0;
    auto pick = [&](uint8_t b) -> TXml*& { return handles[b % handles.size()]; };
    // Few tags, so that searches find something, and new ones, so that the pool grows.
    auto tagOf = [&](uint8_t b) {
        return b < 200 ? std::string(1, static_cast<char>('a' + b % 4))
                       : "t" + std::to_string(serial++);
    };
    for (size_t i = 0; i + 1 < size; i += 2) {
        const uint8_t op = p[i] % 10;
        const uint8_t arg = p[i + 1];
        TXml*& h = pick(arg);
        TXml*& other = pick(static_cast<uint8_t>(arg >> 4));
        switch (op) {
            case 0:
                if (handles.size() < 64) handles.push_back(new TXml);
                break;
            case 1:
                h->AppendSubtree(other);
                break;
            case 2: {
                // One level deeper: a new child below h, and h now designates it.
                auto* child = new TXml;
                child->SetTag(tagOf(arg));
                h->AppendSubtree(child);
                delete h;
                h = child;
                break;
            }
            case 3:
                h->DetachFromTree();
                break;
            case 4:
                if (TXml* c = h->ChildAt(arg % 4)) {
                    if (handles.size() < 64)
                        handles.push_back(c);
                    else
                        delete c;
                }
                break;
            case 5:
                delete h->FindNodeByTag(arg & 1 ? other : nullptr, tagOf(arg));
                break;
            case 6:
                delete h->FindNodeByAttribute(arg & 1 ? other : nullptr, tagOf(arg), "k", "*1*");
                break;
            case 7:
                if (arg & 1)
                    h->SetTag(tagOf(arg));
                else if (arg & 2)
                    h->AddAttribute("k", std::to_string(arg));
                else if (arg & 4)
                    h->SetAttribute("k", std::string(arg, '1'));
                else
                    h->RemoveAttribute("k");
                break;
            case 8:
                h->CopyFrom(other);
                break;
            default:
                if (handles.size() > 1) {
                    delete h;
                    h = handles.back();
                    handles.pop_back();
                }
                break;
        }
    }
    for (TXml* h : handles) delete h;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > (1u << 20)) return 0;
    const size_t nodesBefore = velmarq::NodePool::LiveCount();
    // Inputs of odd size parse into an arena of their own, which their tree owns; the others
    // into the shared one.
    velmarq::NodePool::SetOwnArenaBytes(size % 2 ? 0 : SIZE_MAX);
    if (size > 0 && data[0] == 0xFF)
        RunHandles(data + 1, size - 1);
    else
        ParseAndSearch(reinterpret_cast<const char*>(data), size);
    if (velmarq::NodePool::LiveCount() != nodesBefore) __builtin_trap();  // a node left behind
    return 0;
}
