#include "DataBuffer.h"

#include <climits>
#include <cstdlib>
#include <cstring>
#include <new>

namespace velmarq {

namespace {
constexpr int kStep = 20000;

// A growth of at least half the size, so that a buffer filled piece by piece (a file's
// conversion, 16 KB at a time) is copied a bounded number of times per byte.
long long Geometric(int size, long long capacity) {
    const long long atLeast = static_cast<long long>(size) + size / 2;
    return capacity < atLeast ? atLeast : capacity;
}
}  // namespace

DataBuffer::~DataBuffer() {
    delete[] data_;
}

void DataBuffer::Reallocate(int capacity) {
    auto* p = new unsigned char[static_cast<size_t>(capacity)];
    if (size_ > 0) std::memcpy(p, data_, static_cast<size_t>(size_));
    delete[] data_;
    data_ = p;
    capacity_ = capacity;
}

void DataBuffer::EnsureCapacity(int n) {
    if (capacity_ < n) Reallocate(n);
}

void DataBuffer::Append(const void* bytes, int n) {
    if (!bytes || n <= 0) return;
    long long need = static_cast<long long>(size_) + n;
    if (need > INT_MAX) throw std::bad_alloc();
    if (need > capacity_) {
        long long cap = n >= kStep ? need : static_cast<long long>(size_) + kStep;
        cap = Geometric(size_, cap);
        if (cap > INT_MAX) cap = INT_MAX;
        Reallocate(static_cast<int>(cap));
    }
    std::memcpy(data_ + size_, bytes, static_cast<size_t>(n));
    size_ += n;
}

void DataBuffer::AppendByte(unsigned char b) {
    if (size_ >= capacity_) {
        if (size_ > INT_MAX - kStep) throw std::bad_alloc();
        long long cap = Geometric(size_, static_cast<long long>(size_) + kStep);
        if (cap > INT_MAX) cap = INT_MAX;
        Reallocate(static_cast<int>(cap));
    }
    data_[size_++] = b;
}

void DataBuffer::TakeOver(DataBuffer& other) {
    if (&other == this) return;
    delete[] data_;
    data_ = other.data_;
    size_ = other.size_;
    capacity_ = other.capacity_;
    other.data_ = nullptr;
    other.size_ = 0;
    other.capacity_ = 0;
}

}  // namespace velmarq
