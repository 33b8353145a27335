#include "ChildList.h"

#include <climits>
#include <cstdlib>
#include <cstring>
#include <new>

namespace velmarq {

namespace {

// Size classes of 4, 8, ... kLargest slots; larger blocks come from the C library. A free block
// of a class is kept for the next parent of that class, for the life of the process. Under
// AddressSanitizer every block comes from the C library, so that its checks see each one.
constexpr int kSmallest = 4;
constexpr int kClasses = 8;
constexpr int kLargest = kSmallest << (kClasses - 1);  // 512
constexpr size_t kChunkBytes = size_t{64} << 10;

#if defined(__SANITIZE_ADDRESS__)
constexpr bool kPooled = false;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr bool kPooled = false;
#else
constexpr bool kPooled = true;
#endif
#else
constexpr bool kPooled = true;
#endif

size_t BlockBytes(int capacity) {
    return 2 * sizeof(int) + sizeof(void*) * static_cast<size_t>(capacity);  // header, slots
}

int ClassOf(int capacity) {
    int c = 0;
    while ((kSmallest << c) < capacity) ++c;
    return c;
}

struct FreeBlock {
    FreeBlock* next;
};

struct SizeClass {
    FreeBlock* free = nullptr;
    char* next = nullptr;  // unused room of the newest chunk
    char* end = nullptr;
};

SizeClass classes[kClasses];

void* TakeBlock(int capacity) {
    const size_t bytes = BlockBytes(capacity);
    if (!kPooled || capacity > kLargest) {
        void* p = std::malloc(bytes);
        if (!p) throw std::bad_alloc();
        return p;
    }
    SizeClass& sc = classes[ClassOf(capacity)];
    if (FreeBlock* b = sc.free) {
        sc.free = b->next;
        return b;
    }
    if (static_cast<size_t>(sc.end - sc.next) < bytes) {
        // The rest of the old chunk is left unused; chunks are kept for the life of the process.
        char* chunk = static_cast<char*>(std::malloc(kChunkBytes));
        if (!chunk) throw std::bad_alloc();
        sc.next = chunk;
        sc.end = chunk + kChunkBytes;
    }
    void* p = sc.next;
    sc.next += bytes;
    return p;
}

void GiveBlock(void* p, int capacity) {
    if (!kPooled || capacity > kLargest) {
        std::free(p);
        return;
    }
    SizeClass& sc = classes[ClassOf(capacity)];
    auto* b = static_cast<FreeBlock*>(p);
    b->next = sc.free;
    sc.free = b;
}

}  // namespace

void ChildList::Grow() {
    static_assert(sizeof(Block) == 2 * sizeof(int) && alignof(TreeNode*) <= sizeof(Block));
    const int count = block_ ? block_->count : 0;
    const int capacity = block_ ? block_->capacity : 0;
    if (capacity > INT_MAX / 2) throw std::bad_alloc();
    const int grown = capacity == 0 ? kSmallest : capacity * 2;
    auto* fresh = static_cast<Block*>(TakeBlock(grown));
    fresh->count = count;
    fresh->capacity = grown;
    if (count > 0)
        std::memcpy(fresh->Slots(), block_->Slots(),
                    sizeof(TreeNode*) * static_cast<size_t>(count));
    if (block_) GiveBlock(block_, capacity);
    block_ = fresh;
}

int ChildList::IndexOf(const TreeNode* child) const {
    for (int i = 0, n = Count(); i < n; ++i) {
        if (block_->Slots()[i] == child) return i;
    }
    return -1;
}

void ChildList::RemoveAt(int i) {
    if (i < 0 || i >= Count()) return;
    std::memmove(block_->Slots() + i, block_->Slots() + i + 1,
                 sizeof(TreeNode*) * static_cast<size_t>(block_->count - i - 1));
    --block_->count;
}

void ChildList::ReleaseBlock() {
    GiveBlock(block_, block_->capacity);
    block_ = nullptr;
}

}  // namespace velmarq
