// A hash map from byte-string names to owned objects; entries of one bucket are kept in a doubly
// linked list, the most recently inserted first. The bucket array starts at the size its creator
// gives and doubles whenever the entries outnumber the buckets (halving again when they fall to a
// quarter), so that a lookup walks a bucket of about one entry however many names are stored.
#pragma once

#include <cstddef>

#include "StringBuffer.h"

namespace velmarq {

// An entry: a copy of the key and an owned value.
class NamedObject {
  public:
    NamedObject(const char* name, VelmarqObject* value);
    NamedObject(const char* name, size_t len, VelmarqObject* value);
    virtual ~NamedObject();
    NamedObject(const NamedObject&) = delete;
    NamedObject& operator=(const NamedObject&) = delete;

    const char* Text() const { return name_ ? name_->Data() : ""; }
    StringBuffer* Name() const { return name_; }
    VelmarqObject* Value() const { return value_; }
    void SetValue(VelmarqObject* value);  // destroys the old value unless it is the same

  private:
    StringBuffer* name_;
    VelmarqObject* value_;
};

class Velmarq_ListItem {
  public:
    explicit Velmarq_ListItem(NamedObject* object) : object(object) {}
    virtual ~Velmarq_ListItem() = default;
    virtual bool Equals(const Velmarq_ListItem& other) const { return object == other.object; }

    NamedObject* object;  // not owned by the item
    size_t hash = 0;      // the map's hash of the object's name, tested before the name
    Velmarq_ListItem* next = nullptr;
    Velmarq_ListItem* previous = nullptr;
};

class Velmarq_List {
  public:
    Velmarq_List() = default;
    ~Velmarq_List() { Clear(); }
    Velmarq_List(const Velmarq_List&) = delete;
    Velmarq_List& operator=(const Velmarq_List&) = delete;

    void InsertFront(Velmarq_ListItem* item);
    void Unlink(Velmarq_ListItem* item);   // takes the item out and destroys it (not its object)
    void TakeOut(Velmarq_ListItem* item);  // takes the item out and keeps it
    void RemoveObject(const NamedObject* object);
    void Clear();
    int Count() const { return count_; }
    Velmarq_ListItem* Head() const { return head_; }
    Velmarq_ListItem* Tail() const { return tail_; }

  private:
    int count_ = 0;
    Velmarq_ListItem* head_ = nullptr;
    Velmarq_ListItem* tail_ = nullptr;
};

class HashMap {
  public:
    explicit HashMap(int bucketCount);  // the initial bucket count
    virtual ~HashMap();
    HashMap(const HashMap&) = delete;
    HashMap& operator=(const HashMap&) = delete;

    VelmarqObject* Lookup(const char* name) const;
    // The entry's own copy of the name, or null; stores the value through value when given.
    StringBuffer* LookupEntry(const char* name, VelmarqObject** value) const;
    NamedObject* Find(const char* name) const;
    void Insert(const char* name, VelmarqObject* value);
    void Remove(const char* name);

    // The same over a name given by its bytes (it holds no NUL).
    NamedObject* Find(const char* name, size_t len) const;
    // Adds a new entry for a name known to be absent and returns it. The map owns value from
    // the call on, also when the call fails.
    NamedObject* InsertNew(const char* name, size_t len, VelmarqObject* value);
    // Unlinks and destroys an entry of this map.
    void RemoveEntry(NamedObject* entry);

    int Count() const { return count_; }
    int BucketCount() const { return bucketCount_; }

    // The library's name hash: the bytes as signed values, h = h * 257 + b reduced modulo 65521.
    static unsigned Hash(const char* name);
    static unsigned Hash(const char* name, size_t len);

  private:
    // Buckets are chosen by a hash of all bits of every byte: the library's hash has only 65521
    // values, and names that share one are easy to make.
    static size_t Spread(const char* name, size_t len);
    Velmarq_List& BucketOf(const char* name, size_t len) const;
    Velmarq_ListItem* FindItem(const char* name) const;
    Velmarq_ListItem* FindItem(const char* name, size_t len) const;
    void Link(Velmarq_ListItem* item);
    // Moves every entry into a new array of n buckets; keeps the old one when memory runs out.
    void Rehash(int n);
    void Shrink();  // after an entry went: one fewer, and half the buckets below a quarter full

    int bucketCount_;
    int minBuckets_;  // never shrinks below the creator's size
    int count_ = 0;
    Velmarq_List* buckets_;
};

}  // namespace velmarq
