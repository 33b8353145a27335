// A growable array of object pointers. It owns the slots, and the objects only when DeleteAll is
// called. Each growth adds the growth step and then sets the step to the new capacity, so the
// capacity doubles and appending stays linear.
#pragma once

#include "VelmarqObject.h"

namespace velmarq {

class ExtPtrArray {
  public:
    ExtPtrArray();  // growth step 50, no slots until the first Append
    ExtPtrArray(int initialCapacity, int growth);
    virtual ~ExtPtrArray();  // frees the slots, never the objects
    ExtPtrArray(const ExtPtrArray&) = delete;
    ExtPtrArray& operator=(const ExtPtrArray&) = delete;

    void Append(VelmarqObject* p) {
        if (count_ < capacity_)
            items_[count_++] = p;
        else
            AppendGrowing(p);
    }
    // Makes room for one more pointer, growing as Append would, so that the next Append cannot
    // fail. A failed allocation leaves the array as it was.
    void ReserveOne() {
        if (count_ >= capacity_) Grow();
    }
    VelmarqObject* Get(int i) const { return i < 0 || i >= count_ ? nullptr : items_[i]; }
    VelmarqObject* Last() const { return count_ > 0 ? items_[count_ - 1] : nullptr; }
    VelmarqObject* Pop();
    VelmarqObject* RemoveAt(int i);
    int IndexOf(const VelmarqObject* p) const;  // -1 when absent
    void Clear() { count_ = 0; }
    void DeleteAll();
    int Count() const { return count_; }
    int Capacity() const { return capacity_; }
    int GrowthStep() const { return growth_; }

  private:
    void AppendGrowing(VelmarqObject* p);
    void Grow();

    int growth_;
    int capacity_;
    int count_;
    VelmarqObject** items_;
};

}  // namespace velmarq
