#include "ExtPtrArray.h"

#include <climits>
#include <cstring>
#include <new>

namespace velmarq {

namespace {
// The step doubles with the capacity, so that appending stays linear however long the array
// grows; it stops doubling where the next capacity would pass the int range.
constexpr int kMaxStep = INT_MAX / 2;
}  // namespace

ExtPtrArray::ExtPtrArray() : growth_(50), capacity_(0), count_(0), items_(nullptr) {}

ExtPtrArray::ExtPtrArray(int initialCapacity, int growth)
    : growth_(growth > 0 ? growth : 1),
      capacity_(initialCapacity > 0 ? initialCapacity : 0),
      count_(0),
      items_(capacity_ > 0 ? new VelmarqObject*[capacity_] : nullptr) {}

ExtPtrArray::~ExtPtrArray() {
    delete[] items_;
}

void ExtPtrArray::Grow() {
    // A failed allocation leaves the array as it was.
    if (capacity_ > INT_MAX - growth_) throw std::bad_alloc();
    const int newCap = capacity_ + growth_;
    auto** slots = new VelmarqObject*[newCap];  // slots from count_ on are never read
    if (count_ > 0) {
        // The slots hold pointers, so the element size is that of a pointer.
        // NOLINTNEXTLINE(bugprone-sizeof-expression)
        std::memcpy(slots, items_, sizeof(VelmarqObject*) * static_cast<size_t>(count_));
    }
    delete[] items_;
    items_ = slots;
    capacity_ = newCap;
    if (growth_ < kMaxStep) growth_ = newCap < kMaxStep ? newCap : kMaxStep;
}

void ExtPtrArray::AppendGrowing(VelmarqObject* p) {
    if (count_ >= capacity_) Grow();
    items_[count_++] = p;
}

VelmarqObject* ExtPtrArray::Pop() {
    if (count_ == 0) return nullptr;
    VelmarqObject* p = items_[--count_];
    items_[count_] = nullptr;
    return p;
}

VelmarqObject* ExtPtrArray::RemoveAt(int i) {
    if (i < 0 || i >= count_) return nullptr;
    VelmarqObject* p = items_[i];
    // The slots hold pointers, so the element size is that of a pointer.
    // NOLINTBEGIN(bugprone-sizeof-expression)
    std::memmove(items_ + i, items_ + i + 1,
                 sizeof(VelmarqObject*) * static_cast<size_t>(count_ - i - 1));
    // NOLINTEND(bugprone-sizeof-expression)
    items_[--count_] = nullptr;
    return p;
}

int ExtPtrArray::IndexOf(const VelmarqObject* p) const {
    for (int i = 0; i < count_; ++i) {
        if (items_[i] == p) return i;
    }
    return -1;
}

void ExtPtrArray::DeleteAll() {
    for (int i = 0; i < count_; ++i) {
        delete items_[i];
        items_[i] = nullptr;
    }
    count_ = 0;
}

}  // namespace velmarq
