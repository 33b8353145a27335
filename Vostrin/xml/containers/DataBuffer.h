// Raw bytes (not NUL-terminated), used by the charset conversions.
#pragma once

namespace velmarq {

class DataBuffer {
  public:
    DataBuffer() = default;
    virtual ~DataBuffer();
    DataBuffer(const DataBuffer&) = delete;
    DataBuffer& operator=(const DataBuffer&) = delete;

    void EnsureCapacity(int n);  // grows to exactly n bytes when smaller
    void Append(const void* bytes, int n);
    void AppendByte(unsigned char b);
    void TakeOver(DataBuffer& other);  // other is left empty
    void Clear() { size_ = 0; }

    const unsigned char* Data() const { return data_; }
    int Size() const { return size_; }
    int Capacity() const { return capacity_; }

  private:
    void Reallocate(int capacity);

    unsigned char* data_ = nullptr;
    int size_ = 0;
    int capacity_ = 0;
};

}  // namespace velmarq
