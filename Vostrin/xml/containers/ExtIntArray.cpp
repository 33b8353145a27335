#include "ExtIntArray.h"

#include <cstring>

namespace velmarq {

ExtIntArray::ExtIntArray(int initialCapacity, int growth)
    : growth_(growth > 0 ? growth : 1),
      capacity_(initialCapacity > 0 ? initialCapacity : 0),
      count_(0),
      items_(capacity_ > 0 ? new int[capacity_] : nullptr) {}

ExtIntArray::~ExtIntArray() {
    delete[] items_;
}

void ExtIntArray::Append(int value) {
    ++count_;
    if (count_ > capacity_) {
        int newCap = capacity_ + growth_;
        if (newCap < count_) newCap = count_;
        int* p = new int[newCap];
        if (count_ > 1) std::memcpy(p, items_, sizeof(int) * static_cast<size_t>(count_ - 1));
        delete[] items_;
        items_ = p;
        capacity_ = newCap;
    }
    items_[count_ - 1] = value;
}

int ExtIntArray::Get(int i) const {
    return i < 0 || i >= count_ ? 0 : items_[i];
}

void ExtIntArray::RemoveAt(int i) {
    if (i < 0 || i >= count_) return;
    std::memmove(items_ + i, items_ + i + 1, sizeof(int) * static_cast<size_t>(count_ - i - 1));
    --count_;
}

}  // namespace velmarq
