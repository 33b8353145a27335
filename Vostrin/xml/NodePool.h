// Storage for tree nodes: fixed-size cells carved from large blocks, so that building and
// freeing a tree of a million elements costs no allocator call per node. Every block goes back
// to the system as soon as no node is alive.
#pragma once

#include <cstddef>

namespace velmarq {

class NodePool {
  public:
    static void* Allocate(size_t size);
    static void Free(void* p, size_t size);
    static size_t LiveCount();
};

}  // namespace velmarq
