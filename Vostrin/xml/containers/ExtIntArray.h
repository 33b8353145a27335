// A growable array of 32-bit ints that grows by a constant step.
#pragma once

namespace velmarq {

class ExtIntArray {
  public:
    ExtIntArray(int initialCapacity, int growth);
    virtual ~ExtIntArray();
    ExtIntArray(const ExtIntArray&) = delete;
    ExtIntArray& operator=(const ExtIntArray&) = delete;

    void Append(int value);
    int Get(int i) const;  // 0 when out of range
    void RemoveAt(int i);  // ignored when out of range
    int Count() const { return count_; }
    int Capacity() const { return capacity_; }

  private:
    int growth_;
    int capacity_;
    int count_;
    int* items_;
};

}  // namespace velmarq
